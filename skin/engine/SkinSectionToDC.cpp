#include "skin/engine/SkinSectionToDC.h"

#include <memory>

#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/core/SkinTables.h"

void PaintSectionToDC(const TsActiveSkin& skin, int skinIndex, const std::string&, const TsCacheView& cache,
                      HDC dc, TsPoint offset, const RECT& r, TsSkinState state, bool fillCentre,
                      const TsSkinColors& colors) {
  if (!skin.SectionIndexValid(skinIndex) || r.left < 0 || r.top < 0 || r.right - r.left < 1 ||
      r.bottom - r.top < 1)
    return;
  const TSaveDC saved(dc);
  TBitmap temp;
  temp.SetPixelFormat(TPixelFormat::Bit24);
  temp.SetSize(r.right - r.left, r.bottom - r.top);
  const TsBitmap24View rows = BitmapRows(&temp);
  PaintSectionByIndex(skin, rows, skinIndex, cache, offset, rows.Bounds(), state, fillCentre, colors);
  BitBlt(dc, r.left, r.top, temp.Width(), temp.Height(), temp.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void PaintSectionToDC(const TsActiveSkin& skin, int skinIndex, const std::string& sectionName,
                      const TsCacheInfo& ci, HDC dc, POINT offset, const RECT& r, TsSkinState state,
                      bool fillCentre) {
  PaintSectionToDC(skin, skinIndex, sectionName, CacheViewOf(ci.Bitmap, ci.X, ci.Y, ci.Valid), dc,
                   {offset.x, offset.y}, r, state, fillCentre,
                   PlatformSkinColors(skin.SkinKeyFillColor, skin.SkinBackgroundFillColor));
}

void FillRectColor(HDC dc, const RECT& r, TColor color) {
  const TSaveDC saved(dc);
  const TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &r, brush.Handle());
}
