#pragma once

#include <cstdint>

#include "skin/engine/core/TsBitmap24View.h"

// A parent's cache image and the offset of a child's origin in it. Painters take the parent's pixel
// from it where a skin image has the key colour.
struct TsCacheView {
  TsBitmap24View Bitmap;
  int32_t X = -99;
  int32_t Y = -99;
  bool Valid = false;

  // The parent's pixel at (x, y) of its cache, or nullptr outside it or without a valid cache.
  const uint8_t* PixelAt(int64_t x, int64_t y) const {
    if (!Valid || !Bitmap.Contains(x, y)) return nullptr;
    return Bitmap.PixelAt(int32_t(x), int32_t(y));
  }
  TsCacheView MovedBy(int64_t dx, int64_t dy) const {
    TsCacheView moved = *this;
    moved.X = ClampToInt32(X + dx);
    moved.Y = ClampToInt32(Y + dy);
    return moved;
  }
  // The description passed where no parent image is wanted.
  static TsCacheView None() { return {}; }
};
