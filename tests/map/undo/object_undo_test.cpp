// The object record of the undo history.

#include <gtest/gtest.h>

#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_object_list.h"
#include "map/undo/undo_history.h"
#include "record/errors.h"
#include "record/stream.h"

TEST(ObjectUndo, RecordsTheListBeforeAndExchangesIt) {
  TMapEditLayerList doc;
  doc.SetSize(2, 2, 4);
  TUndoHistory h;
  h.SetUndoLimit(2);
  h.Reset();

  // Three edits with a limit of two: the first can no longer be undone.
  for (const char* type : {"a", "b", "c"}) {
    h.PushObjectUndo(doc.Objects());
    doc.Objects().Add(TMapObject::Make(type));
  }
  ASSERT_EQ(h.UndoList().Count(), 2);
  const uint64_t idB = doc.Objects().At(1).Id;
  h.Undo(doc);
  h.Undo(doc);
  ASSERT_EQ(doc.Objects().Count(), 1u);
  EXPECT_EQ(doc.Objects().At(0).Type, "a");
  EXPECT_FALSE(h.CanUndo());
  h.Redo(doc);
  ASSERT_EQ(doc.Objects().Count(), 2u);
  EXPECT_EQ(doc.Objects().At(1).Id, idB);

  // A copy of a record carries its objects.
  TMapEditUndo copy;
  copy.Assign(h.UndoList().Items(1));
  EXPECT_EQ(copy.AddType, mutObjects);
  ASSERT_NE(copy.ObjectsIfCreated(), nullptr);
  EXPECT_EQ(copy.Objects().size(), 3u);  // what redo brings back: a, b and c

  // The stream form has no room for objects: reading such a record back is
  // refused rather than giving a record that would empty the list.
  TMemoryStream stream;
  copy.SaveToStream(stream);
  stream.SetPosition(0);
  TMapEditUndo loaded;
  EXPECT_THROW(loaded.LoadFromStream(stream), EConvertError);
}
