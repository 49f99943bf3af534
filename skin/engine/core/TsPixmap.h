#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A 24-bit image, rows top to bottom, three bytes per pixel in the order blue, green, red.
// Rows are padded to 4 bytes so a row can be handed to the platform as a DIB scan line.
class TsPixmap {
public:
  // Largest image the skin engine accepts (pixels); larger ones count as corrupt.
  static constexpr std::int64_t MaxPixels = 16 * 1024 * 1024;

  TsPixmap() = default;
  // Throws ESkinImageError when the size is negative or too large.
  TsPixmap(std::int32_t width, std::int32_t height);

  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  std::size_t Stride() const { return FStride; }

  std::uint8_t* ScanLine(std::int32_t y);
  const std::uint8_t* ScanLine(std::int32_t y) const;

  // Colour as $00BBGGRR; x and y must lie inside the image.
  std::int32_t Pixel(std::int32_t x, std::int32_t y) const;
  void SetPixel(std::int32_t x, std::int32_t y, std::int32_t color);

private:
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  std::size_t FStride = 0;
  std::vector<std::uint8_t> FPixels;
};
