#include "skin/engine/core/TsBitmap24.h"

#include <cstring>
#include <string>

#include "skin/engine/core/ESkinError.h"

namespace {
// Far above any screen or skin image; keeps a hostile size from exhausting memory.
constexpr int64_t MaxPixels = int64_t(1) << 28;
}  // namespace

TsBitmap24::TsBitmap24(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || int64_t(width) * height > MaxPixels)
    throw ESkinImageError("Invalid bitmap size " + std::to_string(width) + " x " + std::to_string(height));
  if (width == 0 || height == 0) return;
  FWidth = width;
  FHeight = height;
  FStride = TsBitmap24View::RowBytes(width);
  FPixels.assign(size_t(FStride) * size_t(height), 0);
}

void TsBitmap24::Fill(TsBgr c) {
  const TsBitmap24View v = View();
  for (int32_t y = 0; y < FHeight; ++y) {
    uint8_t* p = v.Row(y);
    for (int32_t x = 0; x < FWidth; ++x, p += 3) c.Store(p);
  }
}

TsBitmap24 TsBitmap24::CopyOf(const TsBitmap24View& source) {
  TsBitmap24 copy(source.Width(), source.Height());
  const TsBitmap24View dst = copy.View();
  for (int32_t y = 0; y < copy.FHeight; ++y)
    std::memcpy(dst.Row(y), source.Row(y), size_t(source.Width()) * 3);
  return copy;
}
