// Exchanging the content of two documents, so that a map loaded into a document of
// its own can replace the open one in one step that cannot fail.

#include <utility>

#include "map/document/map_edit_layer_list.h"

void TMapEditLayerList::TakeContentFrom(TMapEditLayerList& Other) {
  if (&Other == this) return;
  SwapItems(Other);
  std::swap(FWidth, Other.FWidth);
  std::swap(FHeight, Other.FHeight);
  std::swap(FChipSize, Other.FChipSize);
  std::swap(FCells, Other.FCells);
  std::swap(FPixels, Other.FPixels);
  std::swap(FShades, Other.FShades);
  std::swap(FShadeCoverage, Other.FShadeCoverage);
  std::swap(FDoors, Other.FDoors);
  std::swap(FObjects, Other.FObjects);
  std::swap(TextureFolder, Other.TextureFolder);
  // Layers and the door container know their document: tell them where they live now.
  for (int32_t i = 0; i < Count(); ++i) Layers(i)->SetOwner(this);
  for (int32_t i = 0; i < Other.Count(); ++i) Other.Layers(i)->SetOwner(&Other);
  if (FDoors) FDoors->SetOwner(this);
  if (Other.FDoors) Other.FDoors->SetOwner(&Other);
}
