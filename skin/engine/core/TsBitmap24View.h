#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "skin/engine/core/PixelGeometry.h"

// Non-owning view of a 24-bit bitmap's rows: three bytes per pixel (blue, green, red), rows padded to
// four bytes. The stride may be negative for bitmaps stored bottom-up. Copies share the pixels.
class TsBitmap24View {
public:
  TsBitmap24View() = default;
  // firstRow points at row 0, the top row.
  TsBitmap24View(uint8_t* firstRow, int32_t width, int32_t height, ptrdiff_t stride);

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  ptrdiff_t Stride() const { return FStride; }
  bool IsEmpty() const { return FWidth <= 0 || FHeight <= 0; }
  TsRect Bounds() const { return {0, 0, FWidth, FHeight}; }
  bool Contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < FWidth && y < FHeight; }
  bool SharesPixelsWith(const TsBitmap24View& other) const { return FBits != nullptr && FBits == other.FBits; }

  uint8_t* Row(int32_t y) const {
    assert(y >= 0 && y < FHeight);
    return FBits + FStride * y;
  }
  uint8_t* PixelAt(int32_t x, int32_t y) const {
    assert(x >= 0 && x < FWidth);
    return Row(y) + 3 * ptrdiff_t(x);
  }

  // Bytes per row of a 24-bit bitmap of this width, padded to four.
  static ptrdiff_t RowBytes(int32_t width) { return (ptrdiff_t(width) * 3 + 3) & ~ptrdiff_t(3); }

private:
  uint8_t* FBits = nullptr;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  ptrdiff_t FStride = 0;
};
