#include "skin/engine/SkinMessage.h"

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/SkinCommands.h"

UINT RE_ROVADUZI = 0;
const TsCacheInfo EmptyCacheInfo{nullptr, -99, -99, false};

namespace {

// The message exists before the first window; initialisers of other units may already send it.
struct TRegistration {
  TRegistration() { RegisterSkinMessage(); }
} Registration;

}  // namespace

void RegisterSkinMessage() {
  if (RE_ROVADUZI != 0) return;
  RE_ROVADUZI = ChooseSkinMessageNumber(RegisterWindowMessageA("RE_ROVADUZI"));
}

void BroadcastToChildren(TWinControl* parent, TMessage& message) {
  if (!parent) return;
  // The count is read again for every child: a handler may add or remove controls.
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    // A child being destroyed is passed over; the walk goes on with its siblings.
    if (child->IsDestroying()) continue;
    if (!IsWindowed(child)) {
      child->Perform(message.Msg, message.WParam, message.LParam);
    } else if (IsSkinnedControl(child)) {
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
