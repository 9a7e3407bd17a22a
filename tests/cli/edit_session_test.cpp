#include "cli/edit_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli_values.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/new_map.h"

using vcli::TCommandError;
using vcli::TEditSession;
using vcli::TokenizeCommand;
using Words = std::vector<std::string>;

namespace {

TEST(EditSession, TokenizerQuotesAndComments) {
  EXPECT_EQ(TokenizeCommand("  paint-chip 1\t2 3  "), (Words{"paint-chip", "1", "2", "3"}));
  EXPECT_EQ(TokenizeCommand("add-layer \"Stone floor\" a.png"),
            (Words{"add-layer", "Stone floor", "a.png"}));
  EXPECT_EQ(TokenizeCommand("add-layer \"say \\\"hi\\\" \\\\ \" x"),
            (Words{"add-layer", "say \"hi\" \\ ", "x"}));
  EXPECT_EQ(TokenizeCommand("add-layer \"\" x"), (Words{"add-layer", "", "x"}));
  EXPECT_TRUE(TokenizeCommand("# a comment").empty());
  EXPECT_TRUE(TokenizeCommand("   #FF0000 is still a comment line").empty());
  EXPECT_TRUE(TokenizeCommand("").empty());
  EXPECT_TRUE(TokenizeCommand(" \t ").empty());
  // After a command, a colour stays a word and a lone "#" starts a comment.
  EXPECT_EQ(TokenizeCommand("door 1 2 h #FF0000 # red"), (Words{"door", "1", "2", "h", "#FF0000"}));
  EXPECT_EQ(TokenizeCommand("undo #"), (Words{"undo"}));
  EXPECT_THROW(TokenizeCommand("add-layer \"open x"), TCommandError);
}

TEST(EditSession, ValueParsers) {
  EXPECT_EQ(vcli::ParseInt("42"), 42);
  EXPECT_EQ(vcli::ParseInt("-7"), -7);
  EXPECT_FALSE(vcli::ParseInt("4x"));
  EXPECT_FALSE(vcli::ParseInt(""));
  EXPECT_FALSE(vcli::ParseInt("99999999999"));
  EXPECT_EQ(vcli::ParseSize("20x15"), std::make_pair(20, 15));
  EXPECT_EQ(vcli::ParseSize("3X4"), std::make_pair(3, 4));
  EXPECT_FALSE(vcli::ParseSize("20"));
  EXPECT_FALSE(vcli::ParseSize("20x"));
  EXPECT_FALSE(vcli::ParseSize("x5"));
  // #RRGGBB becomes the platform value R + 256 G + 65536 B.
  EXPECT_EQ(vcli::ParseHexColor("#808080"), 8421504);
  EXPECT_EQ(vcli::ParseHexColor("#FF0000"), 0x0000FF);
  EXPECT_EQ(vcli::ParseHexColor("#0000ff"), 0xFF0000);
  EXPECT_FALSE(vcli::ParseHexColor("808080"));
  EXPECT_FALSE(vcli::ParseHexColor("#80808"));
  EXPECT_FALSE(vcli::ParseHexColor("#80808G"));
  EXPECT_EQ(vcli::ParseDoorColor("none"), clNone);
  EXPECT_FALSE(vcli::ParseDoorColor("None"));
}

TEST(EditSession, TouchedCellsNewestFirstWithoutDuplicates) {
  TRecordList cells;
  // Stamp of radius 4 at (33, 30), chip size 16: cell (2, 1); left 1, right 2,
  // top 1, bottom 2.
  vcli::RecordTouchedCells(cells, 33, 30, 2, 1, 4, 16);
  std::vector<TPoint> got;
  for (int32_t i = 0; i < cells.Count(); ++i) got.push_back(cells.Item(i));
  // Added in order (2,1), (1,1), (1,2), (2,2), each at the front.
  EXPECT_EQ(got, (std::vector<TPoint>{{2, 2}, {1, 2}, {1, 1}, {2, 1}}));
  // A second stamp in the same cell adds nothing new.
  vcli::RecordTouchedCells(cells, 34, 31, 2, 1, 2, 16);
  EXPECT_EQ(cells.Count(), 4);
}

TEST(EditSession, ArgumentsAreCheckedBeforeAnythingChanges) {
  TMapEditLayerList map;
  CreateNewMap(map, 4, 3, 8);
  TEditSession session(map, 4);
  session.ExecuteLine("add-layer Grass 65280");
  ASSERT_EQ(map.Count(), 2);
  // The checks below start without undo steps.
  session.History().Reset();

  auto fails = [&](const std::string& Line, const std::string& Says) {
    try {
      session.ExecuteLine(Line);
      ADD_FAILURE() << Line << " was accepted";
    } catch (const TCommandError& e) {
      EXPECT_NE(std::string(e.what()).find(Says), std::string::npos) << e.what();
    }
  };
  fails("paint-chip 4 0 1", "cell (4, 0) is outside");
  fails("paint-chip 0 0 2", "layer 2 does not exist");
  fails("paint-chip 0 0", "usage: paint-chip CX CY LAYER");
  fails("paint-chip a 0 1", "CX \"a\" is not an integer");
  fails("circle 32 0 2 1", "pixel (32, 0) is outside");
  fails("circle 3 3 0 1", "radius 0");
  fails("rect-pixels 0 0 33 5 1", "point (33, 5) is outside");
  fails("ellipse-pixels 4 4 9 4 1", "encloses no pixel");
  fails("door 4 0 h", "edge (4, 0) is outside");
  fails("door 0 3 v", "edge (0, 3) is outside");
  fails("free-door 5 5 5 5", "two different ends");
  fails("edit-layer 1 X 0", "layer-list index 1 does not exist");
  fails("add-layer X 0 before=1", "layer-list index 1 does not exist");
  fails("undo", "nothing to undo");
  fails("jump", "unknown command \"jump\"");
  // None of the refused commands changed the map or pushed a record.
  EXPECT_EQ(map.Count(), 2);
  EXPECT_FALSE(session.History().CanUndo());
  for (int32_t x = 0; x < 32; ++x) EXPECT_EQ(map.PixelLayers(x, 0), 0);

  // The edges on the map's right and bottom borders are accepted.
  session.ExecuteLine("door 0 3 h");
  session.ExecuteLine("door 4 0 v");
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 1);
  EXPECT_EQ(map.Doors().VertDoor().Count(), 1);

