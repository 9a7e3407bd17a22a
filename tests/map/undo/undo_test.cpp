// Undo records, their stream form, and the undo history over real edits.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "map/document/map_edit_layer_list.h"
#include "map/undo/map_edit_undo.h"
#include "map/undo/undo_history.h"
#include "record/errors.h"

namespace {

void MakeMap(TMapEditLayerList& Map, int32_t W, int32_t H, int32_t Cs) {
  Map.SetSize(W, H, Cs);
  for (int32_t i = 0; i < 3; ++i) Map.AddLayer()->SetFileName(std::to_string(0x00203040 + i));
  Map.PixelGrid().Fill(1);
  Map.CellGrid().Fill(1);
  Map.Refresh();
}

// Pushes a painting record and paints one chip, as the chip pencil does.
void PaintStroke(TUndoHistory& H, TMapEditLayerList& Map, int32_t CX, int32_t CY, int32_t Layer) {
  H.PushUndo(Map, mutMapRefresh, {7, 7}, {8, 8}, 99);
  Map.PaintChip(CX, CY, Layer);
}

std::vector<TColor32> LayerImage(TMapEditLayerList& Map, int32_t Layer) {
  const TBitmap32& b = Map.Layers(Layer)->BMP();
  return {b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height())};
}

std::vector<uint8_t> Bytes(const TSongData& D) {
  TMemoryStream s;
  D.SaveToStream(s);
  return s.Bytes();
}

}  // namespace

TEST(UndoRecord, StreamFormCopyAndLayerMapping) {
  TMapEditUndo r;
  r.AddType = mutAddDoor;
  r.Point1 = {3, -2};
  r.Point2 = {1, 0};
  r.DoorColor = 0x00112233;
  const std::vector<uint8_t> plain = {1, 3, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1,    0,    0,   0,
                                      0, 0, 0, 0, 0, 0,    0,    0,    0x33, 0x22, 0x11, 0x00};
  EXPECT_EQ(Bytes(r), plain);

  TMapEditCustomDoor* d = r.DeletedDoors().Add();
  d->X = 5;
  d->Y2 = 9;
  d->Color = 0xFF0000FFu;
  TMemoryStream s;
  r.SaveToStream(s);
  ASSERT_EQ(s.Size(), plain.size() + 20);
  s.SetPosition(0);
  TMapEditUndo back;
  back.LoadFromStream(s);
  EXPECT_EQ(Bytes(back), Bytes(r));
  ASSERT_EQ(back.DeletedDoors().Count(), 1);
  EXPECT_EQ(back.DeletedDoors().Items(0)->Y2, 9);

  // An unknown kind is refused.
  TMemoryStream bad;
  bad.WriteRaw(uint8_t(kLastUndoType + 1));
  bad.SetPosition(0);
  EXPECT_THROW(back.LoadFromStream(bad), EConvertError);

  // Copying takes the kept cells, and nothing for the deleted doors frees them.
  TGrid2D<int32_t> pixels;
  TGrid2D<uint8_t> flags;
  pixels.Reset(4, 2);
  flags.Reset(2, 1);
  pixels.At(3, 1) = 2;
  flags.At(1, 0) = 1;
  r.Blocks().Begin(2, 1, 2);
  r.Blocks().Keep(pixels, flags, 1, 0, 1, 0);
  r.Blocks().Finish();
  ASSERT_EQ(r.Blocks().Count(), 1);
  EXPECT_EQ(r.Blocks().Cell(0), (TPoint{1, 0}));
  TMapEditUndo c;
  c.Assign(&r);
  ASSERT_EQ(c.Blocks().Count(), 1);
  EXPECT_EQ(c.Blocks().Pixel(0, 1, 1), 2);
  EXPECT_EQ(c.Blocks().Flag(0), 1);
  EXPECT_EQ(c.Point1, (TPoint{3, -2}));
  EXPECT_EQ(c.DeletedDoors().Count(), 1);
  c.SetDeletedDoors(nullptr);
  EXPECT_EQ(c.DeletedDoorsIfCreated(), nullptr);
  TMapEditLayerList notARecord;
  EXPECT_THROW(c.Assign(&notARecord), EConvertError);

  r.MapLayerIndices([](int32_t L) { return L >= 2 ? L + 1 : L; });
  EXPECT_EQ(r.Blocks().Pixel(0, 1, 1), 3);
  EXPECT_EQ(r.Blocks().Pixel(0, 0, 0), 0);
}

