#include "skin/engine/SkinMessage.h"

#include "framework/win/TCustomForm.h"

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
