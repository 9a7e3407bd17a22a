#pragma once
// The state of the editing tools: which layer kind, cells or free-hand pixels,
// which tool, the pen's radius and the two drawing modes. The editor reads it from
// its commands in one place; the command-line tool uses the defaults.

#include <cstdint>

// The fast-draw radio group.
enum class TFastDrawMode { AlwaysFast, SlowOnlyForOutput, AlwaysSlow };
// The shade radio group (shades while free-hand editing).
enum class TShadeMode { None, AtStrokeEnd, Always };

enum class TEditTool { Pencil, Rect, Ellipse, Fill, Door };

struct TEditTools {
  // The wall layer (0) instead of the selected floor layer.
  bool Wall = false;
  // Whole cells instead of free-hand pixels.
  bool Chip = true;
  TEditTool Tool = TEditTool::Pencil;
  // The free-hand pen's radius in pixels (the editor offers 2, 4, 6 and 8).
  int32_t PenRadius = 2;
  TShadeMode Shade = TShadeMode::AtStrokeEnd;
  TFastDrawMode FastDraw = TFastDrawMode::AlwaysFast;

  // A free-hand stroke leaves the shades of the cells it touches until it ends.
  bool ShadesAtStrokeEnd() const { return Shade == TShadeMode::AtStrokeEnd; }
  // The document's switches while editing: no shades outside the painted cell with
  // shades off, fast (approximate) drawing unless it is always slow.
  bool DrawShadeOnlyCell() const { return Shade == TShadeMode::None; }
  bool FastDrawing() const { return FastDraw != TFastDrawMode::AlwaysSlow; }
};
