#include "framework/win/TCustomControl.h"

#include "framework/win/GdiScopes.h"

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), FCanvas(this) {}

TCustomControl::~TCustomControl() { FCanvas.FreeHandle(); }

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasDC bound(FCanvas, dc);
  Paint();
}
