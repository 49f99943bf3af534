#include "skin/engine/core/PixelBlend.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "skin/engine/core/BlitClip.h"
#include "skin/engine/core/ExactShare.h"

namespace {

TsBlitArea ClipToBitmap(const TsBitmap24View& bmp, const TsRect& r) {
  return ClipBlit(bmp.Bounds(), bmp.Bounds(), r.Left, r.Top, r.Left, r.Top, RectWidth(r), RectHeight(r));
}

// Runs f(dstPixel, srcPixel) over a clipped area, three bytes at a time.
template <typename F>
void ForEachPixelPair(const TsBitmap24View& dst, const TsBitmap24View& src, const TsBlitArea& a, F f) {
  for (int32_t y = 0; y < a.Height; ++y) {
    uint8_t* d = dst.PixelAt(a.DstX, a.DstY + y);
    const uint8_t* s = src.PixelAt(a.SrcX, a.SrcY + y);
    for (int32_t x = 0; x < a.Width; ++x, d += 3, s += 3) f(d, s, a.DstX + x, a.DstY + y);
  }
}

// Pixels from which a blend builds its full pair table.
constexpr int64_t PairTableArea = 1 << 16;

bool HasKey(TColor key) { return (static_cast<uint32_t>(key) >> 24) != 0xFF; }

// Inside the rounded rectangle [l, r) x [t, b) whose corners are ellipses of the given size.
bool InsideRoundRect(int64_t x, int64_t y, int64_t l, int64_t t, int64_t r, int64_t b, int64_t corner) {
  if (x < l || y < t || x >= r || y >= b) return false;
  if (corner < 2) return true;
  const double rad = corner / 2.0;
  const double px = x + 0.5;
  const double py = y + 0.5;
  const double cx = px < l + rad ? l + rad : (px > r - rad ? r - rad : px);
  const double cy = py < t + rad ? t + rad : (py > b - rad ? b - rad : py);
  const double dx = px - cx;
  const double dy = py - cy;
  return dx * dx + dy * dy <= rad * rad;
}

}  // namespace

void CopyPixels(TsBitmap24View dst, TsPoint at, TsBitmap24View src, const TsRect& srcR) {
  const TsBlitArea a =
      ClipBlit(dst.Bounds(), src.Bounds(), at.X, at.Y, srcR.Left, srcR.Top, RectWidth(srcR), RectHeight(srcR));
  if (a.IsEmpty()) return;
  // Rows may overlap when both views share one bitmap: copy in the safe order.
  const bool upward = dst.SharesPixelsWith(src) && a.DstY > a.SrcY;
  for (int32_t i = 0; i < a.Height; ++i) {
    const int32_t y = upward ? a.Height - 1 - i : i;
    std::memmove(dst.PixelAt(a.DstX, a.DstY + y), src.PixelAt(a.SrcX, a.SrcY + y), size_t(a.Width) * 3);
  }
}

void FillRectPixels(TsBitmap24View bmp, const TsRect& r, TsBgr color) {
  const TsBlitArea a = ClipToBitmap(bmp, r);
  if (a.IsEmpty()) return;
  uint8_t* first = bmp.PixelAt(a.DstX, a.DstY);
  for (int32_t x = 0; x < a.Width; ++x) color.Store(first + 3 * x);
  for (int32_t y = 1; y < a.Height; ++y) std::memcpy(bmp.PixelAt(a.DstX, a.DstY + y), first, size_t(a.Width) * 3);
}

void GrayscaleBitmap(TsBitmap24View bmp) { GrayscaleBitmapKeyed(bmp, PixelNoKey); }

void GrayscaleBitmapKeyed(TsBitmap24View bmp, TColor key) {
  const bool keyed = HasKey(key);
  const TsBgr k = TsBgr::FromColor(key);
  for (int32_t y = 0; y < bmp.Height(); ++y) {
    uint8_t* p = bmp.Row(y);
    for (int32_t x = 0; x < bmp.Width(); ++x, p += 3) {
      if (keyed && PixelEquals(p, k)) continue;
      const uint8_t mean = uint8_t((p[0] + p[1] + p[2]) / 3);
      p[0] = p[1] = p[2] = mean;
    }
  }
}

