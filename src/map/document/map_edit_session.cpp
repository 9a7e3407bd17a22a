#include "map/document/map_edit_session.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "map/document/layer_renumber.h"
#include "map/document/map_edit_door.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/map_file_extension.h"
#include "map/file/new_map.h"
#include "map/file/texture_paths.h"
#include "map/objects/map_object_error.h"
#include "map/objects/map_object_list.h"
#include "record/errors.h"

namespace {

void AddFront(TRecordList& Cells, TPoint P) {
  if (Cells.IndexOf(P) < 0) Cells.Insert(0, P);
}

void CheckObject(const TMapObject& Obj) {
  if (Obj.Type.empty()) throw EMapObjectError("An object needs a type");
  const auto type = Obj.Data.is_object() ? Obj.Data.find("type") : Obj.Data.end();
  if (!Obj.Data.is_object() || type == Obj.Data.end() || *type != Obj.Type)
    throw EMapObjectError("The data of a \"" + Obj.Type +
                          "\" object must be a JSON object whose \"type\" is \"" + Obj.Type + "\"");
}

void CheckObjectId(const TMapObjectList& Objects, uint64_t Id) {
  if (!Objects.Find(Id)) throw EMapObjectError("There is no object " + std::to_string(Id));
}

}  // namespace

void RecordTouchedCells(TRecordList& Cells, int32_t X, int32_t Y, int32_t CX, int32_t CY, int32_t R,
                        int32_t ChipSize) {
  if (ChipSize <= 0) return;
  AddFront(Cells, {CX, CY});
  const int32_t l = (X - R) / ChipSize, rt = (X + R) / ChipSize;
  const int32_t t = (Y - R) / ChipSize, b = (Y + R) / ChipSize;
  if (l != CX && t != CY) AddFront(Cells, {l, t});
  if (l != CX) AddFront(Cells, {l, CY});
  if (l != CX && b != CY) AddFront(Cells, {l, b});
  if (rt != CX && t != CY) AddFront(Cells, {rt, t});
  if (rt != CX) AddFront(Cells, {rt, CY});
  if (rt != CX && b != CY) AddFront(Cells, {rt, b});
  if (b != CY) AddFront(Cells, {CX, b});
  if (t != CY) AddFront(Cells, {CX, t});
}

TMapEditSession::TMapEditSession(int32_t UndoLimit)
    : FOwnedMap(std::make_unique<TMapEditLayerList>()), FMap(FOwnedMap.get()) {
  FHistory.SetUndoLimit(UndoLimit);
  FHistory.Reset();
}

TMapEditSession::TMapEditSession(TMapEditLayerList& Map, int32_t UndoLimit)
    : FMap(&Map), FHasMap(true) {
  FHistory.SetUndoLimit(UndoLimit);
  FHistory.Reset();
}

TMapEditSession::~TMapEditSession() = default;

// --- maps ---

void TMapEditSession::Replace(TMapEditLayerList& Fresh, const std::string& FileName,
                              const std::optional<TFileStamp>& Stamp) {
  FMap->TakeContentFrom(Fresh);
  // The open map starts with the switches of a document of its own.
  FMap->DrawShadeOnlyCell = Fresh.DrawShadeOnlyCell;
  FMap->FastDraw = Fresh.FastDraw;
  FHasMap = true;
  FHistory.Reset();
  FTouchedCells.Clear();
  FStroke = TStroke{};
  FFileName = FileName;
  FStamp = Stamp;
  FModified = false;
}

void TMapEditSession::New(int32_t Width, int32_t Height, int32_t ChipSize, const TLayerSet* Set) {
  // Built aside, so that a refused size leaves the open map alone.
  TMapEditLayerList fresh;
  CreateNewMap(fresh, Width, Height, ChipSize, Set);
  Replace(fresh, std::string());
}

void TMapEditSession::Open(const std::string& FileName, TMapLoadReport& Report) {
  // Loaded into a document of its own first: a damaged file must not destroy the
  // map that is open.
  TMapEditLayerList fresh;
  // Taken before reading: a change made while the map loads is found at the save.
  const TFileStamp stamp = StampFile(FileName);
  fresh.LoadFromFile(FileName, Report);
  Replace(fresh, FileName, stamp);
}

void TMapEditSession::Adopt(TMapEditLayerList& Fresh, const std::string& FileName, bool Modified) {
  Replace(Fresh, FileName);
  FModified = Modified;
}

