#pragma once

#include "framework/win/TGraphicControl.h"

// A graphic control whose OnPaint draws on Canvas.
class TPaintBox : public TGraphicControl {
public:
  explicit TPaintBox(TComponent* owner);

  const TNotifyEvent& OnPaint() const { return FOnPaint; }
  void SetOnPaint(const TNotifyEvent& e) { FOnPaint = e; }

protected:
  void Paint() override;

private:
  TNotifyEvent FOnPaint;
};
