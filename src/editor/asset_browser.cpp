#include "editor/asset_browser.h"

#include <QComboBox>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>

const char* const TAssetBrowser::MimeType = "application/x-vellumcraft-asset";

namespace {

constexpr int kThumb = 56;
constexpr int kPathRole = Qt::UserRole;

// The list: its drags carry the stored paths of the items dragged.
class TAssetList : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  QStringList mimeTypes() const override { return {TAssetBrowser::MimeType}; }
  QMimeData* mimeData(const QList<QListWidgetItem*>& Items) const override {
    if (Items.isEmpty()) return nullptr;
    return TAssetBrowser::MakeMimeData(Items.first()->data(kPathRole).toString());
  }
};

// A thumbnail: the image fitted into a square on a mid-grey ground, so that light
// and dark props both show.
QIcon Thumbnail(const std::filesystem::path& File) {
  QImage img(QFile::decodeName(File.string().c_str()));
  QImage square(kThumb, kThumb, QImage::Format_ARGB32_Premultiplied);
  square.fill(QColor(0x8a, 0x84, 0x78));
  if (!img.isNull()) {
    const QImage fit =
        img.scaled(kThumb - 4, kThumb - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter p(&square);
    p.drawImage((kThumb - fit.width()) / 2, (kThumb - fit.height()) / 2, fit);
  }
  return QIcon(QPixmap::fromImage(square));
}

}  // namespace

TAssetBrowser::TAssetBrowser(QWidget* Parent) : QWidget(Parent) {
  setObjectName("AssetBrowser");
  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(2);
  FGroups = new QComboBox(this);
  FGroups->setObjectName("AssetGroups");
  FSearch = new QLineEdit(this);
  FSearch->setObjectName("AssetSearch");
  FSearch->setClearButtonEnabled(true);
  FList = new TAssetList(this);
  FList->setObjectName("AssetList");
  FList->setViewMode(QListView::IconMode);
  FList->setIconSize(QSize(kThumb, kThumb));
  FList->setGridSize(QSize(kThumb + 12, kThumb + 22));
  FList->setResizeMode(QListView::Adjust);
  FList->setMovement(QListView::Static);
  FList->setWordWrap(true);
  FList->setSelectionMode(QAbstractItemView::SingleSelection);
  FList->setDragEnabled(true);
  FList->setDragDropMode(QAbstractItemView::DragOnly);
  col->addWidget(FGroups);
  col->addWidget(FSearch);
  col->addWidget(FList, 1);
  SetCaptions("Search", "All groups");

  connect(FSearch, &QLineEdit::textChanged, this, [this] { Refill(); });
  connect(FGroups, &QComboBox::currentIndexChanged, this, [this] { Refill(); });
  connect(FList, &QListWidget::itemClicked, this, [this](QListWidgetItem* Item) {
    const QString path = Item->data(kPathRole).toString();
    // A second click on the picked asset puts it back.
    if (path == FPicked)
      ClearPick();
    else
      Pick(path);
    emit AssetPicked(FPicked);
  });
}

TAssetBrowser::~TAssetBrowser() = default;

void TAssetBrowser::SetIndex(const TAssetIndex& Index) {
  FIndex = Index;
  const QString group = FGroups->currentData().toString();
  {
    const QSignalBlocker block(FGroups);
    FGroups->clear();
    FGroups->addItem(FAllGroups, QString());
    for (const std::string& g : FIndex.Groups())
      if (!g.empty()) FGroups->addItem(QString::fromStdString(g), QString::fromStdString(g));
    FGroups->setCurrentIndex(std::max(0, FGroups->findData(group)));
  }
  Refill();
}

void TAssetBrowser::SetCaptions(const QString& SearchHint, const QString& AllGroups) {
  FSearch->setPlaceholderText(SearchHint);
  FAllGroups = AllGroups;
  if (FGroups->count() > 0) FGroups->setItemText(0, AllGroups);
}

void TAssetBrowser::SetSearchText(const QString& Text) { FSearch->setText(Text); }

void TAssetBrowser::SetGroup(const QString& Group) {
  FGroups->setCurrentIndex(std::max(0, FGroups->findData(Group)));
}

QStringList TAssetBrowser::ShownAssets() const {
  QStringList out;
  for (int i = 0; i < FList->count(); ++i) out << FList->item(i)->data(kPathRole).toString();
  return out;
}

void TAssetBrowser::Pick(const QString& Path) {
  FPicked = Path;
  for (int i = 0; i < FList->count(); ++i)
    if (FList->item(i)->data(kPathRole).toString() == Path) FList->setCurrentRow(i);
}

void TAssetBrowser::ClearPick() {
  FPicked.clear();
  FList->clearSelection();
}

QMimeData* TAssetBrowser::MakeMimeData(const QString& Path) {
  auto* data = new QMimeData;
  data->setData(MimeType, Path.toUtf8());
  return data;
}

QString TAssetBrowser::AssetFromMimeData(const QMimeData* Data) {
  if (!Data || !Data->hasFormat(MimeType)) return {};
  return QString::fromUtf8(Data->data(MimeType));
}

void TAssetBrowser::Refill() {
  const QString group = FGroups->currentData().toString();
  FList->clear();
  for (const TAssetEntry* e : FIndex.Search(FSearch->text().toStdString())) {
    if (!group.isEmpty() && QString::fromStdString(e->Group) != group) continue;
    const std::string key = e->File.string();
    auto it = FThumbs.find(key);
    if (it == FThumbs.end()) it = FThumbs.emplace(key, Thumbnail(e->File)).first;
    QString caption = QString::fromStdString(e->Name);
    caption.replace('_', ' ');
    auto* item = new QListWidgetItem(it->second, caption, FList);
    const QString path = QString::fromStdString(e->Path);
    item->setData(kPathRole, path);
    item->setToolTip(path);
    if (path == FPicked) item->setSelected(true);
  }
}
