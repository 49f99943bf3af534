#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TDRMPicture;

// Colours in the framework's order: red + green * 256 + blue * 65536.
struct TPixelBuffer {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;  // row by row
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// A big-endian RGB565 pixel as a colour; the low bits of each channel stay 0.
uint32_t RGB565ToColor(uint16_t pixel);

enum class TPreviewFit { Centred, Stretched };

// Draws RAW `picture` of `image` (loaded at `base`) as the preview does: a fresh white bitmap of the
// preview's size, `background` over all but its last row and column, then at most Size / 2 pixels,
// centred or each scaled to a whole-number block. Draws no picture pixels for a width or height of 0
// or pixels outside the image.
TPixelBuffer RenderRawPicture(const std::vector<uint8_t>& image, uint32_t base, const TDRMPicture& picture,
                              int previewWidth, int previewHeight, TPreviewFit fit, uint32_t background);
