#pragma once

#include "framework/win/TControlCanvas.h"
#include "framework/win/TWinControl.h"

// A windowed control that paints itself on its canvas (Paint).
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  TCanvas* Canvas() { return &FCanvas; }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

private:
  TControlCanvas FCanvas;
};
