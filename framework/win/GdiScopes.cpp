#include "framework/win/GdiScopes.h"

#include <algorithm>

#include "framework/win/Controls.h"
#include "framework/win/TControlCanvas.h"

namespace {

int ScreenBitsPerPixel() {
  static const int bits = [] {
    const TScreenDC screen;
    return GetDeviceCaps(screen.Handle(), BITSPIXEL) * GetDeviceCaps(screen.Handle(), PLANES);
  }();
  return bits;
}

}  // namespace

HBITMAP CreateScreenBitmap(int width, int height) {
  const int bits = ScreenBitsPerPixel();
  // Screens of fewer colours keep the platform's own formats (palettes, 16-bit masks).
  if (bits != 24 && bits != 32) return CreateCompatibleBitmap(TScreenDC().Handle(), width, height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
}

TMemoryDC::TMemoryDC(HBITMAP bitmap) : FHandle(CreateCompatibleDC(nullptr)) {
  if (FHandle == nullptr) throw EOutOfResources("Cannot create a memory device context");
  Select(bitmap);
}

TMemoryDC::TMemoryDC(HDC dc, int width, int height) : FHandle(CreateCompatibleDC(dc)) {
  if (FHandle == nullptr) throw EOutOfResources("Cannot create a memory device context");
  // The bitmap is in the screen's format whatever dc holds: a memory DC's compatible bitmap would take
  // the format of the bitmap selected into it, monochrome when none.
  FOwnedBitmap = CreateScreenBitmap(std::max(width, 1), std::max(height, 1));
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
