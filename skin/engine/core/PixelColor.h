#pragma once

#include <cstdint>

// A colour value as the skin files and the platform write it: red in bits 0-7, green in bits 8-15,
// blue in bits 16-23; the top byte flags special values (a system colour, or "no key").
using TsColorValue = uint32_t;

// In skin images this colour stands for "no pixel"; in a colour variable it means "none".
constexpr TsColorValue PixelKeyColor = 0x00FF00FF;

// Top byte that marks a key argument as absent (no pixel is skipped).
constexpr TsColorValue PixelNoKey = 0xFF000000;

// One pixel of a 24-bit bitmap, in memory order.
struct TsBgr {
  uint8_t B = 0;
  uint8_t G = 0;
  uint8_t R = 0;

  static constexpr TsBgr FromColor(TsColorValue c) {
    return {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
  }
  constexpr TsColorValue ToColor() const { return TsColorValue(R) | TsColorValue(G) << 8 | TsColorValue(B) << 16; }
  static TsBgr Load(const uint8_t* p) { return {p[0], p[1], p[2]}; }
  void Store(uint8_t* p) const {
    p[0] = B;
    p[1] = G;
    p[2] = R;
  }
  constexpr bool operator==(const TsBgr&) const = default;
};

inline bool PixelEquals(const uint8_t* p, TsBgr c) { return p[0] == c.B && p[1] == c.G && p[2] == c.R; }

inline bool IsKeyPixel(const uint8_t* p) { return p[0] == 255 && p[1] == 0 && p[2] == 255; }
