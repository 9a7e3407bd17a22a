// Random edit sequences: after every step the document as its edits left it must
// equal, pixel for pixel, a fresh document built from the same grids, layers and
// doors and refreshed whole (as reopening the saved map gives it): every layer
// image, the shades, the door bitmap and the composed picture.
//
// CTest runs 1200 steps and the seeds below; VC_PROPERTY_STEPS=N runs about N, and
// VC_PROPERTY_SEED=S runs only the sequence of seed S (to study a failure).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "map/compose/map_composer.h"
#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/raster/bitmap32.h"

namespace {

constexpr int32_t kStepsPerSeed = 60;
constexpr int32_t kDefaultSteps = 1200;  // well within the sanitizer build's time

int64_t EnvNumber(const char* Name, int64_t Default) {
  const char* v = std::getenv(Name);
  if (!v || !*v) return Default;
  return std::strtoll(v, nullptr, 10);
}

// The first difference between two images, or "".
template <class TImage>
bool AllZero(const TImage& B) {
  for (int32_t y = 0; y < B.Height(); ++y)
    for (int32_t x = 0; x < B.Width(); ++x)
      if (B.Pixel(x, y) != 0) return false;
  return true;
}

template <class TImage>
std::string ImageDiff(const TImage& A, const TImage& B, const std::string& What) {
  // A door bitmap never built reads as empty everywhere.
  if ((A.Width() == 0 && AllZero(B)) || (B.Width() == 0 && AllZero(A))) return "";
  if (A.Width() != B.Width() || A.Height() != B.Height())
    return What + ": size " + std::to_string(A.Width()) + "x" + std::to_string(A.Height()) +
           ", not " + std::to_string(B.Width()) + "x" + std::to_string(B.Height());
  int64_t count = 0;
  int32_t fx = -1, fy = -1;
  for (int32_t y = 0; y < A.Height(); ++y)
    for (int32_t x = 0; x < A.Width(); ++x)
      if (A.Pixel(x, y) != B.Pixel(x, y)) {
        if (count++ == 0) {
          fx = x;
          fy = y;
        }
      }
  if (count == 0) return "";
  char text[160];
  std::snprintf(text, sizeof text, "%s: %lld pixels differ, first (%d, %d): %08X, fresh %08X",
                What.c_str(), static_cast<long long>(count), fx, fy, A.Pixel(fx, fy),
                B.Pixel(fx, fy));
  return text;
}

void Compose(const TMapEditLayerList& M, TBitmap32& Out) {
  Out.SetSize(M.PixelWidth(), M.PixelHeight());
  Out.Clear(0xFF000000u);
  ComposeMap(M, Out, TRect{0, 0, M.PixelWidth(), M.PixelHeight()});
}

// Builds the fresh document and names the first thing in which Doc differs.
std::string CompareWithFresh(TMapEditLayerList& Doc) {
  TMapEditLayerList fresh;
  fresh.FastDraw = Doc.FastDraw;
  fresh.SetSize(Doc.Width(), Doc.Height(), Doc.ChipSize());
  for (int32_t i = 0; i < Doc.Count(); ++i) {
    TMapEditLayer* l = fresh.AddLayer();
    l->LayerName = Doc.Layers(i)->LayerName;
    l->LayerType = Doc.Layers(i)->LayerType;
    l->SetFileName(Doc.Layers(i)->FileName());
  }
  fresh.PixelGrid() = Doc.PixelGrid();
  fresh.CellGrid() = Doc.CellGrid();
  fresh.Doors().HorzDoor().Assign(&Doc.Doors().HorzDoor());
  fresh.Doors().VertDoor().Assign(&Doc.Doors().VertDoor());
  fresh.Doors().FreeDoor().Assign(&Doc.Doors().FreeDoor());
  fresh.Doors().RebuildDoorBitmap();
  fresh.Refresh();

  std::string d = ImageDiff(Doc.Doors().Bitmap(), fresh.Doors().Bitmap(), "door bitmap");
  if (!d.empty()) return d;
  for (int32_t i = 0; i < Doc.Count(); ++i) {
    d = ImageDiff(Doc.Layers(i)->BMP(), fresh.Layers(i)->BMP(), "layer " + std::to_string(i));
    if (!d.empty()) return d;
  }
  d = ImageDiff(Doc.Shades(), fresh.Shades(), "shades");
  if (!d.empty()) return d;
  TBitmap32 a, b;
  Compose(Doc, a);
  Compose(fresh, b);
  return ImageDiff(a, b, "composed picture");
}

std::string Colour(std::mt19937& R) {
  static const char* kColours[] = {"255", "65280", "16711680", "8421504", "65535", "4210752"};
  return kColours[R() % 6];
}

// One random map and sequence of edits; returns the description of the first
// step after which the document differs from the fresh one, or "".
std::string RunSequence(uint32_t Seed, int32_t Steps) {
  std::mt19937 r(Seed);
  auto pick = [&r](int32_t Lo, int32_t Hi) { return Lo + int32_t(r() % uint32_t(Hi - Lo + 1)); };
  TMapEditSession s(pick(2, 30));
  static const int32_t kChips[] = {8, 9, 12, 16};
  s.New(pick(2, 6), pick(2, 5), kChips[r() % 4], nullptr);
  const int32_t floors = pick(1, 4);
  for (int32_t i = 0; i < floors; ++i)
    s.AddLayer(i + 1, "L" + std::to_string(i), Colour(r), TMapEditLayerType(r() % 3),
               TBadLayerSource::Revert);
  TMapEditLayerList& m = s.Map();
  // One drawing-speed mode per sequence: a document refreshed whole uses one too.
  const bool fast = r() % 2 == 0;
  auto tools = [&]() {
    TEditTools t;
    t.Chip = r() % 2 == 0;
    t.PenRadius = pick(1, 8);
    t.Shade = r() % 2 == 0 ? TShadeMode::AtStrokeEnd : TShadeMode::Always;
    t.FastDraw = fast ? TFastDrawMode::AlwaysFast : TFastDrawMode::AlwaysSlow;
    return t;
  };
  s.ApplyDrawModes(tools());
  const int32_t pw = m.PixelWidth(), ph = m.PixelHeight();
  auto px = [&]() { return pick(-3, pw + 2); };
  auto py = [&]() { return pick(-3, ph + 2); };
  auto layer = [&]() { return r() % 4 == 0 ? 0 : pick(0, m.Count() - 1); };
  auto colour = [&]() -> TColor { return r() % 4 == 0 ? clNone : TColor(r() & 0xFFFFFF); };

  std::string log;
  for (int32_t step = 0; step < Steps; ++step) {
    const int32_t op = pick(0, 15);
    const TEditTools t = tools();
    std::string what;
    switch (op) {
      case 0:
      case 1: {
        const int32_t l = layer();
        const int32_t n = pick(0, 4);
        what = std::string(t.Chip ? "chip" : "free") + " stroke r" + std::to_string(t.PenRadius) +
               (t.Shade == TShadeMode::Always ? " always" : " at end") + " layer " +
               std::to_string(l) + ":";
        int32_t x = px(), y = py();
        s.BeginStroke(t, l, x, y);
        what += " " + std::to_string(x) + "," + std::to_string(y);
        for (int32_t i = 0; i < n; ++i) {
          x = std::clamp(x + pick(-20, 20), -3, pw + 2);
          y = std::clamp(y + pick(-20, 20), -3, ph + 2);
          s.ContinueStroke(t, l, x, y);
          what += " " + std::to_string(x) + "," + std::to_string(y);
        }
        s.EndStroke();
        break;
      }
      case 2:
      case 3: {
        TEditTools shape = t;
        shape.Tool = op == 2 ? TEditTool::Rect : TEditTool::Ellipse;
        const int32_t l = layer();
        TPoint a, b;
        if (shape.Chip) {
          a = {pick(-1, m.Width()), pick(-1, m.Height())};
          b = {pick(-1, m.Width()), pick(-1, m.Height())};
        } else {
          a = {px(), py()};
          b = {px(), py()};
        }
        s.PaintShape(shape, l, a, b);
        what = std::string(op == 2 ? "rect" : "ellipse") + (shape.Chip ? " chips " : " pixels ") +
               std::to_string(a.X) + "," + std::to_string(a.Y) + " " + std::to_string(b.X) + "," +
               std::to_string(b.Y) + " layer " + std::to_string(l);
        break;
      }
      case 4: {
        const int32_t l = layer(), x = pick(0, pw - 1), y = pick(0, ph - 1);
        s.Fill(t, l, x, y);
        what =
            "fill " + std::to_string(x) + "," + std::to_string(y) + " layer " + std::to_string(l);
        break;
      }
      case 5:
      case 6: {
        const int32_t cx = pick(0, m.Width()), cy = pick(0, m.Height());
        const bool h = r() % 2 == 0;
        s.ToggleDoor(t, cx, cy, h, colour());
        what = "door " + std::to_string(cx) + "," + std::to_string(cy) + (h ? " h" : " v");
        break;
      }
      case 7: {
        TPoint a{px(), py()}, b{px(), py()};
        if (r() % 3 == 0) b = {a.X + pick(-12, 12), a.Y};  // nearly horizontal
        s.AddFreeDoor(t, a, b, colour());
        what = "free door " + std::to_string(a.X) + "," + std::to_string(a.Y) + " " +
               std::to_string(b.X) + "," + std::to_string(b.Y);
        break;
      }
      case 8: {
        const TMapEditCustomDoorList& f = m.Doors().FreeDoor();
        if (f.Count() == 0) continue;
        const TMapEditCustomDoor* d = f.Items(int32_t(r() % uint32_t(f.Count())));
        const int32_t x = d->X, y = d->Y;  // the door goes
        s.EraseFreeDoorsAt(t, x, y);
        what = "erase free doors at " + std::to_string(x) + "," + std::to_string(y);
        break;
      }
      case 9: {
        if (m.Count() > 6) continue;
        const int32_t at = pick(1, m.Count());
        s.AddLayer(at, "N", Colour(r), TMapEditLayerType(r() % 3), TBadLayerSource::Revert);
        what = "add layer at " + std::to_string(at);
        break;
      }
      case 10: {
        if (m.Count() < 3) continue;
        const int32_t at = pick(1, m.Count() - 1);
        s.DeleteLayer(at);
        what = "delete layer " + std::to_string(at);
        break;
      }
      case 11: {
        if (m.Count() < 2) continue;
        const int32_t at = pick(1, m.Count() - 1);
        s.EditLayer(at, "E", Colour(r), TBadLayerSource::Revert);
        what = "edit layer " + std::to_string(at);
        break;
      }
      case 12: {
        if (m.Count() < 3) continue;
        const int32_t from = pick(1, m.Count() - 1), to = pick(1, m.Count() - 1);
        s.MoveLayer(from, to);
        what = "move layer " + std::to_string(from) + " to " + std::to_string(to);
        break;
      }
      case 13:
      case 14: {
        const int32_t n = pick(1, 4);
        for (int32_t i = 0; i < n; ++i) s.Undo();
        what = "undo x" + std::to_string(n);
        break;
      }
      default: {
        const int32_t n = pick(1, 4);
        for (int32_t i = 0; i < n; ++i) s.Redo();
        what = "redo x" + std::to_string(n);
        break;
      }
    }
    log += "  " + what + "\n";
    const std::string diff = CompareWithFresh(m);
    if (!diff.empty()) {
      char head[160];
      std::snprintf(head, sizeof head, "seed %u, map %dx%d chip %d, %s, step %d:\n", Seed,
                    m.Width(), m.Height(), m.ChipSize(), fast ? "fast" : "slow", step);
      return head + log + "  -> " + diff;
    }
  }
  return "";
}

}  // namespace

