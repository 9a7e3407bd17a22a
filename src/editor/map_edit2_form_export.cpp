// The File menu's export to virtual tabletops: the "Export" submenu with the
// Universal VTT command, its settings dialog, the file dialog and the export.

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>

#include "editor/busy_cursor.h"
#include "editor/map_edit2_form.h"
#include "editor/progress_window.h"
#include "editor/prop_tool.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/vtt_export.h"

namespace {

// A name typed without an extension gets ".dd2vtt".
QString WithVttExtension(const QString& FileName) {
  return QFileInfo(FileName).suffix().isEmpty() ? FileName + ".dd2vtt" : FileName;
}

}  // namespace

void TMapEdit2Form::CreateExportMenu(QMenu* File) {
  QMenu* menu = File->addMenu("エクスポート(&T)");
  menu->setObjectName("ExportMenu");
  auto* vtt = new QAction("Universal VTT(&U)…", menu);
  vtt->setObjectName("ExportVtt1");
  vtt->setProperty("category", QString("ファイル"));
  // The settings chosen last: a pixels-per-grid other than the chip size is kept
  // for the next export in this session.
  vtt->setProperty("pixelsPerGrid", 0);
  vtt->setProperty("grid", false);
  menu->addAction(vtt);
  FActions["ExportVtt1"] = vtt;

  connect(vtt, &QAction::triggered, this, [this, vtt] {
    TMapEditLayerList* map = FDocument;
    if (!map || map->Count() == 0) return;
    TVttExportRequest request;
    request.ChipSize = map->ChipSize();
    request.Width = map->Width();
    request.Height = map->Height();
    const int32_t last = vtt->property("pixelsPerGrid").toInt();
    request.PixelsPerGrid = last > 0 ? last : map->ChipSize();
    request.Grid = vtt->property("grid").toBool();
    request.Labels = vtt->property("labels").toBool();
    request.BakeLights = vtt->property("bakeLights").toBool();
    request.MergeObjects = vtt->property("mergeObjects").toBool();
    if (!FDialogs->VttExportOptions(this, request)) return;
    vtt->setProperty("labels", request.Labels);
    vtt->setProperty("bakeLights", request.BakeLights);
    vtt->setProperty("mergeObjects", request.MergeObjects);
    vtt->setProperty("pixelsPerGrid",
                     request.PixelsPerGrid == map->ChipSize() ? 0 : request.PixelsPerGrid);
    vtt->setProperty("grid", request.Grid);

    const QString chosen = FDialogs->SaveVttFileName(this);
    if (chosen.isEmpty()) return;
    TVttExportOptions options;
    options.PixelsPerGrid = request.PixelsPerGrid;
    options.Grid.UseGrid = request.Grid;
    UseMapStyle(options.Grid);
    options.Grid.Compose.Props = &FPropTool->Scene();
    options.Labels = request.Labels;
    options.BakeLights = request.BakeLights;
    options.MergeObjectOutlines = request.MergeObjects;
    const QString file = WithVttExtension(chosen);
    TProgressWindow progress(this, vtt->text().remove('&'), file, 400);
    const TProgressReport report = progress.Report(&TProgressWindow::OutputStages);
    try {
      TBusyCursor busy;
      ExportVtt(*map, file.toStdString(), options, report);
    } catch (const EOperationCancelled&) {
    } catch (const std::exception& e) {
      progress.Close();
      ShowException(e);
    }
    // The output preparation recomposed every cell.
    Invalidate();
  });
}
