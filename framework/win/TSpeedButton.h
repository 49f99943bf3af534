#pragma once

#include "framework/win/TGlyphButton.h"
#include "framework/win/TGraphicControl.h"

// A button without a window. With a GroupIndex it stays down when clicked and releases the other
// buttons of its group on the same parent; AllowAllUp lets the down one be clicked up again.
class TSpeedButton : public TGraphicControl, public TGlyphButton {
public:
  explicit TSpeedButton(TComponent* owner);

  bool Down() const { return FDown; }
  void SetDown(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // The look being drawn: up, disabled, pressed or held down.
  TButtonState State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }

  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  void UpdateExclusive();
  void UpdateState();

  bool FDown = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FFlat = false;
  bool FTransparent = true;
  bool FDragging = false;
  bool FMouseInControl = false;
  TButtonState FState = bsUp;
};
