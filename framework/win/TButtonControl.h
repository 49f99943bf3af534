#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TWinControl.h"

// What the check box and the radio button share: a native BUTTON of a checkable style, its caption
// on either side of the mark, and the mark given back to the window whenever it is made again.
class TButtonControl : public TWinControl {
public:
  // taLeftJustify puts the caption left of the mark.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

  void Dispatch(TMessage& message) override;

protected:
  // buttonStyle: the BS_ style of the native button; width: the default width.
  TButtonControl(TComponent* owner, DWORD buttonStyle, int width);

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The BM_SETCHECK value that shows the control's state.
  virtual WPARAM CheckValue() const = 0;
  // Shows the state in the window, when there is one.
  void ShowCheck();
  // The user clicked the control (BN_CLICKED).
  virtual void Clicked() = 0;
  // The control's accelerator was typed; the focus has been moved to it.
  virtual void AccelPressed() = 0;

private:
  DWORD FButtonStyle;
  TAlignment FAlignment = taRightJustify;
};
