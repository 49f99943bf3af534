#include "framework/win/TButtonControl.h"

#include "framework/win/Accelerators.h"

TButtonControl::TButtonControl(TComponent* owner, DWORD buttonStyle, int width)
    : TWinControl(owner), FButtonStyle(buttonStyle) {
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetBounds(0, 0, width, 17);
  SetParentColor(true);
}

void TButtonControl::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, "BUTTON");
  params.Style |= FButtonStyle;
  if (FAlignment == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TButtonControl::CreateWnd() {
  TWinControl::CreateWnd();
  ShowCheck();
}

void TButtonControl::ShowCheck() {
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, CheckValue(), 0);
}

void TButtonControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      switch (HIWORD(message.WParam)) {
        case BN_CLICKED: Clicked(); break;
        // Sent only by a radio button or a button with BS_NOTIFY.
        case BN_DOUBLECLICKED: DblClick(); break;
        default: break;
      }
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(char(message.WParam), Text()) && CanFocus()) {
        SetFocus();
        AccelPressed();
        message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
