#pragma once
// TMapEditLayer: one layer of the map: a name, a type, an image source and the
// layer's image at map pixel size (whose alpha channel the composition rewrites),
// held as its texture strip and an alpha plane (TLayerImage).

#include <cstdint>
#include <string>

#include "map/document/cell_coverage.h"
#include "map/document/layer_image.h"
#include "map/raster/bitmap32.h"
#include "record/song_data.h"

class TMapEditLayerList;
class TTextureCache;

enum TMapEditLayerType : uint8_t { mltGround = 0, mltFloor = 1, mltObject = 2 };

// Whether the layer's texture could be built when the map was loaded. A missing or
// unreadable texture leaves a placeholder image and FileName untouched.
enum class TTextureState : uint8_t { Ok, Missing, Unreadable };

class TMapEditLayer : public TSongData {
 public:
  explicit TMapEditLayer(TMapEditLayerList* Owner = nullptr);

  std::string LayerName;
  TMapEditLayerType LayerType = mltGround;
  TTextureState TextureState = TTextureState::Ok;

  const std::string& FileName() const { return FFileName; }
  // Stores the source and rebuilds the image (UpdateImage); an unreadable image
  // raises and keeps the new FileName.
  void SetFileName(const std::string& Value, TTextureCache* Cache = nullptr);
  // Stores the source without touching the image.
  void SetFileNameOnly(const std::string& Value) { FFileName = Value; }

  // The layer's image for reading, as one surface (built on demand from the
  // texture and the alpha; the composition reads Image instead).
  const TBitmap32& BMP() const { return FImage.Picture(); }
  // Writable access drops the cell coverage: whoever writes through it may change
  // any pixel. The image is a plain map-sized surface from then on.
  TBitmap32& BMPForWriting() {
    FCoverage.Invalidate();
    return FImage.Full();
  }
  void SetBMP(const TBitmap32& Value) {
    FCoverage.Invalidate();
    FImage.SetFull(Value);
  }
  // Sets the alpha of every pixel, keeping the colours.
  void SetAllAlpha(uint8_t A) {
    FCoverage.Invalidate();
    FImage.SetAllAlpha(A);
  }
  // The layer's image in its own form.
  const TLayerImage& Image() const { return FImage; }
  // For the composition of cells and painting, which keep the coverage up to
  // date themselves.
  TLayerImage& ImageKeepingCoverage() { return FImage; }
  // Replaces the image by Tile repeated over the map (a placeholder, say).
  void SetTiledImage(const TBitmap32& Tile);
  // Where in each cell row the image's alpha may be non-zero, and where it is
  // opaque, as the composition of cells last left it (valid after a Refresh, kept
  // by later cell redraws and painting).
  TCellCoverage& Coverage() { return FCoverage; }
  const TCellCoverage& Coverage() const { return FCoverage; }

  TMapEditLayerList* Owner() const { return FOwner; }
  // Moves the layer to another document (when a loaded map replaces the open one).
  void SetOwner(TMapEditLayerList* Owner) { FOwner = Owner; }

  // Rebuilds BMP from FileName: a colour number, nothing for empty text, a chip
  // reference "<X,Y,S>path" or an image path, tiled over the map's pixel size.
  // Images come from Cache when given (the textures of a map being built).
  void UpdateImage(TTextureCache* Cache = nullptr);

  void AssignTo(TSongData* Dest) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TMapEditLayer"; }

 private:
  TMapEditLayerList* FOwner;
  std::string FFileName;
  TLayerImage FImage;
  TCellCoverage FCoverage;
};

// A parsed chip reference "<X,Y,S>path".
struct TChipReference {
  int32_t X = 0, Y = 0, S = 0;
  std::string Path;
};
// Parses a chip reference; nothing when Text does not start with "<" or X, Y or S
// does not convert.
bool ParseChipReference(const std::string& Text, TChipReference& Ref);
