#include "map/compose/label_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace {

// Bold sans-serif first, then fonts with the Japanese characters.
const char* const kPrimaryFonts[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};
const char* const kFallbackFonts[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
};
// The largest em size rendered; larger labels are drawn at this size.
constexpr int32_t kMaxPixelHeight = 2048;

class TFonts {
 public:
  static TFonts& Get() {
    static TFonts fonts;
    return fonts;
  }
  std::mutex Lock;
  FT_Library Library = nullptr;
  FT_Face Primary = nullptr, Fallback = nullptr;
  std::string Description;

 private:
  TFonts() {
    if (FT_Init_FreeType(&Library) != 0) {
      Library = nullptr;
      return;
    }
    Primary = Open(kPrimaryFonts);
    Fallback = Open(kFallbackFonts);
    if (!Primary) std::swap(Primary, Fallback);
  }
  ~TFonts() {
    if (Primary) FT_Done_Face(Primary);
    if (Fallback) FT_Done_Face(Fallback);
    if (Library) FT_Done_FreeType(Library);
  }
  template <size_t N>
  FT_Face Open(const char* const (&Paths)[N]) {
    for (const char* path : Paths) {
      std::error_code ec;
      if (!std::filesystem::is_regular_file(path, ec)) continue;
      FT_Face face = nullptr;
      if (FT_New_Face(Library, path, 0, &face) == 0) {
        if (!Description.empty()) Description += ", ";
        Description += path;
        return face;
      }
    }
    return nullptr;
  }
};

// The code points of UTF-8 text; a byte that starts no valid sequence stands
// for U+FFFD.
std::vector<uint32_t> CodePoints(const std::string& Text) {
  std::vector<uint32_t> out;
  const auto* p = reinterpret_cast<const unsigned char*>(Text.data());
  const size_t n = Text.size();
  for (size_t i = 0; i < n;) {
    const unsigned c = p[i];
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = len > 0 && i + len <= n;
    for (size_t k = 1; ok && k < len; ++k) {
      ok = (p[i + k] & 0xC0) == 0x80;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += len;
  }
  return out;
}

struct TGlyph {
  FT_Face Face;
  FT_UInt Index;
};

TGlyph FindGlyph(TFonts& F, uint32_t Cp) {
  if (F.Primary)
    if (FT_UInt i = FT_Get_Char_Index(F.Primary, Cp); i != 0) return {F.Primary, i};
  if (F.Fallback)
    if (FT_UInt i = FT_Get_Char_Index(F.Fallback, Cp); i != 0) return {F.Fallback, i};
  return {F.Primary ? F.Primary : F.Fallback, 0};
}

// A rendered glyph placed in map pixels.
struct TPlaced {
  int32_t Left, Top, Width, Height;
  std::vector<uint8_t> Alpha;
};

}  // namespace

bool LabelFontAvailable() {
  TFonts& f = TFonts::Get();
  return f.Primary != nullptr;
}

std::string LabelFontDescription() { return TFonts::Get().Description; }

