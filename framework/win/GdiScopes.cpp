#include "framework/win/GdiScopes.h"

#include <algorithm>

#include "framework/win/Controls.h"
#include "framework/win/TControlCanvas.h"

TMemoryDC::TMemoryDC(HBITMAP bitmap) : FHandle(CreateCompatibleDC(nullptr)) {
  if (FHandle == nullptr) throw EOutOfResources("Cannot create a memory device context");
  Select(bitmap);
}

TMemoryDC::TMemoryDC(HDC dc, int width, int height) : FHandle(CreateCompatibleDC(dc)) {
  if (FHandle == nullptr) throw EOutOfResources("Cannot create a memory device context");
  // A bitmap compatible with a memory DC takes the format of the bitmap it holds, monochrome when none:
  // the screen's format then. A window's DC has the screen's format already.
  const int w = std::max(width, 1), h = std::max(height, 1);
  FOwnedBitmap = GetObjectType(dc) == OBJ_DC ? CreateCompatibleBitmap(dc, w, h)
                                             : CreateCompatibleBitmap(TScreenDC().Handle(), w, h);
  if (FOwnedBitmap == nullptr) {
    DeleteDC(FHandle);
    throw EOutOfResources("Cannot create a bitmap");
  }
  Select(FOwnedBitmap);
}

TMemoryDC::~TMemoryDC() {
  if (FOldBitmap != nullptr && FOldBitmap != HGDI_ERROR) SelectObject(FHandle, FOldBitmap);
  DeleteDC(FHandle);
  if (FOwnedBitmap != nullptr) DeleteObject(FOwnedBitmap);
}

void TMemoryDC::Select(HBITMAP bitmap) {
  FBitmap = bitmap;
  FOldBitmap = SelectObject(FHandle, bitmap);
}

TCanvasDC::TCanvasDC(TCanvas& canvas, HDC dc) : FCanvas(canvas) { canvas.SetHandle(dc); }

TCanvasDC::TCanvasDC(TControlCanvas& canvas, HDC dc) : FCanvas(canvas) {
  canvas.Lock();
  FLocked = true;
  canvas.FreeHandle();
  canvas.SetHandle(dc);
}

TCanvasDC::~TCanvasDC() {
  FCanvas.SetHandle(nullptr);
  if (FLocked) FCanvas.Unlock();
}
