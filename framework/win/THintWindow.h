#pragma once

#include <string>

#include "framework/win/TCustomControl.h"

// The small pop-up window that shows a hint.
class THintWindow : public TCustomControl {
public:
  explicit THintWindow(TComponent* owner);

  // Shows hint in r (screen coordinates) without taking the focus.
  virtual void ActivateHint(const RECT& r, const std::string& hint);
  virtual void ActivateHintData(const RECT& r, const std::string& hint, void* data);
  // The rectangle (at 0, 0) the hint needs, wrapped at maxWidth.
  virtual RECT CalcHintRect(int maxWidth, const std::string& hint, void* data);
  // Hides the window and lets go of it.
  void ReleaseHandle();
  bool IsHintMsg(const MSG& msg) const;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void Dispatch(TMessage& message) override;
};

// Makes the hint window the application uses; replaceable so a skin can show its own.
using THintWindowClass = THintWindow* (*)(TComponent* owner);
THintWindow* NewStandardHintWindow(TComponent* owner);
