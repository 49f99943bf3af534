#include <gtest/gtest.h>

#include <limits>

#include "framework/base/Exception.h"
#include "skin/controls/core/GaugeModel.h"
#include "tests/support/ThrownText.h"

namespace {

TGaugeModel Range(std::int32_t min, std::int32_t max, std::int32_t progress) {
  TGaugeModel g;
  g.SetMinValue(std::numeric_limits<std::int32_t>::min(), true);
  g.SetMaxValue(max, true);
  g.SetMinValue(min, true);
  g.SetProgress(progress);
  return g;
}

TEST(GaugeModel, PercentIsTruncatedAndAnEmptyRangeShowsNothing) {
  EXPECT_EQ(Range(0, 3, 2).PercentDone(), 66);
  EXPECT_EQ(GaugeFilledLength(120, 66), 79);
  EXPECT_EQ(Range(0, 0, 0).PercentDone(), 0);
  EXPECT_EQ(Range(0, 100, 100).PercentDone(), 100);
  EXPECT_EQ(Range(-50, 50, 0).PercentDone(), 50);
}

// Superfile sizes: (Progress - MinValue) x 100 does not fit 32 bits past 21 MB.
TEST(GaugeModel, LargeRangesDoNotOverflow) {
  EXPECT_EQ(Range(0, 30'000'000, 15'000'000).PercentDone(), 50);
  EXPECT_EQ(Range(0, 100'000'000, 99'999'999).PercentDone(), 99);
  const auto lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(Range(lo, hi, hi).PercentDone(), 100);
  EXPECT_EQ(Range(lo, hi, 0).PercentDone(), 50);
  EXPECT_EQ(GaugeFilledLength(1'000'000'000, 99), 990'000'000);
}

TEST(GaugeModel, ProgressStaysWithinTheBoundsAndReportsOnlyChanges) {
  TGaugeModel g;
  EXPECT_EQ(g.Progress(), 47);
  EXPECT_TRUE(g.SetProgress(500));
  EXPECT_EQ(g.Progress(), 100);
  EXPECT_FALSE(g.SetProgress(100));
  EXPECT_FALSE(g.SetProgress(101));  // clamps to the same value
  EXPECT_TRUE(g.SetMaxValue(50, false));
  EXPECT_EQ(g.Progress(), 50);
  EXPECT_TRUE(g.SetMinValue(20, false));
  EXPECT_TRUE(g.SetProgress(0));
  EXPECT_EQ(g.Progress(), 20);
}

TEST(GaugeModel, ABoundPastTheOtherIsRefusedOutsideLoading) {
  TGaugeModel g;
  EXPECT_EQ(ThrownText<EInvalidOperation>([&] { g.SetMaxValue(-1, false); }),
            "Value must be between 1 and 2147483647");
  EXPECT_EQ(ThrownText<EInvalidOperation>([&] { g.SetMinValue(101, false); }),
            "Value must be between -2147483647 and 99");
  EXPECT_EQ(g.MinValue(), 0);
  EXPECT_EQ(g.MaxValue(), 100);
  EXPECT_EQ(g.Progress(), 47);
  // While loading the bounds may cross for a moment.
  EXPECT_TRUE(g.SetMaxValue(-1, true));
  EXPECT_EQ(g.Progress(), -1);
}

TEST(GaugeModel, PieAndNeedlePoints) {
  // At 0 % the pie starts at the top middle (a = pi/2), at 50 % at the bottom middle.
  EXPECT_EQ(GaugePieStart(100, 60, 0).X, 50);
  EXPECT_EQ(GaugePieStart(100, 60, 0).Y, 0);
  EXPECT_EQ(GaugePieStart(100, 60, 50).X, 50);
  EXPECT_EQ(GaugePieStart(100, 60, 50).Y, 60);
  EXPECT_EQ(GaugePieStart(100, 60, 25).X, 100);  // a quarter: the right middle
  // The needle lies left at 0 %, points up at 50 % and right at 100 %.
  EXPECT_EQ(GaugeNeedleTip(100, 40, 0).X, 0);
  EXPECT_EQ(GaugeNeedleTip(100, 40, 0).Y, 40);
  EXPECT_EQ(GaugeNeedleTip(100, 40, 50).X, 50);
  EXPECT_EQ(GaugeNeedleTip(100, 40, 50).Y, 0);
  EXPECT_EQ(GaugeNeedleTip(100, 40, 100).X, 100);
}

}  // namespace