TEST(UndoHistory, LimitEnablingAndRedoTail) {
  TMapEditLayerList map;
  MakeMap(map, 6, 2, 8);
  TUndoHistory h;
  h.Reset();
  EXPECT_EQ(h.UndoLimit(), TUndoHistory::DefaultUndoLimit);
  h.SetUndoLimit(4);
  EXPECT_FALSE(h.CanUndo());
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.UndoIndex(), 0);

  for (int32_t i = 0; i < 5; ++i) PaintStroke(h, map, i, 0, 0);
  EXPECT_EQ(h.UndoList().Count(), 4);
  EXPECT_EQ(h.UndoIndex(), 3);
  EXPECT_TRUE(h.CanUndo());
  EXPECT_FALSE(h.CanRedo());
  // The painting record ignores the points and the colour given.
  EXPECT_EQ(h.UndoList().Items(3)->Point1, (TPoint{0, 0}));
  EXPECT_EQ(h.UndoList().Items(3)->DoorColor, 0);
  for (int32_t i = 0; i < 4; ++i) h.Undo(map);
  EXPECT_EQ(h.UndoIndex(), -1);
  EXPECT_FALSE(h.CanUndo());
  h.Undo(map);  // nothing left: no change
  EXPECT_EQ(h.UndoIndex(), -1);
  // The first stroke cannot be undone any more.
  EXPECT_EQ(map.PixelLayers(4, 4), 0);
  EXPECT_EQ(map.PixelLayers(12, 4), 1);

  // Paint, paint, undo, paint: the undone record is dropped.
  h.Reset();
  PaintStroke(h, map, 0, 1, 2);
  PaintStroke(h, map, 1, 1, 2);
  h.Undo(map);
  EXPECT_TRUE(h.CanRedo());
  PaintStroke(h, map, 2, 1, 2);
  EXPECT_EQ(h.UndoList().Count(), 2);
  EXPECT_EQ(h.UndoIndex(), 1);
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(map.PixelLayers(12, 12), 1);  // the undone stroke stays undone
  EXPECT_EQ(map.PixelLayers(20, 12), 2);
  h.Undo(map);
  h.Undo(map);
  EXPECT_EQ(map.PixelLayers(4, 12), 1);
  EXPECT_EQ(map.PixelLayers(20, 12), 1);

  // A limit below 1 keeps one record instead of looping for ever.
  h.SetUndoLimit(0);
  EXPECT_EQ(h.UndoLimit(), 1);
  h.SetUndoLimit(-5);
  h.Reset();
  PaintStroke(h, map, 3, 1, 0);
  PaintStroke(h, map, 4, 1, 0);
  EXPECT_EQ(h.UndoList().Count(), 1);
  h.Undo(map);
  EXPECT_EQ(map.PixelLayers(36, 12), 1);
  EXPECT_EQ(map.PixelLayers(28, 12), 0);
}

