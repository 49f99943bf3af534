#include "skin/engine/SkinMessage.h"

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TWinControl.h"

UINT RE_ROVADUZI = 0;
const TsCacheInfo EmptyCacheInfo{nullptr, -99, -99, false};
TsCacheInfo SkinReplyRecord;
TColor SkinBackgroundColor = SkinKeyColor;
TColor SkinKeyFillColor = SkinKeyColor;

namespace {

// The message exists before the first window; initialisers of other units may already send it.
struct TRegistration {
  TRegistration() { RegisterSkinMessage(); }
} Registration;

bool IsGraphic(TControl* control) {
  return dynamic_cast<TWinControl*>(control) == nullptr;
}

void SetUpdatingTree(TControl* control, std::uint32_t parameter) {
  if (!control) return;
  auto* win = dynamic_cast<TWinControl*>(control);
  if (!win) {
    control->Perform(RE_ROVADUZI, MakeSkinWParam(SkinCommand::SetUpdating, parameter), 0);
    return;
  }
  SendMessageA(win->Handle(), RE_ROVADUZI, MakeSkinWParam(SkinCommand::SetUpdating, parameter), 0);
  for (int i = 0; i < win->ControlCount(); ++i) SetUpdatingTree(win->Controls(i), parameter);
}

}  // namespace

void RegisterSkinMessage() {
  if (RE_ROVADUZI != 0) return;
  RE_ROVADUZI = ChooseSkinMessageNumber(RegisterWindowMessageA("RE_ROVADUZI"));
}

LRESULT SendSkinCommand(HWND handle, std::uint32_t command) {
  return SendMessageA(handle, RE_ROVADUZI, MakeSkinWParam(command), 0);
}

LRESULT SendSkinCommandTo(TControl* control, std::uint32_t command, std::uint32_t parameter) {
  if (!control) return 0;
  const WPARAM w = MakeSkinWParam(command, parameter);
  if (auto* win = dynamic_cast<TWinControl*>(control)) return SendMessageA(win->Handle(), RE_ROVADUZI, w, 0);
  return control->Perform(RE_ROVADUZI, w, 0);
}

bool AskControl(TControl* control, std::uint32_t command) {
  if (!control) return false;
  TMessage m = MakeSkinMessage(command);
  if (control->WindowProc()) control->WindowProc()(m);
  return m.LParam == 1;
}

void QueryBackgroundColor(TWinControl* control) {
  SkinBackgroundColor = SkinKeyColor;
  if (control) SendSkinCommand(control->Handle(), SkinCommand::GetBgColor);
}

void RefreshChildren(TWinControl* parent) {
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (!IsGraphic(child)) child->Perform(RE_ROVADUZI, MakeSkinWParam(SkinCommand::Repaint), 0);
  }
}

void SetUpdatingTreeOn(TControl* control) {
  SetUpdatingTree(control, 1);
}
void SetUpdatingTreeOff(TControl* control) {
  SetUpdatingTree(control, 0);
}

void BroadcastToChildren(TWinControl* parent, TMessage& message) {
  if (!parent) return;
  // The count is read again for every child: a handler may add or remove controls.
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    // A child being destroyed is passed over; the walk goes on with its siblings.
    if (child->IsDestroying()) continue;
    if (IsGraphic(child)) {
      child->Perform(message.Msg, message.WParam, message.LParam);
    } else if (AskControl(child, SkinCommand::IsSkinned)) {
      if (child->WindowProc()) child->WindowProc()(message);
    } else {
      BroadcastToChildren(static_cast<TWinControl*>(child), message);
    }
  }
}

void SendToSkinProvider(TCustomForm* form, TMessage& message) {
  if (!form) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    auto* link = dynamic_cast<TsSkinProviderLink*>(c);
    if (link && !c->IsDestroying()) {
      link->ProviderWndProc(message);
      return;
    }
  }
}

void BroadcastToApplication(TMessage& message) {
  if (!Application) return;
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* win = dynamic_cast<TWinControl*>(Application->Components(i));
    if (!win || win->IsDestroying()) continue;
    SendMessageA(win->Handle(), message.Msg, message.WParam, message.LParam);
    BroadcastToChildren(win, message);
    auto* form = dynamic_cast<TCustomForm*>(win);
    if (form && form->FormStyle() == TFormStyle::fsMDIForm && form->ClientHandle())
      SendMessageA(form->ClientHandle(), message.Msg, message.WParam, message.LParam);
  }
}
