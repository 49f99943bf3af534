#include <gtest/gtest.h>

#include <limits>

#include "skin/controls/core/SpinModel.h"

namespace {

using namespace SpinModel;
constexpr int IntMax = std::numeric_limits<int>::max();
constexpr int IntMin = std::numeric_limits<int>::min();

TEST(SpinModel, StepsSaturateAtTheIntegerLimitsAndClampToTheBounds) {
  // Equal bounds (the program's forms) clamp nothing: a step past the integer range stops at it
  // instead of wrapping round.
  EXPECT_EQ(Step(IntMax, 1, TDirection::Up, 0, 0), IntMax);
  EXPECT_EQ(Step(IntMax - 1, IntMax, TDirection::Up, 0, 0), IntMax);
  EXPECT_EQ(Step(IntMin, 1, TDirection::Down, 0, 0), IntMin);
  EXPECT_EQ(Step(0, IntMin, TDirection::Down, 0, 0), IntMax);  // minus the most negative step
  EXPECT_EQ(Step(600, 1, TDirection::Up, 0, 0), 601);
  EXPECT_EQ(Step(5, 7, TDirection::Up, 7, 7), 12);
  // Bounds: a step beyond them ends on them.
  EXPECT_EQ(Step(9, 5, TDirection::Up, 1, 10), 10);
  EXPECT_EQ(Step(2, 5, TDirection::Down, 1, 10), 1);
  EXPECT_EQ(Step(IntMax, 1, TDirection::Up, -5, IntMax), IntMax);
  EXPECT_EQ(Step(IntMin + 1, 3, TDirection::Down, IntMin, 0), IntMin);
  EXPECT_EQ(Clamp(20, 1, 10), 10);
  EXPECT_EQ(Clamp(0, 1, 10), 1);
  EXPECT_EQ(Clamp(513, 0, 0), 513);
}

TEST(SpinModel, TextThatIsNoIntegerReadsAsTheLowerBound) {
  EXPECT_EQ(ValueOfText("512", 0), 512);
  EXPECT_EQ(ValueOfText("  -17", 3), -17);
  EXPECT_EQ(ValueOfText("+8", 3), 8);
  EXPECT_EQ(ValueOfText("2147483647", 0), IntMax);
  EXPECT_EQ(ValueOfText("-2147483648", 0), IntMin);
  for (const char* text : {"", "-", "+", "12a", "1 ", "2147483648", "-2147483649", "99999999999999999999999", "0x10"})
    EXPECT_EQ(ValueOfText(text, 7), 7) << text;
}

TEST(SpinModel, TypedKeysFollowTheEditorAndItsCharacterSet) {
  EXPECT_TRUE(KeyAccepted('5', TKeys::Digits, true, '.'));
  EXPECT_FALSE(KeyAccepted('-', TKeys::Digits, true, '.'));
  EXPECT_TRUE(KeyAccepted('-', TKeys::Signed, true, '.'));
  EXPECT_TRUE(KeyAccepted(',', TKeys::Signed, true, ','));
  EXPECT_FALSE(KeyAccepted(',', TKeys::Signed, true, '.'));
  EXPECT_FALSE(KeyAccepted('a', TKeys::Signed, true, '.'));
  EXPECT_FALSE(KeyAccepted('\r', TKeys::Digits, true, '.'));
  EXPECT_TRUE(KeyAccepted('\b', TKeys::Digits, true, '.'));
  EXPECT_TRUE(KeyAccepted('\x03', TKeys::Digits, true, '.'));  // Ctrl+C
  // Editor off: nothing typed, Backspace neither; other control keys still pass.
  EXPECT_FALSE(KeyAccepted('5', TKeys::Digits, false, '.'));
  EXPECT_FALSE(KeyAccepted('\b', TKeys::Digits, false, '.'));
  EXPECT_TRUE(KeyAccepted('\x03', TKeys::Digits, false, '.'));
}

TEST(SpinModel, ButtonsShareTheHeightAndKeepTheirSmallestWidth) {
  const TButtonLayout l = ButtonLayout(18, 21);
  EXPECT_EQ(l.Up, (TRect{0, 0, 18, 10}));
  EXPECT_EQ(l.Down, (TRect{0, 10, 18, 21}));
  EXPECT_EQ(ButtonLayout(9, 20).Width, MinWidth);
  EXPECT_EQ(ButtonLayout(9, 20).Down.Right, MinWidth);
  // The arrows point their way and sit in the middle of the button.
  const auto up = Arrow(TDirection::Up, TRect{0, 0, 18, 10});
  EXPECT_EQ(up[2], (TPoint{8, 2}));
  EXPECT_EQ(up[0].Y, 5);
  const auto down = Arrow(TDirection::Down, TRect{0, 0, 18, 11});
  EXPECT_EQ(down[2], (TPoint{8, 5}));
  EXPECT_EQ(down[0].Y, 2);
}

TEST(SpinModel, AHeldButtonRepeatsAfter400ThenEvery100Milliseconds) {
  TRepeat r;
  EXPECT_FALSE(r.Tick(1000));  // no press
  EXPECT_EQ(r.Delay(1000), 0);
  r.Press(1000);
  EXPECT_EQ(r.Delay(1000), 400);
  EXPECT_FALSE(r.Tick(1399));
  EXPECT_EQ(r.Delay(1399), 1);
  EXPECT_TRUE(r.Tick(1400));
  EXPECT_EQ(r.Delay(1400), 100);
  EXPECT_FALSE(r.Tick(1499));
  EXPECT_TRUE(r.Tick(1500));
  EXPECT_TRUE(r.Tick(1650));  // a late tick clicks once and waits a whole interval again
  EXPECT_FALSE(r.Tick(1700));
  EXPECT_TRUE(r.Tick(1750));
  r.Release();
  EXPECT_FALSE(r.Tick(5000));
  r.Press(6000);  // a new press waits the long delay again
  EXPECT_FALSE(r.Tick(6100));
  EXPECT_TRUE(r.Tick(6400));
}

}  // namespace
