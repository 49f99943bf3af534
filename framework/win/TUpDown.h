#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TWinControl.h"

// Which way a step of the arrows or keys moves the position; none when it cannot move it.
enum class TUpDownDirection { updNone, updUp, updDown };
using enum TUpDownDirection;
using TUDChangingEventEx =
    TDelegate<void(TObject* Sender, bool& AllowChange, int NewValue, TUpDownDirection Direction)>;

// The native up-down control. With an Associate it sits beside that control and shows its
// position as the control's text. Before a step OnChanging, then OnChangingEx (told the position
// the step moves to and its direction) may refuse it; OnClick follows each step.
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
  const TUDChangingEventEx& OnChangingEx() const { return FOnChangingEx; }
  void SetOnChangingEx(const TUDChangingEventEx& e) { FOnChangingEx = e; }
  const TUDClickEvent& OnClickButton() const { return FOnClick; }
  void SetOnClickButton(const TUDClickEvent& e) { FOnClick = e; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void ApplyRange();
  // Asks OnChanging and OnChangingEx whether a step of delta from position may be taken.
  bool CanChange(int position, int delta);

  int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
  TUDOrientation FOrientation = udVertical;
  TWinControl* FAssociate = nullptr;
  TUDAlignButton FAlignButton = udRight;
  bool FArrowKeys = true;
  bool FThousands = true;
  bool FWrap = false;
  int FLastDelta = 0;
  TUDChangingEvent FOnChanging;
  TUDChangingEventEx FOnChangingEx;
  TUDClickEvent FOnClick;
};