void BlendRectWithColor(TsBitmap24View bmp, const TsRect& r, int32_t transparency, TColor color) {
  const TsBlitArea a = ClipToBitmap(bmp, r);
  if (a.IsEmpty()) return;
  const TsExactShare share(std::clamp(transparency, 0, 100), 100);
  const TsBgr c = TsBgr::FromColor(color);
  for (int32_t y = 0; y < a.Height; ++y) {
    uint8_t* p = bmp.PixelAt(a.DstX, a.DstY + y);
    for (int32_t x = 0; x < a.Width; ++x, p += 3) {
      p[0] = share.Mix(c.B, p[0]);
      p[1] = share.Mix(c.G, p[1]);
      p[2] = share.Mix(c.R, p[2]);
    }
  }
}

void BlendRectKeyed(TsBitmap24View dst, TsPoint at, TColor key, int32_t transparencyPercent,
                    const TsInclusiveRect& srcR, TsBitmap24View src) {
  const TsBlitArea a =
      ClipBlit(dst.Bounds(), src.Bounds(), at.X, at.Y, srcR.Left, srcR.Top, srcR.Width(), srcR.Height());
  if (a.IsEmpty()) return;
  const TsExactShare share(std::clamp(transparencyPercent, 0, 100), 100);
  const bool keyed = HasKey(key);
  const TsBgr k = TsBgr::FromColor(key);
  ForEachPixelPair(dst, src, a, [&](uint8_t* d, const uint8_t* s, int32_t, int32_t) {
    if (keyed && PixelEquals(s, k)) return;
    d[0] = share.Mix(s[0], d[0]);
    d[1] = share.Mix(s[1], d[1]);
    d[2] = share.Mix(s[2], d[2]);
  });
}

void BlendColorByMask(TsBitmap24View a, TsBitmap24View mask, TColor color) {
  const TsBgr c = TsBgr::FromColor(color);
  const int32_t cc[3] = {c.B, c.G, c.R};
  const int32_t w = std::min(a.Width(), mask.Width());
  const int32_t h = std::min(a.Height(), mask.Height());
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* p = a.Row(y);
    const uint8_t* m = mask.Row(y);
    for (int32_t i = 0; i < 3 * w; ++i) p[i] = uint8_t(((p[i] - cc[i % 3]) * m[i] + cc[i % 3] * 255) >> 8);
  }
}

void BlendBitmaps(TsBitmap24View d, TsBitmap24View s, int32_t level) {
  if (d.Width() != s.Width() || d.Height() != s.Height()) return;
  const TsExactShare share(level & 255, 256);
  for (int32_t y = 0; y < d.Height(); ++y) {
    uint8_t* pd = d.Row(y);
    const uint8_t* ps = s.Row(y);
    for (int32_t i = 0; i < 3 * d.Width(); ++i) pd[i] = share.Mix(ps[i], pd[i]);
  }
}

void BlendBitmapRect(TsBitmap24View d, TsBitmap24View s, std::array<uint8_t, 3> alpha, const TsRect& r,
                     TsPoint p) {
  const TsBlitArea a = ClipBlit(d.Bounds(), s.Bounds(), p.X, p.Y, r.Left, r.Top, RectWidth(r), RectHeight(r));
  if (a.IsEmpty()) return;
  const TsExactShare share(static_cast<int32_t>(alpha[0]) + alpha[1] + alpha[2], 768);
  // Over a large area a table of every pair pays for itself: one load a channel.
  if (int64_t(a.Width) * a.Height >= PairTableArea) {
    static thread_local std::array<uint8_t, 65536> pairs;
    share.FillPairTable(pairs);
    for (int32_t y = 0; y < a.Height; ++y) {
      uint8_t* pd = d.PixelAt(a.DstX, a.DstY + y);
      const uint8_t* ps = s.PixelAt(a.SrcX, a.SrcY + y);
      for (int32_t i = 0; i < 3 * a.Width; ++i) pd[i] = pairs[size_t(ps[i]) << 8 | pd[i]];
    }
    return;
  }
  for (int32_t y = 0; y < a.Height; ++y) {
    uint8_t* pd = d.PixelAt(a.DstX, a.DstY + y);
    const uint8_t* ps = s.PixelAt(a.SrcX, a.SrcY + y);
    for (int32_t i = 0; i < 3 * a.Width; ++i) pd[i] = share.Mix(ps[i], pd[i]);
  }
}

