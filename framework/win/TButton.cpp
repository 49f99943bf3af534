#include "framework/win/TButton.h"

#include "framework/win/Accelerators.h"
#include "framework/win/TCustomForm.h"

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool value) {
  if (value == FDefault) return;
  FDefault = value;
  ShowDefaultLook(PressedByReturn());
}

void TButton::ShowDefaultLook(bool value) {
  FDefaultLook = value;
  if (!HandleAllocated()) return;
  // An owner-drawn button draws the frame itself; the native style would end its owner drawing.
  if ((GetWindowLongPtrA(Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW)
    Invalidate();
  else
    SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, "BUTTON");
  FDefaultLook = FDefault;
  params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

bool TButton::PressedByReturn() const {
  const TCustomForm* form = GetParentForm(const_cast<TButton*>(this));
  const TWinControl* focused = form != nullptr ? form->ActiveControl() : nullptr;
  return focused == this || (FDefault && dynamic_cast<const TButton*>(focused) == nullptr);
}

void TButton::Click() {
  if (FModalResult != mrNone) {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  }
  TWinControl::Click();
}

void TButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY: {
      WORD key = WORD(message.WParam);
      if (((key == VK_RETURN && PressedByReturn()) || (key == VK_ESCAPE && FCancel)) && IsShowing() && Enabled() &&
          (KeyDataToShiftState(message.LParam) & (ssAlt | ssCtrl)) == 0) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    }
    case CM_FOCUSCHANGED:
      // The default frame goes with Return: to the focused button, back to the default one.
      if (PressedByReturn() != FDefaultLook) ShowDefaultLook(!FDefaultLook);
      break;
    case CM_DIALOGCHAR:
      // Alt plus the underlined letter of the caption presses the button.
      if (IsAccel(char(message.WParam), Text()) && IsShowing() && Enabled()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
