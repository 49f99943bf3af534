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
