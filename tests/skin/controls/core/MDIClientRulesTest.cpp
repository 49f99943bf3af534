#include <gtest/gtest.h>

#include <cstdint>

#include "skin/controls/core/MDIClientRules.h"

namespace {

TEST(MDIClientRules, TheClientRangeStartsAtZeroOnTheBar) {
  // Children from -50 to 400 in a client 200 high.
  const TMDIBarRange v = NormaliseClientScroll(true, {-50, 400, 200, -20}, false);
  EXPECT_TRUE(v.Wanted);
  EXPECT_EQ(v.Offset, -50);
  EXPECT_EQ(v.Max, 400 - 200 + 50 + 1);
  EXPECT_EQ(v.Pos, 30);
  EXPECT_EQ(v.Page, 200);
  // The bar's validated fill gives the same range back.
  const TScrollInfoFill f = v.Fill();
  EXPECT_EQ(f.Min, 0);
  EXPECT_EQ(std::int64_t(f.Max) - f.Page + 1, v.Max);
  EXPECT_TRUE(ScrollBarModel::FillUsable(f));
  // The thumb position sent to the client has the offset back.
  EXPECT_EQ(ClientScrollPosition(v, 30), -20);
  EXPECT_EQ(ClientScrollPosition(v, 100), 50);
  EXPECT_EQ(ClientScrollPosition(v, 40000), INT16_MAX);
}

TEST(MDIClientRules, NoBarWhereThePageCoversTheRange) {
  EXPECT_FALSE(NormaliseClientScroll(false, {0, 400, 100, 0}, false).Wanted);
  EXPECT_FALSE(NormaliseClientScroll(true, {0, 99, 100, 0}, false).Wanted);
  EXPECT_TRUE(NormaliseClientScroll(true, {0, 100, 100, 0}, false).Wanted);
  // Inverted information: nothing to scroll.
  EXPECT_FALSE(NormaliseClientScroll(true, {10, 0, 0, 0}, true).Wanted);
  // A client without bars answers zeros: no bar over nothing.
  EXPECT_FALSE(NormaliseClientScroll(true, {0, 0, 0, 0}, false).Wanted);
  // A page of 0 becomes 80 on the bar.
  const TMDIBarRange zero = NormaliseClientScroll(true, {0, 300, 0, 0}, false);
  EXPECT_TRUE(zero.Wanted);
  EXPECT_EQ(zero.Page, 80);
  // A horizontal range ending at its offset shows no bar (its end moves one on).
  const TMDIBarRange h = NormaliseClientScroll(true, {5, 14, 5, 5}, true);
  EXPECT_FALSE(h.Wanted);
  EXPECT_EQ(h.Max, 6);
  EXPECT_TRUE(NormaliseClientScroll(true, {5, 14, 5, 5}, false).Wanted);
  // Extreme figures do not overflow.
  const TMDIBarRange big = NormaliseClientScroll(true, {INT32_MIN, INT32_MAX, 10, INT32_MAX}, false);
  EXPECT_TRUE(big.Wanted);
  EXPECT_EQ(big.Max, INT32_MAX);
  EXPECT_EQ(ClientScrollPosition(big, INT32_MAX), -1);
}

TEST(MDIClientRules, BarsAndGripSitInsideTheAlignedControls) {
  // Client 400 x 300, a 30-wide right panel and a 20-high status bar; bars 17 thick.
  const TMDIBarPlacement both = PlaceMDIBars(400, 300, 30, 20, 17, 17, true, true);
  EXPECT_EQ(both.VBar, (TRect{351, 0, 369, 262}));
  EXPECT_EQ(both.HBar, (TRect{0, 261, 352, 279}));
  ASSERT_TRUE(both.Grip);
  EXPECT_EQ(both.GripRect, (TRect{352, 262, 369, 279}));
  // The grip fills the corner between the bars exactly.
  EXPECT_EQ(both.GripRect.Left, both.HBar.Right);
  EXPECT_EQ(both.GripRect.Top, both.VBar.Bottom);
  const TMDIBarPlacement v = PlaceMDIBars(400, 300, 0, 0, 17, 17, true, false);
  EXPECT_EQ(v.VBar, (TRect{381, 0, 399, 299}));
  EXPECT_FALSE(v.Grip);
  const TMDIBarPlacement h = PlaceMDIBars(400, 300, 0, 0, 17, 17, false, true);
  EXPECT_EQ(h.HBar, (TRect{0, 281, 400, 299}));
  EXPECT_FALSE(h.Grip);
}

TEST(MDIClientRules, ClientAreaInWindowCoordinates) {
  TMDIFrameSizes frame{4, 4, 22, true, 2, 19, 1};
  const TMDIAlignedSizes aligned{10, 30, 20, 15};
  EXPECT_EQ(MDIClientArea(frame, aligned, 500, 400), (TRect{15, 30 + 4 + 22 + 38 + 1 + 1, 15 + 470, 96 + 355}));
  frame.MenuBarShown = false;
  EXPECT_EQ(MDIClientArea(frame, {}, 500, 400), (TRect{5, 28, 505, 428}));
  EXPECT_EQ(MDIBackgroundSource(TRect{5, 28, 505, 428}), (TRect{7, 30, 511, 434}));
  const TMDIEdgeStrips s = MDIEdgeStrips(300, 200);
  EXPECT_EQ(s.Top, (TRect{0, 0, 300, 2}));
  EXPECT_EQ(s.Left, (TRect{0, 2, 2, 202}));
  EXPECT_EQ(s.Bottom, (TRect{2, 198, 302, 200}));
  EXPECT_EQ(s.Right, (TRect{298, 2, 300, 200}));
}

}  // namespace
