#include <gtest/gtest.h>

#include "skin/controls/core/ComboEditLayout.h"

namespace {

using namespace ComboEditLayout;

TPopupPlace Place(int left, int top, TPopupAlign align) {
  TPopupPlace p;
  p.Edit = TsRect{left, top, left + 120, top + 21};
  p.PopupWidth = 200;
  p.PopupHeight = 150;
  p.Screen = TsRect{0, 0, 800, 600};
  p.Align = align;
  return p;
}

TEST(ComboEditLayout, PopupGoesBelowOrAboveAndStaysOnTheScreen) {
  TsPoint at = PopupPosition(Place(300, 100, TPopupAlign::RightEdges));
  EXPECT_EQ(at.X, 220);  // right edges aligned
  EXPECT_EQ(at.Y, 121);
  at = PopupPosition(Place(300, 500, TPopupAlign::RightEdges));
  EXPECT_EQ(at.Y, 350);  // no room below: above the edit
  at = PopupPosition(Place(40, 100, TPopupAlign::RightEdges));
  EXPECT_EQ(at.X, 40);  // would pass the left edge: left edges aligned
  at = PopupPosition(Place(300, 100, TPopupAlign::LeftEdges));
  EXPECT_EQ(at.X, 300);
  at = PopupPosition(Place(650, 100, TPopupAlign::LeftEdges));
  EXPECT_EQ(at.X, 570);  // would pass the right edge: right edges aligned
  at = PopupPosition(Place(-50, 100, TPopupAlign::RightEdges));
  EXPECT_EQ(at.X, 0);  // clamped to the screen
  TPopupPlace wide = Place(700, 100, TPopupAlign::LeftEdges);
  wide.PopupWidth = 50;
  wide.Edit.Right = 790;
  EXPECT_EQ(PopupPosition(wide).X, 700);
}

TEST(ComboEditLayout, GlyphFramesAreCutByStateAndCentred) {
  EXPECT_EQ(GlyphFrame(false, false), 0);
  EXPECT_EQ(GlyphFrame(false, true), 1);
  EXPECT_EQ(GlyphFrame(true, true), 2);
  const TGlyphCut cut = CutGlyphFrame(2, 16, 16, 22, 17);
  EXPECT_EQ(cut.Source.Left, 32);
  EXPECT_EQ(cut.Source.Right, 48);
  EXPECT_EQ(cut.Source.Bottom, 16);
  EXPECT_EQ(cut.At.X, 3);
  EXPECT_EQ(cut.At.Y, 0);
}

TEST(ComboEditLayout, BlendLevelStaysInAByte) {
  EXPECT_EQ(BlendLevel(0), 0);
  EXPECT_EQ(BlendLevel(50), 128);
  EXPECT_EQ(BlendLevel(99), 253);  // 253.44
  EXPECT_EQ(BlendLevel(100), 255);  // 256 would wrap to 0 in a byte
  EXPECT_EQ(BlendLevel(400), 255);
  EXPECT_EQ(BlendLevel(-3), 0);
}

}  // namespace
