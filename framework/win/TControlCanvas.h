#pragma once

#include "framework/win/TCanvas.h"

class TControl;

// A canvas on a control's window, or for a graphic control on its parent's window clipped to the
// control. Device contexts taken outside painting are given back by FreeDeviceContexts.
class TControlCanvas : public TCanvas {
public:
  explicit TControlCanvas(TControl* control) : FControl(control) {}
  ~TControlCanvas() override;

  TControl* Control() const { return FControl; }
  // Gives back the device context taken by CreateHandle, if any.
  void FreeHandle();
  // Gives back the device contexts of every control canvas (done when the application idles).
  static void FreeDeviceContexts();

protected:
  void CreateHandle() override;

private:
  TControl* FControl;
  HWND FWindow = nullptr;
  HDC FDc = nullptr;
};
