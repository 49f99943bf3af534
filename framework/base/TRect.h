#pragma once

#include <cstdint>

// A rectangle in device units with exclusive right and bottom, laid out as the platform's RECT
// so that code without window headers can describe areas the window layer draws.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;

  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};
