#include "skin/windows/core/TsHintShape.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Bubbles of the balloon's trail and the divisor of their size.
constexpr int BubbleCount = 3, BubbleDivisor = 4;

bool IsBubbleShape(TsHintStyle style) {
  return style == TsHintStyle::hsComics || style == TsHintStyle::hsEllipse || style == TsHintStyle::hsBalloon;
}

}  // namespace

TsHintShape::TsHintShape(const TsHintLook& look, std::int32_t width, std::int32_t height, std::int32_t flip) {
  const std::int64_t shadow = HintShadowExtra(look);
  const std::int64_t w = std::max<std::int64_t>(int64_t(width) - shadow, 0);
  const std::int64_t h = std::max<std::int64_t>(int64_t(height) - shadow, 0);
  const bool above = (flip & 1) != 0, leftward = (flip & 2) != 0;
  FBody = RectOfSize(0, 0, w, h);
  FBounds = FBody;
  FCorner = {ClampToInt32(leftward ? w - 3 : 3), ClampToInt32(above ? h - 3 : 3)};
  if (!IsBubbleShape(look.Style)) {
    FFigures.push_back({TKind::RoundRect, 0, 0, double(w), double(h), 0, {}, {}});
    FInsets.push_back(true);
    return;
  }
  const std::int64_t ex = std::clamp<std::int64_t>(look.ExOffset, 0, h);
  FBody = above ? RectOfSize(0, 0, w, h - ex) : RectOfSize(0, ex, w, h - ex);
  const double l = FBody.Left, t = FBody.Top, r = FBody.Right, b = FBody.Bottom;
  const double cx = (l + r) / 2, cy = (t + b) / 2, bw = r - l, bh = b - t;
  if (look.Style == TsHintStyle::hsComics) {
    FFigures.push_back({TKind::RoundRect, l, t, r, b, double(std::max(look.Radius, 0)), {}, {}});
  } else {
    FFigures.push_back({TKind::Ellipse, l, t, r, b, 0, {}, {}});
  }
  FInsets.push_back(true);
  // The apex lies a pixel beyond the corner pixel's centre, so that the tail covers that pixel.
  const double ax = FCorner.X + 0.5 + (leftward ? 1 : -1), ay = FCorner.Y + 0.5 + (above ? 1 : -1);
  if (look.Style != TsHintStyle::hsBalloon) {
    // The tail: a triangle from the body's middle line to the flip corner.
    FFigures.push_back({TKind::Triangle, 0, 0, 0, 0, 0, {cx - bw / 8, cx + bw / 8, ax}, {cy, cy, ay}});
    FInsets.push_back(true);
    return;
  }
  // The balloon's trail: bubbles from the corner toward the body's edge, the first on the corner,
  // growing linearly, each as wide for its height as the body.
  const double ratio = bh > 0 ? bw / bh : 1;
  const double dx = cx - ax, dy = cy - ay;
  const double len = std::hypot(dx / std::max(bw / 2, 1.0), dy / std::max(bh / 2, 1.0));
  // Where the line from the corner to the body's centre meets the body's ellipse.
  const double reach = len > 1 ? 1 - 1 / len : 0;
  const double unit = double(ex) / (BubbleDivisor * 2);
  for (int k = 1; k <= BubbleCount; ++k) {
    const double f = reach * (k - 1) / BubbleCount;
    const double bx = ax + dx * f, by = ay + dy * f;
    const double bubbleH = std::max(unit * k, 2.0), bubbleW = bubbleH * ratio;
    FFigures.push_back({TKind::Ellipse, bx - bubbleW / 2, by - bubbleH / 2, bx + bubbleW / 2, by + bubbleH / 2, 0, {}, {}});
    FInsets.push_back(false);
  }
}

