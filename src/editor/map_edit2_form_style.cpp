// The map style: the Map menu's "Map Style..." command with its dialog, the View
// menu's "Show Map Style" switch, and the style taken into image output,
// printing and the VTT image.

#include <QAction>
#include <QMenu>

#include "editor/map_edit2_form.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_style_edit.h"
#include "map/objects/map_style.h"

void TMapEdit2Form::CreateStyleCommands(QMenu* Map, QMenu* View) {
  auto* style = new QAction("マップのスタイル(&Y)…", Map);
  style->setObjectName("MapStyle1");
  style->setProperty("category", QString("マップ"));
  Map->addSeparator();
  Map->addAction(style);
  FActions["MapStyle1"] = style;
  connect(style, &QAction::triggered, this, [this] { MapStyle1Execute(); });

  auto* show = new QAction("マップのスタイルを表示(&S)", View);
  show->setObjectName("ShowStyle1");
  show->setProperty("category", QString("表示"));
  show->setCheckable(true);
  show->setChecked(true);
  View->addSeparator();
  View->addAction(show);
  FActions["ShowStyle1"] = show;
  connect(show, &QAction::toggled, this, [this] { Invalidate(); });
}

TComposeOptions TMapEdit2Form::ViewComposeOptions() const {
  TComposeOptions o;
  if (FDocument && Checked("ShowStyle1")) o.Style = StoredMapStyle(FDocument->Objects()).Looks;
  o.Labels = Checked("ShowLabels1");
  o.LightPreview = Checked("LightPreview1");
  return o;
}

void TMapEdit2Form::UseMapStyle(TOutputOptions& Options, bool WithGrid) const {
  if (!FDocument) return;
  const TMapStyleSettings s = StoredMapStyle(FDocument->Objects());
  Options.Compose.Style = s.Looks;
  if (!WithGrid) return;
  Options.GridStyle = s.GridStyle;
  Options.GridOpacity = s.GridOpacity;
}

void TMapEdit2Form::MapStyle1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  std::string error;
  TMapStyleSettings style = StoredMapStyle(FDocument->Objects(), &error);
  // A style object that cannot be read is kept until the user sets a new style.
  if (!error.empty()) FDialogs->ShowWarning(this, QString::fromStdString(error));
  if (!FDialogs->MapStyle(this, style)) return;
  try {
    if (!SetMapStyle(*FSession, style)) return;
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  SetModified(true);
  Invalidate();
  UpdateActions();
}
