#pragma once
// A print sink that writes a PDF file, one page per sheet: the paper size in
// points, the printable area inset by a margin, each sheet's picture as a
// compressed RGB image at the device resolution, cut marks, rulers and arrows as
// lines and filled shapes, and the labels and captions as Helvetica text, so that
// they can be searched and copied. The file is written beside its target and renamed
// into place when complete, so a failed or cancelled job leaves no partial file.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "map/output/print_job.h"

class TSafeFileWriter;

// A paper by name, in millimetres (portrait).
struct TPaperSize {
  std::string Name;
  double WidthMm = 0;
  double HeightMm = 0;
};

// A4, A3, A5, Letter, Legal, Tabloid; names compared without regard to case.
// Raises EVellumError naming the known papers for an unknown name.
TPaperSize PaperByName(const std::string& Name);

// The metrics of a PDF "printer": Dpi across and down, the printable area inside
// MarginMm on every side, landscape swapping the paper's sides.
TPrinterMetrics PdfPrinterMetrics(const TPaperSize& Paper, bool Landscape, int32_t Dpi,
                                  double MarginMm);

class TPdfPrintSink : public IPrintSink {
 public:
  static constexpr double DefaultMarginMm = 6.35;  // a quarter inch, as most printers

  TPdfPrintSink(const std::string& FileName, const TPaperSize& Paper, bool Landscape, int32_t Dpi,
                double MarginMm = DefaultMarginMm);
  ~TPdfPrintSink() override;

  void BeginSheet(const TPrintSheet& Sheet, int32_t SheetCount) override;
  void DrawImage(const TBitmap32& Image, int32_t X, int32_t Y) override;
  void DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) override;
  void DrawText(int32_t X, int32_t Y, const std::string& Text) override;
  void EndSheet() override;
  void FillRect(int32_t X, int32_t Y, int32_t Width, int32_t Height, uint8_t Grey) override;
  void FillPolygon(const std::vector<TPrintPoint>& Points, uint8_t Grey) override;
  void DrawTextSized(int32_t X, int32_t Y, const std::string& Text, int32_t Height) override;
  // Writes the page tree and trailer and moves the file into place. Raises
  // EFileError on failure. Without Finish the temporary file is removed.
  void Finish();
  int32_t PageCount() const { return int32_t(FPages.size()); }

 private:
  int32_t NewObject();  // starts object n, records its offset
  void Write(const std::string& Text);
  double PtX(double DeviceX) const;
  double PtY(double DeviceY) const;

  std::string FFileName;
  std::unique_ptr<TSafeFileWriter> FWriter;
  std::FILE* FFile = nullptr;  // FWriter's stream
  int64_t FOffset = 0;
  std::vector<int64_t> FObjectOffsets;  // index = object number - 1
  std::vector<int32_t> FPages;
  std::string FContent;
  std::vector<int32_t> FImages;
  double FPageW = 0, FPageH = 0, FMarginPt = 0;
  int32_t FDpi = 600;
  bool FFinished = false;
};
