#pragma once
// TAssetBrowser: the prop images beside the canvas. A group chooser and a search
// field filter the thumbnails; an image is dragged onto the map, or picked with a
// click and then placed by clicking the map.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <map>
#include <memory>

#include "map/base/asset_index.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QMimeData;

class TAssetBrowser : public QWidget {
  Q_OBJECT
 public:
  // The drag-and-drop type that carries an asset's stored path (UTF-8).
  static const char* const MimeType;

  explicit TAssetBrowser(QWidget* Parent = nullptr);
  ~TAssetBrowser() override;

  // Shows the images of Index (thumbnails are made once per file).
  void SetIndex(const TAssetIndex& Index);
  const TAssetIndex& Index() const { return FIndex; }

  // The captions: the search field's hint and the group chooser's "all" item.
  void SetCaptions(const QString& SearchHint, const QString& AllGroups);

  // Filters: the search text and the group ("" for all groups).
  void SetSearchText(const QString& Text);
  void SetGroup(const QString& Group);
  // The stored paths of the thumbnails shown, in order.
  QStringList ShownAssets() const;

  // The asset picked for placing by clicks on the map; empty when none.
  QString PickedAsset() const { return FPicked; }
  void Pick(const QString& Path);
  void ClearPick();

  // The drag data for an asset, and the asset a drop carries (empty if none).
  static QMimeData* MakeMimeData(const QString& Path);
  static QString AssetFromMimeData(const QMimeData* Data);

  QListWidget* List() const { return FList; }

 signals:
  // A thumbnail was clicked: the asset is picked (empty: the pick was cleared).
  void AssetPicked(const QString& Path);

 private:
  void Refill();

  TAssetIndex FIndex;
  QLineEdit* FSearch = nullptr;
  QComboBox* FGroups = nullptr;
  QListWidget* FList = nullptr;
  QString FPicked;
  QString FAllGroups;
  std::map<std::string, QIcon> FThumbs;  // by file path
};
