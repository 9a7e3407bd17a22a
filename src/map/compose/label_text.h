#pragma once
// Text for labels, drawn without any window system: FreeType renders the glyphs
// of a bold sans-serif font (DejaVu Sans Bold), with a Japanese font (IPA Gothic)
// for the characters the first one lacks.

#include <cstdint>
#include <string>
#include <vector>

#include "map/raster/bitmap32.h"

// Coverage of a text: one byte per pixel (0 none, 255 full), placed at map
// pixel (Left, Top).
struct TTextMask {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  std::vector<uint8_t> Alpha;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  uint8_t At(int32_t X, int32_t Y) const { return Alpha[size_t(Y) * size_t(Width) + size_t(X)]; }
};

enum class TTextAlign { Left, Center, Right };

struct TTextLayout {
  std::string Text;          // UTF-8; "\n" starts a new line
  int32_t PixelHeight = 16;  // the font's em size in pixels
  // The anchor in map pixels: the start, middle or end of the lines by Align,
  // halfway up the block of lines.
  int32_t X = 0, Y = 0;
  TTextAlign Align = TTextAlign::Center;
};

// Whether a label font was found; without one, labels are not drawn.
bool LabelFontAvailable();
// The font files in use (for messages), empty when none was found.
std::string LabelFontDescription();

// Renders Layout's text, keeping only the part inside Clip (map pixels) widened
// by Margin on every side. An empty mask when nothing falls there or no font was
// found.
TTextMask RenderText(const TTextLayout& Layout, const TRect& Clip, int32_t Margin);

// Widens Mask by Radius pixels on every side (a halo around the letters): each
// pixel takes the largest coverage within Radius of it.
TTextMask DilateMask(const TTextMask& Mask, int32_t Radius);

// Draws Color, its alpha scaled by the mask's coverage, onto Target: Clip is the
// composed part of the map (map pixels) and its top-left lies at (DestX, DestY) of
// Target. Nothing is drawn outside Clip.
void DrawMask(const TTextMask& Mask, TColor32 Color, TBitmap32& Target, const TRect& Clip,
              int32_t DestX, int32_t DestY);
