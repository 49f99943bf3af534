#include "skin/controls/ComboEditGlyph.h"

#include <windows.h>

#include <algorithm>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/controls/core/ComboEditLayout.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/core/MaskedPainters.h"

namespace {

// The pixels of rect r of work that the glyph changed (they differ from base): grey, then mixed
// with base by level (0 keeps the glyph, 255 keeps the background).
void ShadeGlyph(TBitmap* work, TBitmap* base, const TsRect& r, bool grey, int level) {
  const TsBitmap24View w = BitmapRows(work), b = BitmapRows(base);
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, w.Height()); ++y)
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, w.Width()); ++x) {
      uint8_t* p = w.PixelAt(x, y);
      const uint8_t* q = b.PixelAt(x, y);
      if (p[0] == q[0] && p[1] == q[1] && p[2] == q[2]) continue;
      if (grey) {
        const uint8_t g = uint8_t((p[0] * 11 + p[1] * 59 + p[2] * 30) / 100);
        p[0] = p[1] = p[2] = g;
      }
      for (int c = 0; c < 3; ++c) p[c] = uint8_t((p[c] * (255 - level) + q[c] * level) / 255);
    }
}

}  // namespace

void PaintComboGlyph(TBitmap* bmp, const TComboGlyphPaint& paint) {
  const int w = paint.FrameWidth, h = paint.FrameHeight;
  if (!paint.Glyph || w <= 0 || h <= 0 || bmp->Width() <= 0 || bmp->Height() <= 0) return;
  const bool shade = paint.Shaded && (paint.Grayed || paint.Blend > 0);
  TBitmap base;
  if (shade) {
    base.SetPixelFormat(TPixelFormat::Bit24);
    base.SetSize(bmp->Width(), bmp->Height());
    BitBlt(base.Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  TsMaskImage mask;
  mask.Own = BitmapRows(paint.Glyph);
  const ComboEditLayout::TGlyphCut cut =
      ComboEditLayout::CutGlyphFrame(paint.Frame, w, h, bmp->Width(), bmp->Height());
  PaintMaskedGlyph(BitmapRows(bmp), cut.At, TsSkinState(paint.Frame), mask, TsGlyphShade::Normal);
  if (shade)
    ShadeGlyph(bmp, &base, TsRect{cut.At.X, cut.At.Y, cut.At.X + w, cut.At.Y + h}, paint.Grayed,
               ComboEditLayout::BlendLevel(paint.Blend));
}
