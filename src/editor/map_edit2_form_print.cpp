// The Print command: the output settings (grid), the print settings with an
// optional preview, then the map printed page by page (assembly page, sheets) to
// a printer or a PDF file, with progress that can cancel.

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <exception>
#include <memory>

#include "dialogs/painter_print_sink.h"
#include "editor/busy_cursor.h"
#include "editor/map_edit2_form.h"
#include "editor/progress_window.h"
#include "editor/prop_tool.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/pdf_print_sink.h"
#include "map/output/print_job.h"

namespace {

// The paper as the assembly page names it: "A4 portrait".
std::string PaperText(const TPrintRequest& Request) {
  return Request.PaperName.toStdString() + (Request.Landscape ? " landscape" : " portrait");
}

}  // namespace

void TMapEdit2Form::Print1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  TOutputOptions grid;
  // The dialog opens on the map's grid style; what it answers is printed.
  UseMapStyle(grid);
  if (!FDialogs->OutputOptions(this, grid)) return;
  UseMapStyle(grid, false);
  TPrintRequest request;
  request.ChipSize = FDocument->ChipSize();
  request.Width = FDocument->Width();
  request.Height = FDocument->Height();
  const TOutputFastDraw fast = Tools().FastDraw == TFastDrawMode::SlowOnlyForOutput
                                   ? TOutputFastDraw::OffForOutput
                                   : TOutputFastDraw::KeepAsIs;
  TPrintOptions options;
  options.Grid = grid;
  options.Grid.Compose.Props = &FPropTool->Scene();
  // The print dialog comes back after a preview that was closed without printing.
  for (;;) {
    if (!FDialogs->PrintOptions(this, request)) return;
    if (!request.Layout.Printable()) return;
    options.FullColor = request.FullColor;
    options.Smooth = request.Smooth;
    options.AssemblyPage = request.AssemblyPage;
    options.SheetMarks = request.SheetMarks;
    options.TrimBorder = request.TrimBorder;
    options.Selection = request.Selection.toStdString();
    options.CellSize = request.CellSize;
    options.Unit = request.Unit;
    options.PaperText = PaperText(request);
    if (!request.Preview) break;
    bool print = false;
    try {
      TBusyCursor busy;
      PrepareForOutput(*FDocument, fast);
    } catch (const std::exception& e) {
      ShowException(e);
      return;
    }
    try {
      print = FDialogs->PrintPreview(this, *FDocument, request.Layout, options);
    } catch (const std::exception& e) {
      ShowException(e);
      Invalidate();
      return;
    }
    Invalidate();
    if (print) break;
  }
  QString pdfName;
  if (request.Pdf) {
    pdfName = FDialogs->SavePdfFileName(this);
    if (pdfName.isEmpty()) return;
  }

  TProgressWindow progress(this, Action("Print1")->text().remove('&'), QString(), 300);
  const TProgressReport sheets = progress.Report();
  auto report = [&sheets](int32_t Done, int32_t Total) {
    try {
      sheets("print", Done, Total);
      return true;
    } catch (const EOperationCancelled&) {
      return false;
    }
  };
  try {
    TBusyCursor busy;
    if (request.Pdf) {
      TPdfPrintSink sink(QFile::encodeName(pdfName).toStdString(),
                         PaperByName(request.PaperName.toStdString()), request.Landscape,
                         TplSetPrinter::PdfDpi);
      if (PrintMap(*FDocument, request.Layout, options, sink, fast, report)) sink.Finish();
    } else {
      QPrinter printer(QPrinterInfo::printerInfo(request.PrinterName), QPrinter::HighResolution);
      for (const QPageSize& size :
           QPrinterInfo::printerInfo(request.PrinterName).supportedPageSizes())
        if (size.name() == request.PaperName) printer.setPageSize(size);
      printer.setPageOrientation(request.Landscape ? QPageLayout::Landscape
                                                   : QPageLayout::Portrait);
      printer.setColorMode(request.FullColor ? QPrinter::Color : QPrinter::GrayScale);
      printer.setDocName(windowTitle());
      QPainter painter;
      if (!painter.begin(&printer)) throw std::runtime_error("The printer could not be started");
      TPainterPrintSink sink(painter,
                             request.Layout.DpiX > 0 ? request.Layout.DpiX : printer.resolution(),
                             [&printer] { printer.newPage(); });
      bool done = false;
      try {
        done = PrintMap(*FDocument, request.Layout, options, sink, fast, report);
      } catch (...) {
        printer.abort();
        painter.end();
        throw;
      }
      if (!done) printer.abort();
      painter.end();
    }
  } catch (const std::exception& e) {
    progress.Close();
    ShowException(e);
  }
  progress.Close();
  Invalidate();
}
