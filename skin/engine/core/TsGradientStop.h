#pragma once

#include <cstdint>

#include "skin/engine/core/PixelColor.h"

// One stop of a section's gradient: a run from Color1 to Color2 over Percent of the rectangle.
// Only the first stop's Mode counts: 0 runs down the rows, 1 along the columns.
struct TsGradientStop {
  TsColorValue Color1 = 0;
  TsColorValue Color2 = 0;
  uint8_t Percent = 0;
  int32_t Mode = 0;
};
