#include "skin/engine/core/SectionBackground.h"

#include <algorithm>

#include "skin/engine/core/Gradient.h"
#include "skin/engine/core/MaskedPainters.h"
#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/TsBitmap24.h"

namespace {

int32_t Percent(int32_t v) { return std::clamp(v, 0, 100); }

std::array<uint8_t, 3> EqualAlpha(int32_t percent) {
  const uint8_t a = uint8_t(Percent(percent) * 255 / 100);
  return {a, a, a};
}

// A gradient over r, on the colour where the stops leave anything unpainted (no stops, or a
// one-row extent).
void PaintGradientOrColour(TsBitmap24View bmp, const TsRect& r, const TsSectionLook& look) {
  FillRectPixels(bmp, r, TsBgr::FromColor(look.Color));
  FillGradient(bmp, r, look.Gradient);
}

}  // namespace

void TileImage(TsBitmap24View bmp, const TsRect& r, TsBitmap24View src, const TsRect& srcR) {
  const TsRect s = IntersectRects(srcR, src.Bounds());
  const int64_t tw = RectWidth(s);
  const int64_t th = RectHeight(s);
  const TsRect visible = IntersectRects(r, bmp.Bounds());
  if (tw <= 0 || th <= 0 || IsRectEmpty(visible)) return;
  // Start at the first tile that reaches into the visible part, so huge targets cost nothing extra.
  const int64_t firstY = r.Top + (visible.Top - int64_t(r.Top)) / th * th;
  const int64_t firstX = r.Left + (visible.Left - int64_t(r.Left)) / tw * tw;
  for (int64_t y = firstY; y < visible.Bottom; y += th)
    for (int64_t x = firstX; x < visible.Right; x += tw) {
      const int64_t w = std::min<int64_t>(tw, int64_t(r.Right) - x);
      const int64_t h = std::min<int64_t>(th, int64_t(r.Bottom) - y);
      CopyPixels(bmp, {int32_t(x), int32_t(y)}, src, RectOfSize(s.Left, s.Top, w, h));
    }
}

void PaintOpaqueBackground(TsBitmap24View bmp, const TsRect& r, const TsSectionLook& look,
                           TColor backgroundColor) {
  const TsRect area = IntersectRects(r, bmp.Bounds());
  if (IsRectEmpty(area)) return;
  const int32_t image = Percent(look.ImagePercent);
  const int32_t gradient = Percent(look.GradientPercent);
  const TsBgr colour = TsBgr::FromColor(look.Color);
  bool imagePainted = false;
  if (image > 0) {
    if (look.Pattern.Present) {
      TileImage(bmp, area, look.Pattern.Image, look.Pattern.Source);
      imagePainted = true;
    } else {
      FillRectPixels(bmp, area, colour);
    }
  }
  if (gradient > 0) {
    if (imagePainted) {
      TsBitmap24 temp(area.Right - area.Left, area.Bottom - area.Top);
      PaintGradientOrColour(temp.View(), temp.View().Bounds(), look);
      BlendBitmapRect(bmp, temp.View(), EqualAlpha(image), temp.View().Bounds(), {area.Left, area.Top});
    } else {
      PaintGradientOrColour(bmp, area, look);
    }
  }
  const int32_t shares = image + gradient;
  if (shares >= 1 && shares <= 99) {
    BlendRectWithColor(bmp, area, shares, look.Color);
  } else if (shares != 100) {
    const bool useBackground = backgroundColor != SkinKeyColor && Percent(look.Transparency) != 0;
    FillRectPixels(bmp, area, useBackground ? TsBgr::FromColor(backgroundColor) : colour);
  }
}

void PaintSectionBackground(TsBitmap24View bmp, const TsRect& r, const TsSectionLook& look,
                            const TsCacheView& cache, TsPoint offset, TColor backgroundColor) {
  const TsRect area = IntersectRects(r, bmp.Bounds());
  if (IsRectEmpty(area)) return;
  const int32_t transparency = Percent(look.Transparency);
  // Where the parent's pixels for area start in its cache.
  const TsPoint parentAt{ClampToInt32(int64_t(cache.X) + offset.X + (area.Left - int64_t(r.Left))),
                         ClampToInt32(int64_t(cache.Y) + offset.Y + (area.Top - int64_t(r.Top)))};
  const TsRect parentRect = RectOfSize(parentAt.X, parentAt.Y, area.Right - area.Left, area.Bottom - area.Top);
  const bool sameBitmap = cache.Bitmap.SharesPixelsWith(bmp);
  if (!cache.Valid || transparency == 0) {
    PaintOpaqueBackground(bmp, area, look, backgroundColor);
  } else if (transparency == 100) {
    if (!sameBitmap) CopyPixels(bmp, {area.Left, area.Top}, cache.Bitmap, parentRect);
  } else {
    TsBitmap24 temp(area.Right - area.Left, area.Bottom - area.Top);
    PaintOpaqueBackground(temp.View(), temp.View().Bounds(), look, backgroundColor);
    if (!sameBitmap) CopyPixels(bmp, {area.Left, area.Top}, cache.Bitmap, parentRect);
    BlendBitmapRect(bmp, temp.View(), EqualAlpha(transparency), temp.View().Bounds(), {area.Left, area.Top});
  }
}

void PaintSectionPixels(TsBitmap24View bmp, const TsRect& r, const TsSectionLook& look, const TsSectionPaint& paint,
                        const TsCacheView& cache, TsPoint offset) {
  if (bmp.IsEmpty() || IsRectEmpty(r) || r.Left < 0 || r.Top < 0 || r.Right > bmp.Width() || r.Bottom > bmp.Height())
    return;
  PaintSectionBackground(bmp, r, look, cache, offset, paint.BackgroundColor);
  if (paint.Border)
    PaintNinePartImage(bmp, r, paint.FillCentre, paint.State, *paint.Border, cache.MovedBy(offset.X, offset.Y),
                       paint.KeyFillColor);
}
