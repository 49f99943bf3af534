#include "skin/engine/core/TsFadeSchedule.h"

#include <algorithm>

#include "skin/engine/core/PixelBlend.h"

void TsFadeSchedule::StartFor(int32_t intervalMs, int32_t iterations) {
  FInterval = uint32_t(std::clamp<int64_t>(intervalMs, MinInterval, MaxInterval));
  FSteps = std::clamp(iterations, 0, MaxSteps);
  if (FDirection == TsFadeDirection::In) FSteps = FCounter;
  else if (FDirection == TsFadeDirection::Out) FSteps = FSteps - FCounter;
  FSteps = std::clamp(FSteps, 0, MaxSteps);
}

TsFadeTick TsFadeSchedule::Tick(bool controlUsable) {
  TsFadeTick tick;
  if (!controlUsable) {
    FDirection = TsFadeDirection::Idle;
  } else if (FCounter > FSteps) {
    FCounter = FSteps;
    FDirection = TsFadeDirection::Idle;
  } else if (FCounter < 0) {
    tick.Action = TsFadeTick::TsAction::Stop;
    return tick;
  }
  if (FDirection == TsFadeDirection::Idle) {
    tick.Action = TsFadeTick::TsAction::Disable;
    return tick;
  }
  if (FSteps == 0) return tick;
  tick.Action = TsFadeTick::TsAction::Paint;
  tick.Direction = FDirection;
  tick.Alpha = uint8_t(255 - FCounter * 255 / FSteps);
  FCounter += FDirection == TsFadeDirection::In ? 1 : -1;
  return tick;
}

void TsFadeSchedule::RenderFrame(const TsFadeTick& tick, TsBitmap24View saved, TsBitmap24View cache,
                                 TsBitmap24& frame) {
  const bool up = tick.Direction == TsFadeDirection::In;
  frame = TsBitmap24::CopyOf(up ? saved : cache);
  BlendBitmaps(frame.View(), up ? cache : saved, tick.Alpha);
}
