#pragma once
// TPrintPreviewForm: the pages of a print job before printing, one at a time, as
// the printer and the PDF file get them (the same page plan, composition and
// drawing, at a smaller scale). "印刷" closes it to print, "閉じる" goes back.

#include <QDialog>
#include <QImage>
#include <QString>
#include <vector>

#include "map/output/print_job.h"

class QLabel;
class QPushButton;
class TMapEditLayerList;

struct TPrintPreviewFormCaptions {
  QString Caption = "印刷プレビュー";
  QString Previous = "< 前へ";
  QString Next = "次へ >";
  QString Print = "印刷";
  QString Close = "閉じる";
  // %1 the page, %2 the pages, %3 the sheet's label.
  QString PageText = "%1 / %2 ページ: %3";
  QString AssemblyText = "組み立て図";
};

class TPrintPreviewForm : public QDialog {
  Q_OBJECT

 public:
  // The pages of Options on Layout, for Map prepared for output. A page is shown
  // at most MaxHeight pixels high.
  TPrintPreviewForm(TMapEditLayerList& Map, const TPrintLayout& Layout,
                    const TPrintOptions& Options, QWidget* Parent = nullptr,
                    int MaxHeight = 700);

  int PageCount() const { return int(FPages.size()); }
  int Page() const { return FPage; }
  void ShowPage(int Index);
  // Page Index drawn on white paper: the printable area at the preview's scale.
  QImage PageImage(int Index);
  // The scale of the preview to the device.
  double Scale() const { return FScale; }
  const TPrintLayout& PreviewLayout() const { return FLayout; }

  void ApplyCaptions(const TPrintPreviewFormCaptions& Value);
  const TPrintPreviewFormCaptions& Captions() const { return FCaptions; }

  QLabel* PageView() const { return FView; }
  QLabel* PageLabel() const { return FPageLabel; }
  QPushButton* PreviousButton() const { return FPrevious; }
  QPushButton* NextButton() const { return FNext; }
  QPushButton* PrintButton() const { return FPrint; }

 private:
  void UpdatePageLabel();

  TMapEditLayerList& FMap;
  TPrintLayout FLayout;
  TPrintOptions FOptions;
  std::vector<TPrintSheet> FPages;
  double FScale = 1;
  int FPage = 0;
  TPrintPreviewFormCaptions FCaptions;
  QLabel* FView;
  QLabel* FPageLabel;
  QPushButton* FPrevious;
  QPushButton* FNext;
  QPushButton* FPrint;
  QPushButton* FClose;
};
