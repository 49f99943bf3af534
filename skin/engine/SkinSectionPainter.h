#pragma once

#include <windows.h>

#include <string>

#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsDisabledKind.h"

class TBitmap;
class TControl;
class TsCommonData;

// The skin painters on framework bitmaps, with the tables and paint colours (SkinKeyFillColor,
// SkinBackgroundFillColor) of the skin they are given. Invalid indexes, empty rectangles and
// rectangles outside the bitmap paint nothing; every read and write is cut to its bitmap.

void PaintBackgroundByIndex(const TsActiveSkin& skin, int skinIndex, const std::string& sectionName,
                            const TsCacheInfo& ci, TBitmap* bmp, POINT offset, const RECT& r,
                            TsSkinState state);
void PaintBackgroundByData(const TsActiveSkin& skin, TsCommonData* data, const TsCacheInfo& ci,
                           TsSkinState state, TBitmap* bmp, POINT offset, const RECT& r);
void PaintBackgroundWithIndexes(const TsActiveSkin& skin, int skinIndex, int patternIndex,
                                int hotPatternIndex, TBitmap* bmp, POINT offset, const RECT& r,
                                TsSkinState state, const TsCacheInfo& ci, const std::string& sectionName);
void PaintSectionByIndex(const TsActiveSkin& skin, int skinIndex, const std::string& sectionName,
                         const TsCacheInfo& ci, TBitmap* bmp, POINT offset, const RECT& r, TsSkinState state,
                         bool fillCentre);
void PaintSectionByIndexMaster(const TsActiveSkin& skin, int skinIndex, const std::string& sectionName,
                               const TsCacheInfo& ci, TBitmap* bmp, POINT offset, const RECT& r,
                               TsSkinState state, bool fillCentre);
void PaintSectionWithMask(const TsActiveSkin& skin, int skinIndex, int maskIndex, int patternIndex,
                          TBitmap* bmp, POINT offset, const RECT& r, TsSkinState state, bool fillCentre,
                          const TsCacheInfo& ci, const std::string& sectionName, int hotPatternIndex);
// A control's section and border into its cache; the skin's paint colours hold the parent's colour
// (or its answer to GetBgColor) while it paints and are reset afterwards.
void PaintSectionByData(const TsActiveSkin& skin, TsCommonData* data, const TsCacheInfo& ci, bool fillCentre,
                        TBitmap* bmp, POINT offset, const RECT& r, TsSkinState state);

void PaintMaskedGlyph(const TsActiveSkin& skin, TBitmap* bmp, POINT p, TsSkinState state, int maskIndex,
                      TsGlyphShade shade);
void PaintNinePartImage(const TsActiveSkin& skin, TBitmap* bmp, const RECT& r, bool fillCentre,
                        TsSkinState state, int maskIndex, const TsCacheInfo& ci);

// The disabled look of a control's cache. Without a parent image the colour is the skin's
// SkinBackgroundFillColor, else the parent's colour, else (no parent) the control's own.
void ApplyDisabledKind(const TsActiveSkin& skin, TBitmap* bmp, TsDisabledKind kinds, TControl* control,
                       POINT offset, const TsCacheInfo& ci);
void BlendRoundRectColor(TBitmap* bmp, const RECT& r, int percent, int radius, int edgeWidth, TColor color);
void BlendRectWithColor(TBitmap* bmp, const RECT& r, int transparency, TColor color);
