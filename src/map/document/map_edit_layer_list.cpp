// The map document's size, layers and grids. Composition, painting and the map
// file live in map_compose.cpp, map_paint.cpp and map_file.cpp.

#include "map/document/map_edit_layer_list.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <new>
#include <stdexcept>

#include "map/objects/map_object_list.h"
#include "record/errors.h"

namespace {

// A grid of the new size holding every entry of Old that lies inside both sizes;
// the other entries are zero. Old is not touched, so a failed allocation loses
// nothing.
template <typename T>
TGrid2D<T> ResizedGrid(const TGrid2D<T>& Old, int32_t W, int32_t H) {
  TGrid2D<T> next;
  next.Reset(W, H);
  const int32_t cw = std::min(W, Old.Width()), ch = std::min(H, Old.Height());
  for (int32_t y = 0; y < ch; ++y) std::copy_n(Old.Row(y), cw, next.Row(y));
  return next;
}

std::string SizeText(int32_t W, int32_t H, int32_t C) {
  return std::to_string(W) + " x " + std::to_string(H) + " cells of " + std::to_string(C) +
         " pixels";
}

}  // namespace

TMapEditLayerList::TMapEditLayerList() : FObjects(std::make_unique<TMapObjectList>()) {}

TMapEditLayerList::~TMapEditLayerList() {
  Clear();
  FDoors.reset();
  FShades.reset();
}

void TMapEditLayerList::SetSize(int32_t Width, int32_t Height, int32_t ChipSize) {
  if (Width == FWidth && Height == FHeight && ChipSize == FChipSize) return;

  // Check and allocate everything first: a size that is nonsense or cannot be held
  // raises and leaves the document as it was.
  if (Width < 0 || Height < 0 || ChipSize < 0 || (ChipSize == 0 && (Width > 0 || Height > 0)))
    throw EConvertError("The map size " + SizeText(Width, Height, ChipSize) + " is not valid");
  const int64_t pw = int64_t(Width) * ChipSize, ph = int64_t(Height) * ChipSize;
  if (pw > std::numeric_limits<int32_t>::max() || ph > std::numeric_limits<int32_t>::max() ||
      pw * ph > TBitmap32::MaxPixels)
    throw EImageError("The map " + SizeText(Width, Height, ChipSize) + " is too large (" +
                      std::to_string(pw) + " x " + std::to_string(ph) + " pixels)");

  TShadeImage& shades = Shades();
  TShadeImage newShades;
  TGrid2D<uint8_t> newCells;
  TGrid2D<int32_t> newPixels;
  const bool samePixelSize = pw == FPixels.Width() && ph == FPixels.Height();
  const bool resizeShades = shades.Width() != pw || shades.Height() != ph;
  try {
    if (resizeShades) newShades.SetSize(int32_t(pw), int32_t(ph));
    newCells = ResizedGrid(FCells, Width, Height);
    if (!samePixelSize) newPixels = ResizedGrid(FPixels, int32_t(pw), int32_t(ph));
  } catch (const std::bad_alloc&) {
    throw EImageError("Not enough memory for a map of " + SizeText(Width, Height, ChipSize));
  } catch (const std::length_error&) {
    throw EImageError("Not enough memory for a map of " + SizeText(Width, Height, ChipSize));
  }

  FChipSize = ChipSize;
  FWidth = Width;
  FHeight = Height;
  if (resizeShades)
    shades.TakePixels(newShades);  // new pixels are zero already
  else
    shades.Clear(0);
  FShadeCoverage.Reset(Width, Height, ChipSize, false);
  FCells = std::move(newCells);
  if (!samePixelSize) FPixels = std::move(newPixels);

  // Every layer gets its image at the new size even when one of them fails, so that
  // no image is left at the old size behind a failing one; the first failure is
  // then reported.
  std::exception_ptr failure;
  for (int32_t i = 0; i < Count(); ++i) {
    try {
      Layers(i)->UpdateImage();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void TMapEditLayerList::CellToPixel(int32_t CX, int32_t CY, int32_t& PX, int32_t& PY) const {
  // Wrapping multiplication: out-of-range products never occur for cells of a map
  // SetSize accepted.
  PX = int32_t(uint32_t(CX) * uint32_t(FChipSize));
  PY = int32_t(uint32_t(CY) * uint32_t(FChipSize));
}

TPoint TMapEditLayerList::PixelToCell(int32_t PX, int32_t PY) const {
  TPoint p{};
  PixelToCell(PX, PY, p.X, p.Y);
  return p;
}

void TMapEditLayerList::PixelToCell(int32_t PX, int32_t PY, int32_t& CX, int32_t& CY) const {
  // A document without a chip size has no cells: answer cell (0, 0) rather than
  // dividing by zero.
  if (FChipSize <= 0) {
    CX = CY = 0;
    return;
  }
  CX = PX / FChipSize;  // C++ division truncates toward zero
  CY = PY / FChipSize;
}

TMapEditLayer* TMapEditLayerList::AddLayer() { return static_cast<TMapEditLayer*>(Add()); }

void TMapEditLayerList::InsertLayer(int32_t Index, const TMapEditLayer* Source) {
  // The list itself does not check the index; an index beyond the ends would write
  // outside its storage.
  if (Index < 0 || Index > Count())
    throw EListError(
        FormatMessage("リストのインデックスが範囲を超えています (%d)", std::to_string(Index)));
  Insert(Index, Source);
}

std::unique_ptr<TMapEditLayer> TMapEditLayerList::TakeLayer(int32_t Index) {
  return std::unique_ptr<TMapEditLayer>(static_cast<TMapEditLayer*>(ExtractItem(Index).release()));
}

void TMapEditLayerList::PutLayer(int32_t Index, std::unique_ptr<TMapEditLayer> Layer) {
  Layer->SetOwner(this);
  InsertItem(Index, std::move(Layer));
}

std::unique_ptr<TMapEditLayer> TMapEditLayerList::SwapLayer(int32_t Index,
                                                            std::unique_ptr<TMapEditLayer> Layer) {
  Layer->SetOwner(this);
  return std::unique_ptr<TMapEditLayer>(
      static_cast<TMapEditLayer*>(ReplaceItem(Index, std::move(Layer)).release()));
}

TShadeImage& TMapEditLayerList::Shades() {
  if (!FShades) FShades = std::make_unique<TShadeImage>();
  return *FShades;
}

TMapEditDoorList& TMapEditLayerList::Doors() {
  if (!FDoors) FDoors = std::make_unique<TMapEditDoorList>(this);
  return *FDoors;
}

void TMapEditLayerList::AssignAttributes(TSongDataArray* Dest) const {
  auto* map = dynamic_cast<TMapEditLayerList*>(Dest);
  if (map == nullptr) RefuseAssign(Dest);
  map->SetSize(FWidth, FHeight, FChipSize);
}

TSongData* TMapEditLayerList::CreateItem(int32_t Index) {
  return Store(Index, std::make_unique<TMapEditLayer>(this));
}