bool TMapEditSession::Save(const std::string& FileName, TMapSaveReport& Report,
                           const std::function<bool()>& ConfirmOverwrite) {
  TMapSaveOptions options;
  if (FileName == FFileName) options.Expected = FStamp;
  options.ConfirmOverwrite = ConfirmOverwrite;
  // Relative texture paths are written for the file's folder; a failed or called
  // off save puts them back.
  TTextureFolderMove move(*FMap, FileName);
  SaveMapFile(*FMap, FileName, options, Report);
  if (Report.Cancelled) return false;
  move.Keep();
  FStamp = Report.Stamp;
  FFileName = FileName;
  FModified = false;
  return true;
}

// --- drawing ---

void TMapEditSession::ApplyDrawModes(const TEditTools& Tools) {
  FMap->DrawShadeOnlyCell = Tools.DrawShadeOnlyCell();
  FMap->FastDraw = Tools.FastDrawing();
}

void TMapEditSession::PushPaintUndo() {
  FHistory.PushUndo(*FMap, mutMapRefresh, TPoint{}, TPoint{}, 0);
  FModified = true;
}

void TMapEditSession::BeginStroke(const TEditTools& Tools, int32_t Layer, int32_t X, int32_t Y) {
  if (FStroke.Open) EndStroke();
  ApplyDrawModes(Tools);
  PushPaintUndo();
  FStroke.Open = true;
  FStroke.Chip = Tools.Chip;
  FStroke.ShadesAtEnd = !Tools.Chip && Tools.ShadesAtStrokeEnd();
  FStroke.Radius = Tools.PenRadius;
  FStroke.Layer = Layer;
  FStroke.HasLast = false;
  if (!Tools.Chip) {
    FTouchedCells.Clear();
    // Shades wait for the stroke's end.
    if (FStroke.ShadesAtEnd) FMap->DrawShadeOnlyCell = true;
  }
  StrokePoint(X, Y);
}

void TMapEditSession::ContinueStroke(const TEditTools& Tools, int32_t Layer, int32_t X, int32_t Y) {
  // A drag that entered the map with the button already down starts its stroke
  // here, so that what it paints can be undone.
  if (!FStroke.Open) return BeginStroke(Tools, Layer, X, Y);
  StrokePoint(X, Y);
}

void TMapEditSession::StrokePoint(int32_t X, int32_t Y) {
  const TPoint from = FStroke.Last;
  const bool join = FStroke.HasLast;
  FStroke.HasLast = true;
  FStroke.Last = {X, Y};
  if (!join) return StrokeStamp(X, Y);
  if (FStroke.Chip) {
    // Every cell of the line between the two cells, the first one left out (it
    // was painted with the point before).
    const TPoint a = FMap->PixelToCell(from.X, from.Y), b = FMap->PixelToCell(X, Y);
    const int64_t dx = int64_t(b.X) - a.X, dy = int64_t(b.Y) - a.Y;
    const int64_t n = std::max(std::abs(dx), std::abs(dy));
    for (int64_t i = 1; i <= n; ++i) {
      const int64_t cx = a.X + (2 * dx * i + (dx >= 0 ? n : -n)) / (2 * n);
      const int64_t cy = a.Y + (2 * dy * i + (dy >= 0 ? n : -n)) / (2 * n);
      FMap->PaintChip(int32_t(cx), int32_t(cy), FStroke.Layer);
    }
    return;
  }
  // Stamps at most the pen's radius apart (one pixel for the smallest pen).
  const int64_t dx = int64_t(X) - from.X, dy = int64_t(Y) - from.Y;
  const int64_t span = std::max(std::abs(dx), std::abs(dy));
  const int64_t step = std::max<int64_t>(FStroke.Radius, 1);
  const int64_t n = (span + step - 1) / step;
  for (int64_t i = 1; i <= n; ++i) {
    const int64_t x = from.X + (2 * dx * i + (dx >= 0 ? n : -n)) / (2 * n);
    const int64_t y = from.Y + (2 * dy * i + (dy >= 0 ? n : -n)) / (2 * n);
    StrokeStamp(int32_t(x), int32_t(y));
  }
}

void TMapEditSession::StrokeStamp(int32_t X, int32_t Y) {
  const TPoint cell = FMap->PixelToCell(X, Y);
  if (FStroke.Chip) {
    FMap->PaintChip(cell.X, cell.Y, FStroke.Layer);
    return;
  }
  FMap->PaintCircle(X, Y, FStroke.Radius, FStroke.Layer);
  if (FStroke.ShadesAtEnd)
    RecordTouchedCells(FTouchedCells, X, Y, cell.X, cell.Y, FStroke.Radius, FMap->ChipSize());
}

