#pragma once
// The props among a map's objects, as the composition draws them.

#include <cstdint>
#include <string>
#include <vector>

#include "map/compose/prop_scene.h"

class TMapObjectList;
class TMapEditLayerList;
struct TMapProp;

// The prop at a map's chip size: the pack's 256 image pixels per cell become
// ChipSize map pixels at scale 1.
TPropItem PropItemOf(const TMapProp& Prop, int32_t ChipSize);

// Every prop of Objects in their order. A prop object that does not read (a field
// out of range) is left out, and what is wrong with it is added to Errors.
std::vector<TPropItem> PropItemsOf(const TMapObjectList& Objects, int32_t ChipSize,
                                   std::vector<std::string>* Errors = nullptr);

// Scene.SetItems with the props of Map; returns the errors of PropItemsOf.
std::vector<std::string> SyncPropScene(TPropScene& Scene, const TMapEditLayerList& Map);

// One warning for the images of props that could not be used, naming each path
// once (empty when there are none).
std::string MissingPropsWarning(const TPropScene& Scene);
