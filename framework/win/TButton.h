#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TWinControl.h"

// The push button on the native BUTTON class. Return presses the focused button, or the default
// button of its form when the focus is on anything but a button; Escape presses the cancel button.
// A click sets the form's ModalResult when the button has one.
class TButton : public TWinControl {
public:
  explicit TButton(TComponent* owner);

  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  // Return would press this button now.
  bool PressedByReturn() const;

  void Click() override;
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  void ShowDefaultLook(bool value);

  bool FDefault = false;
  bool FCancel = false;
  bool FDefaultLook = false;  // drawn as the button Return presses
  TModalResult FModalResult = mrNone;
};
