#include "skin/engine/TsAnimTimer.h"

#include "framework/win/TBitmap.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsCommonData.h"

TsAnimTimer::TsAnimTimer(TComponent* owner) : TsFadeTimer(owner) {}

void TsAnimTimer::Timer() {
  if (IsDestroying()) return;
  try {
    TsFadeTimer::Timer();
  } catch (...) {
    // A failed frame only costs one step of the fade.
  }
}

void TsAnimTimer::ShowFrame() {
  TControl* control = SkinData()->OwnerControl();
  TWinControl* parent = control ? control->Parent() : nullptr;
  if (!parent) return;
  SetActiveChildOf(parent, control);
  control->Repaint();
  SetActiveChildOf(parent, nullptr);
}
