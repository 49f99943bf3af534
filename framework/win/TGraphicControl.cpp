#include "framework/win/TGraphicControl.h"

#include "framework/win/GdiScopes.h"

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(this) {}

void TGraphicControl::Dispatch(TMessage& message) {
  if (message.Msg == WM_PAINT && message.WParam != 0) {
    // The parent passes its paint DC with the origin and clipping already moved to this control.
    TCanvasDC bound(FCanvas, reinterpret_cast<HDC>(message.WParam));
    Paint();
    message.Result = 0;
    return;
  }
  TControl::Dispatch(message);
}