// Seeds that once found a difference between the edited and the fresh document.
TEST(EditRedrawProperty, FoundSeedsStayMended) {
  // 0: door trims after undo; 1002, 1004, 1005: door bitmap not rebuilt after
  // undo and after painting near doors; 1023, 1049: layers added under doors.
  for (uint32_t seed : {0u, 1002u, 1004u, 1005u, 1023u, 1049u})
    EXPECT_EQ(RunSequence(seed, kStepsPerSeed), "") << seed;
}

TEST(EditRedrawProperty, RandomSequencesMatchAFreshRefresh) {
  const int64_t only = EnvNumber("VC_PROPERTY_SEED", -1);
  if (only >= 0) {
    EXPECT_EQ(RunSequence(uint32_t(only), kStepsPerSeed), "");
    return;
  }
  const int64_t steps = std::max<int64_t>(EnvNumber("VC_PROPERTY_STEPS", kDefaultSteps), 1);
  const int64_t seeds = (steps + kStepsPerSeed - 1) / kStepsPerSeed;
  int32_t failures = 0;
  for (int64_t i = 0; i < seeds && failures < 5; ++i) {
    const std::string diff = RunSequence(uint32_t(1000 + i), kStepsPerSeed);
    if (!diff.empty()) {
      ++failures;
      ADD_FAILURE() << diff;
    }
  }
}
