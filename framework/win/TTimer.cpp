#include "framework/win/TTimer.h"

#include "framework/win/AllocateHWnd.h"
#include "framework/win/TApplication.h"

TTimer::TTimer(TComponent* owner) : TComponent(owner) { FWindow = AllocateHWnd(TWndMethod(this, &TTimer::WndProc)); }

TTimer::~TTimer() {
  KillTimer(FWindow, 1);
  DeallocateHWnd(FWindow);
}

void TTimer::UpdateTimer() {
  KillTimer(FWindow, 1);
  if (FEnabled && FInterval > 0 && FOnTimer && !IsDestroying()) {
    if (SetTimer(FWindow, 1, FInterval, nullptr) == 0) throw EOutOfResources("Not enough timers available");
  }
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == FInterval) return;
  FInterval = ms;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& e) {
  FOnTimer = e;
  UpdateTimer();
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

void TTimer::WndProc(TMessage& message) {
  if (message.Msg == WM_TIMER) {
    try {
      Timer();
    } catch (const std::exception& e) {
      if (Application != nullptr) Application->HandleException(this, e);
    }
    return;
  }
  message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
}
