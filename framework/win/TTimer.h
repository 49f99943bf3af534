#pragma once

#include "framework/win/Controls.h"
#include "framework/win/TComponent.h"

// Calls OnTimer every Interval milliseconds on the window thread while Enabled.
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned ms);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(const TNotifyEvent& e);

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  void WndProc(TMessage& message);

  HWND FWindow = nullptr;
  bool FEnabled = true;
  unsigned FInterval = 1000;
  TNotifyEvent FOnTimer;
};
