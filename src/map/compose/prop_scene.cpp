#include "map/compose/prop_scene.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "map/codec/image_file.h"

void TPropScene::SetResolver(TResolver Resolver) { FResolver = std::move(Resolver); }

void TPropScene::Reload() {
  FSources.clear();
  FPrepared.clear();
  FShadows.clear();
  SetItems(std::move(FItems));
}

const TPropScene::TSource& TPropScene::SourceOf(const std::string& Path) {
  auto it = FSources.find(Path);
  if (it != FSources.end()) return it->second;
  TSource s;
  const std::filesystem::path file = FResolver ? FResolver(Path) : std::filesystem::path(Path);
  if (file.empty()) {
    s.Reason = "not found";
  } else {
    try {
      auto image = std::make_shared<TBitmap32>();
      LoadImageFile(file.string(), *image);
      if (image->Empty()) throw std::runtime_error("empty image");
      s.Image = std::move(image);
    } catch (const std::exception& e) {
      s.Reason = e.what();
    }
  }
  return FSources.emplace(Path, std::move(s)).first->second;
}

const TBitmap32& TPropScene::Placeholder() {
  if (!FPlaceholder) {
    // A translucent magenta square with a dark frame and a cross: plainly not a
    // prop, and the same size as one cell of the pack.
    constexpr int32_t n = kPlaceholderSize, frame = 12;
    FPlaceholder = std::make_unique<TBitmap32>();
    FPlaceholder->SetSize(n, n);
    for (int32_t y = 0; y < n; ++y)
      for (int32_t x = 0; x < n; ++x) {
        const bool edge = x < frame || y < frame || x >= n - frame || y >= n - frame;
        const bool cross = std::abs(x - y) < frame / 2 || std::abs(x + y - (n - 1)) < frame / 2;
        FPlaceholder->Pixel(x, y) = edge ? 0xFF200020 : cross ? 0xFFFF00FF : 0x80FF00FF;
      }
  }
  return *FPlaceholder;
}

void TPropScene::Prepare(size_t I, TPreparedMap& Prepared, TPreparedMap& Old, TShadowMap& Shadows,
                         TShadowMap& OldShadows) {
  const TPropItem& item = FItems[I];
  const TSource& src = SourceOf(item.Path);
  const TBitmap32* image = src.Image.get();
  FDrawn[I].Placeholder = !image;
  if (!image) {
    image = &Placeholder();
    const bool listed = std::any_of(FMissing.begin(), FMissing.end(),
                                    [&](const TPropMissing& M) { return M.Path == item.Path; });
    if (!listed) FMissing.push_back({item.Path, src.Reason});
  }
  const auto key = std::make_pair(image, item.Transform.Scale);
  auto it = Prepared.find(key);
  if (it == Prepared.end()) {
    auto old = Old.find(key);
    std::unique_ptr<TPropImage> p =
        old != Old.end() ? std::move(old->second)
                         : std::make_unique<TPropImage>(*image, item.Transform.Scale);
    it = Prepared.emplace(key, std::move(p)).first;
  }
  FDrawn[I].Image = it->second.get();
  FDrawn[I].Shadow.reset();
  const TPropTransform& t = item.Transform;
  const TPropShadow& sh = item.Shadow;
  if (sh.On && sh.Opacity > 0) {
    const TShadowKey k{FDrawn[I].Image,
                       t.CenterX - std::floor(t.CenterX),
                       t.CenterY - std::floor(t.CenterY),
                       t.Rotation,
                       t.Scale,
                       t.Mirror,
                       sh.OffsetX,
                       sh.OffsetY,
                       sh.Softness,
                       sh.Opacity};
    auto s = Shadows.find(k);
    if (s == Shadows.end()) {
      auto old = OldShadows.find(k);
      std::shared_ptr<const TPropShadowMask> m =
          old != OldShadows.end() ? old->second
                                  : std::make_shared<TPropShadowMask>(*FDrawn[I].Image, t, sh);
      s = Shadows.emplace(k, std::move(m)).first;
    }
    FDrawn[I].Shadow = s->second;
  }
  FDrawn[I].Bounds = PropBounds(image->Width(), image->Height(), item.Transform, item.Shadow);
}

void TPropScene::SetItems(std::vector<TPropItem> Items) {
  FItems = std::move(Items);
  FDrawn.assign(FItems.size(), {});
  FMissing.clear();
  TPreparedMap prepared;
  TShadowMap shadows;
  for (size_t i = 0; i < FItems.size(); ++i) Prepare(i, prepared, FPrepared, shadows, FShadows);
  FPrepared = std::move(prepared);
  FShadows = std::move(shadows);
}

void TPropScene::SetItem(size_t I, TPropItem Item) {
  FItems.at(I) = std::move(Item);
  // Prepared images stay (another prop may use the one this prop used before);
  // the next SetItems lets go of those no prop uses.
  TPreparedMap none;
  TShadowMap noShadows;
  Prepare(I, FPrepared, none, FShadows, noShadows);
}

void TPropScene::ImageSize(size_t I, int32_t& Width, int32_t& Height) const {
  Width = FDrawn[I].Image->SourceWidth();
  Height = FDrawn[I].Image->SourceHeight();
}

uint8_t TPropScene::AlphaAt(size_t I, int32_t X, int32_t Y) const {
  return PropAlphaAt(*FDrawn[I].Image, FItems[I].Transform, X, Y);
}

bool TPropScene::Touches(const TRect& Area) const {
  return std::any_of(FDrawn.begin(), FDrawn.end(),
                     [&](const TDrawn& D) { return !IntersectRect(D.Bounds, Area).IsEmpty(); });
}

void TPropScene::Draw(TBitmap32& Target, const TRect& Clip, int32_t OffsetX,
                      int32_t OffsetY) const {
  // The props that touch the clip, in order.
  std::vector<size_t> shown;
  for (size_t i = 0; i < FItems.size(); ++i)
    if (!IntersectRect(FDrawn[i].Bounds, Clip).IsEmpty()) shown.push_back(i);
  if (shown.empty()) return;
  // Bands of rows are independent (each prop is drawn clipped to the band, in the
  // same order), so a large area is shared out between the threads.
  constexpr int32_t kBand = 32;
  const int32_t bands = (Clip.Height() + kBand - 1) / kBand;
  const int64_t area = int64_t(Clip.Width()) * Clip.Height();
#pragma omp parallel for schedule(dynamic) if (area >= 65536)
  for (int32_t b = 0; b < bands; ++b) {
    const TRect band{Clip.Left, Clip.Top + b * kBand, Clip.Right,
                     std::min(Clip.Bottom, Clip.Top + (b + 1) * kBand)};
    for (size_t i : shown) {
      const TRect part = IntersectRect(FDrawn[i].Bounds, band);
      if (part.IsEmpty()) continue;
      if (FDrawn[i].Shadow)
        DrawPropMasked(*FDrawn[i].Image, FItems[i].Transform, *FDrawn[i].Shadow, Target, part,
                       OffsetX, OffsetY);
      else
        DrawProp(*FDrawn[i].Image, FItems[i].Transform, TPropShadow{}, Target, part, OffsetX,
                 OffsetY);
    }
  }
}
