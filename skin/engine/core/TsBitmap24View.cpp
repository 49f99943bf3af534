#include "skin/engine/core/TsBitmap24View.h"

TsBitmap24View::TsBitmap24View(uint8_t* firstRow, int32_t width, int32_t height, ptrdiff_t stride)
    : FBits(firstRow), FWidth(width), FHeight(height), FStride(stride) {
  if (FBits == nullptr || FWidth <= 0 || FHeight <= 0) {
    FBits = nullptr;
    FWidth = 0;
    FHeight = 0;
    FStride = 0;
  }
}
