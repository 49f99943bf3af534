#pragma once

#include <windows.h>

#include <string>

#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/SkinTables.h"

// Paints a skin section through a temporary 24-bit bitmap of r's size onto a device context.
// Nothing for an invalid section, a negative corner or an empty rectangle.
void PaintSectionToDC(const TsActiveSkin& skin, int skinIndex, const std::string& sectionName,
                      const TsCacheView& cache, HDC dc, TsPoint offset, const RECT& r, TsSkinState state,
                      bool fillCentre, const TsSkinColors& colors = PlatformSkinColors());

// The same with a parent cache description and the skin's paint colours.
void PaintSectionToDC(const TsActiveSkin& skin, int skinIndex, const std::string& sectionName,
                      const TsCacheInfo& ci, HDC dc, POINT offset, const RECT& r, TsSkinState state,
                      bool fillCentre);

// Solid fill of r with the colour (system colours resolved).
void FillRectColor(HDC dc, const RECT& r, TColor color);
