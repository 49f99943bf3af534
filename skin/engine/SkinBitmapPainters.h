#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/SkinTables.h"

class TBitmap;

// The pixel painters on framework bitmaps (made 24-bit first), for controls and forms that blend
// and copy their own images. Every read and write is cut to its bitmaps.

void FillGradient(TBitmap* bmp, const RECT& r, const std::vector<TsGradientStop>& stops);
void GrayscaleBitmap(TBitmap* bmp);
// src's inclusive rectangle r blended over dst at (x, y); dst keeps `transparency` (0..1).
void BlendRectKeyed(TBitmap* dst, int x, int y, TColor key, double transparency, const TsInclusiveRect& r,
                    TBitmap* src);
void BlendBitmaps(TBitmap* d, TBitmap* s, int level);
void BlendBitmapRect(TBitmap* d, TBitmap* s, std::array<uint8_t, 3> alpha, const RECT& r, POINT p);
void BlendColorByMask(TBitmap* a, TBitmap* mask, TColor color);
void BlendBitmapsByMask(TBitmap* d, TBitmap* s, TBitmap* mask, const RECT& r);
// src's inclusive rectangle srcR to (x, y) of dst, key pixels replaced (key fill, parent, or kept).
void CopyRectTransparent(const TsActiveSkin& skin, TBitmap* dst, TBitmap* src, int x, const TsCacheInfo& ci,
                         TColor key, const TsInclusiveRect& srcR, int y);
void PaintNinePartMasterImage(const TsActiveSkin& skin, TBitmap* bmp, const RECT& r, bool fillCentre,
                              TsSkinState state, int maskIndex, const TsCacheInfo& ci);
