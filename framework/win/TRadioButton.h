#pragma once

#include "framework/win/TButtonControl.h"

// A radio button on the native BUTTON class. Checking one unchecks the other radio buttons of
// the same parent; only a change to checked fires OnClick.
class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return FChecked; }
  void SetChecked(bool value);

protected:
  WPARAM CheckValue() const override { return FChecked ? BST_CHECKED : BST_UNCHECKED; }
  void Clicked() override { SetChecked(true); }
  void AccelPressed() override { SetChecked(true); }

private:
  bool FChecked = false;
};
