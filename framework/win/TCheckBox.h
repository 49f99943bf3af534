#pragma once

#include "framework/win/TButtonControl.h"

// A check box on the native BUTTON class. A click steps the state (unchecked, checked, then
// grayed when AllowGrayed); every change of State, by the user or in code, fires OnClick.
class TCheckBox : public TButtonControl {
public:
  explicit TCheckBox(TComponent* owner);

  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  virtual void Toggle();

protected:
  WPARAM CheckValue() const override { return WPARAM(FState); }
  void Clicked() override { Toggle(); }
  void AccelPressed() override {
    if (Focused()) Toggle();
  }

private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
};