TEST(UndoHistory, StrokeUndoRedoRestoresGridsAndImages) {
  TMapEditLayerList map;
  MakeMap(map, 5, 4, 16);
  map.CellGrid().At(3, 3) = 0;
  map.SetPixelLayer(60, 60, 2);
  map.Refresh();
  const TGrid2D<int32_t> pixels0 = map.PixelGrid();
  const TGrid2D<uint8_t> cells0 = map.CellGrid();
  const auto image0 = LayerImage(map, 1);

  TUndoHistory h;
  h.Reset();
  h.PushUndo(map, mutMapRefresh, {}, {}, 0);
  for (int32_t x = 10; x < 70; x += 3) map.PaintCircle(x, 30, 4, 0);
  map.FillRectPixels(3, 40, 50, 61, 2);
  const TGrid2D<int32_t> pixels1 = map.PixelGrid();
  const TGrid2D<uint8_t> cells1 = map.CellGrid();
  map.Refresh();
  const auto image1 = LayerImage(map, 1);
  ASSERT_NE(pixels1, pixels0);
  ASSERT_NE(cells1, cells0);

  int32_t redrawn = 0;
  map.OnRedrawCell = [&](int32_t, int32_t) { ++redrawn; };
  h.Undo(map);
  EXPECT_EQ(redrawn, 20);  // ends with a full refresh
  EXPECT_EQ(map.PixelGrid(), pixels0);
  EXPECT_EQ(map.CellGrid(), cells0);
  EXPECT_EQ(LayerImage(map, 1), image0);
  h.Redo(map);
  EXPECT_EQ(map.PixelGrid(), pixels1);
  EXPECT_EQ(map.CellGrid(), cells1);
  EXPECT_EQ(LayerImage(map, 1), image1);
  h.Undo(map);
  EXPECT_EQ(map.PixelGrid(), pixels0);
  EXPECT_EQ(map.PixelGrid().Width(), 80);
  EXPECT_EQ(map.PixelGrid().Height(), 64);
}

TEST(UndoHistory, DoorClicksKeepTheirColours) {
  TMapEditLayerList map;
  MakeMap(map, 4, 4, 16);
  TUndoHistory h;
  h.Reset();

  // A click that adds a door: undo removes it, redo brings it back in its colour.
  h.PushUndo(map, mutAddDoor, {1, 2}, {1, 0}, 0x000000FF);
  map.ToggleDoor(1, 2, true, 0x000000FF);
  h.Undo(map);
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 0);
  h.Redo(map);
  ASSERT_EQ(map.Doors().HorzDoor().Count(), 1);
  EXPECT_EQ(map.Doors().HorzDoor().Items(0)->Color, 0xFFFF0000u);

  // A click that removes a door with another colour chosen: undo restores the door
  // with its own colour.
  h.PushUndo(map, mutAddDoor, {1, 2}, {1, 0}, 0x0000FF00);
  map.ToggleDoor(1, 2, true, 0x0000FF00);
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 0);
  h.Undo(map);
  ASSERT_EQ(map.Doors().HorzDoor().Count(), 1);
  EXPECT_EQ(map.Doors().HorzDoor().Items(0)->Color, 0xFFFF0000u);
  h.Redo(map);
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 0);
  h.Undo(map);
  ASSERT_EQ(map.Doors().HorzDoor().Count(), 1);
  EXPECT_EQ(map.Doors().HorzDoor().Items(0)->Color, 0xFFFF0000u);

  // A vertical door without fill comes back without fill.
  map.ToggleDoor(3, 0, false, clNone);
  h.PushUndo(map, mutAddDoor, {3, 0}, {0, 0}, 0x00FFFFFF);
  map.ToggleDoor(3, 0, false, 0x00FFFFFF);
  EXPECT_EQ(map.Doors().VertDoor().Count(), 0);
  h.Undo(map);
  ASSERT_EQ(map.Doors().VertDoor().Count(), 1);
  EXPECT_EQ(map.Doors().VertDoor().Items(0)->Color, 0u);
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 1);
}