void TMapEditSession::EndStroke() {
  if (!FStroke.Open) return;
  FStroke.Open = false;
  FStroke.HasLast = false;
  if (!FStroke.ShadesAtEnd) return;
  FMap->DrawShadeOnlyCell = false;
  FMap->RedrawCells(FTouchedCells);
  FTouchedCells.Clear();
}

void TMapEditSession::PaintShape(const TEditTools& Tools, int32_t Layer, TPoint A, TPoint B) {
  // The corners in order, y first.
  if (B.Y < A.Y) std::swap(A.Y, B.Y);
  if (B.X < A.X) std::swap(A.X, B.X);
  ApplyDrawModes(Tools);
  PushPaintUndo();
  const bool ellipse = Tools.Tool == TEditTool::Ellipse;
  if (Tools.Chip && !ellipse) FMap->FillRectChips(A.X, A.Y, B.X, B.Y, Layer);
  if (Tools.Chip && ellipse) FMap->EllipseChips(A.X, A.Y, B.X, B.Y, Layer);
  if (!Tools.Chip && !ellipse) FMap->FillRectPixels(A.X, A.Y, B.X, B.Y, Layer);
  if (!Tools.Chip && ellipse) FMap->EllipsePixels(A.X, A.Y, B.X, B.Y, Layer);
}

void TMapEditSession::Fill(const TEditTools& Tools, int32_t Layer, int32_t X, int32_t Y) {
  ApplyDrawModes(Tools);
  PushPaintUndo();
  FMap->FloodFill(X, Y, Layer);
}

void TMapEditSession::ToggleDoor(const TEditTools& Tools, int32_t CX, int32_t CY, bool Horizontal,
                                 TColor Color) {
  ApplyDrawModes(Tools);
  FHistory.PushUndo(*FMap, mutAddDoor, TPoint{CX, CY}, TPoint{Horizontal ? 1 : 0, 0}, Color);
  FMap->ToggleDoor(CX, CY, Horizontal, Color);
  FModified = true;
}

void TMapEditSession::AddFreeDoor(const TEditTools& Tools, TPoint A, TPoint B, TColor Color) {
  ApplyDrawModes(Tools);
  FMap->AddFreeDoor(A.X, A.Y, B.X, B.Y, Color);
  FHistory.PushUndo(*FMap, mutAddFreeDoor, A, B, Color);
  FModified = true;
}

bool TMapEditSession::EraseFreeDoorsAt(const TEditTools& Tools, int32_t X, int32_t Y) {
  ApplyDrawModes(Tools);
  TMapEditCustomDoorList before;
  before.Assign(&FMap->Doors().FreeDoor());
  FMap->DeleteFreeDoorsAt(X, Y);
  if (FMap->Doors().FreeDoor().Count() == before.Count()) return false;
  FHistory.PushFreeDoorUndo(before);
  FModified = true;
  return true;
}

// --- layers ---

int32_t TMapEditSession::AddLayer(int32_t Index, const std::string& Name, const std::string& Source,
                                  TMapEditLayerType Type, TBadLayerSource OnBadSource) {
  const bool insert = Index >= 1 && Index < FMap->Count();
  FHistory.CloseOpenRecord();
  if (insert) {
    // Pixels keep showing the layers they showed. The records before this one are
    // only replayed once it is undone, so they keep the numbering they have.
    InsertLayerRenumbered(*FMap, Index);
  } else {
    FMap->AddLayer();
    Index = FMap->Count() - 1;
  }
  TMapEditLayer* layer = FMap->Layers(Index);
  layer->LayerName = Name;
  layer->LayerType = Type;
  try {
    layer->SetFileName(Source);
  } catch (...) {
    if (OnBadSource == TBadLayerSource::Revert) {
      // No pixel names the new layer, so deleting it restores every number.
      DeleteLayerRenumbered(*FMap, Index);
    } else {
      FHistory.PushLayerUndo(mutInsertLayer, Index);
      FModified = true;
      ShowNewLayer(Index);
    }
    throw;
  }
  ShowNewLayer(Index);
  FHistory.PushLayerUndo(mutInsertLayer, Index);
  FModified = true;
  return Index;
}

void TMapEditSession::ShowNewLayer(int32_t Index) {
  // The new layer holds no pixel, so composing leaves it transparent everywhere
  // and the other layers as they were: its image, opaque from its texture, only
  // needs its alpha cleared. Under doors, though, how a layer shows depends on
  // which layer comes last or just above a chip cell's own, so with doors the map
  // is composed again.
  TBitmap32& bmp = FMap->Layers(Index)->BMPForWriting();
  for (int32_t y = 0; y < bmp.Height(); ++y) {
    TColor32* row = bmp.ScanLine(y);
    for (int32_t x = 0; x < bmp.Width(); ++x) row[x] &= 0x00FFFFFFu;
  }
  if (FMap->Doors().HasDoors()) FMap->Refresh();
}

