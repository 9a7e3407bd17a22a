#include "dialogs/map_tile_form.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>
#include <system_error>

#include "dialogs/chip_image_view.h"
#include "dialogs/dialog_services.h"
#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"

namespace {

QImage ToQImage(const TBitmap32& B) {
  // TColor32 is 0xAARRGGBB, the layout of QImage::Format_ARGB32 read as 32-bit words.
  QImage img(B.Width(), B.Height(), QImage::Format_ARGB32);
  for (int32_t y = 0; y < B.Height(); ++y) {
    const TColor32* src = B.ScanLine(y);
    auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int32_t x = 0; x < B.Width(); ++x) dst[x] = src[x];
  }
  return img;
}

}  // namespace

std::string MakeChipReference(int32_t Column, int32_t Row, int32_t ChipSize,
                              const std::string& Path) {
  return "<" + std::to_string(int64_t(Column) * ChipSize) + "," +
         std::to_string(int64_t(Row) * ChipSize) + "," + std::to_string(ChipSize) + ">" + Path;
}

TMapTileForm::TMapTileForm(QWidget* Parent, IDialogServices* Services)
    : QDialog(Parent), FServices(Services ? Services : &DefaultDialogServices()) {
  FL1 = new QLabel(this);
  FL2 = new QLabel(this);
  FSizeGroup = new QGroupBox(this);
  FSize16 = new QRadioButton(FSizeGroup);
  FSize32 = new QRadioButton(FSizeGroup);
  FSize32->setChecked(true);
  auto* sizeButtons = new QButtonGroup(this);
  sizeButtons->addButton(FSize16);
  sizeButtons->addButton(FSize32);
  auto* sizeLayout = new QVBoxLayout(FSizeGroup);
  sizeLayout->addWidget(FSize16);
  sizeLayout->addWidget(FSize32);

  FUseChipLabel = new QLabel(this);
  FPreviewLabel = new QLabel(this);
  FPreviewLabel->setFixedSize(32, 32);
  FPreviewLabel->setFrameStyle(QFrame::NoFrame);
  FPreview = QImage(32, 32, QImage::Format_ARGB32);
  FPreview.fill(Qt::transparent);
  FO1 = new QLabel(this);
  FO2 = new QLabel(this);

  FScroll = new QScrollArea(this);
  FView = new TChipImageView;
  FScroll->setWidget(FView);
  FScroll->setFixedSize(420, 300);

  FOk = new QPushButton(this);
  FCancel = new QPushButton(this);
  FOk->setDefault(true);

  auto* previewBox = new QVBoxLayout;
  previewBox->addWidget(FUseChipLabel);
  previewBox->addWidget(FPreviewLabel);
  previewBox->addStretch();
  auto* options = new QHBoxLayout;
  options->addWidget(FSizeGroup);
  options->addLayout(previewBox);
  auto* notes = new QVBoxLayout;
  notes->addWidget(FO1);
  notes->addWidget(FO2);
  options->addLayout(notes);
  options->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(FOk);
  buttons->addWidget(FCancel);
  auto* main = new QVBoxLayout(this);
  main->addWidget(FL1);
  main->addWidget(FL2);
  main->addLayout(options);
  main->addWidget(FScroll);
  main->addLayout(buttons);
  main->setSizeConstraint(QLayout::SetFixedSize);

  connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(FSize16, &QRadioButton::toggled, this, [this] { RefreshPreview(); });
  connect(FView, &TChipImageView::LeftReleased, this, &TMapTileForm::ChooseChipAt);
  ApplyCaptions(FCaptions);
}

void TMapTileForm::ApplyCaptions(const TMapTileFormCaptions& Value) {
  FCaptions = Value;
  setWindowTitle(Value.Caption);
  FL1->setText(Value.L1);
  FL2->setText(Value.L2);
  FUseChipLabel->setText(Value.UseChip);
  FO1->setText(Value.O1);
  FO2->setText(Value.O2);
  FSizeGroup->setTitle(Value.ChipSize);
  FSize16->setText(Value.ChipSize16);
  FSize32->setText(Value.ChipSize32);
  FOk->setText(Value.OK);
  FCancel->setText(Value.Cancel);
}

QString TMapTileForm::AlertText() const {
  return FCaptions.BMPAlert.isEmpty() ? QString::fromUtf8(BuiltInAlert) : FCaptions.BMPAlert;
}

int32_t TMapTileForm::ChipSize() const { return FSize16->isChecked() ? 16 : 32; }

void TMapTileForm::SetChipSize(int32_t Value) {
  (Value == 16 ? FSize16 : FSize32)->setChecked(true);
}

void TMapTileForm::ChooseChipAt(int X, int Y) {
  // A release dragged outside the image would name a chip that is not there.
  if (X < 0 || Y < 0 || X >= FImage.width() || Y >= FImage.height()) return;
  FColumn = X / ChipSize();
  FRow = Y / ChipSize();
  RefreshPreview();
}

void TMapTileForm::RefreshPreview() {
  const int s = ChipSize();
  const QImage chip = FImage.isNull() ? QImage() : FImage.copy(FColumn * s, FRow * s, s, s);
  FPreview.fill(Qt::transparent);
  if (!chip.isNull()) {
    QPainter p(&FPreview);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    // A 16-pixel chip fills the 32-pixel preview four times.
    for (int y = 0; y < 32; y += s)
      for (int x = 0; x < 32; x += s) p.drawImage(x, y, chip);
  }
  FPreviewLabel->setPixmap(QPixmap::fromImage(FPreview));
  FView->SetMark(QRect(FColumn * s, FRow * s, s, s));
}

bool TMapTileForm::LoadForExecute(const std::string& FileName) {
  TBitmap32 bitmap;
  try {
    LoadImageFile(FileName, bitmap);
  } catch (const std::exception&) {
    // Unreadable, damaged or too large: the user is told, the caller gets nothing.
    FServices->Alert(this, AlertText().toStdString());
    return false;
  }
  FImage = ToQImage(bitmap);
  FView->SetImage(FImage);
  FColumn = 0;
  FRow = 0;
  RefreshPreview();
  return true;
}

std::string TMapTileForm::ResultFor(bool UseChip, const std::string& FileName) const {
  return UseChip ? MakeChipReference(FColumn, FRow, ChipSize(), FileName) : FileName;
}

std::string TMapTileForm::Execute(const std::string& FileName) {
  std::error_code ec;
  if (FileName.empty() || !std::filesystem::is_regular_file(FileName, ec)) return {};
  if (!LoadForExecute(FileName)) return {};
  if (FImage.width() % 16 != 0 || FImage.height() % 16 != 0) return FileName;
  return ResultFor(exec() == QDialog::Accepted, FileName);
}