void BlendBitmapsByMask(TsBitmap24View d, TsBitmap24View s, TsBitmap24View mask, const TsRect& r) {
  TsRect limit = IntersectRects(r, d.Bounds());
  limit = IntersectRects(limit, s.Bounds());
  limit = IntersectRects(limit, mask.Bounds());
  for (int32_t y = limit.Top; y < limit.Bottom; ++y) {
    uint8_t* pd = d.PixelAt(limit.Left, y);
    const uint8_t* ps = s.PixelAt(limit.Left, y);
    const uint8_t* pm = mask.PixelAt(limit.Left, y);
    for (int32_t i = 0; i < 3 * (limit.Right - limit.Left); ++i)
      pd[i] = uint8_t(((pd[i] - ps[i]) * pm[i] + ps[i] * 256) >> 8);
  }
}

void CopyBitmapTransparent(TsBitmap24View dst, TsBitmap24View src, TsPoint at, TColor key) {
  const TsBlitArea a = ClipBlit(dst.Bounds(), src.Bounds(), at.X, at.Y, 0, 0, src.Width(), src.Height());
  if (a.IsEmpty()) return;
  const TsBgr k = TsBgr::FromColor(key);
  ForEachPixelPair(dst, src, a, [&](uint8_t* d, const uint8_t* s, int32_t, int32_t) {
    if (!PixelEquals(s, k)) std::memcpy(d, s, 3);
  });
}

void CopyRectTransparent(TsBitmap24View dst, TsBitmap24View src, TsPoint at, const TsCacheView& cache,
                         TColor key, const TsInclusiveRect& srcR, TColor keyFill) {
  const TsBlitArea a =
      ClipBlit(dst.Bounds(), src.Bounds(), at.X, at.Y, srcR.Left, srcR.Top, srcR.Width(), srcR.Height());
  if (a.IsEmpty()) return;
  const TsBgr k = TsBgr::FromColor(key);
  const bool fill = keyFill != SkinKeyColor;
  const TsBgr fillColor = TsBgr::FromColor(keyFill);
  ForEachPixelPair(dst, src, a, [&](uint8_t* d, const uint8_t* s, int32_t x, int32_t y) {
    if (!PixelEquals(s, k)) {
      std::memcpy(d, s, 3);
    } else if (fill) {
      fillColor.Store(d);
    } else if (const uint8_t* parent = cache.PixelAt(int64_t(cache.X) + x, int64_t(cache.Y) + y)) {
      std::memcpy(d, parent, 3);
    }
  });
}

void BlendRoundRectColor(TsBitmap24View bmp, const TsRect& r, int32_t percent, int32_t radius,
                         int32_t edgeWidth, TColor color) {
  const TsBlitArea a = ClipToBitmap(bmp, r);
  if (a.IsEmpty()) return;
  const int64_t w = RectWidth(r);
  const int64_t h = RectHeight(r);
  const int32_t level = std::clamp(percent, 0, 100) * 255 / 100;
  const int64_t corner = std::clamp<int64_t>(radius, 0, std::min(w / 2, h / 2));
  const int64_t edges = std::clamp<int64_t>(edgeWidth, 0, std::min(w / 2, h / 2));
  const double step = (255.0 - level) / double(edges + 1);
  const TsBgr c = TsBgr::FromColor(color);
  const int32_t cc[3] = {c.B, c.G, c.R};
  for (int32_t y = 0; y < a.Height; ++y) {
    uint8_t* p = bmp.PixelAt(a.DstX, a.DstY + y);
    const int64_t ly = int64_t(a.DstY) + y - r.Top;
    for (int32_t x = 0; x < a.Width; ++x, p += 3) {
      const int64_t lx = int64_t(a.DstX) + x - r.Left;
      // The innermost of the nested rectangles 0..edges that holds the pixel picks its grey.
      int64_t i = std::min({lx, ly, w - 1 - lx, h - 1 - ly, edges});
      while (i >= 0 && !InsideRoundRect(lx, ly, i, i, w - i, h - i, corner)) --i;
      int32_t m = 0;
      if (i == edges) m = level;
      else if (i == 0) m = 255;
      else if (i > 0) m = int32_t(std::nearbyint(level + double(edges - i + 1) * step));
      for (int ch = 0; ch < 3; ++ch) p[ch] = uint8_t(((p[ch] - cc[ch]) * m + cc[ch] * 255) >> 8);
    }
  }
}
