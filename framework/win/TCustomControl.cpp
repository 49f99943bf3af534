#include "framework/win/TCustomControl.h"

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), FCanvas(this) {}

TCustomControl::~TCustomControl() { FCanvas.FreeHandle(); }

void TCustomControl::PaintWindow(HDC dc) {
  FCanvas.Lock();
  FCanvas.FreeHandle();
  FCanvas.SetHandle(dc);
  try {
    Paint();
  } catch (...) {
    FCanvas.SetHandle(nullptr);
    FCanvas.Unlock();
    throw;
  }
  FCanvas.SetHandle(nullptr);
  FCanvas.Unlock();
}
