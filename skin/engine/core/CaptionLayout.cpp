#include "skin/engine/core/CaptionLayout.h"

#include <algorithm>

namespace {

void InflateBy(TsRect& r, int64_t dx, int64_t dy) {
  r = {ClampToInt32(r.Left - dx), ClampToInt32(r.Top - dy), ClampToInt32(r.Right + dx), ClampToInt32(r.Bottom + dy)};
}

}  // namespace

TsRect LayoutCaptionRect(TsRect& r, uint32_t flags, TsTextExtent text) {
  if (!(flags & CaptionWordBreak)) {
    const int64_t dy = (int64_t(text.Height) - RectHeight(r)) / 2;
    const int64_t dx = (int64_t(text.Width) - RectWidth(r)) / 2;
    if (flags & CaptionCenter) {
      InflateBy(r, dx, dy);
    } else {
      InflateBy(r, 0, dy);
      if (flags & CaptionRight) r.Left = ClampToInt32(int64_t(r.Right) - text.Width);
      else r.Right = ClampToInt32(int64_t(r.Left) + text.Width);
    }
  }
  const TsRect textRect = r;
  InflateBy(r, 1, 1);
  return textRect;
}

std::vector<TsTextPass> CaptionPasses(const std::string& text, bool enabled, const TsCaptionColors& colors) {
  std::vector<TsTextPass> passes;
  if (text.empty()) return passes;
  if (!enabled) {
    passes.push_back({1, 1, colors.Highlight, 0});
    passes.push_back({0, 0, colors.Shadow, 0});
    return passes;
  }
  const uint32_t mainFlags = colors.NoClipMainPass ? CaptionNoClip : 0;
  if (!colors.HasSection) {
    passes.push_back({0, 0, colors.CanvasFont, mainFlags});
    return passes;
  }
  if (!colors.CustomFont) {
    static constexpr std::array<TsPoint, 4> Shifts{{{-1, 0}, {0, -1}, {1, 0}, {0, 1}}};
    for (size_t i = 0; i < 4; ++i)
      if (colors.Contours[i] != CaptionNoContour) passes.push_back({Shifts[i].X, Shifts[i].Y, colors.Contours[i], 0});
  }
  passes.push_back({0, 0, colors.CustomFont ? colors.CanvasFont : colors.Font, mainFlags});
  return passes;
}

std::string EllipsizeText(const std::string& text, int32_t width,
                          const std::function<int32_t(const std::string&)>& measure) {
  if (width < 1) return {};
  if (measure(text) <= width) return text;
  std::string cut = text;
  while (!cut.empty()) {
    cut.pop_back();
    if (measure(cut + "...") <= width) break;
  }
  return cut.empty() ? cut : cut + "...";
}

TsBevelLines BevelFrameLines(TsRect& r, int32_t& count) {
  TsBevelLines lines;
  // Frames beyond half the smaller side draw nothing new, and no device is wider than MaxFrames
  // frames; the rectangle still shrinks by count.
  constexpr int64_t MaxFrames = 1 << 15;
  const int64_t drawable = std::clamp<int64_t>(std::min(RectWidth(r), RectHeight(r)) / 2 + 1, 0, MaxFrames);
  const int64_t n = std::clamp<int64_t>(count, 0, drawable);
  int64_t left = r.Left, top = r.Top, right = int64_t(r.Right) - 1, bottom = int64_t(r.Bottom) - 1;
  for (int64_t i = 0; i < n; ++i, ++left, ++top, --right, --bottom) {
    const TsPoint bl{ClampToInt32(left), ClampToInt32(bottom)};
    const TsPoint tl{ClampToInt32(left), ClampToInt32(top)};
    const TsPoint tr{ClampToInt32(right), ClampToInt32(top)};
    const TsPoint br{ClampToInt32(right), ClampToInt32(bottom)};
    lines.TopLeft.push_back({bl, tl, tr});
    lines.BottomRight.push_back({tr, br, bl});
  }
  const int64_t shrink = std::max(count, 0);
  r = {ClampToInt32(r.Left + shrink), ClampToInt32(r.Top + shrink), ClampToInt32(r.Right - shrink),
       ClampToInt32(r.Bottom - shrink)};
  count = 0;
  return lines;
}

std::array<TsPoint, 6> CheckMarkPolygon(const TsRect& r) {
  const int64_t w0 = RectWidth(r);
  const int64_t h0 = RectHeight(r);
  const int64_t l = r.Left + w0 / 8 + 1;
  const int64_t t = r.Top + h0 / 8 + 1;
  const int64_t rr = r.Right - w0 / 8;
  const int64_t b = r.Bottom - h0 / 8;
  const int64_t w = rr - l;
  const int64_t d = w / 4;
  const int64_t third = w / 3;
  auto p = [](int64_t x, int64_t y) { return TsPoint{ClampToInt32(x), ClampToInt32(y)}; };
  return {p(l, b - third - 2),    p(l + third, b - 2),     p(rr - 2, t + third),
          p(rr - 2, t + third - d), p(l + third, b - 2 - d), p(l + d, b - third - 2)};
}
