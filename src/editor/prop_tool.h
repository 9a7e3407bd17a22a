#pragma once
// TPropTool: placing and editing props on the canvas. It keeps the props of the
// open map ready to draw, the selection, and the drag in progress (moving,
// turning, scaling, a rubber band); every finished change is one step of the
// edit session. Positions are map pixels; the window turns mouse and keys into
// these calls and redraws the area TakeDirty names.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "map/base/asset_index.h"
#include "map/compose/prop_scene.h"
#include "map/objects/map_prop.h"
#include "map/raster/bitmap32.h"

class TMapEditSession;

enum class TPropSnap : uint8_t { None, CellCentres, CellCorners };

class TPropTool {
 public:
  explicit TPropTool(TMapEditSession& Session);

  // Where stored asset paths are looked for: the asset folders, then beside the map.
  void SetAssets(const TAssetIndex& Index, const std::filesystem::path& MapFolder);
  const TAssetIndex& Assets() const { return FAssets; }
  // Rebuilds the props from the map's objects (after loading, undo, redo or any
  // change made elsewhere); selected props that are gone leave the selection.
  // Returns the props that could not be read.
  std::vector<std::string> Sync();
  const TPropScene& Scene() const { return FScene; }

  TPropSnap Snap = TPropSnap::None;
  // Positions snapped as Snap says.
  void SnapPoint(double& X, double& Y) const;

  // --- selection (object ids, in drawing order) ---
  const std::vector<uint64_t>& Selection() const { return FSelection; }
  void Select(std::vector<uint64_t> Ids);
  // The topmost prop that shows at (X, Y), or 0.
  uint64_t PropAt(double X, double Y) const;

  // --- editing, each one undo step ---
  // Places the asset (a stored path) centred at (X, Y), snapped, and selects it.
  uint64_t Place(const std::string& Asset, double X, double Y);
  // Moves the selection by whole pixels.
  void Nudge(double DX, double DY);
  // Copies of the selection, a cell to the right and down; the copies are selected.
  void Duplicate();
  void DeleteSelection();
  // The selection one prop further up (later in the drawing order) or down.
  void BringForward();
  void SendBack();
  // Sets the selected props' drop shadow or sight blocking on or off.
  void SetShadow(bool On);
  void SetBlocksSight(bool On);

  // --- the mouse ---
  // Press: on a handle of the selected prop it turns or scales it, on a prop it
  // selects it (Shift adds or takes it away) and starts moving the selection, on
  // nothing it starts a rubber band. Drag shows the change; Release makes it one
  // undo step. Shift while turning snaps the angle to 15 degrees.
  void Press(double X, double Y, bool Shift);
  void Drag(double X, double Y, bool Shift);
  void Release(double X, double Y, bool Shift);
  // Drops the drag in progress, putting everything back.
  void Cancel();
  bool Dragging() const { return FDrag != TDrag::None; }

  // The map pixels to redraw since the last call (empty when none).
  TRect TakeDirty();
  // Frames and handles of the selection and the rubber band, drawn onto Buffer
  // whose pixel (0, 0) is map pixel (OriginX, OriginY).
  void DrawOverlay(TBitmap32& Buffer, int32_t OriginX, int32_t OriginY) const;
  // The four corners of the prop's frame (clockwise from its top left) and its
  // handles, in map pixels.
  void Frame(uint64_t Id, double Xs[4], double Ys[4]) const;
  void Handles(uint64_t Id, double& TurnX, double& TurnY, double& SizeX, double& SizeY) const;

 private:
  enum class TDrag : uint8_t { None, Move, Turn, Scale, Band };
  const TMapObject* Object(uint64_t Id) const;
  bool Prop(uint64_t Id, TMapProp& Out) const;
  int64_t SceneIndex(uint64_t Id) const;
  // Shows Props in the scene without changing the map.
  void Preview(const std::vector<TMapProp>& Props);
  // The selected props that Change changes (it says whether it did), as one step.
  void ChangeSelected(const std::function<bool(TMapProp&)>& Change);
  // Writes Props to the map as one undo step and rebuilds.
  void Commit(const std::vector<TMapProp>& Props);
  void Touch(const TRect& R);
  void TouchProp(uint64_t Id);
  double HandleRadius() const;
  int32_t ChipSize() const;

  TMapEditSession& FSession;
  TAssetIndex FAssets;
  std::filesystem::path FMapFolder;
  TPropScene FScene;
  std::vector<uint64_t> FSelection;
  TRect FDirty;

  TDrag FDrag = TDrag::None;
  double FStartX = 0, FStartY = 0, FLastX = 0, FLastY = 0;
  bool FBandAdds = false;
  std::vector<TMapProp> FOriginal;  // the selection as the drag found it
  std::vector<TMapProp> FPreview;   // and as the drag shows it now
};