TTextMask RenderText(const TTextLayout& Layout, const TRect& Clip, int32_t Margin) {
  TTextMask mask;
  TFonts& fonts = TFonts::Get();
  if (!fonts.Primary || Layout.Text.empty()) return mask;
  std::lock_guard lock(fonts.Lock);
  const int32_t px = std::clamp(Layout.PixelHeight, 1, kMaxPixelHeight);
  for (FT_Face face : {fonts.Primary, fonts.Fallback})
    if (face) FT_Set_Pixel_Sizes(face, 0, FT_UInt(px));

  // Lines and their advances.
  std::vector<std::vector<TGlyph>> lines(1);
  for (uint32_t cp : CodePoints(Layout.Text)) {
    if (cp == '\n') {
      lines.emplace_back();
      continue;
    }
    if (cp == '\r') continue;
    lines.back().push_back(FindGlyph(fonts, cp));
  }
  const FT_Size_Metrics& m = fonts.Primary->size->metrics;
  const int64_t ascender = m.ascender >> 6, descender = m.descender >> 6;  // descender < 0
  const int64_t lineHeight = std::max<int64_t>(1, m.height >> 6);
  const int64_t blockHeight = lineHeight * int64_t(lines.size());
  const int64_t top = int64_t(Layout.Y) - blockHeight / 2;
  // The glyphs lie halfway between ascender and descender on each line.
  const int64_t inLine = (lineHeight - (ascender - descender)) / 2 + ascender;

  const TRect wide{Clip.Left - Margin, Clip.Top - Margin, Clip.Right + Margin,
                   Clip.Bottom + Margin};
  std::vector<TPlaced> placed;
  for (size_t li = 0; li < lines.size(); ++li) {
    const int64_t baseline = top + int64_t(li) * lineHeight + inLine;
    // Skip lines wholly above or below the area.
    if (baseline + px < wide.Top || baseline - 2 * px > wide.Bottom) continue;
    int64_t width = 0;
    for (const TGlyph& g : lines[li])
      if (FT_Load_Glyph(g.Face, g.Index, FT_LOAD_DEFAULT) == 0) width += g.Face->glyph->advance.x;
    width >>= 6;
    int64_t pen = Layout.Align == TTextAlign::Left    ? Layout.X
                  : Layout.Align == TTextAlign::Right ? Layout.X - width
                                                      : Layout.X - width / 2;
    for (const TGlyph& g : lines[li]) {
      if (FT_Load_Glyph(g.Face, g.Index, FT_LOAD_RENDER) != 0) continue;
      const FT_GlyphSlot slot = g.Face->glyph;
      const FT_Bitmap& b = slot->bitmap;
      const int64_t left = pen + slot->bitmap_left, gtop = baseline - slot->bitmap_top;
      pen += slot->advance.x >> 6;
      if (b.pixel_mode != FT_PIXEL_MODE_GRAY || b.width == 0 || b.rows == 0) continue;
      if (left >= wide.Right || left + b.width <= wide.Left || gtop >= wide.Bottom ||
          gtop + b.rows <= wide.Top)
        continue;
      TPlaced p{int32_t(left), int32_t(gtop), int32_t(b.width), int32_t(b.rows), {}};
      p.Alpha.resize(size_t(b.width) * b.rows);
      for (unsigned y = 0; y < b.rows; ++y)
        std::copy(b.buffer + ptrdiff_t(y) * b.pitch, b.buffer + ptrdiff_t(y) * b.pitch + b.width,
                  p.Alpha.begin() + ptrdiff_t(y) * b.width);
      placed.push_back(std::move(p));
    }
  }
  if (placed.empty()) return mask;
  int32_t l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, bo = INT32_MIN;
  for (const TPlaced& p : placed) {
    l = std::min(l, p.Left);
    t = std::min(t, p.Top);
    r = std::max(r, p.Left + p.Width);
    bo = std::max(bo, p.Top + p.Height);
  }
  // Only the part near the area is kept, so a huge label costs no more than it shows.
  l = std::max(l, wide.Left);
  t = std::max(t, wide.Top);
  r = std::min(r, wide.Right);
  bo = std::min(bo, wide.Bottom);
  if (r <= l || bo <= t) return mask;
  mask.Left = l;
  mask.Top = t;
  mask.Width = r - l;
  mask.Height = bo - t;
  mask.Alpha.assign(size_t(mask.Width) * size_t(mask.Height), 0);
  for (const TPlaced& p : placed)
    for (int32_t y = std::max(p.Top, t); y < std::min(p.Top + p.Height, bo); ++y)
      for (int32_t x = std::max(p.Left, l); x < std::min(p.Left + p.Width, r); ++x) {
        uint8_t& d = mask.Alpha[size_t(y - t) * size_t(mask.Width) + size_t(x - l)];
        d = std::max(d, p.Alpha[size_t(y - p.Top) * size_t(p.Width) + size_t(x - p.Left)]);
      }
  return mask;
}

TTextMask DilateMask(const TTextMask& Mask, int32_t Radius) {
  if (Mask.Empty() || Radius <= 0) return Mask;
  TTextMask out;
  out.Left = Mask.Left - Radius;
  out.Top = Mask.Top - Radius;
  out.Width = Mask.Width + 2 * Radius;
  out.Height = Mask.Height + 2 * Radius;
  // Rows first, into a buffer as tall as the mask, then columns.
  std::vector<uint8_t> rows(size_t(out.Width) * size_t(Mask.Height), 0);
  for (int32_t y = 0; y < Mask.Height; ++y)
    for (int32_t x = 0; x < Mask.Width; ++x) {
      const uint8_t v = Mask.At(x, y);
      if (v == 0) continue;
      uint8_t* row = rows.data() + size_t(y) * size_t(out.Width) + size_t(x);
      for (int32_t k = 0; k <= 2 * Radius; ++k) row[k] = std::max(row[k], v);
    }
  out.Alpha.assign(size_t(out.Width) * size_t(out.Height), 0);
  for (int32_t y = 0; y < Mask.Height; ++y)
    for (int32_t x = 0; x < out.Width; ++x) {
      const uint8_t v = rows[size_t(y) * size_t(out.Width) + size_t(x)];
      if (v == 0) continue;
      for (int32_t k = 0; k <= 2 * Radius; ++k) {
        uint8_t& d = out.Alpha[size_t(y + k) * size_t(out.Width) + size_t(x)];
        d = std::max(d, v);
      }
    }
  return out;
}

void DrawMask(const TTextMask& Mask, TColor32 Color, TBitmap32& Target, const TRect& Clip,
              int32_t DestX, int32_t DestY) {
  if (Mask.Empty()) return;
  const TRect area = IntersectRect(
      Clip, TRect{Mask.Left, Mask.Top, Mask.Left + Mask.Width, Mask.Top + Mask.Height});
  const uint32_t alpha = AlphaOf(Color);
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    const int64_t ty = int64_t(y) - Clip.Top + DestY;
    if (ty < 0 || ty >= Target.Height()) continue;
    TColor32* row = Target.ScanLine(int32_t(ty));
    for (int32_t x = area.Left; x < area.Right; ++x) {
      const int64_t tx = int64_t(x) - Clip.Left + DestX;
      if (tx < 0 || tx >= Target.Width()) continue;
      const uint32_t a = (alpha * Mask.At(x - Mask.Left, y - Mask.Top) + 127) / 255;
      if (a == 0) continue;
      row[tx] = BlendPixel(WithAlpha(Color, uint8_t(a)), row[tx]);
    }
  }
}
