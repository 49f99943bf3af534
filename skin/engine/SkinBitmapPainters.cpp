#include "skin/engine/SkinBitmapPainters.h"

#include <algorithm>
#include <cmath>

#include "framework/win/TBitmap.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/core/Gradient.h"
#include "skin/engine/core/MaskedPainters.h"
#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/TsBitmap24.h"

namespace {

TsCacheView ViewOfCache(const TsCacheInfo& ci) { return CacheViewOf(ci.Bitmap, ci.X, ci.Y, ci.Valid); }

// The same bitmap on both sides of a blend is read through a copy.
TsBitmap24 Snapshot(TBitmap* bmp) { return TsBitmap24::CopyOf(BitmapRows(bmp)); }

}  // namespace

void FillGradient(TBitmap* bmp, const RECT& r, const std::vector<TsGradientStop>& stops) {
  FillGradient(BitmapRows(bmp), ToTRect(r), stops);
}

void GrayscaleBitmap(TBitmap* bmp) { GrayscaleBitmap(BitmapRows(bmp)); }

void BlendRectKeyed(TBitmap* dst, int x, int y, TColor key, double transparency, const TsInclusiveRect& r,
                    TBitmap* src) {
  if (!dst || !src || !std::isfinite(transparency)) return;
  const int percent = int(std::nearbyint(std::clamp(transparency, 0.0, 1.0) * 100));
  const TsBitmap24 source = Snapshot(src);
  BlendRectKeyed(BitmapRows(dst), {x, y}, key, percent, r, source.View());
}

void BlendBitmaps(TBitmap* d, TBitmap* s, int level) {
  if (!d || !s) return;
  const TsBitmap24 source = Snapshot(s);
  BlendBitmaps(BitmapRows(d), source.View(), level);
}

void BlendBitmapRect(TBitmap* d, TBitmap* s, std::array<uint8_t, 3> alpha, const RECT& r, POINT p) {
  if (!d || !s) return;
  const TsBitmap24 source = Snapshot(s);
  BlendBitmapRect(BitmapRows(d), source.View(), alpha, ToTRect(r), {p.x, p.y});
}

void BlendColorByMask(TBitmap* a, TBitmap* mask, TColor color) {
  if (!a || !mask) return;
  const TsBitmap24 m = Snapshot(mask);
  BlendColorByMask(BitmapRows(a), m.View(), static_cast<TColor>(ColorToRGB(color)));
}

void BlendBitmapsByMask(TBitmap* d, TBitmap* s, TBitmap* mask, const RECT& r) {
  if (!d || !s || !mask) return;
  const TsBitmap24 source = Snapshot(s);
  const TsBitmap24 m = Snapshot(mask);
  BlendBitmapsByMask(BitmapRows(d), source.View(), m.View(), ToTRect(r));
}

void CopyRectTransparent(const TsActiveSkin& skin, TBitmap* dst, TBitmap* src, int x, const TsCacheInfo& ci,
                         TColor key, const TsInclusiveRect& srcR, int y) {
  if (!dst || !src) return;
  const TsBitmap24 source = Snapshot(src);
  const TColor fill = skin.SkinKeyFillColor == SkinKeyColor
                          ? SkinKeyColor
                          : static_cast<TColor>(ColorToRGB(skin.SkinKeyFillColor));
  CopyRectTransparent(BitmapRows(dst), source.View(), {x, y}, ViewOfCache(ci), key, srcR, fill);
}

void PaintNinePartMasterImage(const TsActiveSkin& skin, TBitmap* bmp, const RECT& r, bool fillCentre,
                              TsSkinState state, int maskIndex, const TsCacheInfo& ci) {
  if (!skin.MaskIndexValid(maskIndex)) return;
  PaintNinePartMasterImage(BitmapRows(bmp), ToTRect(r), fillCentre, state, MaskImageOf(skin, maskIndex),
                           ViewOfCache(ci), skin.SkinKeyFillColor);
}
