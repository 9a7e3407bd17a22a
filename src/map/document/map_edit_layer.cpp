#include "map/document/map_edit_layer.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

#include "map/base/text_convert.h"
#include "map/codec/image_file.h"
#include "map/codec/texture_cache.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/texture_paths.h"
#include "record/errors.h"

namespace {

// "The chip <X,Y,S> of "path" " followed by What.
std::string ChipMessage(const TChipReference& Ref, const std::string& What) {
  std::string m = "The chip <";
  m.append(std::to_string(Ref.X)).append(",").append(std::to_string(Ref.Y)).append(",");
  m.append(std::to_string(Ref.S)).append("> of \"").append(Ref.Path).append("\" ").append(What);
  return m;
}

}  // namespace

bool ParseChipReference(const std::string& Text, TChipReference& Ref) {
  if (Text.empty() || Text[0] != '<') return false;
  std::string rest = Text.substr(1), token;
  CutToken(rest, ",", token);
  const std::optional<int32_t> x = TryStrToInt(token);
  if (!x) return false;
  CutToken(rest, ",", token);
  const std::optional<int32_t> y = TryStrToInt(token);
  if (!y) return false;
  CutToken(rest, ">", token);
  const std::optional<int32_t> s = TryStrToInt(token);
  if (!s) return false;
  Ref.X = *x;
  Ref.Y = *y;
  Ref.S = *s;
  Ref.Path = rest;
  return true;
}

TMapEditLayer::TMapEditLayer(TMapEditLayerList* Owner) : FOwner(Owner) {}

void TMapEditLayer::SetTiledImage(const TBitmap32& Tile) {
  FCoverage.Invalidate();
  FImage.SetTiled(Tile, TRect{0, 0, Tile.Width(), Tile.Height()}, FOwner ? FOwner->PixelWidth() : 0,
                  FOwner ? FOwner->PixelHeight() : 0, FOwner ? FOwner->ChipSize() : 1);
}

void TMapEditLayer::SetFileName(const std::string& Value, TTextureCache* Cache) {
  FFileName = Value;
  UpdateImage(Cache);
}

void TMapEditLayer::UpdateImage(TTextureCache* Cache) {
  FCoverage.Invalidate();
  const int32_t pw = FOwner ? FOwner->PixelWidth() : 0;
  const int32_t ph = FOwner ? FOwner->PixelHeight() : 0;
  const int32_t chip = FOwner ? FOwner->ChipSize() : 1;

  // Everything that can fail (decoding, a bad chip, allocation) happens before the
  // image is replaced, so that a failure leaves the layer's image as it was.
  if (const std::optional<int32_t> colour = TryStrToInt(FFileName)) {
    FImage.SetSolid(ColorFromPlatform(*colour), pw, ph, chip);
    return;
  }
  if (FFileName.empty()) return;

  // The image to tile: decoded here, or taken from the cache of the map being
  // built, which decodes each file once.
  TBitmap32 image;
  const TBitmap32* source = &image;
  TRect tile;
  auto decode = [&](const std::string& Path, int32_t& W, int32_t& H) {
    if (Cache) {
      Cache->ImageSize(Path, W, H);
    } else {
      // A relative path belongs to the map's folder, wherever the program runs.
      const std::optional<std::filesystem::path> found =
          FOwner && !FOwner->TextureFolder.empty() ? FindTextureFile(Path, FOwner->TextureFolder)
                                                   : std::nullopt;
      LoadImageFile(found ? found->string() : Path, image);
      W = image.Width();
      H = image.Height();
    }
  };
  int32_t w = 0, h = 0;
  if (FFileName[0] == '<') {
    TChipReference ref;
    if (!ParseChipReference(FFileName, ref)) {
      FFileName.clear();
      return;
    }
    if (ref.S <= 0) throw EImageError(ChipMessage(ref, "has no size"));
    decode(ref.Path, w, h);
    // The whole chip must lie inside the image; anything else would read outside it.
    if (ref.X < 0 || ref.Y < 0 || int64_t(ref.X) + ref.S > w || int64_t(ref.Y) + ref.S > h)
      throw EImageError(ChipMessage(ref, "lies outside the image (" + std::to_string(w) + " x " +
                                             std::to_string(h) + " pixels)"));
    tile = {ref.X, ref.Y, ref.X + ref.S, ref.Y + ref.S};
    if (Cache) source = &Cache->Pixels(ref.Path, tile, tile);
  } else {
    decode(FFileName, w, h);
    if (w <= 0 || h <= 0)
      throw EImageError(std::string("The image \"").append(FFileName).append("\" is empty"));
    tile = {0, 0, w, h};
    if (Cache) source = &Cache->Pixels(FFileName, tile, tile);
  }
  FImage.SetTiled(*source, tile, pw, ph, chip);
}

void TMapEditLayer::AssignTo(TSongData* Dest) const {
  auto* layer = dynamic_cast<TMapEditLayer*>(Dest);
  if (layer == nullptr) {
    TSongData::AssignTo(Dest);
    return;
  }
  // A layer that already belongs to a document stays with it: taking over the
  // source's document would leave a copied layer list pointing at another (maybe
  // freed) document.
  if (layer->FOwner == nullptr) layer->FOwner = FOwner;
  layer->LayerName = LayerName;
  layer->LayerType = LayerType;
  // Last, since rebuilding the image may fail; the other fields are copied by then.
  layer->SetFileName(FFileName);
}

void TMapEditLayer::LoadFromStream(TStream& Stream) {
  LayerName = ReadShortText(Stream);
  SetFileName(ReadText(Stream));
}

void TMapEditLayer::SaveToStream(TStream& Stream) const {
  WriteShortText(Stream, LayerName);
  WriteText(Stream, FFileName);
}
