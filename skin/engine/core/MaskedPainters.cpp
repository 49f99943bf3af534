#include "skin/engine/core/MaskedPainters.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "skin/engine/core/BlitClip.h"
#include "skin/engine/core/MaskSource.h"
#include "skin/engine/core/NinePartLayout.h"
#include "skin/engine/core/PixelBlend.h"

namespace {

// Calls f(dst, src, mask, dstX, dstY) for each pixel of a clipped part; mask is the pixel of the
// mask half under src (nullptr when the source has none).
template <typename F>
void ForEachMaskedPixel(const TsBitmap24View& bmp, const TsMaskSource& s, const TsBlitArea& a, F f) {
  for (int32_t y = 0; y < a.Height; ++y) {
    uint8_t* d = bmp.PixelAt(a.DstX, a.DstY + y);
    const uint8_t* p = s.Src.PixelAt(a.SrcX, a.SrcY + y);
    const uint8_t* m = s.HasMaskHalf ? s.Src.PixelAt(a.SrcX, a.SrcY + y + s.MaskOffset) : nullptr;
    for (int32_t x = 0; x < a.Width; ++x, d += 3, p += 3) {
      f(d, p, m, a.DstX + x, a.DstY + y);
      if (m) m += 3;
    }
  }
}

TsBlitArea ClipPart(const TsBitmap24View& bmp, const TsMaskSource& s, const TsRect& dstR, const TsRect& srcR) {
  return ClipBlit(bmp.Bounds(), s.Limit, dstR.Left, dstR.Top, srcR.Left, srcR.Top,
                  std::min(RectWidth(dstR), RectWidth(srcR)), std::min(RectHeight(dstR), RectHeight(srcR)));
}

// The masked pixel rule on n channels in a row. s * 255 + (d - s) * m is s * (255 - m) + d * m, at most
// 255 * 255, so sixteen channels are worked at once in 16-bit lanes.
void ApplyMaskedRuleRun(uint8_t* d, const uint8_t* s, const uint8_t* m, size_t n) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
  const auto half = [&](__m128i dv, __m128i sv, __m128i mv) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(sv, _mm_sub_epi16(full, mv)), _mm_mullo_epi16(dv, mv)), 8);
  };
  for (; i + 16 <= n; i += 16) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i mv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i));
    const __m128i lo = half(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(mv, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(mv, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; i < n; ++i) d[i] = MaskedChannel(s[i], d[i], m[i]);
}

void CopyParentPixel(uint8_t* d, const TsCacheView& cache, int32_t x, int32_t y) {
  if (const uint8_t* parent = cache.PixelAt(int64_t(cache.X) + x, int64_t(cache.Y) + y)) std::memcpy(d, parent, 3);
}

// How many pixels from p on, at most limit, are of the key colour: sixteen compared at once.
int32_t KeyRunLength(const uint8_t* p, int32_t limit) {
  int32_t n = 0;
#if defined(__SSE2__)
  alignas(16) static const uint8_t keys[48] = {255, 0, 255, 255, 0, 255, 255, 0, 255, 255, 0, 255, 255, 0, 255, 255,
                                               0, 255, 255, 0, 255, 255, 0, 255, 255, 0, 255, 255, 0, 255, 255, 0,
                                               255, 255, 0, 255, 255, 0, 255, 255, 0, 255, 255, 0, 255, 255, 0, 255};
  const __m128i k0 = _mm_load_si128(reinterpret_cast<const __m128i*>(keys));
  const __m128i k1 = _mm_load_si128(reinterpret_cast<const __m128i*>(keys + 16));
  const __m128i k2 = _mm_load_si128(reinterpret_cast<const __m128i*>(keys + 32));
  for (; n + 16 <= limit; n += 16) {
    const uint8_t* q = p + 3 * n;
    const __m128i same = _mm_and_si128(
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)), k0),
        _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16)), k1),
                      _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 32)), k2)));
    if (_mm_movemask_epi8(same) != 0xFFFF) break;
  }
#endif
  while (n < limit && IsKeyPixel(p + 3 * n)) ++n;
  return n;
}

