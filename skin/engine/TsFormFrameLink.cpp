#include "skin/engine/TsFormFrameLink.h"

#include "framework/win/TCustomForm.h"
#include "skin/engine/SkinCommands.h"

namespace {
TsFormFrameLink* GMDIFormProvider = nullptr;
}

TsFormFrameLink* MDIFormProvider() { return GMDIFormProvider; }
void SetMDIFormProvider(TsFormFrameLink* provider) { GMDIFormProvider = provider; }

TsFormFrameLink* GetFormProvider(TControl* control) {
  TCustomForm* form = control != nullptr ? GetParentForm(control) : nullptr;
  if (form == nullptr || !form->HandleAllocated()) return nullptr;
  return AskProvider(form);
}
