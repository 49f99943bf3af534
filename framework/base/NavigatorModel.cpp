#include "framework/base/NavigatorModel.h"

#include <bit>
#include <cstddef>

namespace NavigatorModel {

namespace {
bool Shows(TButtonBits visible, int i) { return i >= 0 && i < ButtonCount && (visible >> i) & 1u; }
}  // namespace

int BorderSize(const TBorder& b) {
  int size = b.Single ? (b.Ctl3D ? 4 : 1) : 0;
  size += b.BorderWidth;
  if (b.BevelInner) size += b.BevelWidth;
  if (b.BevelOuter) size += b.BevelWidth;
  return size;
}

int VisibleCount(TButtonBits visible) { return std::popcount(unsigned(visible & AllButtons)); }

TLayout Layout(int width, int height, int border, TButtonBits visible, bool aligned, int bottomGap) {
  TLayout layout;
  const int count = VisibleCount(visible) == 0 ? 1 : VisibleCount(visible);
  const int inner = width - 2 * border;
  const int w = inner > 0 ? inner / count : 0;
  layout.Width = aligned ? width : 2 * border + count * w;
  const int leftover = aligned ? inner - count * w : 0;
  const int h = height - 2 * border - bottomGap;
  int accumulator = count / 2;
  int x = border;
  for (int i = 0; i < ButtonCount; ++i) {
    if (!Shows(visible, i)) {
      layout.Buttons[std::size_t(i)] = TRect{width + 1, border, width + 1 + w, border + h};
      continue;
    }
    int bw = w;
    accumulator -= leftover;
    if (accumulator < 0) {
      accumulator += count;
      ++bw;
    }
    layout.Buttons[std::size_t(i)] = TRect{x, border, x + bw, border + h};
    x += bw;
  }
  return layout;
}

TPoint MinSize(TButtonBits visible, int border) {
  const int count = VisibleCount(visible) == 0 ? 1 : VisibleCount(visible);
  return TPoint{count * MinButtonWidth + 2 * border, MinButtonHeight + 2 * border};
}

TButtonBits EnabledButtons(const TDataState& s) {
  if (!s.Active) return 0;
  TButtonBits bits = 0;
  auto set = [&bits](int i, bool on) {
    if (on) bits |= TButtonBits(1u << i);
  };
  set(First, !s.AtStart);
  set(Prior, !s.AtStart);
  set(Next, !s.AtEnd);
  set(Last, !s.AtEnd);
  set(Delete, s.CanModify && !s.Empty);
  set(Insert, s.CanModify);
  set(Refresh, s.CanModify);
  set(Edit, s.CanModify && !s.Editing && !s.Empty);  // an empty table has no record to edit
  set(Post, s.CanModify && s.Editing);
  set(Cancel, s.CanModify && s.Editing);
  return bits;
}

int StepFocus(int focused, int direction, TButtonBits visible) {
  for (int i = focused + direction; i >= 0 && i < ButtonCount; i += direction)
    if (Shows(visible, i)) return i;
  return focused;
}

int FocusAfterVisibleChange(int focused, TButtonBits visible) {
  if (Shows(visible, focused)) return focused;
  for (int i = focused + 1; i < ButtonCount; ++i)
    if (Shows(visible, i)) return i;
  for (int i = focused - 1; i >= 0; --i)
    if (Shows(visible, i)) return i;
  return focused;
}

}  // namespace NavigatorModel
