#pragma once

#include <memory>

#include "skin/engine/TsFadeTimer.h"

// The fade of a control without a window (a speed button): each frame is kept in Frame and the
// parent repaints the control from it while the control is its active child (SetActiveChild).
// Errors of a tick are dropped.
class TsAnimTimer : public TsFadeTimer {
public:
  explicit TsAnimTimer(TComponent* owner);
  ~TsAnimTimer() override;

  TBitmap* Frame() const { return FFrame.get(); }

protected:
  void Timer() override;
  void ShowFrame(const TsFadeTick& tick) override;

private:
  std::unique_ptr<TBitmap> FFrame;
};
