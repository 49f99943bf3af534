#include "skin/controls/core/MDIClientRules.h"

#include <algorithm>
#include <cstdint>

TScrollInfoFill TMDIBarRange::Fill() const {
  TScrollInfoFill f;
  f.Min = 0;
  // The bar takes Page - 1 off the end again.
  f.Max = static_cast<int>(std::clamp<std::int64_t>(std::int64_t(Max) + Page - 1, INT32_MIN, INT32_MAX));
  f.Page = static_cast<unsigned>(std::max(Page, 0));
  f.Pos = Pos;
  f.Enabled = Wanted;
  return f;
}

TMDIBarRange NormaliseClientScroll(bool available, const TMDIScrollInfo& info, bool horizontal) {
  TMDIBarRange r;
  const std::int64_t span = std::int64_t(info.Max) - info.Min;
  if (!available || span <= 0 || span < std::int64_t(info.Page)) return r;
  r.Offset = info.Min;
  const std::int64_t max = std::int64_t(info.Max) - info.Page - info.Min + 1;
  r.Max = static_cast<int>(std::clamp<std::int64_t>(max, INT32_MIN, INT32_MAX));
  r.Pos = static_cast<int>(std::clamp<std::int64_t>(std::int64_t(info.Pos) - info.Min, 0, r.Max));
  r.Wanted = true;
  if (horizontal && r.Max == r.Offset) {
    ++r.Max;
    r.Wanted = false;
  }
  r.Page = info.Page == 0 ? 80 : static_cast<int>(std::min<unsigned>(info.Page, INT32_MAX));
  return r;
}

int ClientScrollPosition(const TMDIBarRange& range, int barPosition) {
  return static_cast<int>(std::clamp<std::int64_t>(std::int64_t(range.Offset) + barPosition, INT16_MIN, INT16_MAX));
}

TMDIBarPlacement PlaceMDIBars(int clientWidth, int clientHeight, int rightWidth, int bottomHeight, int vScrollWidth,
                              int hScrollHeight, bool vertical, bool horizontal) {
  TMDIBarPlacement p;
  p.Vertical = vertical;
  p.Horizontal = horizontal;
  if (vertical) {
    const int left = clientWidth - vScrollWidth - 2 - rightWidth;
    const int height = clientHeight - bottomHeight - (horizontal ? hScrollHeight : 0) - 1;
    p.VBar = {left, 0, left + vScrollWidth + 1, height};
  }
  if (horizontal) {
    const int top = clientHeight - hScrollHeight - 2 - bottomHeight;
    const int width = vertical ? p.VBar.Left + 1 : clientWidth - rightWidth;
    p.HBar = {0, top, width, top + hScrollHeight + 1};
  }
  p.Grip = vertical && horizontal;
  if (p.Grip) {
    const int left = p.VBar.Left + 1, top = p.HBar.Top + 1;
    p.GripRect = {left, top, left + p.VBar.Width() - 1, top + p.HBar.Height() - 1};
  }
  return p;
}

TRect MDIClientArea(const TMDIFrameSizes& frame, const TMDIAlignedSizes& aligned, int clientWidth,
                    int clientHeight) {
  const int left = aligned.Left + frame.FrameBorderWidth + frame.FormBorderWidth;
  const int menu = frame.MenuBarShown ? frame.MenuRowCount * frame.MenuLineHeight : 0;
  const int top = aligned.Top + frame.FrameBorderHeight + frame.TitleBarHeight + menu + frame.FormBorderWidth + 1;
  const int width = clientWidth - aligned.Left - aligned.Right;
  const int height = clientHeight - aligned.Top - aligned.Bottom;
  return {left, top, left + width, top + height};
}

TRect MDIBackgroundSource(const TRect& clientArea) {
  const int left = clientArea.Left + 2, top = clientArea.Top + 2;
  return {left, top, left + clientArea.Width() + 4, top + clientArea.Height() + 4};
}

TMDIEdgeStrips MDIEdgeStrips(int width, int height) {
  TMDIEdgeStrips s;
  s.Top = {0, 0, width, 2};
  s.Left = {0, 2, 2, 2 + height};
  s.Bottom = {2, height - 2, 2 + width, height};
  s.Right = {width - 2, 2, width, 2 + height - 2};
  return s;
}
