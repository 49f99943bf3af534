#include "skin/engine/SkinFrameDrawing.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/core/CaptionLayout.h"

namespace {

void Polyline3(HDC dc, const std::array<TsPoint, 3>& p) {
  const POINT pts[3] = {{p[0].X, p[0].Y}, {p[1].X, p[1].Y}, {p[2].X, p[2].Y}};
  Polyline(dc, pts, 3);
}

void Dot(HDC dc, int x, int y) {
  SetPixel(dc, x, y, RGB(0, 0, 0));
  SetPixel(dc, x - 1, y - 1, RGB(255, 255, 255));
}

}  // namespace

void DrawBevelFrame(HDC dc, RECT& r, TColor color1, TColor color2, int& count) {
  TsRect box = ToTRect(r);
  int32_t n = count;
  const TsBevelLines lines = BevelFrameLines(box, n);
  {
    // The pens outlive the DC state that selects them.
    const TGdiObject<HPEN> pen1(CreatePen(PS_SOLID, 1, ColorToRGB(color1)));
    const TGdiObject<HPEN> pen2(CreatePen(PS_SOLID, 1, COLORREF(color2 & 0xFFFFFF)));
    const TSaveDC saved(dc);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (size_t i = 0; i < lines.TopLeft.size(); ++i) {
      SelectObject(dc, pen1.Handle());
      Polyline3(dc, lines.TopLeft[i]);
      SelectObject(dc, pen2.Handle());
      Polyline3(dc, lines.BottomRight[i]);
    }
  }
  r = ToRECT(box);
  count = n;
}

void DrawGripDots(TCanvas* canvas, const RECT& r) {
  // A grip is never wider than a screen; the bound keeps a bad rectangle from looping long.
  constexpr long MaxDots = 1 << 14;
  const long across = std::clamp<long>((r.right - r.left) / 3, -1, MaxDots);
  const long down = std::clamp<long>((r.bottom - r.top) / 3, -1, MaxDots);
  HDC dc = canvas->Handle();
  for (long i = 0; i <= across; ++i) {
    Dot(dc, r.left + 3 * i, r.top);
    Dot(dc, r.left + 3 * i, r.bottom);
  }
  for (long j = 0; j <= down; ++j) {
    Dot(dc, r.left, r.top + 3 * j);
    Dot(dc, r.right, r.top + 3 * j);
  }
}

void DrawCheckMark(TCanvas* canvas, const RECT& r, TColor color, bool enabled) {
  const auto corners = CheckMarkPolygon(ToTRect(r));
  auto draw = [&](int dx, int dy, TColor c) {
    POINT pts[6];
    for (size_t i = 0; i < 6; ++i) pts[i] = {corners[i].X + dx, corners[i].Y + dy};
    canvas->Pen()->SetStyle(TPenStyle::Solid);
    canvas->Pen()->SetColor(c);
    canvas->Brush()->SetStyle(TBrushStyle::Solid);
    canvas->Brush()->SetColor(c);
    canvas->Polygon(pts, 6);
  };
  if (enabled) {
    draw(0, 0, color);
  } else {
    draw(1, 1, cl3DLight);
    draw(0, 0, clBtnShadow);
  }
}
