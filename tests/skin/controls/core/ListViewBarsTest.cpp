#include <gtest/gtest.h>

#include <vector>

#include "skin/controls/core/ListViewBars.h"

namespace {

TNativeScroll Scroll(int min, int max, unsigned page, int pos) { return TNativeScroll{true, true, min, max, page, pos}; }

TListViewScrollState Skinned() {
  TListViewScrollState s;
  s.Skinned = true;
  s.ItemCount = 50;
  s.Width = 200;
  s.VerticalBarWidth = 16;
  return s;
}

TEST(ListViewBars, TheVerticalBarShowsOnlyWhenThereIsMoreThanAPage) {
  TListViewScrollState s = Skinned();
  s.Vertical = Scroll(0, 49, 10, 7);
  TListViewBars bars = PlanListViewBars(s);
  EXPECT_TRUE(bars.Vertical.Shown);
  EXPECT_EQ(bars.Vertical.Info.Max, 49);
  EXPECT_EQ(bars.Vertical.Info.Page, 10u);
  EXPECT_EQ(bars.Vertical.Info.Pos, 7);
  EXPECT_EQ(bars.Vertical.SmallChange, 1);
  s.Vertical = Scroll(0, 9, 10, 0);  // ten items, ten rows
  EXPECT_FALSE(PlanListViewBars(s).Vertical.Shown);
  s.Vertical = Scroll(0, 40, 0, 0);
  EXPECT_FALSE(PlanListViewBars(s).Vertical.Shown);
  s.Vertical = Scroll(0, 49, 10, 7);
  s.Vertical.Valid = false;
  EXPECT_FALSE(PlanListViewBars(s).Vertical.Shown);
  s.Vertical.Valid = true;
  s.Skinned = false;
  EXPECT_FALSE(PlanListViewBars(s).Vertical.Shown);
}

TEST(ListViewBars, ASkinnedBarCoversOnlyANativeBarThatIsThere) {
  // The list keeps its scroll information while its bar is hidden: nothing to cover then.
  TListViewScrollState s = Skinned();
  s.Vertical = Scroll(0, 49, 10, 0);
  s.Horizontal = Scroll(0, 400, 200, 0);
  s.Vertical.Shown = s.Horizontal.Shown = false;
  EXPECT_FALSE(PlanListViewBars(s).Vertical.Shown);
  EXPECT_FALSE(PlanListViewBars(s).Horizontal.Shown);
  s.Report = true;
  s.HeaderWidth = 400;
  EXPECT_FALSE(PlanListViewBars(s).Horizontal.Shown);
  s.Horizontal.Shown = true;
  EXPECT_TRUE(PlanListViewBars(s).Horizontal.Shown);
}

TEST(ListViewBars, TheReportViewScrollsOverItsHeaderBesideTheVerticalBar) {
  TListViewScrollState s = Skinned();
  s.Report = true;
  s.HeaderWidth = 300;
  s.Horizontal = Scroll(0, 299, 180, 40);
  s.Vertical = Scroll(0, 49, 10, 0);
  TListViewBars bars = PlanListViewBars(s);
  ASSERT_TRUE(bars.Horizontal.Shown);
  EXPECT_EQ(bars.Horizontal.Info.Max, 300);
  EXPECT_EQ(bars.Horizontal.Info.Page, 180u);  // 200 - 4 - 16
  EXPECT_EQ(bars.Horizontal.Info.Pos, 40);     // where the list is scrolled
  EXPECT_EQ(bars.Horizontal.SmallChange, 121 / 23 + 1);
  // Narrowed columns that fit hide it; without the vertical bar there is more room.
  s.HeaderWidth = 180;
  EXPECT_FALSE(PlanListViewBars(s).Horizontal.Shown);
  s.Vertical = Scroll(0, 5, 10, 0);
  s.HeaderWidth = 195;
  EXPECT_FALSE(PlanListViewBars(s).Horizontal.Shown);
  s.HeaderWidth = 197;
  EXPECT_TRUE(PlanListViewBars(s).Horizontal.Shown);
  // A report without items still scrolls its header.
  s.ItemCount = 0;
  EXPECT_TRUE(PlanListViewBars(s).Horizontal.Shown);
}

TEST(ListViewBars, AnIconViewWithoutItemsShowsNoHorizontalBar) {
  TListViewScrollState s = Skinned();
  s.Horizontal = Scroll(0, 400, 200, 0);
  EXPECT_TRUE(PlanListViewBars(s).Horizontal.Shown);
  s.ItemCount = 0;
  EXPECT_FALSE(PlanListViewBars(s).Horizontal.Shown);
}

TEST(ListViewBars, APageTwoLongerThanTheRangeFillsADisabledBarNotAnInvertedOne) {
  // nMax = nPage - 2 still shows the bar; nMax - nPage + 1 would make its Max -1.
  TListViewScrollState s = Skinned();
  s.Horizontal = Scroll(0, 8, 10, 0);
  const TListViewBars bars = PlanListViewBars(s);
  ASSERT_TRUE(bars.Horizontal.Shown);
  EXPECT_FALSE(ScrollBarModel::FillUsable(bars.Horizontal.Info));
  EXPECT_EQ(bars.Horizontal.SmallChange, 1);
  // A disabled list leaves its bars disabled whatever their range.
  s.Horizontal = Scroll(0, 400, 200, 0);
  s.Enabled = false;
  EXPECT_FALSE(ScrollBarModel::FillUsable(PlanListViewBars(s).Horizontal.Info));
}

TEST(ListViewBars, OneHeaderSectionIsLitAndAPressOutranksIt) {
  const std::vector<TRect> sections{{0, 0, 80, 20}, {80, 0, 150, 20}, {150, 0, 150, 20}};
  EXPECT_EQ(HeaderSectionAt(sections, 0, 0), 0);
  EXPECT_EQ(HeaderSectionAt(sections, 80, 10), 1);
  EXPECT_EQ(HeaderSectionAt(sections, 150, 10), NoHeaderSection);  // the empty third and beyond
  EXPECT_EQ(HeaderSectionAt(sections, 10, 20), NoHeaderSection);
  EXPECT_EQ(HeaderSectionState(1, 1, NoPressedSection), 1);
  EXPECT_EQ(HeaderSectionState(0, 1, NoPressedSection), 0);
  EXPECT_EQ(HeaderSectionState(0, 1, 0), 2);
  EXPECT_EQ(HeaderSectionState(1, 1, 0), 0);  // the pressed one alone shows
  EXPECT_EQ(HeaderSectionState(-1, NoHeaderSection, NoPressedSection), 0);
}

}  // namespace