  // add-layer before=0 inserts at document index 1, as the editor's "add before".
  session.ExecuteLine("add-layer Water 16711680 object before=0");
  EXPECT_EQ(map.Layers(1)->LayerName, "Water");
  EXPECT_EQ(map.Layers(1)->LayerType, mltObject);
  EXPECT_EQ(map.Layers(2)->LayerName, "Grass");
  session.ExecuteLine("delete-layer 0");
  EXPECT_EQ(map.Layers(1)->LayerName, "Grass");
  EXPECT_THROW(TEditSession(map, 0), TCommandError);
}

}  // namespace

namespace {

// Layer changes from the tool keep every painted cell's texture, and undo after
// them restores the right textures.
TEST(EditSession, LayerInsertAndDeleteKeepTextures) {
  TMapEditLayerList map;
  CreateNewMap(map, 3, 1, 4);
  TEditSession session(map, 8);
  session.ExecuteLine("add-layer A 255");
  session.ExecuteLine("add-layer B 65280");
  session.ExecuteLine("paint-chip 0 0 1");
  session.ExecuteLine("paint-chip 1 0 2");
  auto nameAt = [&](int32_t CX) { return map.Layers(map.PixelLayers(CX * 4 + 1, 1))->LayerName; };
  session.ExecuteLine("add-layer C 16711680 before=0");
  EXPECT_EQ(map.Layers(1)->LayerName, "C");
  EXPECT_EQ(nameAt(0), "A");
  EXPECT_EQ(nameAt(1), "B");
  EXPECT_EQ(nameAt(2), "壁");
  session.ExecuteLine("undo");  // the insertion of "C"
  EXPECT_EQ(map.Layers(1)->LayerName, "A");
  EXPECT_EQ(nameAt(1), "B");
  session.ExecuteLine("undo");  // the stroke on cell 1
  EXPECT_EQ(nameAt(1), "壁");
  session.ExecuteLine("redo");
  EXPECT_EQ(nameAt(1), "B");
  session.ExecuteLine("redo");
  EXPECT_EQ(map.Layers(1)->LayerName, "C");
  // Deleting "A" (list item 1): its pixels take "B", now in its place.
  session.ExecuteLine("delete-layer 1");
  ASSERT_EQ(map.Count(), 3);
  EXPECT_EQ(nameAt(0), "B");
  EXPECT_EQ(nameAt(1), "B");
  // A failed add (unreadable source) leaves every number as it was.
  EXPECT_ANY_THROW(session.ExecuteLine("add-layer D missing-file.png before=0"));
  ASSERT_EQ(map.Count(), 3);
  EXPECT_EQ(map.Layers(1)->LayerName, "C");
  EXPECT_EQ(nameAt(1), "B");
}

}  // namespace
