#pragma once

#include <windows.h>

class TCanvas;
class TControlCanvas;

// Scopes over device-context state: whatever leaves the scope (return or exception) puts the DC
// back as it was and deletes what the scope made. Painting code uses these instead of pairing the
// platform calls by hand.

// SaveDC on entry, RestoreDC on exit: origin, clipping and selected objects come back together.
class TSaveDC {
public:
  explicit TSaveDC(HDC dc) : FDC(dc), FState(::SaveDC(dc)) {}
  ~TSaveDC() {
    if (FState != 0) ::RestoreDC(FDC, FState);
  }
  TSaveDC(const TSaveDC&) = delete;
  TSaveDC& operator=(const TSaveDC&) = delete;

private:
  HDC FDC;
  int FState;
};

// Selects a pen, brush, font or bitmap into dc and selects the previous one back on exit. The
// object stays the caller's. (Regions are copied on selection and need no scope.)
class TSelectObject {
public:
  TSelectObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(::SelectObject(dc, object)) {}
  ~TSelectObject() {
    if (FOld != nullptr && FOld != HGDI_ERROR) ::SelectObject(FDC, FOld);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// The screen's device context (GetDC), for measuring text and making compatible bitmaps; released
// on exit.
class TScreenDC {
public:
  TScreenDC() : FHandle(::GetDC(nullptr)) {}
  ~TScreenDC() {
    if (FHandle != nullptr) ::ReleaseDC(nullptr, FHandle);
  }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;

  HDC Handle() const { return FHandle; }

private:
  HDC FHandle;
};

// A bitmap of width x height in the screen's format, as CreateCompatibleBitmap makes one for the
// screen's DC. The screen's depth is asked once per process: the platform answers each ask with a
// round of display queries.
HBITMAP CreateScreenBitmap(int width, int height);

// A window's device context, released on exit: TWindowDC::Client (GetDC) draws on the client area,
// TWindowDC::Whole (GetWindowDC) on the whole window, frame included.
class TWindowDC {
public:
  enum class TArea { Client, Whole };
  static constexpr TArea Client = TArea::Client;
  static constexpr TArea Whole = TArea::Whole;
  TWindowDC(HWND window, TArea area)
      : FWindow(window), FHandle(area == TArea::Whole ? ::GetWindowDC(window) : ::GetDC(window)) {}
  ~TWindowDC() {
    if (FHandle != nullptr) ::ReleaseDC(FWindow, FHandle);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;

  HDC Handle() const { return FHandle; }

private:
  HWND FWindow;
  HDC FHandle;
};

// BeginPaint on a window for a WM_PAINT, EndPaint on exit. A WM_PAINT that brings its own DC in
// WParam (a parent painting a child into its buffer) is painted on that DC, without BeginPaint.
class TPaintDC {
public:
  TPaintDC(HWND window, HDC given)
      : FWindow(given ? nullptr : window), FHandle(given ? given : ::BeginPaint(window, &FInfo)) {}
  ~TPaintDC() {
    if (FWindow) ::EndPaint(FWindow, &FInfo);
  }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;

  HDC Handle() const { return FHandle; }

private:
  HWND FWindow;
  PAINTSTRUCT FInfo{};
  HDC FHandle;
};

// A pen, brush, font or region made for a scope, deleted on exit. Declare it before the TSelectObject that
// selects it, so that it is deselected first.
template <typename THandle>
class TGdiObject {
public:
  explicit TGdiObject(THandle handle) : FHandle(handle) {}
  ~TGdiObject() {
    if (FHandle != nullptr) ::DeleteObject(FHandle);
  }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  THandle Handle() const { return FHandle; }
  // Gives the object up to whoever took it now (a window given a region owns it).
  THandle Release() {
    THandle handle = FHandle;
    FHandle = nullptr;
    return handle;
  }

private:
  THandle FHandle;
};

// A memory device context, deleted on exit with whatever bitmap it made. Throws EOutOfResources
// when the platform has none to give.
class TMemoryDC {
public:
  // Compatible with the screen, with bitmap (not owned) selected into it.
  explicit TMemoryDC(HBITMAP bitmap);
  // Compatible with dc, drawing on a bitmap of its own of width x height (at least 1 x 1) in the
  // screen's format, whatever bitmap dc holds.
  TMemoryDC(HDC dc, int width, int height);
  ~TMemoryDC();
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;

  HDC Handle() const { return FHandle; }
  HBITMAP Bitmap() const { return FBitmap; }

private:
  void Select(HBITMAP bitmap);

  HDC FHandle = nullptr;
  HBITMAP FBitmap = nullptr;
  HBITMAP FOwnedBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
};

// Points a canvas at a device context it does not own (a paint DC, an owner-draw DC) for a scope,
// and lets go of it on exit, selecting the DC's own font, pen and brush back.
class TCanvasDC {
public:
  TCanvasDC(TCanvas& canvas, HDC dc);
  // A control canvas is also locked against other threads for the scope, and first gives back a
  // device context it took itself, so that it is neither lost nor drawn on.
  TCanvasDC(TControlCanvas& canvas, HDC dc);
  ~TCanvasDC();
  TCanvasDC(const TCanvasDC&) = delete;
  TCanvasDC& operator=(const TCanvasDC&) = delete;

private:
  TCanvas& FCanvas;
  bool FLocked = false;
};