// Each row of a clipped part with a mask half: runs of pixels not of the key colour take the masked
// pixel rule, and key(dst, dstX, dstY, count) each run of key pixels (a part's open centre is one
// run a row).
template <typename K>
void ForEachMaskedRow(const TsBitmap24View& bmp, const TsMaskSource& s, const TsBlitArea& a, K key) {
  for (int32_t y = 0; y < a.Height; ++y) {
    uint8_t* d = bmp.PixelAt(a.DstX, a.DstY + y);
    const uint8_t* p = s.Src.PixelAt(a.SrcX, a.SrcY + y);
    const uint8_t* m = s.Src.PixelAt(a.SrcX, a.SrcY + y + s.MaskOffset);
    for (int32_t x = 0; x < a.Width;) {
      int32_t end = x;
      while (end < a.Width && !IsKeyPixel(p + 3 * end)) ++end;
      ApplyMaskedRuleRun(d + 3 * x, p + 3 * x, m + 3 * x, size_t(end - x) * 3);
      x = end;
      end += KeyRunLength(p + 3 * end, a.Width - end);
      if (end > x) key(d + 3 * x, a.DstX + x, a.DstY + y, end - x);
      x = end;
    }
  }
}

// Key pixels that show the parent's pixels under them.
void CopyParentPixels(uint8_t* d, const TsCacheView& cache, int32_t x, int32_t y, int32_t count) {
  for (int32_t i = 0; i < count; ++i, d += 3) CopyParentPixel(d, cache, x + i, y);
}


TsRect FrameRect(int64_t left, int64_t top, int64_t width, int64_t height) {
  return RectOfSize(left, top, width, height);
}

}  // namespace

void CopyGlyphMasked(TsBitmap24View bmp, const TsInclusiveRect& dstR, const TsInclusiveRect& srcR,
                     const TsMaskImage& mask, TsGlyphShade shade, TColor key) {
  const TsMaskSource s = TsMaskSource::Of(mask);
  if (!s.HasMaskHalf) return;
  const TsBlitArea a = ClipPart(bmp, s, dstR.ToRect(), srcR.ToRect());
  if (a.IsEmpty()) return;
  const TsBgr k = TsBgr::FromColor(key);
  const uint8_t raise = shade == TsGlyphShade::Normal ? 0 : 100;
  ForEachMaskedPixel(bmp, s, a, [&](uint8_t* d, const uint8_t* p, const uint8_t* m, int32_t, int32_t) {
    if (PixelEquals(p, k)) return;
    for (int c = 0; c < 3; ++c) d[c] = MaskedChannel(p[c], d[c], uint8_t(std::min(m[c] + raise, 255)));
  });
}

void PaintMaskedGlyph(TsBitmap24View bmp, TsPoint p, TsSkinState state, const TsMaskImage& mask,
                      TsGlyphShade shade, TColor keyFill) {
  if (mask.HasOwnBitmap()) {
    const int64_t fw = mask.Own.Width() / 3;
    const int64_t fh = mask.Own.Height() / 2;
    if (fw <= 0 || fh <= 0) return;
    // An own glyph bitmap holds exactly three frames.
    const int64_t frame = std::clamp(int32_t(state), 0, 2);
    const TsRect src = FrameRect(frame * fw, 0, fw, fh);
    CopyGlyphMasked(bmp, ToInclusive(RectOfSize(p.X, p.Y, fw, fh)), ToInclusive(src), mask, shade,
                    SkinKeyColor);
    return;
  }
  const TsMasterFrames f = TsMasterFrames::Of(mask);
  if (!f.Valid) return;
  const int64_t frame = std::clamp<int64_t>(int32_t(state), 0, f.ImageCount - 1);
  const TsInclusiveRect src = ToInclusive(FrameRect(mask.R.Left + frame * f.Width, mask.R.Top, f.Width, f.Height));
  if (mask.MaskType >= 1) {
    CopyGlyphMasked(bmp, ToInclusive(RectOfSize(p.X, p.Y, f.Width, f.Height)), src, mask, shade,
                    SkinKeyColor);
  } else if (shade == TsGlyphShade::Normal) {
    CopyRectTransparent(bmp, mask.Master, p, TsCacheView::None(), SkinKeyColor, src, keyFill);
  } else {
    BlendRectKeyed(bmp, p, SkinKeyColor, 50, src, mask.Master);
  }
}

void CopyRectByMask(TsBitmap24View bmp, const TsRect& dstR, const TsRect& srcR, const TsCacheView& cache,
                    TsBitmap24View maskBmp) {
  if (maskBmp.IsEmpty()) return;
  TsMaskImage own;
  own.Own = maskBmp;
  const TsMaskSource s = TsMaskSource::Of(own);
  const TsBlitArea a = ClipPart(bmp, s, dstR, srcR);
  if (a.IsEmpty()) return;
  if (cache.Valid) {
    ForEachMaskedRow(bmp, s, a, [&](uint8_t* d, int32_t x, int32_t y, int32_t n) { CopyParentPixels(d, cache, x, y, n); });
  } else {
    ForEachMaskedPixel(bmp, s, a, [&](uint8_t* d, const uint8_t* p, const uint8_t* m, int32_t, int32_t) {
      for (int c = 0; c < 3; ++c) d[c] = MaskedChannelExact(p[c], d[c], m[c]);
    });
  }
}

