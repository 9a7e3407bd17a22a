#pragma once
// Drawing one prop: an image with alpha placed on the map at a centre in map
// pixels, turned freely, scaled, optionally mirrored and with a soft drop shadow.
// Sampling is bilinear in premultiplied colour on an image first shrunk with an
// area filter to about the size it is drawn at, so that small props stay smooth
// and large ones crisp. All arithmetic after the transform is in integers, so the
// result is exact and the same on every run.

#include <cstdint>
#include <vector>

#include "map/raster/bitmap32.h"

struct TPropTransform {
  double CenterX = 0, CenterY = 0;  // where the image's centre lands, map pixels
  double Rotation = 0;              // degrees, clockwise on the map
  double Scale = 1;                 // map pixels per image pixel
  bool Mirror = false;              // flipped left to right before it is turned
};

struct TPropShadow {
  bool On = false;
  double OffsetX = 0, OffsetY = 0;  // map pixels
  double Softness = 0;              // blur radius in map pixels; 0 gives a hard shadow
  uint8_t Opacity = 128;            // of the shadow beneath an opaque part of the prop
};

// An image made ready to be drawn at one scale (map pixels per image pixel).
class TPropImage {
 public:
  TPropImage() = default;
  TPropImage(const TBitmap32& Source, double Scale);

  int32_t SourceWidth() const { return FSourceW; }
  int32_t SourceHeight() const { return FSourceH; }
  double PreparedScale() const { return FScale; }

  // Premultiplied pixels of the shrunk image with a transparent border of one
  // pixel: (Width + 2) x (Height + 2).
  int32_t Width() const { return FW; }
  int32_t Height() const { return FH; }
  const uint32_t* Row(int32_t Y) const {
    return FPixels.data() + size_t(Y + 1) * size_t(FW + 2) + 1;
  }

 private:
  friend class TPropSampler;
  int32_t FSourceW = 0, FSourceH = 0, FW = 0, FH = 0;
  double FScale = 1;
  std::vector<uint32_t> FPixels;
};

// The map pixels that drawing the prop may change, shadow included.
TRect PropBounds(int32_t ImageWidth, int32_t ImageHeight, const TPropTransform& T,
                 const TPropShadow& S = {});

// Draws the prop (over its shadow) onto Target, changing only the map pixels in
// Clip; map pixel (x, y) is Target pixel (x + OffsetX, y + OffsetY). Each pixel
// goes over the target in premultiplied colour: an opaque one replaces it, a
// see-through one leaves it its share, alpha included.
void DrawProp(const TPropImage& Image, const TPropTransform& T, const TPropShadow& S,
              TBitmap32& Target, const TRect& Clip, int32_t OffsetX = 0, int32_t OffsetY = 0);

// A prop drawn once, shadow included, for every place with the same fraction of
// a pixel, turn, scale and shadow: a prop moved by whole pixels keeps its sprite,
// and drawing the view again is a copy. The pixels are the ones DrawProp gives.
class TPropSprite {
 public:
  TPropSprite() = default;
  TPropSprite(const TPropImage& Image, const TPropTransform& T, const TPropShadow& S);
  size_t Bytes() const { return FPixels.size() * sizeof(uint32_t); }

 private:
  friend void DrawPropSprite(const TPropSprite&, const TPropTransform&, TBitmap32&, const TRect&,
                             int32_t, int32_t);
  TRect FArea;                    // around the pixel holding the centre
  std::vector<uint32_t> FPixels;  // premultiplied
};

// DrawProp through a sprite made for the same prop (T may differ from the
// sprite's by whole pixels).
void DrawPropSprite(const TPropSprite& Sprite, const TPropTransform& T, TBitmap32& Target,
                    const TRect& Clip, int32_t OffsetX = 0, int32_t OffsetY = 0);

// The alpha the prop covers map pixel (X, Y) with (0 outside it).
uint8_t PropAlphaAt(const TPropImage& Image, const TPropTransform& T, int32_t X, int32_t Y);
