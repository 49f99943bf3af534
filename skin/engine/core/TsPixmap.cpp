#include "skin/engine/core/TsPixmap.h"

#include <cassert>

#include "skin/engine/core/ESkinError.h"

TsPixmap::TsPixmap(std::int32_t width, std::int32_t height) {
  if (width < 0 || height < 0 || static_cast<std::int64_t>(width) * height > MaxPixels)
    throw ESkinImageError("Image size out of range");
  FWidth = width;
  FHeight = height;
  FStride = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
  FPixels.assign(FStride * static_cast<std::size_t>(height), 0);
}

std::uint8_t* TsPixmap::ScanLine(std::int32_t y) {
  assert(y >= 0 && y < FHeight);
  return FPixels.data() + FStride * static_cast<std::size_t>(y);
}

const std::uint8_t* TsPixmap::ScanLine(std::int32_t y) const {
  assert(y >= 0 && y < FHeight);
  return FPixels.data() + FStride * static_cast<std::size_t>(y);
}

std::int32_t TsPixmap::Pixel(std::int32_t x, std::int32_t y) const {
  assert(x >= 0 && x < FWidth);
  const std::uint8_t* p = ScanLine(y) + static_cast<std::size_t>(x) * 3;
  return p[2] | (p[1] << 8) | (p[0] << 16);
}

void TsPixmap::SetPixel(std::int32_t x, std::int32_t y, std::int32_t color) {
  assert(x >= 0 && x < FWidth);
  std::uint8_t* p = ScanLine(y) + static_cast<std::size_t>(x) * 3;
  p[0] = static_cast<std::uint8_t>(color >> 16);
  p[1] = static_cast<std::uint8_t>(color >> 8);
  p[2] = static_cast<std::uint8_t>(color);
}
