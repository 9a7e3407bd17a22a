#pragma once
// TPropScene: the props of a map made ready for composition. Each prop names its
// image by its stored path; the scene finds the file through a resolver, decodes
// each file once, prepares it at the scale it is drawn at and keeps the map
// rectangle each prop may touch. A prop whose image cannot be found or read is
// drawn as a placeholder (a crossed magenta square) and its path stays as it was.
// Composition draws the scene above the floor layers and beneath the doors,
// walls and shades.

#include <compare>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "map/compose/prop_draw.h"
#include "map/raster/bitmap32.h"

// One prop to draw. Transform.Scale is in map pixels per image pixel.
struct TPropItem {
  uint64_t Id = 0;
  std::string Path;
  TPropTransform Transform;
  TPropShadow Shadow;
};

// An image that could not be used: its stored path and why.
struct TPropMissing {
  std::string Path;
  std::string Reason;
};

class TPropScene {
 public:
  // Where the file of a stored path is; empty when there is none.
  using TResolver = std::function<std::filesystem::path(const std::string&)>;

  TPropScene() = default;
  TPropScene(const TPropScene&) = delete;
  TPropScene& operator=(const TPropScene&) = delete;

  // The resolver for later SetItems calls; by default a stored path is a file path.
  void SetResolver(TResolver Resolver);
  // Replaces the props, drawn in this order (later ones on top). Images already
  // decoded are kept; prepared images no prop uses any more are let go.
  void SetItems(std::vector<TPropItem> Items);
  // Replaces prop I only (a prop moved, turned or scaled).
  void SetItem(size_t I, TPropItem Item);
  // Forgets every decoded image (the asset files changed).
  void Reload();

  const std::vector<TPropItem>& Items() const { return FItems; }
  bool Empty() const { return FItems.empty(); }
  // The map pixels prop I may touch, shadow included.
  const TRect& Bounds(size_t I) const { return FDrawn[I].Bounds; }
  // The images that were missing or unreadable, each path once, in item order.
  const std::vector<TPropMissing>& Missing() const { return FMissing; }
  // Whether prop I is drawn as the placeholder.
  bool IsPlaceholder(size_t I) const { return FDrawn[I].Placeholder; }
  // The prop's image size in image pixels (the placeholder's for a missing one).
  void ImageSize(size_t I, int32_t& Width, int32_t& Height) const;
  // The alpha of prop I at map pixel (X, Y) (0 outside it), for picking props.
  uint8_t AlphaAt(size_t I, int32_t X, int32_t Y) const;

  // Whether some prop may touch a map pixel of Area.
  bool Touches(const TRect& Area) const;
  // Draws every prop that touches Clip, in order, changing only Clip's map pixels;
  // map pixel (x, y) is Target pixel (x + OffsetX, y + OffsetY).
  void Draw(TBitmap32& Target, const TRect& Clip, int32_t OffsetX, int32_t OffsetY) const;

  // The side of the placeholder image, in image pixels (one cell of the pack).
  static constexpr int32_t kPlaceholderSize = 256;

 private:
  struct TSource {
    std::shared_ptr<TBitmap32> Image;  // null when it could not be read
    std::string Reason;
  };
  struct TDrawn {
    const TPropImage* Image = nullptr;
    // Made when the prop is first drawn (null until then, or over the budget).
    mutable std::shared_ptr<const TPropSprite> Sprite;
    TRect Bounds;
    bool Placeholder = false;
  };
  // What a sprite depends on.
  struct TSpriteKey {
    const TPropImage* Image;
    double FracX, FracY, Rotation, Scale;
    bool Mirror, Shadow;
    double OffsetX, OffsetY, Softness;
    uint8_t Opacity;
    auto operator<=>(const TSpriteKey&) const = default;
  };
  using TSpriteMap = std::map<TSpriteKey, std::shared_ptr<const TPropSprite>>;
  TSpriteKey KeyOf(size_t I) const;
  const TSource& SourceOf(const std::string& Path);
  // Prepares prop I: its image at its scale (from Prepared when there, else from
  // Old, else made anew) and its bounds.
  using TPreparedMap = std::map<std::pair<const TBitmap32*, double>, std::unique_ptr<TPropImage>>;
  // Its sprite is taken over from Sprites or else OldSprites when made before.
  void Prepare(size_t I, TPreparedMap& Prepared, TPreparedMap& Old, TSpriteMap& Sprites,
               const TSpriteMap& OldSprites);
  const TBitmap32& Placeholder();

  TResolver FResolver;
  std::vector<TPropItem> FItems;
  std::vector<TDrawn> FDrawn;
  std::vector<TPropMissing> FMissing;
  std::map<std::string, TSource> FSources;  // by stored path
  TPreparedMap FPrepared;
  // Sprites by what they depend on, and their bytes (kept under kSpriteBudget).
  mutable TSpriteMap FSprites;
  mutable size_t FSpriteBytes = 0;
  static constexpr size_t kSpriteBudget = size_t(256) << 20;
  std::unique_ptr<TBitmap32> FPlaceholder;
};
