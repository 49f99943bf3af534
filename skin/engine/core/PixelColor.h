#pragma once

#include <cstdint>

#include "skin/engine/core/SkinTypes.h"

// A key argument whose top byte is $FF names no key: no pixel is skipped.
constexpr TColor PixelNoKey = static_cast<TColor>(0xFF000000u);

// One pixel of a 24-bit bitmap, in memory order.
struct TsBgr {
  uint8_t B = 0;
  uint8_t G = 0;
  uint8_t R = 0;

  // The low three bytes of a colour value ($00BBGGRR); system colours must be resolved before.
  static constexpr TsBgr FromColor(TColor c) {
    const uint32_t u = static_cast<uint32_t>(c);
    return {uint8_t(u >> 16), uint8_t(u >> 8), uint8_t(u)};
  }
  constexpr TColor ToColor() const { return TColor(R) | TColor(G) << 8 | TColor(B) << 16; }
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
