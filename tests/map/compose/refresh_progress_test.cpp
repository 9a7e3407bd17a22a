// Refresh with a progress report: the same pixels and coverage as without one,
// reports that climb to the whole map, and a stop from the report.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "map/base/progress.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/new_map.h"

namespace {

void MakeEdited(TMapEditLayerList& Map) {
  CreateNewMap(Map, 70, 90, 8);  // more columns than one batch
  for (const char* source : {"255", "65280"}) Map.AddLayer()->SetFileName(source);
  Map.FastDraw = true;
  Map.FillRectChips(2, 3, 40, 60, 1);
  Map.PaintCircle(100, 100, 7, 2);
  Map.EllipsePixels(300, 20, 500, 400, 2);
  Map.FastDraw = false;
}

// The pixels of a surface or the shades, row after row.
template <class TImage>
std::vector<TColor32> Pixels(const TImage& B) {
  std::vector<TColor32> out;
  out.reserve(size_t(B.Width()) * size_t(B.Height()));
  for (int32_t y = 0; y < B.Height(); ++y)
    for (int32_t x = 0; x < B.Width(); ++x) out.push_back(B.Pixel(x, y));
  return out;
}

TEST(RefreshProgress, SameResultAsWithoutAReport) {
  TMapEditLayerList plain, reported;
  MakeEdited(plain);
  MakeEdited(reported);
  // Stale coverage on one side: the refresh must start it over either way.
  reported.Layers(1)->Coverage().Reset(reported.Width(), reported.Height(), 8, false);
  plain.Refresh();
  std::vector<int64_t> done;
  int64_t total = 0;
  reported.Refresh([&](const char* Stage, int64_t Done, int64_t Total) {
    EXPECT_EQ(std::string(Stage), "refresh");
    done.push_back(Done);
    total = Total;
  });
  ASSERT_GE(done.size(), 3u);
  EXPECT_EQ(done.front(), 0);
  EXPECT_EQ(done.back(), 70 * 90);
  EXPECT_EQ(total, 70 * 90);
  for (size_t i = 1; i < done.size(); ++i) EXPECT_GT(done[i], done[i - 1]);
  for (int32_t i = 0; i < plain.Count(); ++i) {
    EXPECT_EQ(Pixels(std::as_const(*plain.Layers(i)).BMP()),
              Pixels(std::as_const(*reported.Layers(i)).BMP()))
        << "layer " << i;
    const TCellCoverage& a = plain.Layers(i)->Coverage();
    const TCellCoverage& b = reported.Layers(i)->Coverage();
    ASSERT_EQ(a.Valid(), b.Valid());
    for (int32_t y = 0; y < a.Height() * 8; ++y) {
      auto ra = a.Row(y, 70, 90, 8), rb = b.Row(y, 70, 90, 8);
      ASSERT_EQ(bool(ra), bool(rb));
      if (!ra) continue;
      for (int32_t x = 0; x < a.Width(); ++x) {
        EXPECT_EQ(ra[x].Begin, rb[x].Begin) << i << " " << x << "," << y;
        EXPECT_EQ(ra[x].End, rb[x].End) << i << " " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(Pixels(*plain.ShadesIfCreated()), Pixels(*reported.ShadesIfCreated()));
}

TEST(RefreshProgress, AReportStopsTheWork) {
  TMapEditLayerList map;
  MakeEdited(map);
  int calls = 0;
  EXPECT_THROW(map.Refresh([&](const char*, int64_t Done, int64_t) {
    ++calls;
    if (Done > 0) throw EOperationCancelled();
  }),
               EOperationCancelled);
  EXPECT_EQ(calls, 2);  // the start, then the first batch
  // An empty map reports once, done.
  TMapEditLayerList empty;
  std::vector<int64_t> seen;
  empty.Refresh([&](const char*, int64_t Done, int64_t Total) {
    seen.push_back(Done);
    seen.push_back(Total);
  });
  EXPECT_EQ(seen, (std::vector<int64_t>{1, 1}));
}

}  // namespace
