#include <gtest/gtest.h>

#include <vector>

#include "skin/controls/core/TabGeometry.h"

namespace {

// A 200 x 120 control whose native display rectangle leaves a 24-pixel strip on the tab side.
TTabFrame FrameOn(TTabSide side) {
  TTabFrame f{side, 200, 120, {}, true};
  switch (side) {
    case TTabSide::Top: f.Display = {4, 28, 196, 116}; break;
    case TTabSide::Bottom: f.Display = {4, 4, 196, 92}; break;
    case TTabSide::Left: f.Display = {28, 4, 196, 116}; break;
    case TTabSide::Right: f.Display = {4, 4, 172, 116}; break;
  }
  return f;
}

constexpr TTabSide Sides[] = {TTabSide::Top, TTabSide::Bottom, TTabSide::Left, TTabSide::Right};

TEST(TabGeometry, StripAndBodyShareOneEdgeOnEverySide) {
  const TRect tabs[] = {{0, 0, 200, 24}, {0, 93, 200, 120}, {0, 0, 27, 120}, {173, 0, 200, 120}};
  const TRect body[] = {{0, 24, 200, 120}, {0, 0, 200, 93}, {27, 0, 200, 120}, {0, 0, 173, 120}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(TabsArea(FrameOn(Sides[i])), tabs[i]) << "side " << i;
    EXPECT_EQ(BodyArea(FrameOn(Sides[i])), body[i]) << "side " << i;
  }
  TTabFrame none = FrameOn(TTabSide::Bottom);
  none.HasTabs = false;
  EXPECT_EQ(TabsArea(none), (TRect{0, 0, 200, 120}));
  EXPECT_EQ(BodyArea(none), (TRect{0, 0, 200, 120}));
  // A control too small for its strip: nothing reaches outside it or turns inside out.
  TTabFrame tiny{TTabSide::Top, 10, 10, {2, 30, 8, 8}, true};
  const TRect t = TabsArea(tiny), b = BodyArea(tiny);
  EXPECT_GE(t.Width(), 0);
  EXPECT_LE(t.Bottom, 10);
  EXPECT_GE(b.Height(), 0);
}

TEST(TabGeometry, TheActiveTabGrowsOverTheBodyEdgeAndInactiveTabsStayInTheirStrip) {
  const TRect native{10, 2, 60, 22};
  // Top: the active tab reaches below the native tab into the body's frame.
  EXPECT_EQ(SkinTabRect(TTabSide::Top, native, true), (TRect{8, 1, 62, 24}));
  EXPECT_EQ(SkinTabRect(TTabSide::Top, native, false), (TRect{10, 2, 59, 27}));
  EXPECT_EQ(SkinTabRect(TTabSide::Bottom, native, true), (TRect{8, -1, 62, 23}));
  EXPECT_EQ(SkinTabRect(TTabSide::Bottom, native, false), (TRect{10, 0, 59, 22}));
  EXPECT_EQ(SkinTabRect(TTabSide::Left, native, true), (TRect{9, 0, 63, 23}));
  EXPECT_EQ(SkinTabRect(TTabSide::Left, native, false), (TRect{10, 1, 63, 22}));
  EXPECT_EQ(SkinTabRect(TTabSide::Right, native, true), (TRect{7, 0, 61, 24}));
  EXPECT_EQ(SkinTabRect(TTabSide::Right, native, false), (TRect{8, 1, 59, 22}));
  // A tab the native control did not lay out (hidden) paints nothing, active or not.
  for (TTabSide side : Sides) {
    EXPECT_EQ(SkinTabRect(side, TRect{}, true), TRect{});
    EXPECT_EQ(SkinTabRect(side, TRect{5, 5, 5, 30}, false), TRect{});
  }
}

TEST(TabGeometry, RowsCountFromTheFarSideOnEveryPosition) {
  // Three rows of 20-pixel tabs; row 3 lies next to the body.
  const TRect tabsTop{0, 0, 200, 62}, tabsBottom{0, 60, 200, 122};
  EXPECT_EQ(TabRow(TTabSide::Top, TRect{0, 2, 50, 20}, tabsTop, 3), 1);
  EXPECT_EQ(TabRow(TTabSide::Top, TRect{0, 40, 50, 60}, tabsTop, 3), 3);
  EXPECT_EQ(TabRow(TTabSide::Bottom, TRect{0, 60, 50, 80}, tabsBottom, 3), 3);
  EXPECT_EQ(TabRow(TTabSide::Bottom, TRect{0, 100, 50, 120}, tabsBottom, 3), 1);
  const TRect tabsLeft{0, 0, 62, 120}, tabsRight{138, 0, 200, 120};
  EXPECT_EQ(TabRow(TTabSide::Left, TRect{2, 0, 20, 40}, tabsLeft, 3), 1);
  EXPECT_EQ(TabRow(TTabSide::Left, TRect{40, 0, 60, 40}, tabsLeft, 3), 3);
  EXPECT_EQ(TabRow(TTabSide::Right, TRect{138, 0, 158, 40}, tabsRight, 3), 3);
  EXPECT_EQ(TabRow(TTabSide::Right, TRect{178, 0, 198, 40}, tabsRight, 3), 1);
  // One row; an empty rectangle is in no row rather than a division by zero.
  EXPECT_EQ(TabRow(TTabSide::Top, TRect{0, 40, 50, 60}, tabsTop, 1), 1);
  for (TTabSide side : Sides) EXPECT_EQ(TabRow(side, TRect{}, tabsTop, 3), 0);
  EXPECT_EQ(TabRow(TTabSide::Left, TRect{4, 4, 4, 30}, tabsLeft, 2), 0);
}

TEST(TabGeometry, FarRowsArePaintedFirstAndHiddenTabsNotAtAll) {
  // Two rows on top: tabs 0 and 1 next to the body, 2 and 3 behind them, 4 not laid out.
  const std::vector<TRect> top{{0, 20, 50, 40}, {50, 20, 100, 40}, {0, 0, 50, 20}, {50, 0, 100, 20}, {}};
  EXPECT_EQ(TabPaintOrder(TTabSide::Top, top, TRect{0, 0, 200, 40}, 2), (std::vector<int>{2, 3, 0, 1}));
  // The same on the bottom: the body is above, so the lower row is the far one.
  const std::vector<TRect> bottom{{0, 100, 50, 120}, {0, 80, 50, 100}, {}};
  EXPECT_EQ(TabPaintOrder(TTabSide::Bottom, bottom, TRect{0, 80, 200, 120}, 2), (std::vector<int>{0, 1}));
  const std::vector<TRect> right{{160, 0, 180, 40}, {180, 0, 200, 40}};
  EXPECT_EQ(TabPaintOrder(TTabSide::Right, right, TRect{160, 0, 200, 120}, 2), (std::vector<int>{1, 0}));
  const std::vector<TRect> left{{20, 0, 40, 40}, {0, 0, 20, 40}};
  EXPECT_EQ(TabPaintOrder(TTabSide::Left, left, TRect{0, 0, 40, 120}, 2), (std::vector<int>{1, 0}));
  EXPECT_TRUE(TabPaintOrder(TTabSide::Top, {}, TRect{}, 0).empty());
}

TEST(TabGeometry, TabsPastTheScrollerOrScrolledOffTheLeftCountAsHidden) {
  // A 150-pixel control: tabs of 40 pixels from x = 2.
  std::vector<TRect> tabs;
  for (int i = 0; i < 6; ++i) tabs.push_back(TRect{2 + 40 * i, 2, 42 + 40 * i, 20});
  EXPECT_EQ(HiddenTabCount(tabs, 150, 0), 3);    // right edges 162, 202, 242 > 147
  EXPECT_EQ(HiddenTabCount(tabs, 150, 34), 4);   // 122 > 113 too
  EXPECT_EQ(HiddenTabCount(tabs, 400, 0), 0);
  // Scrolled by two tabs: the first two lie left of the strip.
  for (TRect& r : tabs) r.Left -= 80, r.Right -= 80;
  EXPECT_EQ(HiddenTabCount(tabs, 150, 34), 4);  // right edges -38 and 2, 122 and 162
  tabs.push_back(TRect{});                       // a hidden page's tab
  EXPECT_EQ(HiddenTabCount(tabs, 150, 34), 4);
}

}  // namespace
