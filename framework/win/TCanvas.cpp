#include "framework/win/TCanvas.h"

#include <algorithm>

#include "framework/win/TGraphic.h"

TCanvas::TCanvas() {
  InitializeCriticalSection(&FLock);
  FFont.SetUser(this);
  FPen.SetUser(this);
  FBrush.SetUser(this);
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  FFont.SetUser(nullptr);
  FPen.SetUser(nullptr);
  FBrush.SetUser(nullptr);
  DeleteCriticalSection(&FLock);
}

HDC TCanvas::Handle() {
  if (FHandle == nullptr) CreateHandle();
  return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == FHandle) return;
  DeselectHandles();
  FHandle = dc;
  if (dc != nullptr) MoveToEx(dc, FPenPos.x, FPenPos.y, nullptr);
}

void TCanvas::DeselectHandles() {
  if (FHandle == nullptr) return;
  if (FOldFont != nullptr) SelectObject(FHandle, FOldFont);
  if (FOldPen != nullptr) SelectObject(FHandle, FOldPen);
  if (FOldBrush != nullptr) SelectObject(FHandle, FOldBrush);
  FOldFont = FOldPen = FOldBrush = nullptr;
  FSelFont = FSelPen = FSelBrush = nullptr;
}

void TCanvas::GraphicsObjectChanging(TGraphicsObject* object) {
  if (FHandle == nullptr) return;
  if (object == &FFont && FOldFont != nullptr) {
    SelectObject(FHandle, FOldFont);
    FOldFont = FSelFont = nullptr;
  } else if (object == &FPen && FOldPen != nullptr) {
    SelectObject(FHandle, FOldPen);
    FOldPen = FSelPen = nullptr;
  } else if (object == &FBrush && FOldBrush != nullptr) {
    SelectObject(FHandle, FOldBrush);
    FOldBrush = FSelBrush = nullptr;
  }
}

void TCanvas::RequireState(unsigned state) {
  HDC dc = Handle();
  if (dc == nullptr) throw EInvalidGraphic("Canvas does not allow drawing");
  if (state & csFont) {
    HGDIOBJ font = FFont.Handle();
    if (font != FSelFont) {
      HGDIOBJ old = SelectObject(dc, font);
      if (FOldFont == nullptr) FOldFont = old;
      FSelFont = font;
    }
    SetTextColor(dc, ColorToRGB(FFont.Color()));
  }
  if (state & csPen) {
    HGDIOBJ pen = FPen.Handle();
    if (pen != FSelPen) {
      HGDIOBJ old = SelectObject(dc, pen);
      if (FOldPen == nullptr) FOldPen = old;
      FSelPen = pen;
    }
    static constexpr int kRop2[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                                    R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                    R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                                    R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
    SetROP2(dc, kRop2[static_cast<int>(FPen.Mode())]);
  }
  if (state & csBrush) {
    HGDIOBJ brush = FBrush.Handle();
    if (brush != FSelBrush) {
      HGDIOBJ old = SelectObject(dc, brush);
      if (FOldBrush == nullptr) FOldBrush = old;
      FSelBrush = brush;
    }
    SetBkColor(dc, ColorToRGB(FBrush.Color()));
    SetBkMode(dc, FBrush.Style() == TBrushStyle::Solid ? OPAQUE : TRANSPARENT);
  }
}

void TCanvas::Lock() {
  EnterCriticalSection(&FLock);
  ++FLockCount;
}

void TCanvas::Unlock() {
  --FLockCount;
  LeaveCriticalSection(&FLock);
}

bool TCanvas::TryLock() {
  if (!TryEnterCriticalSection(&FLock)) return false;
  ++FLockCount;
  return true;
}

void TCanvas::MoveTo(int x, int y) {
  FPenPos = {x, y};
  if (HDC dc = Handle()) MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  RequireState(csPen | csBrush);
  ::LineTo(FHandle, x, y);
  FPenPos = {x, y};
}

void TCanvas::Polyline(const POINT* points, int count) {
  if (points == nullptr || count <= 0) return;
  RequireState(csPen | csBrush);
  ::Polyline(FHandle, points, count);
}

void TCanvas::Polygon(const POINT* points, int count) {
  if (points == nullptr || count <= 0) return;
  RequireState(csPen | csBrush);
  ::Polygon(FHandle, points, count);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  RequireState(csPen | csBrush);
  ::Rectangle(FHandle, x1, y1, x2, y2);
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  RequireState(csPen | csBrush);
  ::RoundRect(FHandle, x1, y1, x2, y2, x3, y3);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  RequireState(csPen | csBrush);
  ::Ellipse(FHandle, x1, y1, x2, y2);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  RequireState(csPen | csBrush);
  ::Pie(FHandle, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::FillRect(const RECT& r) {
  RequireState(csBrush);
  ::FillRect(FHandle, &r, FBrush.Handle());
}

void TCanvas::FrameRect(const RECT& r) {
  RequireState(csBrush);
  ::FrameRect(FHandle, &r, FBrush.Handle());
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  RequireState(csFont | csBrush);
  ::TextOutA(FHandle, x, y, text.data(), static_cast<int>(text.size()));
  FPenPos.x = x + TextWidth(text);
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::string& text) {
  RequireState(csFont | csBrush);
  UINT options = ETO_CLIPPED;
  if (FBrush.Style() != TBrushStyle::Clear) options |= ETO_OPAQUE;
  ::ExtTextOutA(FHandle, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
}

HDC TCanvas::DrawingHandle() {
  RequireState(csFont | csPen | csBrush);
  return FHandle;
}

void TCanvas::DrawText(const std::string& text, RECT r, UINT format) {
  RequireState(csFont | csBrush);
  ::DrawTextA(FHandle, text.data(), static_cast<int>(text.size()), &r, format);
}

void TCanvas::DrawText(const std::wstring& text, RECT r, UINT format) {
  RequireState(csFont | csBrush);
  ::DrawTextW(FHandle, text.data(), static_cast<int>(text.size()), &r, format);
}

SIZE TCanvas::TextExtent(const std::string& text) {
  RequireState(csFont);
  SIZE size{0, 0};
  GetTextExtentPoint32A(FHandle, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  RequireState(csPen | csBrush);
  graphic->Draw(this, RECT{x, y, x + graphic->Width(), y + graphic->Height()});
}

void TCanvas::StretchDraw(const RECT& r, TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  RequireState(csPen | csBrush);
  graphic->Draw(this, r);
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& srcRect) {
  if (source == nullptr) return;
  RequireState(csBrush);
  HDC src = source->Handle();
  if (src == nullptr) return;
  int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  int sw = srcRect.right - srcRect.left, sh = srcRect.bottom - srcRect.top;
  if (dw == sw && dh == sh) {
    BitBlt(FHandle, dest.left, dest.top, dw, dh, src, srcRect.left, srcRect.top, FCopyMode);
  } else {
    SetStretchBltMode(FHandle, COLORONCOLOR);
    StretchBlt(FHandle, dest.left, dest.top, dw, dh, src, srcRect.left, srcRect.top, sw, sh, FCopyMode);
  }
}

TColor TCanvas::Pixel(int x, int y) {
  HDC dc = Handle();
  if (dc == nullptr) return clNone;
  GdiFlush();
  COLORREF c = GetPixel(dc, x, y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  RequireState(csPen | csBrush);
  ::SetPixel(FHandle, x, y, ColorToRGB(color));
}

RECT TCanvas::ClipRect() {
  RECT r{0, 0, 0, 0};
  if (HDC dc = Handle()) GetClipBox(dc, &r);
  return r;
}
