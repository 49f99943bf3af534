#pragma once

#include <cstdint>
#include <vector>

class TBitmap;
class TWinControl;
class TsSkinnedControl;

// Pixels read into our own bitmaps, for exact comparisons.
using TPixels = std::vector<std::uint32_t>;

TPixels PixelsOf(TBitmap& bmp);
// What the screen shows of the control's window; 0 outside its window region.
TPixels Captured(TWinControl* control);
// The control's skin cache; empty without one, 0 outside the window region.
TPixels CacheOf(TsSkinnedControl* control);

// Create-and-destroy cycles of a handle census: a leak shows as one object per cycle, so a few
// hundred catch it; window creation under Wine costs milliseconds each.
constexpr int kCensusCycles = 200;
