#pragma once
// TMapEditLayerList: the map document. It holds the map's size, its layers, the
// per-cell and per-pixel grids that say which layer shows where, the shade image
// and the doors. Its operations are split by job over several source files:
//   map_edit_layer_list.cpp  size, layers, grids
//   map_compose.cpp          per-cell composition and shades (RedrawCell, Refresh)
//   map_paint.cpp            painting and door operations
//   map_file.cpp             the ".qmx" file

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "map/base/grid2d.h"
#include "map/base/progress.h"
#include "map/document/cell_coverage.h"
#include "map/document/grid_change_sink.h"
#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer.h"
#include "map/raster/bitmap32.h"
#include "map/raster/shade_image.h"
#include "record/record_list.h"
#include "record/song_data_array.h"

class TMapObjectList;
struct TMapLoadReport;

// An inclusive box of map pixels, in 64 bits so that far-away door ends fit.
struct TPixelBox {
  int64_t X0 = 0, Y0 = 0, X1 = -1, Y1 = -1;
};
struct TMapSaveReport;

class TMapEditLayerList : public TSongDataArray {
 public:
  TMapEditLayerList();
  ~TMapEditLayerList() override;

  // --- size and layers ---
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  int32_t ChipSize() const { return FChipSize; }
  int32_t PixelWidth() const { return FWidth * FChipSize; }
  int32_t PixelHeight() const { return FHeight * FChipSize; }

  // Resizes the document keeping overlapping grid entries, clears the shades and
  // rebuilds every layer's image. Nothing happens when all three are unchanged.
  virtual void SetSize(int32_t Width, int32_t Height, int32_t ChipSize);
  virtual void CellToPixel(int32_t CX, int32_t CY, int32_t& PX, int32_t& PY) const;
  // Integer division truncating toward zero.
  virtual TPoint PixelToCell(int32_t PX, int32_t PY) const;
  void PixelToCell(int32_t PX, int32_t PY, int32_t& CX, int32_t& CY) const;

  // A const document gives const layers: reading a layer never changes it.
  TMapEditLayer* Layers(int32_t Index) { return static_cast<TMapEditLayer*>(Items(Index)); }
  const TMapEditLayer* Layers(int32_t Index) const {
    return static_cast<const TMapEditLayer*>(Items(Index));
  }
  TMapEditLayer* AddLayer();
  void InsertLayer(int32_t Index, const TMapEditLayer* Source = nullptr);
  // Layer objects handed out of and back into the list whole, image included, so
  // that undo can keep a layer without copying it. Indices as for the record
  // list's ExtractItem, InsertItem, ReplaceItem and Move; the grids are not
  // renumbered here (layer_renumber.h does that).
  std::unique_ptr<TMapEditLayer> TakeLayer(int32_t Index);
  void PutLayer(int32_t Index, std::unique_ptr<TMapEditLayer> Layer);
  std::unique_ptr<TMapEditLayer> SwapLayer(int32_t Index, std::unique_ptr<TMapEditLayer> Layer);
  void MoveLayer(int32_t From, int32_t To) { Move(From, To); }

  // --- grids ---
  uint8_t Cells(int32_t X, int32_t Y) const { return FCells.At(X, Y); }
  void SetCell(int32_t X, int32_t Y, uint8_t Value) {
    if (FChangeSink) FChangeSink->CellsChanging(X, Y, X, Y);
    FCells.At(X, Y) = Value;
  }
  // The layer index at a pixel, or 0 outside the map.
  int32_t PixelLayers(int32_t X, int32_t Y) const {
    return (X >= 0 && Y >= 0 && X < FPixels.Width() && Y < FPixels.Height()) ? FPixels.At(X, Y) : 0;
  }
  void SetPixelLayer(int32_t X, int32_t Y, int32_t Index) {
    NotePixelsChanging(X, Y, X, Y);
    FPixels.At(X, Y) = Index;
  }
  TGrid2D<int32_t>& PixelGrid() { return FPixels; }
  const TGrid2D<int32_t>& PixelGrid() const { return FPixels; }
  TGrid2D<uint8_t>& CellGrid() { return FCells; }
  const TGrid2D<uint8_t>& CellGrid() const { return FCells; }

  // Who is told before grid entries change through the painting operations,
  // SetCell and SetPixelLayer (nullptr: nobody). Direct writes through PixelGrid()
  // and CellGrid() are not reported.
  void SetChangeSink(TGridChangeSink* Sink) { FChangeSink = Sink; }
  TGridChangeSink* ChangeSink() const { return FChangeSink; }
  // Reports the cells of the pixels X0..X1 x Y0..Y1 (inclusive, inside the map)
  // to the change sink.
  void NotePixelsChanging(int32_t X0, int32_t Y0, int32_t X1, int32_t Y1) {
    if (FChangeSink && FChipSize > 0)
      FChangeSink->CellsChanging(X0 / FChipSize, Y0 / FChipSize, X1 / FChipSize, Y1 / FChipSize);
  }

