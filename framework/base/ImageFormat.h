#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/base/Exception.h"

// What the portable picture decoders share.

// A picture file that is corrupt, cut short, too large or of a kind the decoders do not read.
class EImageFormatError : public Exception {
public:
  using Exception::Exception;
};

// Pictures of more pixels are refused from their headers, before anything is allocated for them.
// The bundled skins' largest picture has about 0.1 M pixels; phone pictures are smaller still.
constexpr std::int64_t kMaxImagePixels = 16 * 1024 * 1024;

// Rows of pixels the caller owns: row y (top row 0) starts at Top + y * Stride, so bottom-up
// storage has a negative Stride.
struct TPixelRows {
  std::uint8_t* Top = nullptr;
  std::ptrdiff_t Stride = 0;

  std::uint8_t* Row(std::int32_t y) const { return Top + static_cast<std::ptrdiff_t>(y) * Stride; }
};
