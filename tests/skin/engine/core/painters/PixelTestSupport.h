#pragma once

#include <gtest/gtest.h>

#include <string>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/TsBitmap24.h"

inline TsBitmap24 Filled(int w, int h, TsBgr c) {
  TsBitmap24 b(w, h);
  b.Fill(c);
  return b;
}

constexpr TsBgr Rgb(uint8_t r, uint8_t g, uint8_t b) { return {b, g, r}; }
constexpr TsBgr Grey(uint8_t v) { return {v, v, v}; }
constexpr TsBgr Key = Rgb(255, 0, 255);

inline std::string Str(TsBgr c) {
  return "rgb(" + std::to_string(c.R) + "," + std::to_string(c.G) + "," + std::to_string(c.B) + ")";
}

inline void PrintTo(const TsBgr& c, std::ostream* os) { *os << Str(c); }

// Every pixel outside [x0, x1) x [y0, y1) still has colour c.
inline ::testing::AssertionResult UntouchedOutside(const TsBitmap24& b, int x0, int y0, int x1, int y1, TsBgr c) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
      if (!inside && !(b.Pixel(x, y) == c))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << Str(b.Pixel(x, y));
    }
  return ::testing::AssertionSuccess();
}
