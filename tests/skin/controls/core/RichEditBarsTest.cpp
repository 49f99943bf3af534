#include <gtest/gtest.h>

#include "skin/controls/core/RichEditBars.h"

namespace {

// A 200 x 120 rich edit asking for both bars, with 17-pixel native bars.
TRichEditBarState Edit(int verticalMax, int horizontalMax) {
  TRichEditBarState s;
  s.Vertical = {true, verticalMax, false, false};
  s.Horizontal = {true, horizontalMax, false, false};
  s.Width = 200;
  s.Height = 120;
  s.VerticalBarWidth = 17;
  s.HorizontalBarHeight = 17;
  return s;
}

}  // namespace

TEST(RichEditBars, HiddenBarsGoWhenTheTextFits) {
  // Fits both ways: no bar.
  TRichEditBars b = RichEditBars(Edit(50, 100));
  EXPECT_FALSE(b.VerticalShown);
  EXPECT_FALSE(b.HorizontalShown);
  // Too tall only: the vertical bar, and the width left beside it still fits the lines.
  b = RichEditBars(Edit(500, 170));
  EXPECT_TRUE(b.VerticalShown);
  EXPECT_FALSE(b.HorizontalShown);
  // The same lines no longer fit beside the vertical bar: both.
  b = RichEditBars(Edit(500, 180));
  EXPECT_TRUE(b.VerticalShown);
  EXPECT_TRUE(b.HorizontalShown);
  // Too wide only, with text that fits the height a horizontal bar leaves.
  b = RichEditBars(Edit(90, 400));
  EXPECT_FALSE(b.VerticalShown);
  EXPECT_TRUE(b.HorizontalShown);
  // Too wide, and the horizontal bar's row takes the room the lines needed: both.
  b = RichEditBars(Edit(100, 400));
  EXPECT_TRUE(b.VerticalShown);
  EXPECT_TRUE(b.HorizontalShown);
}

TEST(RichEditBars, UnavailableOrTinyRangesShowNoBarOnlyWhenHiding) {
  TRichEditBarState s = Edit(500, 1);
  s.Vertical.Unavailable = true;
  TRichEditBars b = RichEditBars(s);
  EXPECT_FALSE(b.VerticalShown);
  EXPECT_FALSE(b.HorizontalShown);
  // Kept (ES_DISABLENOSCROLL): both stay, neither takes input.
  s.HideScrollBars = false;
  b = RichEditBars(s);
  EXPECT_TRUE(b.VerticalShown);
  EXPECT_TRUE(b.HorizontalShown);
  EXPECT_FALSE(b.VerticalEnabled);
  EXPECT_FALSE(b.HorizontalEnabled);
  // A bar the native control took off keeps its old range: it shows only while kept.
  s = Edit(500, 400);
  s.Vertical.Hidden = true;
  EXPECT_FALSE(RichEditBars(s).VerticalShown);
  s.HideScrollBars = false;
  EXPECT_TRUE(RichEditBars(s).VerticalShown);
  // A bar not asked for never shows.
  s.Vertical.Info = false;
  EXPECT_FALSE(RichEditBars(s).VerticalShown);
}

TEST(RichEditBars, EnablingFollowsTheRangeTheControlAndWrapping) {
  TRichEditBarState s = Edit(120, 400);
  TRichEditBars b = RichEditBars(s);
  EXPECT_TRUE(b.VerticalEnabled);  // a range of the control's height
  EXPECT_TRUE(b.HorizontalEnabled);
  s.Vertical.Max = 119;
  EXPECT_FALSE(RichEditBars(s).VerticalEnabled);
  s.WordWrap = true;
  EXPECT_FALSE(RichEditBars(s).HorizontalEnabled);
  s = Edit(500, 400);
  s.Enabled = false;
  b = RichEditBars(s);
  EXPECT_FALSE(b.VerticalEnabled);
  EXPECT_FALSE(b.HorizontalEnabled);
}
