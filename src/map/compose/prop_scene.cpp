#include "map/compose/prop_scene.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "map/codec/image_file.h"

void TPropScene::SetResolver(TResolver Resolver) { FResolver = std::move(Resolver); }

void TPropScene::Reload() {
  FSources.clear();
  FPrepared.clear();
  FSprites.clear();
  FSpriteBytes = 0;
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

TPropScene::TSpriteKey TPropScene::KeyOf(size_t I) const {
  const TPropTransform& t = FItems[I].Transform;
  TPropShadow sh = FItems[I].Shadow;
  if (!sh.On) sh = TPropShadow{};
  return {FDrawn[I].Image,
          t.CenterX - std::floor(t.CenterX),
          t.CenterY - std::floor(t.CenterY),
          t.Rotation,
          t.Scale,
          t.Mirror,
          sh.On,
          sh.OffsetX,
          sh.OffsetY,
          sh.Softness,
          sh.Opacity};
}

void TPropScene::Prepare(size_t I, TPreparedMap& Prepared, TPreparedMap& Old, TSpriteMap& Sprites,
                         const TSpriteMap& OldSprites) {
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
  FDrawn[I].Sprite.reset();
  const TSpriteKey k = KeyOf(I);
  if (auto it2 = Sprites.find(k); it2 != Sprites.end())
    FDrawn[I].Sprite = it2->second;
  else if (auto old = OldSprites.find(k); old != OldSprites.end())
    FDrawn[I].Sprite = Sprites.emplace(k, old->second).first->second;
  FDrawn[I].Bounds = PropBounds(image->Width(), image->Height(), item.Transform, item.Shadow);
}

void TPropScene::SetItems(std::vector<TPropItem> Items) {
  FItems = std::move(Items);
  FDrawn.assign(FItems.size(), {});
  FMissing.clear();
  TPreparedMap prepared;
  TSpriteMap sprites;
  for (size_t i = 0; i < FItems.size(); ++i) Prepare(i, prepared, FPrepared, sprites, FSprites);
  FPrepared = std::move(prepared);
  FSprites = std::move(sprites);
  FSpriteBytes = 0;
  for (const auto& [key, sprite] : FSprites) FSpriteBytes += sprite->Bytes();
}

void TPropScene::SetItem(size_t I, TPropItem Item) {
  // The sprite of the old place goes unless another prop shares it (the map and
  // this prop hold it otherwise), so that a long drag does not pile them up.
  if (const auto& sprite = FDrawn.at(I).Sprite; sprite && sprite.use_count() == 2) {
    FSpriteBytes -= sprite->Bytes();
    FSprites.erase(KeyOf(I));
  }
  FItems[I] = std::move(Item);
  // Prepared images stay (another prop may use the one this prop used before);
  // the next SetItems lets go of those no prop uses.
  TPreparedMap none;
  Prepare(I, FPrepared, none, FSprites, TSpriteMap{});
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
  // Sprites for the props drawn for the first time, made side by side.
  std::vector<size_t> fresh;
  for (size_t i : shown)
    if (!FDrawn[i].Sprite && FSpriteBytes < kSpriteBudget) fresh.push_back(i);
  std::vector<std::shared_ptr<const TPropSprite>> made(fresh.size());
#pragma omp parallel for schedule(dynamic) if (fresh.size() > 4)
  for (size_t k = 0; k < fresh.size(); ++k) {
    const size_t i = fresh[k];
    made[k] =
        std::make_shared<TPropSprite>(*FDrawn[i].Image, FItems[i].Transform, FItems[i].Shadow);
  }
  for (size_t k = 0; k < fresh.size(); ++k) {
    auto [it, added] = FSprites.emplace(KeyOf(fresh[k]), made[k]);
    if (added) FSpriteBytes += made[k]->Bytes();
    FDrawn[fresh[k]].Sprite = it->second;
  }
  // Drawn from their sprites, props cost about a copy of their pixels: one
  // thread keeps up, and the view's threads are not stopped and started again.
  for (size_t i : shown) {
    const TRect part = IntersectRect(FDrawn[i].Bounds, Clip);
    if (FDrawn[i].Sprite)
      DrawPropSprite(*FDrawn[i].Sprite, FItems[i].Transform, Target, part, OffsetX, OffsetY);
    else
      DrawProp(*FDrawn[i].Image, FItems[i].Transform, FItems[i].Shadow, Target, part, OffsetX,
               OffsetY);
  }
}
