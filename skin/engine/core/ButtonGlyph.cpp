#include "skin/engine/core/ButtonGlyph.h"

#include "skin/engine/core/PixelBlend.h"

TColor BottomLeftColor(TsBitmap24View bmp) {
  if (bmp.IsEmpty()) return SkinKeyColor;
  return TsBgr::Load(bmp.PixelAt(0, bmp.Height() - 1)).ToColor();
}

void DrawButtonGlyph(TsBitmap24View glyph, TsBitmap24View dst, TsPoint at, int32_t numGlyphs,
                     const TsGlyphLook& look, TColor keyFill) {
  if (glyph.IsEmpty()) return;
  const TColor key = BottomLeftColor(glyph);
  if (numGlyphs == 1) {
    TsBitmap24 copy = TsBitmap24::CopyOf(glyph);
    const TsInclusiveRect whole = ToInclusive(copy.View().Bounds());
    bool blend = false;
    int32_t percent = 0;
    if (!look.Enabled) {
      if (look.DisabledKind.Grayed) GrayscaleBitmapKeyed(copy.View(), key);
      blend = look.DisabledKind.Blended;
      percent = 50;
    } else {
      if (!look.Hot && look.Grayed) GrayscaleBitmapKeyed(copy.View(), key);
      blend = !look.Hot && look.Blend >= 1;
      percent = look.Blend;
    }
    if (blend) BlendRectKeyed(dst, at, key, percent, whole, copy.View());
    else CopyBitmapTransparent(dst, copy.View(), at, key);
  } else if (numGlyphs == 2) {
    const int32_t fw = glyph.Width() / 2;
    if (fw <= 0) return;
    const TsInclusiveRect frame0{0, 0, fw - 1, glyph.Height() - 1};
    const TsInclusiveRect frame1{fw, 0, 2 * fw - 1, glyph.Height() - 1};
    if (look.Enabled && !look.Hot && look.Blend >= 1)
      BlendRectKeyed(dst, at, key, look.Blend, frame0, glyph);
    else
      CopyRectTransparent(dst, glyph, at, TsCacheView::None(), key, look.Enabled ? frame0 : frame1, keyFill);
  }
}

TsBitmap24 BuildTwoFrameGlyph(TsBitmap24View image, TsDisabledGlyphKind kind, TColor buttonFace) {
  const int32_t w = image.Width();
  const int32_t h = image.Height();
  TsBitmap24 glyph(w * 2, h);
  if (image.IsEmpty()) return glyph;
  CopyPixels(glyph.View(), {0, 0}, image, image.Bounds());
  if (kind.IsEmpty()) {
    CopyPixels(glyph.View(), {w, 0}, image, image.Bounds());
    return glyph;
  }
  TsBitmap24 altered = TsBitmap24::CopyOf(image);
  const TColor key = BottomLeftColor(image);
  if (kind.Grayed) GrayscaleBitmapKeyed(altered.View(), key);
  FillRectPixels(glyph.View(), {w, 0, 2 * w, h}, TsBgr::FromColor(buttonFace));
  if (kind.Blended) {
    BlendRectKeyed(glyph.View(), {w, 0}, key, 50, ToInclusive(altered.View().Bounds()), altered.View());
  } else {
    CopyBitmapTransparent(glyph.View(), altered.View(), {w, 0}, key);
    glyph.SetPixel(w, h - 1, TsBgr::FromColor(SkinKeyColor));
  }
  return glyph;
}