void CopyMasterPartMasked(TsBitmap24View bmp, const TsRect& dstR, const TsRect& srcR, const TsMaskImage& mask,
                          const TsCacheView& cache, TColor keyFill) {
  if (mask.HasOwnBitmap()) return;
  const TsMaskSource s = TsMaskSource::Of(mask);
  if (!s.HasMaskHalf) return;
  const TsBlitArea a = ClipPart(bmp, s, dstR, srcR);
  if (a.IsEmpty()) return;
  const bool fill = keyFill != SkinKeyColor;
  const TsBgr fillColor = TsBgr::FromColor(keyFill);
  ForEachMaskedRow(bmp, s, a, [&](uint8_t* d, int32_t x, int32_t y, int32_t n) {
    if (fill)
      for (int32_t i = 0; i < n; ++i) fillColor.Store(d + 3 * i);
    else if (cache.Valid)
      CopyParentPixels(d, cache, x, y, n);
  });
}

void PaintNinePartImage(TsBitmap24View bmp, const TsRect& r, bool fillCentre, TsSkinState state,
                        const TsMaskImage& mask, const TsCacheView& cache, TColor keyFill) {
  if (RectWidth(r) < 2 || RectHeight(r) < 2) return;
  if (!mask.HasOwnBitmap()) {
    PaintNinePartMasterImage(bmp, r, fillCentre, state, mask, cache, keyFill);
    return;
  }
  TsNinePartFrame frame;
  frame.PartWidth = mask.Own.Width() / 9;
  frame.PartHeight = mask.Own.Height() / 6;
  frame.Origin = {int32_t(std::clamp(int32_t(state), 0, 2) * 3 * frame.PartWidth), 0};
  const TsCornerSizes corners = NinePartCorners(RectWidth(r), RectHeight(r), frame.PartWidth, frame.PartHeight, 0);
  LayoutNineParts(r, bmp.Bounds(), frame, corners, fillCentre,
                  [&](const TsRect& dst, const TsRect& src, TsPartKind kind) {
                    CopyRectByMask(bmp, dst, src, kind == TsPartKind::Corner ? cache : TsCacheView::None(),
                                   mask.Own);
                  });
}

void PaintNinePartMasterImage(TsBitmap24View bmp, const TsRect& r, bool fillCentre, TsSkinState state,
                              const TsMaskImage& mask, const TsCacheView& cache, TColor keyFill) {
  if (RectWidth(r) < 2 || RectHeight(r) < 2) return;
  const TsMasterFrames f = TsMasterFrames::Of(mask);
  if (!f.Valid) return;
  const int64_t index = std::clamp<int64_t>(int32_t(state), 0, f.ImageCount - 1);
  TsNinePartFrame frame;
  frame.PartWidth = RectWidth(mask.R) / (f.ImageCount * 3);
  frame.PartHeight = RectHeight(mask.R) / (f.Rows * 3);
  frame.Origin = {ClampToInt32(mask.R.Left + RectWidth(mask.R) * index / f.ImageCount), mask.R.Top};
  const TsCornerSizes corners =
      NinePartCorners(RectWidth(r), RectHeight(r), frame.PartWidth, frame.PartHeight, mask.BorderWidth);
  const bool masked = mask.MaskType >= 1;
  // Without a mask half the border width marks a frame whose centre stays open.
  const bool centre = fillCentre && (masked || mask.BorderWidth <= 0);
  LayoutNineParts(r, bmp.Bounds(), frame, corners, centre, [&](const TsRect& dst, const TsRect& src, TsPartKind kind) {
    const TsCacheView& ci = kind == TsPartKind::Corner ? cache : TsCacheView::None();
    if (masked) {
      CopyMasterPartMasked(bmp, dst, src, mask, ci, keyFill);
    } else if (kind == TsPartKind::Corner) {
      CopyRectTransparent(bmp, mask.Master, {dst.Left, dst.Top}, cache, SkinKeyColor, ToInclusive(src), keyFill);
    } else {
      CopyPixels(bmp, {dst.Left, dst.Top}, mask.Master, src);
    }
  });
}