  // --- derived images ---
  // The shades: one alpha byte per map pixel of black drawn over the walls' edges.
  TShadeImage& Shades();
  const TShadeImage* ShadesIfCreated() const { return FShades.get(); }
  void SetShades(const TShadeImage& Value) {
    FShadeCoverage.Invalidate();
    Shades().Assign(Value);
  }
  // Where the shades may be non-zero (kept like a layer's coverage).
  TCellCoverage& ShadeCoverage() { return FShadeCoverage; }
  const TCellCoverage& ShadeCoverage() const { return FShadeCoverage; }
  TMapEditDoorList& Doors();
  const TMapEditDoorList* DoorsIfCreated() const { return FDoors.get(); }
  // The labels, lights, windows and other objects of the map file's extension
  // (map/objects/map_object_list.h).
  TMapObjectList& Objects() { return *FObjects; }
  const TMapObjectList& Objects() const { return *FObjects; }

  bool DrawShadeOnlyCell = false;
  bool FastDraw = false;
  // The folder relative texture paths are read against: the map file's folder once
  // it is loaded or saved; empty (the current folder) for a map never saved.
  std::string TextureFolder;

  // Called with every cell RedrawCell recomposes (for tests and tracing).
  std::function<void(int32_t CX, int32_t CY)> OnRedrawCell;

  // --- composition (map_compose.cpp) ---
  // Recomposes every cell, column by column. With Progress, columns go in batches
  // with a "refresh" report after each (an exception from it stops the work).
  void Refresh(const TProgressReport& Progress = {});
  void RedrawCell(int32_t CX, int32_t CY);
  void RedrawAround(int32_t CX, int32_t CY);
  void RedrawCells(const TRecordList& List);
  void ClearCellShade(int32_t CX, int32_t CY);
  // The grid entries inside Changed were just written. When the look of a door
  // depends on them (doors vanish near walls), the door bitmap is rebuilt and the
  // boxes in which it may have changed are added to Boxes; true then.
  bool UpdateDoorsForGridChange(const TPixelBox& Changed, std::vector<TPixelBox>& Boxes);
  // Redraws every cell whose composition reads a pixel of one of Boxes, each once,
  // leaving out the cells for which Skip says they were redrawn already.
  void RedrawBoxes(const std::vector<TPixelBox>& Boxes,
                   const std::function<bool(int32_t CX, int32_t CY)>& Skip = {});
  // Rebuilds the door bitmap and adds to Boxes the box of the door pixels that
  // changed within each of Regions (or, for the second, near the door from
  // (X1, Y1) to (X2, Y2)).
  void RebuildDoorsComparing(const std::vector<TPixelBox>& Regions, std::vector<TPixelBox>& Boxes);
  void RebuildDoorsForDoor(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                           std::vector<TPixelBox>& Boxes);
  // Whether the composition of cell (CX, CY) reads a pixel a door may draw.
  bool CellSeesDoor(int32_t CX, int32_t CY);

  // --- painting and doors (map_paint.cpp) ---
  void PaintPixel(int32_t X, int32_t Y, int32_t Layer);
  void PaintChip(int32_t CX, int32_t CY, int32_t Layer);
  void PaintCircle(int32_t X, int32_t Y, int32_t Radius, int32_t Layer);
  void FillRectChips(int32_t CX1, int32_t CY1, int32_t CX2, int32_t CY2, int32_t Layer);
  void FillRectPixels(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Layer);
  void EllipseChips(int32_t CX1, int32_t CY1, int32_t CX2, int32_t CY2, int32_t Layer);
  void EllipsePixels(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Layer);
  void FloodFill(int32_t X, int32_t Y, int32_t Layer);
  void ToggleDoor(int32_t CX, int32_t CY, bool Horizontal, TColor Color);
  void AddFreeDoor(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor Color);
  void DeleteFreeDoorsAt(int32_t X, int32_t Y);

  // --- the map file (map_file.cpp) ---
  // Loading replaces the document only when the whole file was read; on any error
  // the document is left exactly as it was.
  void LoadFromFile(const std::string& FileName);
  void LoadFromFile(const std::string& FileName, TMapLoadReport& Report);
  void SaveToFile(const std::string& FileName) const;
  void SaveToFile(const std::string& FileName, TMapSaveReport& Report) const;

  // Takes over Other's size, layers, grids, shades, doors and objects (Other gets this
  // document's); the drawing switches and OnRedrawCell stay with each document.
  void TakeContentFrom(TMapEditLayerList& Other);

  const char* ClassName() const override { return "TMapEditLayerList"; }

 protected:
  void AssignAttributes(TSongDataArray* Dest) const override;
  TSongData* CreateItem(int32_t Index) override;

 private:
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int32_t FChipSize = 0;
  TGrid2D<uint8_t> FCells;
  TGrid2D<int32_t> FPixels;
  std::unique_ptr<TShadeImage> FShades;
  TCellCoverage FShadeCoverage;
  std::unique_ptr<TMapEditDoorList> FDoors;
  TGridChangeSink* FChangeSink = nullptr;
  std::unique_ptr<TMapObjectList> FObjects;
};
