#pragma once

#include <vector>

#include "gif/core/TDitherEngine.h"

// Spreads each pixel's error 7/16 ahead in the row and 3/16, 5/16, 1/16 to the row below
// (behind, under, ahead), mirrored on right-to-left rows. Errors are kept in 1/16 steps.
class TFloydSteinbergDitherer : public TDitherEngine {
public:
  explicit TFloydSteinbergDitherer(int width);

protected:
  void MapRow(const uint8_t* bgr, uint8_t* indices) override;

private:
  // Three channels per column, with one column of margin on each side.
  std::vector<int32_t> FErrors;
};
