#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TWinControl.h"

// The native up-down control. With an Associate it sits beside that control and shows its
// position as the control's text. OnChanging may refuse a step; OnClick follows each one.
class TUpDown : public TWinControl {
public:
  explicit TUpDown(TComponent* owner);

  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  int Position();
  void SetPosition(int value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int value);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation value);
  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* control);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton value);
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool value);
  bool Thousands() const { return FThousands; }
  void SetThousands(bool value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool value);

  const TUDChangingEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(const TUDChangingEvent& e) { FOnChanging = e; }
  const TUDClickEvent& OnClickButton() const { return FOnClick; }
  void SetOnClickButton(const TUDClickEvent& e) { FOnClick = e; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void ApplyRange();

  int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
  TUDOrientation FOrientation = udVertical;
  TWinControl* FAssociate = nullptr;
  TUDAlignButton FAlignButton = udRight;
  bool FArrowKeys = true;
  bool FThousands = true;
  bool FWrap = false;
  int FLastDelta = 0;
  TUDChangingEvent FOnChanging;
  TUDClickEvent FOnClick;
};
