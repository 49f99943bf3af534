#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "framework/win/TBitmap.h"
#include "framework/win/TWinControl.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsSpeedButton.h"
#include "skin/controls/core/SpinModel.h"

class TTimer;
class TsBaseSpinEdit;

using TsSpinClock = std::function<std::int64_t()>;  // milliseconds

// A skinned speed button that repeats its click while held: the first repeat 400 ms after the
// press, then one every 100 ms while the button keeps the mouse capture. It can show a focus
// rectangle for the window it lies on.
class TsTimerSpeedButton : public TsSpeedButton {
public:
  explicit TsTimerSpeedButton(TComponent* owner);
  ~TsTimerSpeedButton() override;

  bool FocusRectShown() const { return FFocusRect; }
  void SetFocusRectShown(bool value);
  bool TimerAllowed() const { return FTimerAllowed; }
  void SetTimerAllowed(bool value) { FTimerAllowed = value; }
  // The repeat timer, made on the first press; tests fire it by hand on their own clock.
  TTimer* RepeatTimer() const { return FTimer; }
  void SetRepeatClock(TsSpinClock clock) { FClock = std::move(clock); }

protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Paint() override;
  void PaintClient(HDC dc) override;

private:
  void TimerExpired(TObject* sender);
  void DrawFocus(HDC dc);

  TTimer* FTimer = nullptr;  // owned
  SpinModel::TRepeat FRepeat;
  TsSpinClock FClock;
  bool FFocusRect = false;
  bool FTimerAllowed = false;
};

// The window holding the up and down buttons of a spin edit, at the edit's right edge. A press
// on a button gives the focus to FocusControl (or to the spin button); the skinned buttons take
// what shows through them from the spin edit's cache.
class TsSpinButton : public TsSkinned<TWinControl> {
public:
  explicit TsSpinButton(TComponent* owner);

  TsTimerSpeedButton* UpButton() const { return FUpButton; }
  TsTimerSpeedButton* DownButton() const { return FDownButton; }
  // nullptr puts back the drawn arrow.
  void SetUpGlyph(const TBitmap* glyph);
  void SetDownGlyph(const TBitmap* glyph);
  // The drawn arrows again, in the look of the skin at hand.
  void RedrawArrows();
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* control);
  const TNotifyEvent& OnUpClick() const { return FOnUpClick; }
  void SetOnUpClick(const TNotifyEvent& e) { FOnUpClick = e; }
  const TNotifyEvent& OnDownClick() const { return FOnDownClick; }
  void SetOnDownClick(const TNotifyEvent& e) { FOnDownClick = e; }

  void SetBounds(int left, int top, int width, int height) override;
  void Loaded() override;

  // The buttons paint over what the spin edit's cache shows at their place: the spin button has
  // no section of its own.
  TsCacheInfo SkinCache() override;

protected:
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TsTimerSpeedButton* MakeButton();
  void AdjustSize(int& width, int& height);
  void DrawArrow(TsTimerSpeedButton* button, SpinModel::TDirection direction);
  void ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ButtonClick(TObject* sender);

  TsTimerSpeedButton* FUpButton = nullptr;
  TsTimerSpeedButton* FDownButton = nullptr;
  TsTimerSpeedButton* FFocusedButton = nullptr;  // carries the focus rectangle
  TWinControl* FFocusControl = nullptr;          // not owned
  bool FUpGlyphDrawn = true;
  bool FDownGlyphDrawn = true;
  TNotifyEvent FOnUpClick, FOnDownClick;
};

// The skinned edit with a spin button inside its right edge. Ctrl+Up and Ctrl+Down step as the
// buttons do; typed keys pass through IsValidChar.
class TsBaseSpinEdit : public TsEdit {
public:
  explicit TsBaseSpinEdit(TComponent* owner);

  TsSpinButton* Button() const { return FButton; }
  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool value) { FEditorEnabled = value; }

  void Invalidate() override;
  void WndProc(TMessage& message) override;

protected:
  virtual bool IsValidChar(char key);
  virtual void UpClick(TObject* /*sender*/) {}
  virtual void DownClick(TObject* /*sender*/) {}

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void StandingCommand(::SkinCommand command) override;
  void CacheShown(bool rebuilt) override;

private:
  void SetEditRect();
  void PlaceButton();
  void ForEachButton(const std::function<void(TsTimerSpeedButton*)>& f);

  TsSpinButton* FButton = nullptr;
  bool FEditorEnabled = true;
};

// The integer spin edit: Value within MinValue..MaxValue (equal bounds leave it free), stepped by
// Increment.
class TsSpinEdit : public TsBaseSpinEdit {
public:
  explicit TsSpinEdit(TComponent* owner);

  int MinValue() const { return FMinValue; }
  void SetMinValue(int value) { FMinValue = value; }
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int value) { FMaxValue = value; }
  int Increment() const { return FIncrement; }
  void SetIncrement(int value) { FIncrement = value; }
  // MinValue while the text is no integer.
  int Value();
  void SetValue(int value);

protected:
  bool IsValidChar(char key) override;
  void UpClick(TObject* sender) override;
  void DownClick(TObject* sender) override;
  void DoExit() override;

private:
  void StepBy(SpinModel::TDirection direction);

  int FMinValue = 0;
  int FMaxValue = 0;
  int FIncrement = 1;
};