bool TsHintShape::SpanAt(const TFigure& f, double inset, double y, TSpan& span) {
  switch (f.Kind) {
    case TKind::RoundRect: {
      const double l = f.L + inset, t = f.T + inset, r = f.R - inset, b = f.B - inset;
      if (y < t || y >= b || l >= r) return false;
      const double rad = std::min({f.Radius, (r - l) / 2, (b - t) / 2});
      double dx = 0;
      const double dy = y < t + rad ? t + rad - y : y > b - rad ? y - (b - rad) : 0;
      if (dy > 0) dx = rad - std::sqrt(std::max(rad * rad - dy * dy, 0.0));
      span = {l + dx, r - dx};
      return true;
    }
    case TKind::Ellipse: {
      const double l = f.L + inset, t = f.T + inset, r = f.R - inset, b = f.B - inset;
      if (l >= r || t >= b) return false;
      const double a = (r - l) / 2, e = (b - t) / 2, cx = (l + r) / 2, cy = (t + b) / 2;
      const double v = (y - cy) / e;
      if (v <= -1 || v >= 1) return false;
      const double half = a * std::sqrt(1 - v * v);
      span = {cx - half, cx + half};
      return true;
    }
    case TKind::Triangle: {
      // Inner layers: the base narrows by twice the step and the apex moves toward the base.
      const double baseMid = (f.X[0] + f.X[1]) / 2;
      double xs[3] = {f.X[0] + 2 * inset, f.X[1] - 2 * inset, f.X[2]};
      double ys[3] = {f.Y[0], f.Y[1], f.Y[2]};
      if (xs[0] >= xs[1]) return false;
      xs[2] += f.X[2] < baseMid ? inset : -inset;
      ys[2] += f.Y[2] < f.Y[0] ? inset : -inset;
      double x0 = 0, x1 = 0;
      bool any = false;
      for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const double ya = ys[i], yb = ys[j];
        if ((y < std::min(ya, yb)) || (y >= std::max(ya, yb)) || ya == yb) continue;
        const double x = xs[i] + (y - ya) * (xs[j] - xs[i]) / (yb - ya);
        x0 = any ? std::min(x0, x) : x;
        x1 = any ? std::max(x1, x) : x;
        any = true;
      }
      if (!any || x1 <= x0) return false;
      span = {x0, x1};
      return true;
    }
  }
  return false;
}

void TsHintShape::FillLayer(TsBitmap24View bmp, std::int32_t inset, std::uint8_t grey, TsPoint offset) const {
  if (bmp.IsEmpty()) return;
  for (std::int32_t row = 0; row < bmp.Height(); ++row) {
    const double y = double(row) - offset.Y + 0.5;
    uint8_t* line = bmp.Row(row);
    for (std::size_t k = 0; k < FFigures.size(); ++k) {
      TSpan span;
      if (!SpanAt(FFigures[k], FInsets[k] ? inset : 0, y, span)) continue;
      // Pixels whose centre x + 0.5 lies in [X0, X1).
      const double from = std::ceil(span.X0 - 0.5) + offset.X, to = std::ceil(span.X1 - 0.5) + offset.X;
      const std::int32_t x0 = std::int32_t(std::clamp(from, 0.0, double(bmp.Width())));
      const std::int32_t x1 = std::int32_t(std::clamp(to, 0.0, double(bmp.Width())));
      if (x1 > x0) std::memset(line + 3 * std::ptrdiff_t(x0), grey, 3 * std::size_t(x1 - x0));
    }
  }
}

void TsHintShape::PaintMask(TsBitmap24View mask, std::int32_t transparency, std::int32_t blur, TsPoint offset) const {
  if (mask.IsEmpty()) return;
  for (std::int32_t y = 0; y < mask.Height(); ++y) std::memset(mask.Row(y), 255, 3 * std::size_t(mask.Width()));
  const std::int32_t layers = std::clamp(blur, 0, std::max(mask.Width(), mask.Height()));
  for (std::int32_t i = 0; i <= layers; ++i) FillLayer(mask, i, HintMaskLevel(transparency, layers, i), offset);
}
