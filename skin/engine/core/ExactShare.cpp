#include "skin/engine/core/ExactShare.h"

namespace {
int32_t FloorDiv(int32_t a, int32_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int32_t FloorMod(int32_t a, int32_t b) { return a - FloorDiv(a, b) * b; }
}  // namespace

TsExactShare::TsExactShare(int32_t k, int32_t den) {
  for (int32_t diff = -255; diff <= 255; ++diff) {
    const int32_t n = diff * k;
    FBase[size_t(diff + 255)] = int16_t(FloorDiv(n + den / 2, den));
    FTie[size_t(diff + 255)] = FloorMod(n, den) == den / 2 ? 1 : 0;
  }
}

void TsExactShare::FillPairTable(std::array<uint8_t, 65536>& table) const {
  for (int32_t s = 0; s < 256; ++s)
    for (int32_t d = 0; d < 256; ++d) table[size_t(s << 8 | d)] = Mix(uint8_t(s), uint8_t(d));
}
