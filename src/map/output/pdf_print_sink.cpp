#include "map/output/pdf_print_sink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "map/base/atomic_file.h"
#include "map/codec/chunked_deflate.h"
#include "record/errors.h"

namespace {

constexpr int32_t kPagesObject = 2;
constexpr int32_t kFontObject = 3;
// The deflate level of the sheets' pictures.
constexpr int kImageLevel = 6;

std::string Num(double V) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", V);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string PdfString(const std::string& Text) {
  std::string out = "(";
  for (unsigned char c : Text) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += (c >= 32 && c < 127) ? char(c) : '?';
  }
  return out + ")";
}

}  // namespace

TPaperSize PaperByName(const std::string& Name) {
  static const TPaperSize kPapers[] = {{"A4", 210, 297},        {"A3", 297, 420},
                                       {"A5", 148, 210},        {"Letter", 215.9, 279.4},
                                       {"Legal", 215.9, 355.6}, {"Tabloid", 279.4, 431.8}};
  std::string known;
  for (const TPaperSize& p : kPapers) {
    if (strcasecmp(p.Name.c_str(), Name.c_str()) == 0) return p;
    known += (known.empty() ? "" : ", ") + p.Name;
  }
  throw EVellumError("Unknown paper \"" + Name + "\"; known papers: " + known);
}

TPrinterMetrics PdfPrinterMetrics(const TPaperSize& Paper, bool Landscape, int32_t Dpi,
                                  double MarginMm) {
  double w = Paper.WidthMm, h = Paper.HeightMm;
  if (Landscape) std::swap(w, h);
  TPrinterMetrics m;
  m.DpiX = m.DpiY = Dpi;
  m.PrintableWidth = std::max(0, int32_t(std::floor((w - 2 * MarginMm) / 25.4 * Dpi)));
  m.PrintableHeight = std::max(0, int32_t(std::floor((h - 2 * MarginMm) / 25.4 * Dpi)));
  return m;
}

TPdfPrintSink::TPdfPrintSink(const std::string& FileName, const TPaperSize& Paper, bool Landscape,
                             int32_t Dpi, double MarginMm)
    : FFileName(FileName), FDpi(Dpi) {
  if (Dpi < 1 || Dpi > 4800) throw EVellumError("Resolution must be 1 to 4800 dpi");
  double w = Paper.WidthMm, h = Paper.HeightMm;
  if (Landscape) std::swap(w, h);
  FPageW = w / 25.4 * 72;
  FPageH = h / 25.4 * 72;
  FMarginPt = MarginMm / 25.4 * 72;
  // Written beside the target and renamed into place by Finish; the writer gives
  // it the mode a new file gets, or that of the file it replaces.
  FWriter = std::make_unique<TSafeFileWriter>(FileName);
  FFile = FWriter->Stream();
  Write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  // Objects 1 to 3 (catalog, page tree, font) are numbered now, written at the end.
  FObjectOffsets.assign(3, 0);
}

// Without Finish the writer removes the temporary file.
TPdfPrintSink::~TPdfPrintSink() = default;

void TPdfPrintSink::Write(const std::string& Text) {
  if (std::fwrite(Text.data(), 1, Text.size(), FFile) != Text.size())
    throw EFileError("Cannot write \"" + FFileName + "\": " + std::strerror(errno));
  FOffset += int64_t(Text.size());
}

int32_t TPdfPrintSink::NewObject() {
  FObjectOffsets.push_back(FOffset);
  const int32_t n = int32_t(FObjectOffsets.size());
  Write(std::to_string(n) + " 0 obj\n");
  return n;
}

double TPdfPrintSink::PtX(double DeviceX) const { return FMarginPt + DeviceX * 72.0 / FDpi; }
double TPdfPrintSink::PtY(double DeviceY) const {
  return FPageH - FMarginPt - DeviceY * 72.0 / FDpi;
}

void TPdfPrintSink::BeginSheet(const TPrintSheet&, int32_t) {
  FContent.clear();
  FImages.clear();
}

void TPdfPrintSink::DrawImage(const TBitmap32& Image, int32_t X, int32_t Y) {
  const int32_t w = Image.Width(), h = Image.Height();
  if (w <= 0 || h <= 0) return;
  std::string rgb(size_t(w) * size_t(h) * 3, '\0');
  size_t i = 0;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const TColor32 p = Image.Pixel(x, y);
      rgb[i++] = char((p >> 16) & 0xFF);
      rgb[i++] = char((p >> 8) & 0xFF);
      rgb[i++] = char(p & 0xFF);
    }
  // Compressed in chunks on all cores; the stream is as small as zlib's at the
  // same level.
  const std::vector<uint8_t> packedBytes = TChunkedDeflate::Compress(
      reinterpret_cast<const uint8_t*>(rgb.data()), rgb.size(), kImageLevel);
  const std::string packed(packedBytes.begin(), packedBytes.end());
  const int32_t n = NewObject();
  Write("<< /Type /XObject /Subtype /Image /Width " + std::to_string(w) + " /Height " +
        std::to_string(h) +
        " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /Length " +
        std::to_string(packed.size()) + " >>\nstream\n");
  Write(packed);
  Write("\nendstream\nendobj\n");
  const std::string name = "/Im" + std::to_string(FImages.size());
  FImages.push_back(n);
  const double pw = w * 72.0 / FDpi, ph = h * 72.0 / FDpi;
  FContent += "q " + Num(pw) + " 0 0 " + Num(ph) + " " + Num(PtX(X)) + " " + Num(PtY(Y + h)) +
              " cm " + name + " Do Q\n";
}

