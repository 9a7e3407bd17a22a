// The window's Help menu (the About box and the keyboard shortcuts) and the
// texts of its own additions beyond the design's commands.

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "editor/color_swatch.h"
#include "editor/command_glyphs.h"
#include "editor/map_canvas.h"
#include "editor/map_edit2_form.h"
#include "map/document/map_edit_layer_list.h"

#ifndef VC_VERSION
#define VC_VERSION ""
#endif

void TMapEdit2Form::CreateHelpMenu() {
  FHelpMenu = menuBar()->addMenu(FTexts.HelpMenu);
  FHelpMenu->setObjectName("HelpMenu");
  FHelpMenu->addActions({Action("Shortcuts1"), Action("About1")});
}

void TMapEdit2Form::ApplyTexts() {
  if (FHelpMenu) FHelpMenu->setTitle(FTexts.HelpMenu);
  if (FRecentMenu) {
    FRecentMenu->setTitle(FTexts.RecentMenu);
    RebuildRecentMenu();
  }
  Action("About1")->setText(FTexts.About);
  Action("Shortcuts1")->setText(FTexts.Shortcuts);
  Action("LayerUp1")->setText(FTexts.LayerUp);
  Action("LayerDown1")->setText(FTexts.LayerDown);
  for (int32_t i = 0; i < 4; ++i)
    FPenButtons[i]->setToolTip(FTexts.PenSizeTip.arg(2 * (2 + 2 * i)) + " (" +
                               QString::number(i + 1) + ")");
  FDoorSwatch->setToolTip(FTexts.SwatchTip);
  FLayerList->setToolTip(FTexts.LayerListTip);
  if (FDocument) {
    SetStatus(0, FTexts.Layers.arg(FLayerList->count()));
    SetStatus(1, FTexts.ChipSize.arg(FDocument->ChipSize()));
    SetStatus(2, FTexts.Tiles.arg(FDocument->Width()).arg(FDocument->Height()));
  } else {
    SetStatus(0, FTexts.Layers.arg(0));
  }
  SetStatus(5, FTexts.Zoom.arg(FCanvas->Zoom().Percent()));
  // Message boxes and the window system show the title of the language file.
  QGuiApplication::setApplicationDisplayName(FApplicationTitle);
}

void TMapEdit2Form::About1Execute() {
  const QString caption = PlainCaption(Action("About1")->text());
  FDialogs->ShowInformation(
      this, caption,
      FTexts.AboutText.arg(FApplicationTitle.toHtmlEscaped(), VC_VERSION, qVersion()));
}

void TMapEdit2Form::Shortcuts1Execute() {
  const QString caption = PlainCaption(Action("Shortcuts1")->text());
  FDialogs->ShowInformation(this, caption, FTexts.ShortcutsText);
}
