#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TWinControl.h"

// A radio button on the native BUTTON class. Checking one unchecks the other radio buttons of
// the same parent; only a change to checked fires OnClick.
class TRadioButton : public TWinControl {
public:
  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};
