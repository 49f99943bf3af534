#include "skin/engine/core/TsFadeSchedule.h"

#include <algorithm>

#include "skin/engine/core/PixelBlend.h"

void TsFadeSchedule::StartFor(int32_t intervalMs, int32_t iterations) {
  FInterval = uint32_t(std::clamp<int64_t>(intervalMs, MinInterval, MaxInterval));
  FSteps = std::clamp(iterations, 0, MaxSteps);
  // A frame depends only on the counter, whichever way the fade runs; the counter already points
  // past the frame shown last, so a reversal steps back onto that frame and runs back from there.
  if (FDirection == TsFadeDirection::Idle) return;
  FCounter += FDirection == TsFadeDirection::In ? -1 : 1;
  FCounter = std::clamp(FCounter, 0, FSteps);
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
