#include "framework/win/TGraphicControl.h"

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(this) {}

void TGraphicControl::Dispatch(TMessage& message) {
  if (message.Msg == WM_PAINT && message.WParam != 0) {
    // The parent passes its paint DC with the origin and clipping already moved to this control.
    FCanvas.Lock();
    FCanvas.FreeHandle();
    FCanvas.SetHandle(reinterpret_cast<HDC>(message.WParam));
    try {
      Paint();
    } catch (...) {
      FCanvas.SetHandle(nullptr);
      FCanvas.Unlock();
      throw;
    }
    FCanvas.SetHandle(nullptr);
    FCanvas.Unlock();
    message.Result = 0;
    return;
  }
  TControl::Dispatch(message);
}
