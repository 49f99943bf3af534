#pragma once

#include <cstdint>
#include <string>

// The arithmetic of a progress gauge: its value range and what it shows for it. Values are 32-bit
// as the gauge publishes them; every computation is done wide enough not to overflow (ranges of
// superfile sizes and beyond).
class TGaugeModel {
public:
  std::int32_t MinValue() const { return FMin; }
  std::int32_t MaxValue() const { return FMax; }
  std::int32_t Progress() const { return FProgress; }

  // The writes of the three values. A bound that would cross the other raises EInvalidOperation
  // "Value must be between %d and %d" unless loading (the old values stay); Progress is kept within
  // the bounds. Each returns True when the stored value changed.
  bool SetMinValue(std::int32_t value, bool loading);
  bool SetMaxValue(std::int32_t value, bool loading);
  bool SetProgress(std::int32_t value);

  // 0 to 100: 0 for an empty range, else the share of the range truncated towards zero.
  int PercentDone() const;

private:
  std::int32_t FMin = 0;
  std::int32_t FMax = 100;
  std::int32_t FProgress = 47;
};

// The filled part of size at percent: Trunc(size × percent × 0.01).
int GaugeFilledLength(int size, int percent);

struct TGaugePoint {
  int X = 0;
  int Y = 0;
};
// Where the pie of a box width × height starts for percent (it ends at the top middle).
TGaugePoint GaugePieStart(int width, int height, int percent);
// The tip of the needle over a half ellipse of width whose base line is at baseY.
TGaugePoint GaugeNeedleTip(int width, int baseY, int percent);
