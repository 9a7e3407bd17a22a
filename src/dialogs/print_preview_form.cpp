#include "dialogs/print_preview_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/painter_print_sink.h"
#include "map/document/map_edit_layer_list.h"

TPrintPreviewForm::TPrintPreviewForm(TMapEditLayerList& Map, const TPrintLayout& Layout,
                                     const TPrintOptions& Options, QWidget* Parent,
                                     int MaxHeight)
    : QDialog(Parent), FMap(Map), FOptions(Options) {
  setObjectName("PrintPreviewForm");
  FPages = PlanPages(Map, Layout, Options);
  FScale = Layout.PrintableHeight > MaxHeight ? double(MaxHeight) / Layout.PrintableHeight : 1.0;
  FLayout = ScalePrintLayout(Layout, FScale);
  FView = new QLabel(this);
  FView->setAlignment(Qt::AlignCenter);
  FView->setStyleSheet("background: #707070; padding: 12px;");
  FPageLabel = new QLabel(this);
  FPrevious = new QPushButton(this);
  FNext = new QPushButton(this);
  FPrint = new QPushButton(this);
  FPrint->setDefault(true);
  FClose = new QPushButton(this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FPrevious);
  buttons->addWidget(FNext);
  buttons->addWidget(FPageLabel, 1);
  buttons->addWidget(FPrint);
  buttons->addWidget(FClose);
  auto* col = new QVBoxLayout(this);
  col->addWidget(FView, 1);
  col->addLayout(buttons);
  connect(FPrevious, &QPushButton::clicked, this, [this] { ShowPage(FPage - 1); });
  connect(FNext, &QPushButton::clicked, this, [this] { ShowPage(FPage + 1); });
  connect(FPrint, &QPushButton::clicked, this, &QDialog::accept);
  connect(FClose, &QPushButton::clicked, this, &QDialog::reject);
  ApplyCaptions(FCaptions);
  ShowPage(0);
}

QImage TPrintPreviewForm::PageImage(int Index) {
  QImage page(std::max(1, FLayout.PrintableWidth), std::max(1, FLayout.PrintableHeight),
              QImage::Format_RGB32);
  page.fill(Qt::white);
  if (Index < 0 || Index >= PageCount()) return page;
  QPainter painter(&page);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  TPainterPrintSink sink(painter, FLayout.DpiX);
  PrintPage(FMap, FLayout, FOptions, FPages, size_t(Index), sink);
  return page;
}

void TPrintPreviewForm::ShowPage(int Index) {
  if (PageCount() == 0) return;
  FPage = std::clamp(Index, 0, PageCount() - 1);
  FView->setPixmap(QPixmap::fromImage(PageImage(FPage)));
  UpdatePageLabel();
}

void TPrintPreviewForm::UpdatePageLabel() {
  if (PageCount() == 0) return;
  const TPrintSheet& s = FPages[size_t(FPage)];
  const QString label =
      s.Assembly ? FCaptions.AssemblyText : QString::fromStdString(SheetLabel(s.Row, s.Column));
  FPageLabel->setText(FCaptions.PageText.arg(FPage + 1).arg(PageCount()).arg(label));
  FPrevious->setEnabled(FPage > 0);
  FNext->setEnabled(FPage + 1 < PageCount());
}

void TPrintPreviewForm::ApplyCaptions(const TPrintPreviewFormCaptions& Value) {
  FCaptions = Value;
  setWindowTitle(Value.Caption);
  FPrevious->setText(Value.Previous);
  FNext->setText(Value.Next);
  FPrint->setText(Value.Print);
  FClose->setText(Value.Close);
  UpdatePageLabel();
}
