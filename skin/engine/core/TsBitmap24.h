#pragma once

#include <cstdint>
#include <vector>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/TsBitmap24View.h"

// A 24-bit bitmap owned in memory, laid out top-down like the platform's: the painters' temporary
// images and the test fixtures. New pixels are black.
class TsBitmap24 {
public:
  TsBitmap24() = default;
  // Throws ESkinImageError when the size is negative or the pixels would not fit in memory.
  TsBitmap24(int32_t width, int32_t height);

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  TsBitmap24View View() { return TsBitmap24View(FPixels.data(), FWidth, FHeight, FStride); }
  TsBitmap24View View() const {
    return TsBitmap24View(const_cast<uint8_t*>(FPixels.data()), FWidth, FHeight, FStride);
  }

  TsBgr Pixel(int32_t x, int32_t y) const { return TsBgr::Load(View().PixelAt(x, y)); }
  void SetPixel(int32_t x, int32_t y, TsBgr c) { c.Store(View().PixelAt(x, y)); }
  void Fill(TsBgr c);
  static TsBitmap24 CopyOf(const TsBitmap24View& source);

private:
  std::vector<uint8_t> FPixels;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  ptrdiff_t FStride = 0;
};
