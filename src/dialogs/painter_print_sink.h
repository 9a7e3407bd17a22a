#pragma once
// A print sink that paints the job's pages with a QPainter: on a printer, one
// page per sheet, or on an image for the print preview. It draws every primitive
// the PDF pages hold (pictures, lines, filled rectangles and arrows, captions and
// sized text) at the same device-pixel places, so printer, preview and PDF show
// the same sheets.

#include <QPainter>
#include <cstdint>
#include <functional>

#include "map/output/print_job.h"

class TPainterPrintSink : public IPrintSink {
 public:
  // Paints on Painter, whose coordinates are device pixels of the printable area
  // at Dpi (a painter may be scaled to show them smaller). NewPage is called
  // before every page but the first.
  TPainterPrintSink(QPainter& Painter, int32_t Dpi, std::function<void()> NewPage = {});

  void BeginSheet(const TPrintSheet& Sheet, int32_t SheetCount) override;
  void DrawImage(const TBitmap32& Image, int32_t X, int32_t Y) override;
  void DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) override;
  void DrawText(int32_t X, int32_t Y, const std::string& Text) override;
  void EndSheet() override;
  void FillRect(int32_t X, int32_t Y, int32_t Width, int32_t Height, uint8_t Grey) override;
  void FillPolygon(const std::vector<TPrintPoint>& Points, uint8_t Grey) override;
  void DrawTextSized(int32_t X, int32_t Y, const std::string& Text, int32_t Height) override;

  int32_t Pages() const { return FPages; }

 private:
  void Text(double X, double Baseline, const std::string& Text, double PixelSize);

  QPainter& FPainter;
  int32_t FDpi;
  std::function<void()> FNewPage;
  int32_t FPages = 0;
};
