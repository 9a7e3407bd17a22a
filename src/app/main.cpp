// Starts the editor: the main window, its settings, the offer of recovery copies
// left by a session that did not end normally, and the map named on the command
// line, if any.

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <memory>

#include "editor/editor_dialogs.h"
#include "editor/editor_settings.h"
#include "editor/map_edit2_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("vellumcraft");

  TMapEdit2Form form(std::make_unique<TQtEditorDialogs>(),
                     std::make_unique<TEditorSettings>(TEditorSettings::DefaultFileName()));
  // A Japanese user locale reads the built-in texts; others start in English.
  form.SetJapaneseLocale(QLocale::system().language() == QLocale::Japanese);
  form.LoadSettings();
  form.show();
  // Work left unsaved by a session that did not end normally comes first; when it
  // is restored, the map named on the command line is not opened over it.
  const bool restored = form.OfferRecovery();
  const QStringList args = QApplication::arguments();
  if (!restored && args.size() > 1) form.OpenMap(args.at(1));
  return QApplication::exec();
}
