#pragma once

#include <windows.h>

#include <memory>
#include <vector>
#include "skin/engine/core/SkinTables.h"

class TCanvas;
class TControl;
class TBitmap;
class TGraphic;

// Tiles a graphic over r from its top-left corner; every tile, a picture drawn whole included, is
// cut at r's edges. Nothing for an empty graphic.
void TileGraphic(TCanvas* canvas, const RECT& r, TGraphic* graphic);

// Tiles the graphic when it is given and not empty, else the whole cut of mask maskIndex from the
// master bitmap.
void TileMaskPart(const TsActiveSkin& skin, TCanvas* canvas, const RECT& r, TGraphic* graphic, int maskIndex);

// A new 24-bit bitmap of the control's size.
std::unique_ptr<TBitmap> CreateControlBitmap(TControl* control);

// The key-colour runs of the left and right corner parts of border mask maskIndex, placed for a
// window of targetWidth; bottom selects the bottom corners; the runs start at row yOffset.
void CollectMaskCornerRects(const TsActiveSkin& skin, std::vector<RECT>& rects, int targetWidth,
                            int maskIndex, bool bottom, int yOffset);
