#pragma once
// Changing the map's style as one undoable edit.

#include "map/compose/map_style_options.h"

class TMapEditSession;

// Makes Style the map's style in one undo step: adds the style object, changes
// the first one (keeping the keys it holds that this program does not know), or
// removes it for the plain picture, so that a map without a style is written as
// before. False when the map already had this style (no step is recorded).
bool SetMapStyle(TMapEditSession& Session, const TMapStyleSettings& Style);
