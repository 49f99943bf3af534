#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TWinControl.h"

// A check box on the native BUTTON class. A click steps the state (unchecked, checked, then
// grayed when AllowGrayed); every change of State, by the user or in code, fires OnClick.
class TCheckBox : public TWinControl {
public:
  explicit TCheckBox(TComponent* owner);

  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  // taLeftJustify puts the caption left of the box.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  virtual void Toggle();

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};
