#include "skin/controls/core/GaugeModel.h"

#include <cmath>
#include <limits>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

[[noreturn]] void RaiseOutOfRange(std::int64_t low, std::int64_t high) {
  throw EInvalidOperation(Format("Value must be between %lld and %lld", static_cast<long long>(low),
                                 static_cast<long long>(high)));
}

int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

bool TGaugeModel::SetMinValue(std::int32_t value, bool loading) {
  if (value == FMin) return false;
  if (value > FMax && !loading) RaiseOutOfRange(-std::numeric_limits<std::int32_t>::max(), std::int64_t(FMax) - 1);
  FMin = value;
  if (FProgress < value) FProgress = value;
  return true;
}

bool TGaugeModel::SetMaxValue(std::int32_t value, bool loading) {
  if (value == FMax) return false;
  if (value < FMin && !loading) RaiseOutOfRange(std::int64_t(FMin) + 1, std::numeric_limits<std::int32_t>::max());
  FMax = value;
  if (FProgress > value) FProgress = value;
  return true;
}

bool TGaugeModel::SetProgress(std::int32_t value) {
  // While loading the bounds may cross; the lower one wins.
  if (value > FMax) value = FMax;
  if (value < FMin) value = FMin;
  if (value == FProgress) return false;
  FProgress = value;
  return true;
}

int TGaugeModel::PercentDone() const {
  const std::int64_t range = std::int64_t(FMax) - FMin;
  if (range == 0) return 0;
  return static_cast<int>((std::int64_t(FProgress) - FMin) * 100 / range);
}

int GaugeFilledLength(int size, int percent) {
  return static_cast<int>(std::trunc(double(size) * percent * 0.01));
}

TGaugePoint GaugePieStart(int width, int height, int percent) {
  const int mx = width / 2, my = height / 2;
  const double a = Pi * (percent / 50.0 + 0.5);
  return {RoundHalfEven(mx * (1 - std::cos(a))), RoundHalfEven(my * (1 - std::sin(a)))};
}

TGaugePoint GaugeNeedleTip(int width, int baseY, int percent) {
  const int mx = width / 2;
  const double a = Pi * percent / 100.0;
  return {RoundHalfEven(mx * (1 - std::cos(a))), RoundHalfEven(baseY * (1 - std::sin(a)))};
}
