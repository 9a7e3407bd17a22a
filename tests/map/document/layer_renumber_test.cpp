#include "map/document/layer_renumber.h"

#include <gtest/gtest.h>

#include "map/document/map_edit_layer_list.h"
#include "map/undo/map_edit_undo.h"
#include "map/file/new_map.h"
#include "map/undo/undo_history.h"
#include "record/errors.h"

namespace {

TEST(LayerRenumber, InsertAndDeleteMoveEveryEntryIncludingUndoSnapshots) {
  TMapEditLayerList map;
  CreateNewMap(map, 4, 1, 2);
  for (int i = 0; i < 3; ++i) map.AddLayer();  // layers 0..3
  auto* row = map.PixelGrid().Row(0);
  const int32_t start[8] = {0, 1, 2, 3, 3, 2, 1, 0};
  for (int x = 0; x < 8; ++x) row[x] = start[x];
  TUndoHistory undo;
  undo.SetUndoLimit(4);
  // A painting record that keeps every cell as it was (the first pixel row holding
  // the start values), then a change of the second pixel row.
  undo.PushUndo(map, mutMapRefresh, {0, 0}, {0, 0}, 0);
  for (int x = 0; x < 8; ++x) map.SetPixelLayer(x, 1, 1);

  InsertLayerRenumbered(map, 2, &undo);
  ASSERT_EQ(map.Count(), 5);
  const int32_t afterInsert[8] = {0, 1, 3, 4, 4, 3, 1, 0};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(map.PixelLayers(x, 0), afterInsert[x]) << x;

  DeleteLayerRenumbered(map, 3, &undo);  // the old layer 2: its pixels take old 3
  const int32_t afterDelete[8] = {0, 1, 3, 3, 3, 3, 1, 0};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(map.PixelLayers(x, 0), afterDelete[x]) << x;

  // Deleting the last layer hands its pixels to the one before it.
  DeleteLayerRenumbered(map, 3, &undo);
  ASSERT_EQ(map.Count(), 3);
  const int32_t afterLast[8] = {0, 1, 2, 2, 2, 2, 1, 0};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(map.PixelLayers(x, 0), afterLast[x]) << x;

  // The snapshot was renumbered through the same steps: 0,1,2,3 became 0,1,2,2.
  for (int x = 0; x < 8; ++x) row[x] = 0;
  undo.ApplyUndo(map, TUndoDirection::Undo);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(map.PixelLayers(x, 0), afterLast[x]) << x;

  EXPECT_THROW(DeleteLayerRenumbered(map, 0), EListError);  // the wall layer stays
  EXPECT_THROW(DeleteLayerRenumbered(map, 3), EListError);
  EXPECT_THROW(InsertLayerRenumbered(map, 4), EListError);
  EXPECT_EQ(map.Count(), 3);
}

}  // namespace
