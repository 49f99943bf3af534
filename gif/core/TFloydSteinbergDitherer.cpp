#include "gif/core/TFloydSteinbergDitherer.h"

#include <cstddef>

#include "gif/core/TNetscapeColorLookup.h"

namespace {
inline int Clamp(int value) {
  return value < 0 ? 0 : value > 255 ? 255 : value;
}
}  // namespace

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width)
    : TDitherEngine(width), FErrors((static_cast<size_t>(width) + 2) * 3, 0) {}

void TFloydSteinbergDitherer::MapRow(const uint8_t* bgr, uint8_t* indices) {
  // Per channel value: its web level and the error left when that level is used.
  struct TLevels {
    uint8_t Level[256];
    int8_t Error[256];
    TLevels() {
      for (int v = 0; v < 256; ++v) {
        Level[v] = static_cast<uint8_t>(TNetscapeColorLookup::Level(v));
        Error[v] = static_cast<int8_t>(v - Level[v] * 51);
      }
    }
  };
  static const TLevels kLevels;

  const int width = Width();
  const int step = Direction();
  int32_t* errors = FErrors.data() + 3;  // column x at errors[3 * x]
  int x = step > 0 ? 0 : width - 1;
  // carry: 7/16 share for the next pixel; behind: column x - step of the next row, still waiting
  // for the 3/16 of pixel x; under: column x of the next row so far.
  int carryB = 0, carryG = 0, carryR = 0;
  int behindB = 0, behindG = 0, behindR = 0;
  int underB = 0, underG = 0, underR = 0;
  for (int i = 0; i < width; ++i, x += step) {
    const uint8_t* pixel = bgr + 3 * x;
    int32_t* here = errors + 3 * x;
    int32_t* back = errors + 3 * (x - step);
    const int b = Clamp(pixel[0] + (here[0] + carryB + 8) / 16);
    const int g = Clamp(pixel[1] + (here[1] + carryG + 8) / 16);
    const int r = Clamp(pixel[2] + (here[2] + carryR + 8) / 16);
    indices[x] = static_cast<uint8_t>(36 * kLevels.Level[r] + 6 * kLevels.Level[g] + kLevels.Level[b]);
    const int eb = kLevels.Error[b], eg = kLevels.Error[g], er = kLevels.Error[r];
    carryB = 7 * eb, carryG = 7 * eg, carryR = 7 * er;
    back[0] = behindB + 3 * eb, back[1] = behindG + 3 * eg, back[2] = behindR + 3 * er;
    behindB = underB + 5 * eb, behindG = underG + 5 * eg, behindR = underR + 5 * er;
    underB = eb, underG = eg, underR = er;
  }
  // The last column gets its sum; the share ahead of the last pixel falls off the row.
  int32_t* last = errors + 3 * (x - step);
  last[0] = behindB, last[1] = behindG, last[2] = behindR;
}
