#include "skin/controls/core/ListViewBars.h"

#include <cstdint>

namespace {

TScrollInfoFill FillOf(const TNativeScroll& s, bool enabled) {
  return TScrollInfoFill{s.Min, s.Max, s.Page, s.Pos, enabled};
}

}  // namespace

TNativeScroll ReportHorizontalRange(const TListViewScrollState& state, bool verticalShown) {
  TNativeScroll s;
  s.Valid = true;
  s.Shown = state.Horizontal.Shown;
  s.Min = 0;
  s.Max = state.HeaderWidth;
  const int page = state.Width - 4 - (verticalShown ? state.VerticalBarWidth : 0);
  s.Page = page > 0 ? unsigned(page) : 0u;
  // The list's own position, so that the slider stays where the list is scrolled.
  s.Pos = state.Horizontal.Valid ? state.Horizontal.Pos : 0;
  return s;
}

TListViewBars PlanListViewBars(const TListViewScrollState& state) {
  TListViewBars bars;
  const TNativeScroll& v = state.Vertical;
  bars.Vertical.Shown = state.Skinned && v.Valid && v.Shown && v.Max > v.Min && v.Page != 0 &&
                        std::int64_t(v.Page) <= std::int64_t(v.Max);
  bars.Vertical.Info = FillOf(v, state.Enabled);
  bars.Vertical.SmallChange = 1;

  TNativeScroll h = state.Horizontal;
  bool wanted = h.Valid && h.Shown;
  if (state.Report) {
    h = ReportHorizontalRange(state, bars.Vertical.Shown);
    wanted = state.Horizontal.Shown && std::int64_t(h.Max) > std::int64_t(h.Page);
  }
  bars.Horizontal.Shown = state.Skinned && (state.Report || state.ItemCount > 0) && wanted && h.Max > h.Min &&
                          h.Page != 0 && std::int64_t(h.Page) - 2 <= std::int64_t(h.Max);
  bars.Horizontal.Info = FillOf(h, state.Enabled);
  // About 23 arrow steps over the whole range.
  const std::int64_t top = std::int64_t(h.Max) - h.Page + 1;
  bars.Horizontal.SmallChange = ScrollBarModel::FillUsable(bars.Horizontal.Info) ? int(top / 23 + 1) : 1;
  return bars;
}

int HeaderSectionAt(const std::vector<TRect>& sections, int x, int y) {
  for (int i = 0; i < int(sections.size()); ++i) {
    const TRect& r = sections[std::size_t(i)];
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return i;
  }
  return NoHeaderSection;
}

int HeaderSectionState(int index, int hot, int pressed) {
  if (pressed != NoPressedSection) return index == pressed ? 2 : 0;
  return index == hot ? 1 : 0;
}
