#pragma once
// The generated map the composition and output benchmarks share: 100 x 100 cells
// at chip size 50 with six layers (walls, four floors, an object layer), free-hand
// blobs and doors, refreshed.

#include <memory>
#include <random>

#include "map/document/map_edit_layer_list.h"

namespace {

constexpr int32_t kCells = 100;
constexpr int32_t kChip = 50;

inline void PaintCell(TMapEditLayerList& Map, int32_t CX, int32_t CY, int32_t Layer) {
  for (int32_t y = CY * kChip; y < (CY + 1) * kChip; ++y) {
    int32_t* row = Map.PixelGrid().Row(y);
    for (int32_t x = CX * kChip; x < (CX + 1) * kChip; ++x) row[x] = Layer;
  }
}

// Rooms of 10 x 10 cells walled in, each with its own floor, openings with doors,
// object cells and free-hand blobs that break cells up.
inline std::unique_ptr<TMapEditLayerList> MakeBenchMap() {
  auto map = std::make_unique<TMapEditLayerList>();
  map->SetSize(kCells, kCells, kChip);
  const char* sources[] = {"0", "255", "65280", "16711680", "8421504", "4227327"};
  for (const char* s : sources) map->AddLayer()->SetFileName(s);
  map->Layers(5)->LayerType = mltObject;
  std::mt19937 rng(42);
  for (int32_t cy = 0; cy < kCells; ++cy)
    for (int32_t cx = 0; cx < kCells; ++cx) {
      const bool wall = (cx % 10 == 0 || cy % 10 == 0) && !(cx % 10 == 5 || cy % 10 == 5);
      int32_t layer = wall ? 0 : 1 + int32_t(((cx / 10) * 7 + (cy / 10) * 3) % 4);
      if (!wall && rng() % 23 == 0) layer = 5;
      PaintCell(*map, cx, cy, layer);
      map->SetCell(cx, cy, 1);
    }
  std::uniform_int_distribution<int32_t> pos(0, kCells * kChip - 40), lay(0, 5);
  for (int32_t i = 0; i < 1500; ++i) {
    const int32_t x0 = pos(rng), y0 = pos(rng), L = lay(rng);
    for (int32_t y = y0; y < y0 + 30; ++y)
      for (int32_t x = x0; x < x0 + 22; ++x) {
        map->SetPixelLayer(x, y, L);
        map->SetCell(x / kChip, y / kChip, 0);
      }
  }
  TMapEditDoorList& doors = map->Doors();
  for (int32_t r = 0; r < kCells; r += 10)
    for (int32_t c = 5; c < kCells; c += 10) {
      TMapEditHorzDoor* h = doors.HorzDoor().Add();
      h->X = c;
      h->Y = r;
      h->Width = 1;
      h->Color = (c / 10) % 2 ? 0xFFC08040u : 0;
      TMapEditVertDoor* v = doors.VertDoor().Add();
      v->X = r;
      v->Y = c;
      v->Height = 1;
      v->Color = (c / 10) % 2 ? 0 : 0xFF4080C0u;
    }
  for (int32_t i = 0; i < 50; ++i) {
    TMapEditCustomDoor* f = doors.FreeDoor().Add();
    f->X = pos(rng);
    f->Y = pos(rng);
    f->X2 = f->X + 37;
    f->Y2 = f->Y + 11;
    f->Color = 0xFFFFFFFFu;
  }
  doors.HorzDoor().Sort();
  doors.VertDoor().Sort();
  doors.RebuildDoorBitmap();
  map->Refresh();
  return map;
}

}  // namespace