void TPdfPrintSink::DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  FContent += "q 0.25 w 0 G " + Num(PtX(X1 + 0.5)) + " " + Num(PtY(Y1 + 0.5)) + " m " +
              Num(PtX(X2 + 0.5)) + " " + Num(PtY(Y2 + 0.5)) + " l S Q\n";
}

void TPdfPrintSink::DrawText(int32_t X, int32_t Y, const std::string& Text) {
  // Eight points high, its top at Y, when it fits on the paper.
  const double top = PtY(Y) - 2, base = top - 8;
  if (base < 2) return;
  FContent +=
      "BT /F1 8 Tf 0 g " + Num(PtX(X)) + " " + Num(base) + " Td " + PdfString(Text) + " Tj ET\n";
}

void TPdfPrintSink::FillRect(int32_t X, int32_t Y, int32_t Width, int32_t Height, uint8_t Grey) {
  if (Width <= 0 || Height <= 0) return;
  FContent += "q " + Num(Grey / 255.0) + " g " + Num(PtX(X)) + " " + Num(PtY(Y + Height)) + " " +
              Num(Width * 72.0 / FDpi) + " " + Num(Height * 72.0 / FDpi) + " re f Q\n";
}

void TPdfPrintSink::FillPolygon(const std::vector<TPrintPoint>& Points, uint8_t Grey) {
  if (Points.size() < 3) return;
  std::string path;
  for (size_t i = 0; i < Points.size(); ++i)
    path += Num(PtX(Points[i].X)) + " " + Num(PtY(Points[i].Y)) + (i == 0 ? " m " : " l ");
  FContent += "q " + Num(Grey / 255.0) + " g " + path + "h f Q\n";
}

void TPdfPrintSink::DrawTextSized(int32_t X, int32_t Y, const std::string& Text, int32_t Height) {
  if (Height <= 0 || Text.empty()) return;
  const double size = Height * 72.0 / FDpi;
  // Helvetica's capitals rise about 0.72 of the size above the baseline.
  const double base = PtY(Y) - size * 0.78;
  FContent += "BT /F1 " + Num(size) + " Tf 0 g " + Num(PtX(X)) + " " + Num(base) + " Td " +
              PdfString(Text) + " Tj ET\n";
}

void TPdfPrintSink::EndSheet() {
  const int32_t content = NewObject();
  Write("<< /Length " + std::to_string(FContent.size()) + " >>\nstream\n" + FContent +
        "endstream\nendobj\n");
  std::string xobjects;
  for (size_t i = 0; i < FImages.size(); ++i)
    xobjects += "/Im" + std::to_string(i) + " " + std::to_string(FImages[i]) + " 0 R ";
  const int32_t page = NewObject();
  Write("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Num(FPageW) + " " + Num(FPageH) +
        "] /Resources << /Font << /F1 3 0 R >> /XObject << " + xobjects + ">> >> /Contents " +
        std::to_string(content) + " 0 R >>\nendobj\n");
  FPages.push_back(page);
}

void TPdfPrintSink::Finish() {
  if (FFinished) return;
  FObjectOffsets[0] = FOffset;
  Write("1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
  FObjectOffsets[kPagesObject - 1] = FOffset;
  std::string kids;
  for (int32_t p : FPages) kids += std::to_string(p) + " 0 R ";
  Write("2 0 obj\n<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(FPages.size()) +
        " >>\nendobj\n");
  FObjectOffsets[kFontObject - 1] = FOffset;
  Write("3 0 obj\n<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>\nendobj\n");
  const int64_t xref = FOffset;
  std::string table =
      "xref\n0 " + std::to_string(FObjectOffsets.size() + 1) + "\n0000000000 65535 f \n";
  for (int64_t off : FObjectOffsets) {
    char line[24];
    std::snprintf(line, sizeof line, "%010lld 00000 n \n", static_cast<long long>(off));
    table += line;
  }
  Write(table);
  Write("trailer\n<< /Size " + std::to_string(FObjectOffsets.size() + 1) +
        " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
  FFile = nullptr;
  FWriter->Commit();
  FFinished = true;
}
