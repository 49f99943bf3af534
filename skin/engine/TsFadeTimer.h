#pragma once

#include <cstdint>
#include <memory>

#include "framework/win/TTimer.h"
#include "skin/engine/core/TsFadeSchedule.h"

class TBitmap;
class TsCommonData;

// Cross-fades a skinned button's window from its old look to its new one, one blended frame a
// tick. When the schedule asks to stop, the control is told (StopFading) only after the tick
// has returned, so the timer is never freed from inside its own tick.
class TsFadeTimer : public TTimer {
public:
  explicit TsFadeTimer(TComponent* owner);
  ~TsFadeTimer() override;

  TsFadeDirection Direction() const { return FSchedule.Direction(); }
  // Stores the direction and runs the timer while it is not Idle.
  void SetActive(TsFadeDirection direction);
  // Binds the timer to a control: keeps a copy of its cache as the old look and takes the section's
  // fading settings.
  void StartFor(TsCommonData* skinData);

  TsCommonData* SkinData() const { return FSkinData; }
  int Counter() const { return FSchedule.Counter(); }
  void SetCounter(int counter) { FSchedule.SetCounter(counter); }
  int Steps() const { return FSchedule.Steps(); }
  TBitmap* Saved() const { return FSaved.get(); }
  // The frame shown last; empty before the first.
  TBitmap* Frame() const { return FFrame.get(); }

  // One step of the fade; the platform timer calls it every Interval.
  void Timer() override;

protected:
  // Shows the frame just blended into Frame: copied straight onto the control's window.
  virtual void ShowFrame();
  bool ControlUsable() const;

private:
  // The platform timer runs only with a handler; the stepping itself happens in Timer.
  void IdleTick(TObject*) {}
  // Blends the tick's frame into Frame; false when the control has no cache to blend.
  bool BlendFrame(const TsFadeTick& tick);

  uint64_t FId = 0;  // names the timer in its deferred stop; never reused
  TsFadeSchedule FSchedule;
  TsCommonData* FSkinData = nullptr;  // not owned
  std::unique_ptr<TBitmap> FSaved;
  std::unique_ptr<TBitmap> FFrame;
};
