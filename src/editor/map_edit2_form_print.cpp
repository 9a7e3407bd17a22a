// The Print command: the output settings (grid), the print settings, then the
// map printed sheet by sheet to a printer or a PDF file, with progress that can
// cancel.

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

#include "editor/busy_cursor.h"
#include "editor/map_edit2_form.h"
#include "editor/progress_window.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/pdf_print_sink.h"
#include "map/output/print_job.h"

namespace {

// Paints the job's sheets on a Qt printer, one page per sheet, in device pixels
// of the printable area.
class TPainterPrintSink : public IPrintSink {
 public:
  explicit TPainterPrintSink(QPrinter& Printer) : FPrinter(Printer) {}
  bool Begin() { return FPainter.begin(&FPrinter); }
  void End() { FPainter.end(); }

  void BeginSheet(const TPrintSheet&, int32_t) override {
    if (!FFirst) FPrinter.newPage();
    FFirst = false;
  }
  void DrawImage(const TBitmap32& Image, int32_t X, int32_t Y) override {
    const QImage image(reinterpret_cast<const uchar*>(Image.Bits()), Image.Width(), Image.Height(),
                       Image.Width() * 4, QImage::Format_RGB32);
    FPainter.drawImage(QPoint(X, Y), image);
  }
  void DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) override {
    FPainter.setPen(QPen(Qt::black, 0));
    FPainter.drawLine(X1, Y1, X2, Y2);
  }
  void DrawText(int32_t X, int32_t Y, const std::string& Text) override {
    QFont f("Sans");
    f.setPointSizeF(7);
    FPainter.setFont(f);
    FPainter.setPen(Qt::black);
    FPainter.drawText(QPoint(X, Y + FPainter.fontMetrics().ascent() + 4),
                      QString::fromStdString(Text));
  }
  void EndSheet() override {}

 private:
  QPrinter& FPrinter;
  QPainter FPainter;
  bool FFirst = true;
};

}  // namespace

void TMapEdit2Form::Print1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  TOutputOptions grid;
  if (!FDialogs->OutputOptions(this, grid)) return;
  TPrintRequest request;
  request.ChipSize = FDocument->ChipSize();
  request.Width = FDocument->Width();
  request.Height = FDocument->Height();
  if (!FDialogs->PrintOptions(this, request)) return;
  if (!request.Layout.Printable()) return;
  QString pdfName;
  if (request.Pdf) {
    pdfName = FDialogs->SavePdfFileName(this);
    if (pdfName.isEmpty()) return;
  }

  TPrintOptions options;
  options.Grid = grid;
  options.FullColor = request.FullColor;
  options.Smooth = request.Smooth;
  const TOutputFastDraw fast = Tools().FastDraw == TFastDrawMode::SlowOnlyForOutput
                                   ? TOutputFastDraw::OffForOutput
                                   : TOutputFastDraw::KeepAsIs;
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
      TPainterPrintSink sink(printer);
      if (!sink.Begin()) throw std::runtime_error("The printer could not be started");
      const bool done = PrintMap(*FDocument, request.Layout, options, sink, fast, report);
      if (!done) printer.abort();
      sink.End();
    }
  } catch (const std::exception& e) {
    progress.Close();
    ShowException(e);
  }
  progress.Close();
  Invalidate();
}
