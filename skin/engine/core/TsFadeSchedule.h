#pragma once

#include <cstdint>

#include "skin/engine/core/TsBitmap24.h"
#include "skin/engine/core/TsBitmap24View.h"

enum class TsFadeDirection : uint8_t { Idle = 0, In = 1, Out = 2 };

// What one timer tick asks of its owner.
struct TsFadeTick {
  enum class TsAction : uint8_t {
    None,     // nothing to show (no steps, or the control is gone)
    Disable,  // the fade is over or was stopped: disable the timer
    Paint,    // show a frame blended at Alpha: the old look over the cache moving up, or the reverse
    Stop,     // the counter ran below 0: ask the control to stop and free its timer, after this tick
  };
  TsAction Action = TsAction::None;
  TsFadeDirection Direction = TsFadeDirection::Idle;
  uint8_t Alpha = 0;
};

// The cross-fade schedule of a skinned button between its old and its new look. The platform timer
// that drives it calls Tick at Interval and acts on the result; the owner frees the timer only after
// Tick has returned, never from inside it.
class TsFadeSchedule {
public:
  TsFadeDirection Direction() const { return FDirection; }
  bool Enabled() const { return FDirection != TsFadeDirection::Idle; }
  int32_t Steps() const { return FSteps; }
  int32_t Counter() const { return FCounter; }
  void SetCounter(int32_t counter) { FCounter = counter; }
  uint32_t Interval() const { return FInterval; }

  void SetActive(TsFadeDirection direction) { FDirection = direction; }

  // Takes the section's settings (both clamped to sane ranges). Called while a fade runs, it
  // reverses it: the fade runs back over exactly the frames it has shown, from the last one.
  void StartFor(int32_t intervalMs, int32_t iterations);

  TsFadeTick Tick(bool controlUsable);

  // The frame for a Paint tick: saved is the look before the fade, cache the look after.
  static void RenderFrame(const TsFadeTick& tick, TsBitmap24View saved, TsBitmap24View cache, TsBitmap24& frame);

  static constexpr uint32_t MinInterval = 1;
  static constexpr uint32_t MaxInterval = 1000;
  static constexpr int32_t MaxSteps = 255;

private:
  TsFadeDirection FDirection = TsFadeDirection::Idle;
  int32_t FSteps = 0;
  int32_t FCounter = 0;
  uint32_t FInterval = MinInterval;
};
