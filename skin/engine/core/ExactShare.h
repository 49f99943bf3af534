#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// s + (d - s) * k / den for channel values, rounded exactly with halves to even, from a table built
// once per blend: the integer form of the painters' floating-point blends.
class TsExactShare {
public:
  // 0 <= k <= den, den even and positive.
  TsExactShare(int32_t k, int32_t den);

  uint8_t Mix(uint8_t s, uint8_t d) const {
    const int32_t i = int32_t(d) - int32_t(s) + 255;
    const int32_t v = int32_t(s) + FBase[i];
    return uint8_t(v - (FTie[i] & v & 1));
  }

  // The full table of Mix over every pair, for blends over many pixels: one load a channel.
  void FillPairTable(std::array<uint8_t, 65536>& table) const;

private:
  std::array<int16_t, 511> FBase{};  // (d - s) * k / den rounded half up
  std::array<uint8_t, 511> FTie{};   // 1 where that quotient lies exactly halfway
};
