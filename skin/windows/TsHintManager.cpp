#include "skin/windows/TsHintManager.h"

#include "skin/windows/TsCustomHintWindow.h"

namespace {

TsHintManager* ActiveManager = nullptr;

}  // namespace

TsHintManager* ActiveHintManager() { return ActiveManager; }

TsHintManager::TsHintManager(TComponent* owner) : TComponent(owner), FHintKind(this) {
  FWork.SetPixelFormat(TPixelFormat::Bit24);
  FScreen.SetPixelFormat(TPixelFormat::Bit24);
  if (Application != nullptr) {
    Application->SetHintPause(500);
    Application->SetHintShortPause(200);
    if ((ComponentState() & csDesigning) == 0) {
      FPreviousShowHint = Application->OnShowHint();
      Application->SetOnShowHint(TShowHintEvent(this, &TsHintManager::ApplicationShowHint));
    }
  }
}

TsHintManager::~TsHintManager() { Release(); }

void TsHintManager::BeforeDestruction() {
  Release();
  TComponent::BeforeDestruction();
}

// Leaves nothing of this manager in the application: the next hint must not reach freed memory.
void TsHintManager::Release() {
  if (ActiveManager == this) ActiveManager = nullptr;
  if (Application == nullptr) return;
  if (FInstalledClass != nullptr && Application->HintWindowClass() == FInstalledClass)
    Application->SetHintWindowClass(nullptr);
  FInstalledClass = nullptr;
  if (Application->OnShowHint() == TShowHintEvent(this, &TsHintManager::ApplicationShowHint))
    Application->SetOnShowHint(FPreviousShowHint);
}

void TsHintManager::Loaded() {
  TComponent::Loaded();
  FHintKind.ApplyPredefinition(FPredefinitions);
  SelectWindowClass();
}

void TsHintManager::SelectWindowClass() {
  if ((ComponentState() & csDesigning) != 0 || Application == nullptr) return;
  THintWindowClass windowClass = NewStandardHintWindow;
  bool paints = true;
  switch (FHintKind.Style()) {
    case TsHintStyle::hsSimply: windowClass = NewSimplyHintWindow; break;
    case TsHintStyle::hsComics: windowClass = NewComicsHintWindow; break;
    case TsHintStyle::hsEllipse: windowClass = NewEllipseHintWindow; break;
    case TsHintStyle::hsBalloon: windowClass = NewBalloonHintWindow; break;
    case TsHintStyle::hsStandard: paints = false; break;
    case TsHintStyle::hsNone:
      windowClass = NewSimplyHintWindow;
      paints = false;
      break;
  }
  if (paints) {
    ActiveManager = this;
    Application->SetHintHidePause(FPauseHide);
  } else if (ActiveManager == this) {
    ActiveManager = nullptr;
  }
  FInstalledClass = windowClass == NewStandardHintWindow ? nullptr : windowClass;
  if (Application->HintWindowClass() != windowClass) Application->SetHintWindowClass(windowClass);
}

void TsHintManager::ApplicationShowHint(std::string& hintStr, bool& canShow, THintInfo& info) {
  if (FOnShowHint) FOnShowHint(hintStr, canShow, info);
}
