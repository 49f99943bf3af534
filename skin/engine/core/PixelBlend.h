#pragma once

#include <array>
#include <cstdint>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/TsCacheView.h"

// Copies, fills and blends on 24-bit bitmaps. Every routine cuts its rectangles to the bitmaps it
// reads and writes; blends round exactly, halves to even.

// Plain copy of srcR of src to `at` of dst (the platform's SRCCOPY between bitmaps).
void CopyPixels(TsBitmap24View dst, TsPoint at, TsBitmap24View src, const TsRect& srcR);

// Fills r with the colour.
void FillRectPixels(TsBitmap24View bmp, const TsRect& r, TsBgr color);

// Every pixel becomes the mean (B + G + R) div 3 in all three channels.
void GrayscaleBitmap(TsBitmap24View bmp);
// The same, leaving pixels of the key colour as they are.
void GrayscaleBitmapKeyed(TsBitmap24View bmp, TColor key);

// Keeps `transparency` percent (0..100, clamped) of r's pixels and mixes the colour in for the rest.
void BlendRectWithColor(TsBitmap24View bmp, const TsRect& r, int32_t transparency, TColor color);

// Blends srcR of src over dst at `at`: dst keeps `transparencyPercent` (0..100, clamped) and src shows
// the rest. Unless the key's top byte is $FF, source pixels of the key colour are skipped.
void BlendRectKeyed(TsBitmap24View dst, TsPoint at, TColor key, int32_t transparencyPercent,
                    const TsInclusiveRect& srcR, TsBitmap24View src);

// Per channel a := ((a - c) * m + c * 255) >> 8 over the area the two bitmaps share.
void BlendColorByMask(TsBitmap24View a, TsBitmap24View mask, TColor color);

// d := (d - s) * level / 256 + s over bitmaps of one size (nothing when the sizes differ).
void BlendBitmaps(TsBitmap24View d, TsBitmap24View s, int32_t level);

// Rectangle r of s blended over d at p: d := (d - s) * t + s with t = (a0 + a1 + a2) / 768.
void BlendBitmapRect(TsBitmap24View d, TsBitmap24View s, std::array<uint8_t, 3> alpha, const TsRect& r,
                     TsPoint p);

// Over r of all three bitmaps, per channel d := ((d - s) * m + s * 256) >> 8.
void BlendBitmapsByMask(TsBitmap24View d, TsBitmap24View s, TsBitmap24View mask, const TsRect& r);

// Copies all of src to `at` of dst, skipping source pixels of the key colour.
void CopyBitmapTransparent(TsBitmap24View dst, TsBitmap24View src, TsPoint at, TColor key);

// Copies srcR of src to `at` of dst. A source pixel of the key colour takes keyFill unless that is
// the key colour itself, else the parent's pixel when the cache is valid, else stays.
void CopyRectTransparent(TsBitmap24View dst, TsBitmap24View src, TsPoint at, const TsCacheView& cache,
                         TColor key, const TsInclusiveRect& srcR, TColor keyFill);

// Mixes the colour into r through a mask of nested rounded rectangles: the inner area takes
// `percent` of the colour's weight (0..100, clamped), the edges fade to the picture over edgeWidth.
void BlendRoundRectColor(TsBitmap24View bmp, const TsRect& r, int32_t percent, int32_t radius,
                         int32_t edgeWidth, TColor color);
