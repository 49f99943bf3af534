#include "gif/core/TFloydSteinbergDitherer.h"

#include <cstddef>

#include "gif/core/TNetscapeColorLookup.h"

namespace {
inline int Clamp(int value) { return value < 0 ? 0 : value > 255 ? 255 : value; }
}  // namespace

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width)
    : TDitherEngine(width), FErrors((static_cast<size_t>(width) + 2) * 3, 0) {}

void TFloydSteinbergDitherer::MapRow(const uint8_t* bgr, uint8_t* indices) {
  const int width = Width();
  const int step = Direction();
  int32_t* errors = FErrors.data() + 3;  // column x at errors[3 * x]
  int x = step > 0 ? 0 : width - 1;
  // carry: 7/16 share for the next pixel; behindSum: column x - step of the next row, still
  // waiting for the 3/16 of pixel x; underSum: column x of the next row so far.
  int carry[3] = {0, 0, 0};
  int behindSum[3] = {0, 0, 0};
  int underSum[3] = {0, 0, 0};
  for (int i = 0; i < width; ++i, x += step) {
    const uint8_t* pixel = bgr + 3 * x;
    int32_t* here = errors + 3 * x;
    int32_t* behind = errors + 3 * (x - step);
    int value[3];
    for (int c = 0; c < 3; ++c) value[c] = Clamp(pixel[c] + (here[c] + carry[c] + 8) / 16);
    TGIFColor used;
    indices[x] = TNetscapeColorLookup::Lookup(value[2], value[1], value[0], used);
    const int usedValue[3] = {used.Blue, used.Green, used.Red};
    for (int c = 0; c < 3; ++c) {
      const int error = value[c] - usedValue[c];
      carry[c] = 7 * error;
      behind[c] = behindSum[c] + 3 * error;
      behindSum[c] = underSum[c] + 5 * error;
      underSum[c] = error;
    }
  }
  // The last column gets its sum; the share ahead of the last pixel falls off the row.
  int32_t* last = errors + 3 * (x - step);
  for (int c = 0; c < 3; ++c) last[c] = behindSum[c];
}
