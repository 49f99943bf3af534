#include "skin/controls/core/RichEditBars.h"

TRichEditBars RichEditBars(const TRichEditBarState& s) {
  TRichEditBars bars;
  bars.VerticalShown = s.Vertical.Info;
  bars.HorizontalShown = s.Horizontal.Info;
  if (s.HideScrollBars) {
    bars.VerticalShown = bars.VerticalShown && !s.Vertical.Unavailable && !s.Vertical.Hidden && s.Vertical.Max >= 2;
    bars.HorizontalShown =
        bars.HorizontalShown && !s.Horizontal.Unavailable && !s.Horizontal.Hidden && s.Horizontal.Max >= 2;
    // The frame takes 6 pixels of each side's room.
    const bool verticalFits = s.Height - 6 - s.HorizontalBarHeight > s.Vertical.Max;
    if (s.Width - 6 - s.VerticalBarWidth * !verticalFits > s.Horizontal.Max) bars.HorizontalShown = false;
    if (s.Height - 6 - s.HorizontalBarHeight * bars.HorizontalShown > s.Vertical.Max) bars.VerticalShown = false;
  }
  bars.VerticalEnabled =
      s.Enabled && s.Vertical.Max > 1 && !s.Vertical.Unavailable && s.Vertical.Max >= s.Height;
  bars.HorizontalEnabled = s.Enabled && !s.WordWrap && s.Horizontal.Max > 1 && !s.Horizontal.Unavailable;
  return bars;
}
