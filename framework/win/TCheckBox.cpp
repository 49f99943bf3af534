#include "framework/win/TCheckBox.h"

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner, BS_3STATE, 97) {
  SetTabStop(true);
}

void TCheckBox::SetState(TCheckBoxState value) {
  if (value == FState) return;
  FState = value;
  ShowCheck();
  Click();
}

void TCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
}

void TCheckBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) Toggle();
      return;
    case CM_DIALOGCHAR:
      if (IsOwnAccel(message)) {
        SetFocus();
        if (Focused()) Toggle();
        message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TButtonControl::Dispatch(message);
}
