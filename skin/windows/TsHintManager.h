#pragma once

#include <memory>
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TComponent.h"
#include "skin/windows/TsHintKind.h"

// Replaces the application's hint window with painted hints of the look in HintKind. The first
// manager that selects a painted style becomes the active one for every hint of the application;
// freeing it puts back the framework's hint window.
class TsHintManager : public TComponent {
public:
  explicit TsHintManager(TComponent* owner);
  ~TsHintManager() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TsHintKind* HintKind() { return &FHintKind; }
  bool HTMLMode() const { return FHTMLMode; }
  void SetHTMLMode(bool value) { FHTMLMode = value; }
  int PauseHide() const { return FPauseHide; }
  void SetPauseHide(int ms) { FPauseHide = ms; }
  TsHintsPredefinitions Predefinitions() const { return FPredefinitions; }
  // Stored only: the look is applied when the manager is loaded.
  void SetPredefinitions(TsHintsPredefinitions value) { FPredefinitions = value; }
  const TShowHintEvent& OnShowHint() const { return FOnShowHint; }
  void SetOnShowHint(const TShowHintEvent& e) { FOnShowHint = e; }

  // Makes the application's hint window class the one of HintKind's style.
  void SelectWindowClass();

  // The 24-bit picture of the hint being shown, composed anew on each paint, and the copy of the
  // screen under the hint taken when it was shown. Reused for every hint.
  TBitmap* WorkBitmap() { return &FWork; }
  TBitmap* ScreenCopy() { return &FScreen; }

private:
  void ApplicationShowHint(std::string& hintStr, bool& canShow, THintInfo& info);
  void Release();

  TsHintKind FHintKind;
  bool FHTMLMode = false;
  int FPauseHide = 5000;
  TsHintsPredefinitions FPredefinitions = TsHintsPredefinitions::shEllipse;
  TShowHintEvent FOnShowHint;
  TShowHintEvent FPreviousShowHint;
  THintWindowClass FInstalledClass = nullptr;
  TBitmap FWork;
  TBitmap FScreen;
};

// The manager whose look the painted hint windows use; nullptr when none is.
TsHintManager* ActiveHintManager();
