#include "skin/engine/core/CaptionLayout.h"

#include <gtest/gtest.h>

namespace {

// A measurer with fixed widths: 7 pixels a character.
int32_t Measure(const std::string& s) { return int32_t(s.size()) * 7; }

TEST(LayoutCaptionRect, CentresRightAlignsOrLeftAlignsTheMeasuredText) {
  TsRect r{0, 0, 100, 20};
  const TsRect centred = LayoutCaptionRect(r, CaptionCenter, {40, 13});
  EXPECT_EQ(centred, (TsRect{30, 3, 70, 17}));  // dx = -30, dy = -3 (toward zero)
  EXPECT_EQ(r, (TsRect{29, 2, 71, 18}));
  TsRect right{0, 0, 100, 20};
  EXPECT_EQ(LayoutCaptionRect(right, CaptionRight, {40, 13}), (TsRect{60, 3, 100, 17}));
  TsRect left{10, 0, 100, 20};
  EXPECT_EQ(LayoutCaptionRect(left, 0, {40, 13}), (TsRect{10, 3, 50, 17}));
  TsRect wrapped{0, 0, 100, 20};
  EXPECT_EQ(LayoutCaptionRect(wrapped, CaptionWordBreak | CaptionCenter, {40, 13}), (TsRect{0, 0, 100, 20}));
  EXPECT_EQ(wrapped, (TsRect{-1, -1, 101, 21}));
}

TEST(CaptionPasses, ContoursThenTextSkippingNoneAndCustomFonts) {
  TsCaptionColors c;
  c.HasSection = true;
  c.Font = 0x111111;
  c.Contours = {0x01, CaptionNoContour, 0x03, CaptionNoContour};
  c.NoClipMainPass = true;
  const std::vector<TsTextPass> expected{{-1, 0, 0x01, 0}, {1, 0, 0x03, 0}, {0, 0, 0x111111, CaptionNoClip}};
  EXPECT_EQ(CaptionPasses("Ok", true, c), expected);
  c.Contours.fill(CaptionNoContour);
  EXPECT_EQ(CaptionPasses("Ok", true, c).size(), 1u);
  c.Contours = {1, 2, 3, 4};
  c.CustomFont = true;
  c.CanvasFont = 0x222222;
  EXPECT_EQ(CaptionPasses("Ok", true, c), (std::vector<TsTextPass>{{0, 0, 0x222222, CaptionNoClip}}));
  const std::vector<TsTextPass> disabled{{1, 1, c.Highlight, 0}, {0, 0, c.Shadow, 0}};
  EXPECT_EQ(CaptionPasses("Ok", false, c), disabled);
  EXPECT_TRUE(CaptionPasses("", true, c).empty());
}

TEST(EllipsizeText, CutsUntilTheDotsFit) {
  EXPECT_EQ(EllipsizeText("Superfile", 63, Measure), "Superfile");
  EXPECT_EQ(EllipsizeText("Superfile", 62, Measure), "Super...");
  EXPECT_EQ(EllipsizeText("Superfile", 20, Measure), "");
  EXPECT_EQ(EllipsizeText("Superfile", 0, Measure), "");
}

TEST(BevelFrameLines, ReturnsTheRectangleShrunkAndTheCountSpent) {
  TsRect r{0, 0, 10, 8};
  int32_t count = 3;
  const TsBevelLines lines = BevelFrameLines(r, count);
  EXPECT_EQ(r, (TsRect{3, 3, 7, 5}));
  EXPECT_EQ(count, 0);
  ASSERT_EQ(lines.TopLeft.size(), 3u);
  EXPECT_EQ(lines.TopLeft[0][0].Y, 7);
  EXPECT_EQ(lines.BottomRight[1][1].X, 8);
  TsRect big{0, 0, 4, 4};
  int32_t huge = 2000000000;
  EXPECT_LE(BevelFrameLines(big, huge).TopLeft.size(), 3u);
}

TEST(CheckMarkPolygon, FollowsTheShrunkRectangle) {
  const auto p = CheckMarkPolygon({0, 0, 16, 16});
  // Shrunk to (3, 3, 14, 14): w = 11, d = 2, w div 3 = 3.
  EXPECT_EQ(p[0].X, 3);
  EXPECT_EQ(p[0].Y, 9);
  EXPECT_EQ(p[1].X, 6);
  EXPECT_EQ(p[2].X, 12);
  EXPECT_EQ(p[3].Y, 4);
  EXPECT_EQ(p[5].X, 5);
}

}  // namespace
