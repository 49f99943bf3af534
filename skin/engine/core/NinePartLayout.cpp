#include "skin/engine/core/NinePartLayout.h"

#include <algorithm>

namespace {

// Calls f(start, length) for the tiles of `step` laid from `from` to `to` (the last one cut) that
// overlap [visibleFrom, visibleTo).
template <typename F>
void ForEachTile(int64_t from, int64_t to, int64_t step, int64_t visibleFrom, int64_t visibleTo, F f) {
  if (step <= 0 || to <= from) return;
  int64_t first = visibleFrom > from ? (visibleFrom - from) / step : 0;
  for (int64_t start = from + first * step; start < to && start < visibleTo; start += step)
    f(start, std::min(step, to - start));
}

bool Overlaps(const TsRect& a, const TsRect& b) { return !IsRectEmpty(IntersectRects(a, b)); }

}  // namespace

TsCornerSizes NinePartCorners(int64_t targetWidth, int64_t targetHeight, int64_t partWidth,
                              int64_t partHeight, int32_t borderWidth) {
  TsCornerSizes c;
  if (targetWidth < 2 * partWidth) {
    c.Left = targetWidth / 2;
    c.Right = c.Left + targetWidth % 2;
  } else {
    c.Left = c.Right = partWidth;
  }
  if (targetHeight < 2 * partHeight) {
    c.Top = targetHeight / 2;
    c.Bottom = c.Top + targetHeight % 2;
  } else {
    c.Top = c.Bottom = partHeight;
  }
  if (borderWidth > 0) {
    const int64_t oddWidth = c.Right - c.Left;
    const int64_t oddHeight = c.Bottom - c.Top;
    c.Left = std::min<int64_t>(c.Left, borderWidth);
    c.Top = std::min<int64_t>(c.Top, borderWidth);
    c.Right = c.Left + oddWidth;
    c.Bottom = c.Top + oddHeight;
  }
  return c;
}

void LayoutNineParts(const TsRect& target, const TsRect& visible, const TsNinePartFrame& frame,
                     const TsCornerSizes& corners, bool fillCentre,
                     const std::function<void(const TsRect&, const TsRect&, TsPartKind)>& emit) {
  const int64_t pw = frame.PartWidth;
  const int64_t ph = frame.PartHeight;
  if (pw <= 0 || ph <= 0) return;
  const int64_t fx = frame.Origin.X;
  const int64_t fy = frame.Origin.Y;
  const int64_t innerLeft = int64_t(target.Left) + corners.Left;
  const int64_t innerRight = int64_t(target.Right) - corners.Right;
  const int64_t innerTop = int64_t(target.Top) + corners.Top;
  const int64_t innerBottom = int64_t(target.Bottom) - corners.Bottom;
  // Source columns and rows of the outer parts of the right and bottom source parts.
  const int64_t srcRight = fx + 3 * pw - corners.Right;
  const int64_t srcBottom = fy + 3 * ph - corners.Bottom;

  auto part = [&](int64_t dx, int64_t dy, int64_t sx, int64_t sy, int64_t w, int64_t h, TsPartKind kind) {
    const TsRect dst = RectOfSize(dx, dy, w, h);
    if (w > 0 && h > 0 && Overlaps(dst, visible)) emit(dst, RectOfSize(sx, sy, w, h), kind);
  };
  auto rows = [&](int64_t x, int64_t sx, int64_t w) {
    ForEachTile(innerTop, innerBottom, ph, visible.Top, visible.Bottom,
                [&](int64_t y, int64_t h) { part(x, y, sx, fy + ph, w, h, TsPartKind::Edge); });
  };
  auto columns = [&](int64_t y, int64_t sy, int64_t h, TsPartKind kind) {
    ForEachTile(innerLeft, innerRight, pw, visible.Left, visible.Right,
                [&](int64_t x, int64_t w) { part(x, y, fx + pw, sy, w, h, kind); });
  };

  part(target.Left, target.Top, fx, fy, corners.Left, corners.Top, TsPartKind::Corner);
  rows(target.Left, fx, corners.Left);
  columns(target.Top, fy, corners.Top, TsPartKind::Edge);
  part(target.Left, innerBottom, fx, srcBottom, corners.Left, corners.Bottom, TsPartKind::Corner);
  columns(innerBottom, srcBottom, corners.Bottom, TsPartKind::Edge);
  part(innerRight, innerBottom, srcRight, srcBottom, corners.Right, corners.Bottom, TsPartKind::Corner);
  part(innerRight, target.Top, srcRight, fy, corners.Right, corners.Top, TsPartKind::Corner);
  rows(innerRight, srcRight, corners.Right);
  if (!fillCentre) return;
  ForEachTile(innerTop, innerBottom, ph, visible.Top, visible.Bottom, [&](int64_t y, int64_t h) {
    ForEachTile(innerLeft, innerRight, pw, visible.Left, visible.Right,
                [&](int64_t x, int64_t w) { part(x, y, fx + pw, fy + ph, w, h, TsPartKind::Centre); });
  });
}
