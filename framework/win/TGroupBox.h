#pragma once

#include "framework/win/TCustomControl.h"

// A frame with a caption that holds other controls.
class TGroupBox : public TCustomControl {
public:
  explicit TGroupBox(TComponent* owner);

  void AdjustClientRect(RECT& r) override;
  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;
  int CaptionHeight();
};
