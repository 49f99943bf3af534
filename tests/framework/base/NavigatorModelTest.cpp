#include <gtest/gtest.h>

#include "framework/base/NavigatorModel.h"

namespace {

using namespace NavigatorModel;

constexpr TButtonBits Bit(int i) { return TButtonBits(1u << i); }
constexpr TButtonBits Moves = Bit(First) | Bit(Prior) | Bit(Next) | Bit(Last);

TEST(NavigatorModel, BorderSizeAddsFrameBorderAndBevels) {
  EXPECT_EQ(BorderSize(TBorder{}), 0);
  EXPECT_EQ(BorderSize(TBorder{true, true, 0, 1, false, false}), 4);
  EXPECT_EQ(BorderSize(TBorder{true, false, 2, 3, true, true}), 1 + 2 + 3 + 3);
  EXPECT_EQ(BorderSize(TBorder{false, true, 0, 2, false, true}), 2);
}

TEST(NavigatorModel, LayoutSpreadsTheLeftoverAndParksHiddenButtons) {
  TLayout l = Layout(240, 25, 0, Moves, false);
  for (int i = First; i <= Last; ++i) {
    EXPECT_EQ(l.Buttons[size_t(i)].Left, 60 * i);
    EXPECT_EQ(l.Buttons[size_t(i)].Right - l.Buttons[size_t(i)].Left, 60);
    EXPECT_EQ(l.Buttons[size_t(i)].Bottom, 24);  // height - 2B - 1
  }
  EXPECT_EQ(l.Buttons[size_t(Insert)].Left, 241);
  // Not aligned: the width shrinks to whole buttons.
  EXPECT_EQ(Layout(243, 25, 0, AllButtons, false).Width, 240);
  // Aligned: 247 - 2 x 2 = 10 x 24 + 3; three buttons get one pixel more, spread over the row.
  l = Layout(247, 25, 2, AllButtons, true);
  EXPECT_EQ(l.Width, 247);
  int wider = 0, x = 2;
  for (const TRect& r : l.Buttons) {
    EXPECT_EQ(r.Left, x);
    EXPECT_EQ(r.Top, 2);
    x = r.Right;
    wider += (r.Right - r.Left) == 25;
  }
  EXPECT_EQ(x, 245);
  EXPECT_EQ(wider, 3);
  EXPECT_EQ(l.Buttons[0].Right - l.Buttons[0].Left, 24);  // not all at the start
  EXPECT_EQ(l.Buttons[1].Right - l.Buttons[1].Left, 25);
  // No visible button counts as one.
  EXPECT_EQ(Layout(100, 25, 0, 0, false).Width, 100);
}

TEST(NavigatorModel, MinimumSizeHoldsEveryVisibleButton) {
  const TPoint m = MinSize(Moves, 3);
  EXPECT_EQ(m.X, 4 * MinButtonWidth + 6);
  EXPECT_EQ(m.Y, MinButtonHeight + 6);
  EXPECT_EQ(MinSize(0, 0).X, MinButtonWidth);
}

TEST(NavigatorModel, EnablingFollowsTheTable) {
  EXPECT_EQ(EnabledButtons(TDataState{}), 0);
  TDataState empty{true, true, true, true, true, false};
  EXPECT_EQ(EnabledButtons(empty), Bit(Insert) | Bit(Refresh));
  TDataState middle{true, false, false, false, true, false};
  EXPECT_EQ(EnabledButtons(middle), Moves | Bit(Insert) | Bit(Delete) | Bit(Edit) | Bit(Refresh));
  TDataState one{true, true, true, false, true, false};  // a single record: deletable
  EXPECT_EQ(EnabledButtons(one), Bit(Insert) | Bit(Delete) | Bit(Edit) | Bit(Refresh));
  TDataState editing{true, true, false, false, true, true};
  EXPECT_EQ(EnabledButtons(editing), Bit(Next) | Bit(Last) | Bit(Insert) | Bit(Delete) | Bit(Post) | Bit(Cancel) | Bit(Refresh));
  TDataState readOnly{true, false, false, false, false, false};
  EXPECT_EQ(EnabledButtons(readOnly), Moves);
}

TEST(NavigatorModel, FocusMovesAmongVisibleButtonsAndLeavesHiddenOnes) {
  EXPECT_EQ(StepFocus(Last, 1, Moves), Last);  // no wrap
  EXPECT_EQ(StepFocus(First, -1, Moves), First);
  EXPECT_EQ(StepFocus(Prior, 1, Bit(Prior) | Bit(Delete)), Delete);
  EXPECT_EQ(StepFocus(Delete, -1, Bit(Prior) | Bit(Delete)), Prior);
  EXPECT_EQ(FocusAfterVisibleChange(Next, Moves), Next);
  EXPECT_EQ(FocusAfterVisibleChange(Edit, Moves | Bit(Refresh)), Refresh);
  EXPECT_EQ(FocusAfterVisibleChange(Edit, Moves), Last);
  EXPECT_EQ(FocusAfterVisibleChange(Edit, 0), Edit);
}

}  // namespace
