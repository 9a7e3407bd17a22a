// The Output command: the image file, the output settings, then the whole map
// written as PNG, JPEG, WebP or BMP at the chosen pixels per cell and
// resolution, with a progress dialog that can cancel.

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <exception>

#include "editor/busy_cursor.h"
#include "editor/map_edit2_form.h"
#include "editor/progress_window.h"
#include "editor/prop_tool.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/image_output.h"

void TMapEdit2Form::Output1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  const QString name = FDialogs->SaveImageFileName(this);
  if (name.isEmpty()) return;
  TImageOutputRequest request;
  request.ChipSize = FDocument->ChipSize();
  request.Width = FDocument->Width();
  request.Height = FDocument->Height();
  request.FileName = name;
  // The dialog opens on the map's grid style; what it answers is drawn.
  UseMapStyle(request.Options);
  if (!FDialogs->ImageOutputOptions(this, request)) return;
  TOutputOptions options = request.Options;
  UseMapStyle(options, false);
  options.Compose.Props = &FPropTool->Scene();

  // With fast drawing off only for output, every cell is first recomposed with
  // it off; the other choices keep the cells as they are.
  const TOutputFastDraw fast = Tools().FastDraw == TFastDrawMode::SlowOnlyForOutput
                                   ? TOutputFastDraw::OffForOutput
                                   : TOutputFastDraw::KeepAsIs;
  TProgressWindow progress(this, Action("Output1")->text().remove('&'), name, 400);
  const TProgressReport report = progress.Report(&TProgressWindow::OutputStages);
  try {
    TBusyCursor busy;
    RenderMapImage(*FDocument, options, QFile::encodeName(name).toStdString(), fast, report,
                   request.Dpi, request.PixelsPerCell);
  } catch (const EOperationCancelled&) {
  } catch (const std::exception& e) {
    progress.Close();
    ShowException(e);
  }
  progress.Close();
  // The map was recomposed for the output; the view shows the same cells.
  Invalidate();
}
