#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/win/Graphics.h"
#include "framework/win/TBrush.h"
#include "framework/win/TFont.h"
#include "framework/win/TPen.h"

class TGraphic;

// A drawing surface over a device context, with its own font, pen and brush selected on demand.
// Derived canvases make their device context lazily (CreateHandle).
class TCanvas : public TPersistent, private TGraphicsObjectUser {
public:
  TCanvas();
  ~TCanvas() override;

  HDC Handle();
  // The handle with the canvas' font, pen and brush selected, for text drawn by the platform's calls.
  HDC DrawingHandle();
  // Uses dc (not owned) from now on; nullptr lets go of the current one.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() { return &FFont; }
  TPen* Pen() { return &FPen; }
  TBrush* Brush() { return &FBrush; }
  void SetFont(const TFont* font) { FFont.Assign(font); }
  void SetPen(const TPen* pen) { FPen.Assign(pen); }
  void SetBrush(const TBrush* brush) { FBrush.Assign(brush); }

  // Serialises drawing between threads; re-entrant on the same thread.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return FLockCount; }

  POINT PenPos() const { return FPenPos; }
  void SetPenPos(POINT p) { MoveTo(p.x, p.y); }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const POINT* points, int count);
  void Polygon(const POINT* points, int count);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const RECT& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
  // The part of the ellipse in (x1, y1, x2, y2) from the ray through (x3, y3) counter-clockwise to
  // the ray through (x4, y4).
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void FillRect(const RECT& r);
  void FrameRect(const RECT& r);
  void TextOut(int x, int y, const std::string& text);
  // Draws text at (x, y) clipped to r, the brush filling r unless the brush is clear.
  void TextRect(const RECT& r, int x, int y, const std::string& text);
  // Draws text formatted by DT_* flags within r, in the font's colour on the brush (clear: none).
  void DrawText(const std::string& text, RECT r, UINT format);
  void DrawText(const std::wstring& text, RECT r, UINT format);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const RECT& r, TGraphic* graphic);
  // Copies source's srcRect into dest with CopyMode, stretching when the sizes differ.
  void CopyRect(const RECT& dest, TCanvas* source, const RECT& srcRect);
  DWORD CopyMode() const { return FCopyMode; }
  void SetCopyMode(DWORD rop) { FCopyMode = rop; }
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);
  RECT ClipRect();

protected:
  // Called when Handle is asked for and none is set: derived canvases set one here.
  virtual void CreateHandle() {}
  // Selects the original objects back into the device context.
  void DeselectHandles();

private:
  enum TState : unsigned { csFont = 1, csPen = 2, csBrush = 4 };
  void RequireState(unsigned state);
  void GraphicsObjectChanging(TGraphicsObject* object) override;

  HDC FHandle = nullptr;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
  HGDIOBJ FSelFont = nullptr, FSelPen = nullptr, FSelBrush = nullptr;
  POINT FPenPos{0, 0};
  DWORD FCopyMode = SRCCOPY;
  CRITICAL_SECTION FLock;
  int FLockCount = 0;
};
