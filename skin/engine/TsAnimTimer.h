#pragma once

#include "skin/engine/TsFadeTimer.h"

// The fade of a control without a window (a speed button): each frame is kept in Frame and the
// parent repaints the control from it while the control is its active child (SetActiveChild).
// Errors of a tick are dropped.
class TsAnimTimer : public TsFadeTimer {
public:
  explicit TsAnimTimer(TComponent* owner);

  void Timer() override;

protected:
  void ShowFrame() override;
};
