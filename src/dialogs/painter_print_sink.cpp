#include "dialogs/painter_print_sink.h"

#include <QFont>
#include <QImage>
#include <QPen>
#include <QPolygonF>
#include <algorithm>

namespace {

QColor Grey(uint8_t Value) { return QColor(Value, Value, Value); }

}  // namespace

TPainterPrintSink::TPainterPrintSink(QPainter& Painter, int32_t Dpi, std::function<void()> NewPage)
    : FPainter(Painter), FDpi(std::max(1, Dpi)), FNewPage(std::move(NewPage)) {}

void TPainterPrintSink::BeginSheet(const TPrintSheet&, int32_t) {
  if (FPages > 0 && FNewPage) FNewPage();
  ++FPages;
}

void TPainterPrintSink::DrawImage(const TBitmap32& Image, int32_t X, int32_t Y) {
  if (Image.Empty()) return;
  const QImage image(reinterpret_cast<const uchar*>(Image.Bits()), Image.Width(), Image.Height(),
                     Image.Width() * 4, QImage::Format_RGB32);
  FPainter.drawImage(QPoint(X, Y), image);
}

void TPainterPrintSink::DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  // A quarter of a point wide, as on the PDF pages, through the pixel centres.
  QPen pen(Qt::black, std::max(1.0, FDpi * 0.25 / 72));
  pen.setCapStyle(Qt::FlatCap);
  FPainter.setPen(pen);
  FPainter.drawLine(QPointF(X1 + 0.5, Y1 + 0.5), QPointF(X2 + 0.5, Y2 + 0.5));
}

void TPainterPrintSink::Text(double X, double Baseline, const std::string& Text,
                             double PixelSize) {
  if (Text.empty() || PixelSize <= 0) return;
  // Helvetica on the PDF pages; the nearest sans-serif face here.
  QFont font("Helvetica");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, int(PixelSize + 0.5)));
  FPainter.setFont(font);
  FPainter.setPen(Qt::black);
  FPainter.drawText(QPointF(X, Baseline), QString::fromStdString(Text));
}

void TPainterPrintSink::DrawText(int32_t X, int32_t Y, const std::string& Text) {
  // Eight points high with its top two points below Y, as on the PDF pages.
  const double pt = FDpi / 72.0;
  this->Text(X, Y + 2 * pt + 8 * pt * 0.78, Text, 8 * pt);
}

void TPainterPrintSink::EndSheet() {}

void TPainterPrintSink::FillRect(int32_t X, int32_t Y, int32_t Width, int32_t Height,
                                 uint8_t Value) {
  if (Width <= 0 || Height <= 0) return;
  FPainter.fillRect(QRect(X, Y, Width, Height), Grey(Value));
}

void TPainterPrintSink::FillPolygon(const std::vector<TPrintPoint>& Points, uint8_t Value) {
  if (Points.size() < 3) return;
  QPolygonF polygon;
  for (const TPrintPoint& p : Points) polygon << QPointF(p.X, p.Y);
  FPainter.setPen(Qt::NoPen);
  FPainter.setBrush(Grey(Value));
  FPainter.drawPolygon(polygon);
  FPainter.setBrush(Qt::NoBrush);
}

void TPainterPrintSink::DrawTextSized(int32_t X, int32_t Y, const std::string& Text,
                                      int32_t Height) {
  // Height is the font size; capitals reach from Y down to the baseline at
  // 0.78 of it, as on the PDF pages.
  if (Height <= 0) return;
  this->Text(X, Y + Height * 0.78, Text, Height);
}
