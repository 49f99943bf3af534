#pragma once

#include <functional>
#include <utility>

// The showing of a control's new value, which may be held: while held a change only waits, and is
// shown once, by Show, at ShowWaiting or at the release. Show runs unheld (a change it makes
// passes through).
class TsHeldShowing {
public:
  explicit TsHeldShowing(std::function<void()> show) : FShow(std::move(show)) {}

  bool Held() const { return FHeld; }
  void SetHeld(bool value) {
    if (value == FHeld) return;
    if (!value) ShowWaiting();
    FHeld = value;
  }
  // A change: true when it is held, and so waits to be shown.
  bool Hold() {
    if (FHeld) FWaiting = true;
    return FHeld;
  }
  void ShowWaiting() {
    if (!std::exchange(FWaiting, false)) return;
    const bool held = std::exchange(FHeld, false);
    FShow();
    FHeld = held;
  }

private:
  std::function<void()> FShow;
  bool FHeld = false;
  bool FWaiting = false;
};
