#include "map/document/map_edit_layer.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "map/codec/image_file.h"
#include "map/codec/texture_cache.h"
#include "map/document/map_edit_layer_list.h"
#include "map/base/text_convert.h"
#include "record/errors.h"

namespace {

// Repeats the tile SourceRect of Source over the whole of Dest: the tile is laid
// side by side along the top strip (clipped at the right edge), then the top strip
// is repeated downwards. Rows are copied whole; the tile's pixels, alpha included,
// replace what Dest held.
void TileImage(const TBitmap32& Source, const TRect& SourceRect, TBitmap32& Dest) {
  const int32_t w = Dest.Width(), h = Dest.Height();
  const int32_t tw = SourceRect.Width(), th = SourceRect.Height();
  // A map without pixels in one direction (no columns, say) has no rows to fill
  // either, and an empty tile has nothing to lay.
  if (w <= 0 || h <= 0 || tw <= 0 || th <= 0) return;
  const int32_t strip = std::min(th, h);
  for (int32_t y = 0; y < strip; ++y) {
    const TColor32* src = Source.ScanLine(SourceRect.Top + y) + SourceRect.Left;
    TColor32* dst = Dest.ScanLine(y);
    for (int32_t x = 0; x < w; x += tw)
      std::memcpy(dst + x, src, size_t(std::min(tw, w - x)) * sizeof(TColor32));
  }
  const size_t rowBytes = size_t(w) * sizeof(TColor32);
#pragma omp parallel for schedule(static) if (int64_t(w) * h > (int64_t(1) << 20))
  for (int32_t y = strip; y < h; ++y)
    std::memcpy(Dest.ScanLine(y), Dest.ScanLine(y % th), rowBytes);
}

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

TMapEditLayer::TMapEditLayer(TMapEditLayerList* Owner) : FOwner(Owner) { FBMP.DrawMode = dmBlend; }

void TMapEditLayer::SetFileName(const std::string& Value, TTextureCache* Cache) {
  FFileName = Value;
  UpdateImage(Cache);
}

void TMapEditLayer::UpdateImage(TTextureCache* Cache) {
  FCoverage.Invalidate();
  const int32_t pw = FOwner ? FOwner->PixelWidth() : 0;
  const int32_t ph = FOwner ? FOwner->PixelHeight() : 0;

  // Everything that can fail (decoding, a bad chip, allocation) happens before BMP
  // is touched, so that a failure leaves the layer's image as it was. The new
  // image is built in place when BMP already has the map's size.
  TBitmap32 fresh;
  auto target = [&]() -> TBitmap32& {
    if (FBMP.Width() == pw && FBMP.Height() == ph) return FBMP;
    fresh.SetSize(pw, ph);
    return fresh;
  };
  auto commit = [&](TBitmap32& Built) {
    if (&Built != &FBMP) FBMP.TakePixels(Built);
  };

  if (const std::optional<int32_t> colour = TryStrToInt(FFileName)) {
    TBitmap32& out = target();
    out.Clear(ColorFromPlatform(*colour));
    commit(out);
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
      LoadImageFile(Path, image);
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
  TBitmap32& out = target();
  TileImage(*source, tile, out);
  commit(out);
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
