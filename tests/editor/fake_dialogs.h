#pragma once
// Dialog answers for editor tests: every question is counted and answered from
// the fields below instead of by a person.

#include <QStringList>
#include <functional>

#include "editor/editor_dialogs.h"

struct TFakeDialogs : TEditorDialogs {
  QString OpenName, SaveName;
  bool ColorOk = true;
  QColor Color = Qt::red;
  bool YesNoAnswer = false, OkCancelAnswer = true;
  TDiscardAnswer Discard = TDiscardAnswer::Cancel;
  TMapSizeRequest Size{10, 8, 32, {}};
  bool SizeOk = true;
  TLayerRequest Layer;
  TLayerRequest LastLayerRequest;
  bool LayerOk = true;
  QStringList Asked, Errors, Warnings;
  // The colour the colour dialog last opened with; the boxes of rich text shown.
  QColor ColorShown;
  QStringList Informations;
  int LayerDialogs = 0;

  QString OpenMapFileName(QWidget*) override { return OpenName; }
  QString SaveMapFileName(QWidget*) override { return SaveName; }
  bool ChooseColor(QWidget*, const QColor& Initial, QColor& Chosen) override {
    ColorShown = Initial;
    Chosen = Color;
    return ColorOk;
  }
  bool AskYesNo(QWidget*, const QString& Text) override {
    Asked << Text;
    return YesNoAnswer;
  }
  bool AskOkCancel(QWidget*, const QString& Text) override {
    Asked << Text;
    return OkCancelAnswer;
  }
  TDiscardAnswer AskDiscard(QWidget*, const QString& Text) override {
    Asked << Text;
    return Discard;
  }
  void ShowError(QWidget*, const QString& Text) override { Errors << Text; }
  void ShowWarning(QWidget*, const QString& Text) override { Warnings << Text; }
  void ShowInformation(QWidget*, const QString& Title, const QString& Text) override {
    Informations << Title + "\n" + Text;
  }
  bool MapSize(QWidget*, TMapSizeRequest& Request) override {
    Request = Size;
    return SizeOk;
  }
  // The map style dialog: the style it was opened on, and the answer.
  TMapStyleSettings LastStyleRequest, StyleAnswer;
  bool StyleOk = true;
  bool MapStyle(QWidget*, TMapStyleSettings& Style) override {
    LastStyleRequest = Style;
    if (StyleOk) Style = StyleAnswer;
    return StyleOk;
  }
  bool AddLayer(QWidget*, TLayerRequest& Request) override {
    ++LayerDialogs;
    LastLayerRequest = Request;  // what the window handed the dialog
    const QStringList additions = Request.Additions;
    const bool showAdditions = Request.ShowAdditions;
    Request = Layer;
    Request.Additions = additions;
    Request.ShowAdditions = showAdditions;
    return LayerOk;
  }
  // The object properties dialog: ObjectAnswer changes the object and says OK;
  // without one the dialog is cancelled.
  // The folders to answer with, in turn (none left: cancelled), and the titles
  // the folder dialog was shown with.
  QStringList FolderAnswers, FolderTitles;
  QString ChooseFolder(QWidget*, const QString& Title) override {
    FolderTitles << Title;
    return FolderAnswers.isEmpty() ? QString() : FolderAnswers.takeFirst();
  }
  // The preferences dialog: the values it opened with, and the answer.
  TPreferences PreferencesShown, PreferencesAnswer;
  bool PreferencesOk = true;
  int PreferencesDialogs = 0;
  bool Preferences(QWidget*, TPreferences& Values) override {
    ++PreferencesDialogs;
    PreferencesShown = Values;
    if (PreferencesOk) Values = PreferencesAnswer;
    return PreferencesOk;
  }
  std::function<bool(TMapObject&)> ObjectAnswer;
  int ObjectDialogs = 0;
  bool EditObject(QWidget*, TMapObject& Obj) override {
    ++ObjectDialogs;
    return ObjectAnswer && ObjectAnswer(Obj);
  }
};
