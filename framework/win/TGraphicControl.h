#pragma once

#include <memory>

#include "framework/win/TControl.h"
#include "framework/win/TControlCanvas.h"

// A control without a window: it paints on its parent's window (Paint, with Canvas set up for it)
// and gets its mouse messages from its parent.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* owner);

  TCanvas* Canvas() { return &FCanvas; }
  void Dispatch(TMessage& message) override;

protected:
  virtual void Paint() {}

private:
  TControlCanvas FCanvas;
};
