#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TCustomControl.h"
#include "framework/win/TCustomForm.h"

// A container with raised or lowered bevels and a centred caption.
class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int value);
  // bsNone or bsSingle (a one-pixel frame).
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

  void AdjustClientRect(RECT& r) override;
  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;

private:
  int BevelSpace() const;

  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  TFormBorderStyle FBorderStyle = bsNone;
  TAlignment FAlignment = taCenter;
};
