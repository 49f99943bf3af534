#include <gtest/gtest.h>

#include "skin/controls/core/GroupLayout.h"

namespace {

TEST(GroupLayout, TheCaptionPlateStaysInsideTheBox) {
  EXPECT_EQ(GroupCaptionRect(200, 13, 50, TsGroupCaptionLayout::clTopLeft, 0, 1), (TGroupRect{6, 0, 64, 15}));
  EXPECT_EQ(GroupCaptionRect(200, 13, 50, TsGroupCaptionLayout::clTopCenter, 4, 1), (TGroupRect{70, 0, 128, 19}));
  EXPECT_EQ(GroupCaptionRect(200, 13, 50, TsGroupCaptionLayout::clTopRight, 0, 1), (TGroupRect{136, 0, 194, 15}));
  // A centred caption wider than the box starts at 0 and its plate ends at the right edge.
  EXPECT_EQ(GroupCaptionRect(100, 13, 150, TsGroupCaptionLayout::clTopCenter, 0, 1), (TGroupRect{0, 0, 100, 15}));
  // A tiny font still gets a band of 6; a plate narrower than two bevels grows by one on each side.
  EXPECT_EQ(GroupCaptionRect(20, 2, 0, TsGroupCaptionLayout::clTopLeft, 0, 6), (TGroupRect{0, 0, 20, 6}));
}

TEST(GroupLayout, ColumnsAndItemIndexAreClamped) {
  EXPECT_EQ(ClampColumns(0), 1);
  EXPECT_EQ(ClampColumns(20), 16);
  EXPECT_EQ(ClampItemIndex(5, 2), 1);
  EXPECT_EQ(ClampItemIndex(-3, 2), -1);
  EXPECT_EQ(ClampItemIndex(0, 0), -1);
}

TEST(GroupLayout, ButtonsFillColumnsTopToBottom) {
  // Three items in two columns: two in the first column, one in the second.
  const auto cells = ArrangeRadioButtons(3, 2, 210, 105, 13, false);
  ASSERT_EQ(cells.size(), 3u);
  // Rows 2, column width 100, free height 87: rows of 43, top margin 13 + 3 + 0.
  EXPECT_EQ(cells[0], (TGroupRect{8, 16, 108, 59}));
  EXPECT_EQ(cells[1], (TGroupRect{8, 59, 108, 102}));
  EXPECT_EQ(cells[2], (TGroupRect{108, 16, 208, 59}));
  // Mirrored for right-to-left reading.
  EXPECT_EQ(ArrangeRadioButtons(3, 2, 210, 105, 13, true)[0].Left, 210 - 8 - 100);
  EXPECT_TRUE(ArrangeRadioButtons(0, 2, 210, 105, 13, false).empty());
  // Zero columns are one; a box too low for its rows still gives every button a cell.
  EXPECT_EQ(ArrangeRadioButtons(4, 0, 100, 10, 13, false).size(), 4u);
}

}  // namespace
