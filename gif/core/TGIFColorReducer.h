#pragma once

#include <cstddef>
#include <cstdint>

enum class TGIFDither { None, FloydSteinberg };

// Reduces 24-bit pixel rows (blue, green, red) to indices into the web palette.
class TGIFColorReducer {
public:
  // "Invalid image dimensions" for a size of 0 or less or a stride shorter than a row.
  static void Reduce(const uint8_t* bgr, size_t stride, int width, int height, TGIFDither dither,
                     uint8_t* out, size_t outStride);
};
