// The Output command: the image file, the output settings, then the whole map
// written as PNG, JPEG, WebP or BMP at the chosen pixels per cell and
// resolution, with a progress dialog that can cancel.

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QProgressDialog>
#include <exception>

#include "editor/busy_cursor.h"
#include "editor/map_edit2_form.h"
#include "map/output/image_output.h"
#include "map/document/map_edit_layer_list.h"

namespace {

// Raised from the progress report when the user cancels; nothing is written.
struct TOutputCancelled {};

}  // namespace

void TMapEdit2Form::Output1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  const QString name = FDialogs->SaveImageFileName(this);
  if (name.isEmpty()) return;
  TImageOutputRequest request;
  request.ChipSize = FDocument->ChipSize();
  request.Width = FDocument->Width();
  request.Height = FDocument->Height();
  request.FileName = name;
  if (!FDialogs->ImageOutputOptions(this, request)) return;
  const TOutputOptions& options = request.Options;

  // With fast drawing off only for output, every cell is first recomposed with
  // it off; the other choices keep the cells as they are.
  const TOutputFastDraw fast =
      Tools().FastDraw == TFastDrawMode::SlowOnlyForOutput ? TOutputFastDraw::OffForOutput : TOutputFastDraw::KeepAsIs;
  QProgressDialog progress(this);
  progress.setWindowTitle(Action("Output1")->text().remove('&'));
  progress.setLabelText(name);
  progress.setCancelButtonText(tr("Cancel"));
  progress.setMinimumDuration(400);
  progress.setAutoClose(false);
  progress.setRange(0, 1000);
  // Refresh, composition and writing share the bar: 60 %, 30 %, 10 %.
  auto report = [&progress](const char* Stage, int64_t Done, int64_t Total) {
    const std::string stage = Stage;
    const double part = Total > 0 ? double(Done) / double(Total) : 1.0;
    const double at = stage == "refresh"   ? 0.6 * part
                      : stage == "compose" ? 0.6 + 0.3 * part
                                           : 0.9 + 0.1 * part;
    progress.setValue(int(at * 1000));
    QApplication::processEvents();
    if (progress.wasCanceled()) throw TOutputCancelled{};
  };
  try {
    TBusyCursor busy;
    RenderMapImage(*FDocument, options, QFile::encodeName(name).toStdString(), fast, report,
                   request.Dpi, request.PixelsPerCell);
  } catch (const TOutputCancelled&) {
  } catch (const std::exception& e) {
    progress.close();
    ShowException(e);
  }
  progress.close();
  // The map was recomposed for the output; the view shows the same cells.
  Invalidate();
}
