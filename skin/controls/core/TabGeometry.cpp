#include "skin/controls/core/TabGeometry.h"

#include <algorithm>

namespace {

bool IsEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

void Inflate(TRect& r, int dx, int dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
}

TRect ClampTo(TRect r, int width, int height) {
  r.Left = std::clamp(r.Left, 0, width);
  r.Right = std::clamp(r.Right, r.Left, width);
  r.Top = std::clamp(r.Top, 0, height);
  r.Bottom = std::clamp(r.Bottom, r.Top, height);
  return r;
}

// The edge between strip and body, along the strip's side.
int Edge(const TTabFrame& f) {
  switch (f.Side) {
    case TTabSide::Top: return f.Display.Top - 4;
    case TTabSide::Bottom: return f.Display.Bottom + 1;
    case TTabSide::Left: return f.Display.Left - 1;
    case TTabSide::Right: return f.Display.Right + 1;
  }
  return 0;
}

}  // namespace

TRect TabsArea(const TTabFrame& f) {
  if (!f.HasTabs) return TRect{0, 0, f.Width, f.Height};
  const int e = Edge(f);
  TRect r;
  switch (f.Side) {
    case TTabSide::Top: r = {0, 0, f.Width, e}; break;
    case TTabSide::Bottom: r = {0, e, f.Width, f.Height}; break;
    case TTabSide::Left: r = {0, 0, e, f.Height}; break;
    case TTabSide::Right: r = {e, 0, f.Width, f.Height}; break;
  }
  return ClampTo(r, f.Width, f.Height);
}

TRect BodyArea(const TTabFrame& f) {
  TRect r{0, 0, f.Width, f.Height};
  if (!f.HasTabs) return r;
  const int e = Edge(f);
  switch (f.Side) {
    case TTabSide::Top: r.Top = e; break;
    case TTabSide::Bottom: r.Bottom = e; break;
    case TTabSide::Left: r.Left = e; break;
    case TTabSide::Right: r.Right = e; break;
  }
  return ClampTo(r, f.Width, f.Height);
}

TRect SkinTabRect(TTabSide side, const TRect& native, bool active) {
  if (IsEmpty(native)) return TRect{};
  TRect r = native;
  const int a = active ? 1 : 0;
  if (active) {
    r.Bottom -= 1;
  } else {
    r.Bottom += 3;
    r.Right -= 1;
  }
  switch (side) {
    case TTabSide::Top:
      Inflate(r, 2 * a, a);
      r.Bottom += 2;
      break;
    case TTabSide::Bottom:
      Inflate(r, 2 * a, a);
      r.Top -= 2;
      r.Bottom += active ? 1 : -3;
      break;
    case TTabSide::Left:
      Inflate(r, 0, 1);
      r.Right += 2;
      if (active) {
        Inflate(r, 1, 1);
      } else {
        r.Bottom -= 4;
        r.Right += 2;
      }
      break;
    case TTabSide::Right:
      Inflate(r, 1, 0);
      r.Left -= 1;
      r.Right -= 1;
      r.Top -= 1;
      r.Bottom -= 1;
      if (active) {
        Inflate(r, 1, 1);
        r.Bottom += 3;
      } else {
        r.Bottom -= 2;
      }
      break;
  }
  return r;
}

int TabRow(TTabSide side, const TRect& native, const TRect& tabsArea, int rowCount) {
  if (IsEmpty(native)) return 0;
  if (rowCount < 2) return 1;
  const int h = native.Height(), w = native.Width();
  int row = 1;
  switch (side) {
    case TTabSide::Top: row = (native.Bottom + h / 2) / h; break;
    case TTabSide::Left: row = (native.Right + w / 2) / w; break;
    case TTabSide::Bottom: row = rowCount - ((native.Bottom - tabsArea.Top) + h / 2) / h + 1; break;
    case TTabSide::Right: row = rowCount - ((native.Right - tabsArea.Left) + w / 2) / w + 1; break;
  }
  // Rows of uneven height must not drop a tab out of every row.
  return std::clamp(row, 1, rowCount);
}

std::vector<int> TabPaintOrder(TTabSide side, const std::vector<TRect>& natives, const TRect& tabsArea,
                               int rowCount) {
  std::vector<int> order;
  const int rows = std::max(rowCount, 1);
  for (int row = 1; row <= rows; ++row)
    for (int i = 0; i < int(natives.size()); ++i)
      if (TabRow(side, natives[std::size_t(i)], tabsArea, rowCount) == row) order.push_back(i);
  return order;
}

int HiddenTabCount(const std::vector<TRect>& natives, int width, int scrollerWidth) {
  const int limit = width - scrollerWidth - 3;
  return int(std::count_if(natives.begin(), natives.end(), [&](const TRect& r) {
    return !IsEmpty(r) && (r.Right > limit || r.Right < 5);
  }));
}
