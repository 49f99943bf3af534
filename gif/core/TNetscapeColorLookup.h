#pragma once

#include <cstdint>

#include "gif/core/TGIFColorMap.h"

// Nearest colour of the 216-colour web palette (levels 0, 51, ..., 255 per channel).
class TNetscapeColorLookup {
public:
  static int Level(int value) { return (value + 3) / 51; }
  // Index 36 x red level + 6 x green level + blue level; used receives the palette colour.
  static uint8_t Lookup(int red, int green, int blue, TGIFColor& used) {
    const int r = Level(red), g = Level(green), b = Level(blue);
    used = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)};
    return static_cast<uint8_t>(36 * r + 6 * g + b);
  }
  static TGIFColorMap WebPalette();
};
