#pragma once

#include <span>

#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/SkinTypes.h"

// Paints the stops over r (cut to the bitmap). Each stop runs from its first colour to its second over
// its share of the extent, ending on a row (or column) that the next stop starts on and paints over;
// the last stop always runs to the end. Colours are rounded exactly, halves to even. No stops, or a
// first Mode other than 0 or 1, paint nothing.
void FillGradient(TsBitmap24View bmp, const TsRect& r, std::span<const TsGradientStop> stops);