TEST(UndoHistory, FreeDoorDeletionAndAddition) {
  TMapEditLayerList map;
  MakeMap(map, 8, 8, 16);
  map.AddFreeDoor(10, 10, 50, 10, 0x000000FF);
  map.AddFreeDoor(20, 60, 20, 100, 0x0000FF00);
  map.AddFreeDoor(30, 5, 30, 40, 0x00FF0000);
  TUndoHistory h;
  h.Reset();

  TMapEditCustomDoorList copy;
  copy.Assign(&map.Doors().FreeDoor());
  map.DeleteFreeDoorsAt(30, 11);  // on the first and the third door
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 1);
  h.PushFreeDoorUndo(copy);
  EXPECT_EQ(h.UndoList().Items(0)->AddType, mutDeleteFreeDoor);

  h.Undo(map);
  const TMapEditCustomDoorList& f = map.Doors().FreeDoor();
  ASSERT_EQ(f.Count(), 3);
  EXPECT_EQ(f.Items(0)->Y, 10);
  EXPECT_EQ(f.Items(0)->Color, 0xFFFF0000u);
  EXPECT_EQ(f.Items(1)->Y2, 100);
  EXPECT_EQ(f.Items(2)->X, 30);
  EXPECT_EQ(f.Items(2)->Color, 0xFF0000FFu);
  EXPECT_NE(map.Doors().DoorPixelCode(30, 20), 0);
  h.Redo(map);
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 1);
  EXPECT_EQ(map.Doors().FreeDoor().Items(0)->X, 20);
  EXPECT_EQ(map.Doors().DoorPixelCode(30, 20), 0);
  h.Undo(map);

  // An added free door: undo removes it, redo adds it back with its colour.
  map.AddFreeDoor(70, 70, 110, 90, 0x00336699);
  h.PushUndo(map, mutAddFreeDoor, {70, 70}, {110, 90}, 0);
  // The undone deletion was dropped before the new record.
  ASSERT_EQ(h.UndoList().Count(), 1);
  EXPECT_EQ(h.UndoList().Items(0)->AddType, mutAddFreeDoor);
  EXPECT_EQ(h.UndoList().Items(0)->DoorColor, 0x00336699);
  EXPECT_FALSE(h.CanRedo());
  h.Undo(map);
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 3);
  EXPECT_EQ(map.Doors().FreeDoor().Items(2)->X, 30);
  EXPECT_EQ(map.Doors().DoorPixelCode(90, 80), 0);
  h.Redo(map);
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 4);
  const TMapEditCustomDoor* d = map.Doors().FreeDoor().Items(3);
  EXPECT_EQ(d->X, 70);
  EXPECT_EQ(d->Y, 70);
  EXPECT_EQ(d->X2, 110);
  EXPECT_EQ(d->Y2, 90);
  EXPECT_EQ(d->Color, 0xFF996633u);
  EXPECT_NE(map.Doors().DoorPixelCode(90, 80), 0);

  // Two doors with the same ends: undo removes only the later one, redo adds it.
  map.AddFreeDoor(70, 70, 110, 90, 0x00000001);
  h.PushUndo(map, mutAddFreeDoor, {70, 70}, {110, 90}, 0);
  h.Undo(map);
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 4);
  EXPECT_EQ(map.Doors().FreeDoor().Items(3)->Color, 0xFF996633u);
  h.Redo(map);
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 5);
  EXPECT_EQ(map.Doors().FreeDoor().Items(4)->Color, 0xFF010000u);
}

TEST(UndoHistory, MappingLayerIndicesReachesEveryPaintingRecord) {
  TMapEditLayerList map;
  MakeMap(map, 3, 3, 8);
  TUndoHistory h;
  h.Reset();
  PaintStroke(h, map, 0, 0, 2);
  h.PushUndo(map, mutAddDoor, {0, 0}, {1, 0}, clNone);
  map.ToggleDoor(0, 0, true, clNone);
  PaintStroke(h, map, 1, 0, 0);
  // Each painting record kept the one cell its chip changed, as it was (layer 1
  // everywhere; the second cell had not been painted yet).
  ASSERT_EQ(h.UndoList().Items(0)->Blocks().Count(), 1);
  ASSERT_EQ(h.UndoList().Items(2)->Blocks().Count(), 1);
  EXPECT_EQ(h.UndoList().Items(2)->Blocks().Cell(0), (TPoint{1, 0}));
  // Layer 1 was deleted: 2 becomes 1, and 1 becomes 0.
  h.MapLayerIndices([](int32_t L) { return L >= 1 ? L - 1 : L; });
  EXPECT_EQ(h.UndoList().Items(0)->Blocks().Pixel(0, 0, 0), 0);
  EXPECT_EQ(h.UndoList().Items(2)->Blocks().Pixel(0, 7, 7), 0);
  EXPECT_EQ(h.UndoList().Items(1)->Blocks().Count(), 0);
}