void TMapEditSession::EditLayer(int32_t Index, const std::string& Name, const std::string& Source,
                                TBadLayerSource OnBadSource) {
  TMapEditLayer* old = FMap->Layers(Index);
  if (!old) throw EListError("Layer index " + std::to_string(Index) + " is out of range");
  // The changed layer is built beside the old one, which undo keeps whole.
  auto fresh = std::make_unique<TMapEditLayer>(FMap);
  fresh->LayerName = Name;
  fresh->LayerType = old->LayerType;
  try {
    fresh->SetFileName(Source);
  } catch (...) {
    if (OnBadSource == TBadLayerSource::KeepLayer) {
      // The layer takes the new name and source and keeps its image.
      fresh->SetFileNameOnly(Source);
      fresh->SetBMP(old->BMP());
      FHistory.PushLayerUndo(mutEditLayer, Index, 0, FMap->SwapLayer(Index, std::move(fresh)));
      FModified = true;
    }
    throw;
  }
  FHistory.PushLayerUndo(mutEditLayer, Index, 0, FMap->SwapLayer(Index, std::move(fresh)));
  FMap->Refresh();
  FModified = true;
}

void TMapEditSession::DeleteLayer(int32_t Index) {
  FHistory.DeleteLayer(*FMap, Index);
  // The last floor layer's pixels become walls, near which doors look different.
  if (FMap->DoorsIfCreated()) FMap->Doors().RebuildDoorBitmap();
  FMap->Refresh();
  FModified = true;
}

void TMapEditSession::MoveLayer(int32_t From, int32_t To) {
  if (From == To && From >= 1 && From < FMap->Count()) return;
  FHistory.CloseOpenRecord();
  MoveLayerRenumbered(*FMap, From, To);
  FHistory.PushLayerUndo(mutMoveLayer, From, To);
  FMap->Refresh();
  FModified = true;
}

// --- objects ---

void TMapEditSession::PushObjectUndo() {
  FHistory.PushObjectUndo(FMap->Objects());
  FModified = true;
}

uint64_t TMapEditSession::AddObject(TMapObject Obj) {
  CheckObject(Obj);
  if (FMap->Objects().Count() >= mapfile::kMaxMapObjects)
    throw EMapObjectError("A map holds at most " + std::to_string(mapfile::kMaxMapObjects) +
                          " objects");
  PushObjectUndo();
  return FMap->Objects().Add(std::move(Obj));
}

void TMapEditSession::ReplaceObject(uint64_t Id, TMapObject Obj) {
  CheckObjectId(FMap->Objects(), Id);
  CheckObject(Obj);
  PushObjectUndo();
  FMap->Objects().Replace(Id, std::move(Obj));
}

void TMapEditSession::DeleteObjects(const std::vector<uint64_t>& Ids) {
  for (uint64_t id : Ids) CheckObjectId(FMap->Objects(), id);
  if (Ids.empty()) return;
  PushObjectUndo();
  for (uint64_t id : Ids) FMap->Objects().Remove(id);
}

void TMapEditSession::ChangeObjects(const std::vector<TMapObject>& NewStates) {
  for (const TMapObject& o : NewStates) {
    CheckObjectId(FMap->Objects(), o.Id);
    CheckObject(o);
  }
  if (NewStates.empty()) return;
  PushObjectUndo();
  for (const TMapObject& o : NewStates) FMap->Objects().Replace(o.Id, o);
}

void TMapEditSession::MoveObjectInOrder(uint64_t Id, int Delta) {
  const TMapObjectList& objects = FMap->Objects();
  CheckObjectId(objects, Id);
  const int64_t from = objects.IndexOf(Id);
  const int64_t to = std::clamp<int64_t>(from + Delta, 0, int64_t(objects.Count()) - 1);
  if (to == from) return;
  PushObjectUndo();
  FMap->Objects().Move(Id, int(to - from));
}

// --- undo ---

bool TMapEditSession::Undo() {
  if (!FHistory.CanUndo()) return false;
  FHistory.Undo(*FMap);
  FModified = true;
  return true;
}

bool TMapEditSession::Redo() {
  if (!FHistory.CanRedo()) return false;
  FHistory.Redo(*FMap);
  FModified = true;
  return true;
}
