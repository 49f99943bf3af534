#include <gtest/gtest.h>

#include "skin/controls/core/UpDownModel.h"

namespace {

using TArrow = TUpDownModel::TArrow;

TEST(UpDownModel, ArrowsLightPressAndReleaseWithTheMouse) {
  TUpDownModel m;
  m.Position = 50;
  EXPECT_TRUE(m.MouseOver(TArrow::First));
  EXPECT_EQ(m.PaintState(TArrow::First), 1);
  m.Press();
  EXPECT_EQ(m.PaintState(TArrow::First), 2);
  EXPECT_EQ(m.PaintState(TArrow::Second), 0);
  m.MouseOver(TArrow::Second);  // a held press keeps its arrow
  EXPECT_EQ(m.State(), 3);
  EXPECT_TRUE(m.Release());
  EXPECT_EQ(m.State(), 1);
  m.MouseOver(TArrow::Second);
  m.Press();
  EXPECT_EQ(m.PaintState(TArrow::Second), 2);
  m.Leave();
  EXPECT_EQ(m.State(), 0);
  EXPECT_FALSE(m.Pressed());
  EXPECT_FALSE(m.Release());
}

TEST(UpDownModel, AnArrowAtItsBoundStaysDarkWhileInaccessibilityShows) {
  TUpDownModel m;
  m.Position = 100;  // vertical: the up arrow is at Max
  EXPECT_TRUE(m.Dimmed(TArrow::First, true));
  EXPECT_FALSE(m.Dimmed(TArrow::Second, true));
  EXPECT_FALSE(m.MouseOver(TArrow::First));
  EXPECT_EQ(m.State(), 0);
  // A press there sets the flag but shows nothing pressed.
  m.Press();
  EXPECT_TRUE(m.Pressed());
  EXPECT_EQ(m.PaintState(TArrow::First), 0);
  m.ShowInaccessibility = false;
  EXPECT_FALSE(m.Dimmed(TArrow::First, true));
  EXPECT_TRUE(m.MouseOver(TArrow::First));
  EXPECT_TRUE(m.Dimmed(TArrow::Second, false));  // disabled: both
}

TEST(UpDownModel, AnArrowAtItsBoundNeverShowsPressedAndItsReleaseFollowsInaccessibility) {
  TUpDownModel m;
  m.ShowInaccessibility = false;
  m.Position = 100;
  EXPECT_TRUE(m.MouseOver(TArrow::First));  // lit at Max when the bound is not shown
  m.Press();
  EXPECT_TRUE(m.Pressed());
  EXPECT_EQ(m.State(), 1);  // nothing left to press towards
  EXPECT_TRUE(m.Release());
  // Pressed inside the range, then held until the position reached the bound.
  for (const bool shown : {false, true}) {
    for (const TArrow arrow : {TArrow::First, TArrow::Second}) {
      TUpDownModel held;
      held.ShowInaccessibility = shown;
      held.Position = 50;
      held.MouseOver(arrow);
      held.Press();
      const TUpDownModel::TState pressed = arrow == TArrow::First ? 3 : 4;
      ASSERT_EQ(held.State(), pressed);
      held.Position = held.Bound(arrow);
      // Shown, the bound keeps the pressed look until the mouse moves; else the arrow is lit again.
      EXPECT_EQ(held.Release(), !shown);
      EXPECT_EQ(held.State(), shown ? pressed : TUpDownModel::TState(arrow == TArrow::First ? 1 : 2));
    }
  }
}

TEST(UpDownModel, AHorizontalOneHasItsBoundsTheOtherWay) {
  TUpDownModel m;
  m.Vertical = false;
  m.Position = 0;
  EXPECT_EQ(m.Bound(TArrow::First), 0);
  EXPECT_TRUE(m.Dimmed(TArrow::First, true));  // the left arrow at Min
  m.Position = 100;
  EXPECT_TRUE(m.Dimmed(TArrow::Second, true));  // the right arrow at Max
}

}  // namespace
