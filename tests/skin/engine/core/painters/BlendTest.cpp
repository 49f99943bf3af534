#include "skin/engine/core/PixelBlend.h"

#include <gtest/gtest.h>

#include "PixelTestSupport.h"

namespace {

TEST(BlendRectWithColor, KeepsTheGivenPercentAndClampsHostileValues) {
  TsBitmap24 b = Filled(4, 1, Grey(200));
  BlendRectWithColor(b.View(), {0, 0, 1, 1}, 100, 0x000000);
  BlendRectWithColor(b.View(), {1, 0, 2, 1}, 0, 0x000000);
  BlendRectWithColor(b.View(), {2, 0, 3, 1}, 25, 0x000000);
  BlendRectWithColor(b.View(), {3, 0, 4, 1}, 250, 0x000000);  // more than all: unchanged
  EXPECT_EQ(b.Pixel(0, 0), Grey(200));
  EXPECT_EQ(b.Pixel(1, 0), Grey(0));
  EXPECT_EQ(b.Pixel(2, 0), Grey(50));
  EXPECT_EQ(b.Pixel(3, 0), Grey(200));
  TsBitmap24 c = Filled(2, 1, Rgb(1, 3, 0));
  BlendRectWithColor(c.View(), {0, 0, 1, 1}, 50, 0x000000);  // 0.5 and 1.5: halves to even
  BlendRectWithColor(c.View(), {1, 0, 2, 1}, -7, 0x0000FF);  // less than nothing: the colour
  EXPECT_EQ(c.Pixel(0, 0), Rgb(0, 2, 0));
  EXPECT_EQ(c.Pixel(1, 0), Rgb(255, 0, 0));
}

TEST(BlendRectWithColor, StaysInsideTheRectangleAndTheBitmap) {
  TsBitmap24 b = Filled(5, 5, Grey(100));
  BlendRectWithColor(b.View(), {3, 3, 9, 9}, 0, 0xFFFFFF);
  EXPECT_EQ(b.Pixel(4, 4), Grey(255));
  EXPECT_TRUE(UntouchedOutside(b, 3, 3, 5, 5, Grey(100)));
  BlendRectWithColor(b.View(), {-9, -9, -1, -1}, 0, 0xFFFFFF);
  BlendRectWithColor(b.View(), {INT32_MIN, 0, INT32_MAX, 1}, 0, 0x000000);
  EXPECT_EQ(b.Pixel(0, 0), Grey(0));
  EXPECT_EQ(b.Pixel(0, 1), Grey(100));
}

TEST(BlendBitmapRect, BlendLevelsZeroHalfAndFull) {
  const TsBitmap24 s = Filled(3, 1, Rgb(100, 255, 0));
  TsBitmap24 d = Filled(3, 1, Rgb(200, 0, 255));
  BlendBitmapRect(d.View(), s.View(), {0, 0, 0}, {0, 0, 1, 1}, {0, 0});
  BlendBitmapRect(d.View(), s.View(), {127, 127, 127}, {1, 0, 2, 1}, {1, 0});
  BlendBitmapRect(d.View(), s.View(), {255, 255, 255}, {2, 0, 3, 1}, {2, 0});
  EXPECT_EQ(d.Pixel(0, 0), Rgb(100, 255, 0));    // level 0: the source
  EXPECT_EQ(d.Pixel(1, 0), Rgb(150, 128, 127));  // t = 381/768
  EXPECT_EQ(d.Pixel(2, 0), Rgb(200, 1, 254));    // t = 765/768
}

TEST(BlendBitmapRect, CutsRowsAndColumnsToBothBitmaps) {
  const TsBitmap24 s = Filled(4, 4, Grey(0));
  TsBitmap24 d = Filled(6, 6, Grey(200));
  // The source rectangle reaches past s, the target past d's right and bottom edges.
  BlendBitmapRect(d.View(), s.View(), {0, 0, 0}, {2, 2, 40, 40}, {4, 5});
  EXPECT_EQ(d.Pixel(4, 5), Grey(0));
  EXPECT_EQ(d.Pixel(5, 5), Grey(0));
  EXPECT_TRUE(UntouchedOutside(d, 4, 5, 6, 6, Grey(200)));
  // A target left of d: only the columns that land inside are written.
  BlendBitmapRect(d.View(), s.View(), {0, 0, 0}, {0, 0, 4, 1}, {-3, 0});
  EXPECT_EQ(d.Pixel(0, 0), Grey(0));
  EXPECT_EQ(d.Pixel(1, 0), Grey(200));
}

TEST(BlendBitmapRect, LargeAreasGiveTheSamePixelsAsSmallOnes) {
  // 300 x 300 takes the pair table; the same blend row by row takes the per-pixel road.
  TsBitmap24 s(300, 300);
  TsBitmap24 d(300, 300);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x) {
      s.SetPixel(x, y, Rgb(uint8_t(x), uint8_t(y), uint8_t(x * y)));
      d.SetPixel(x, y, Rgb(uint8_t(y * 7), uint8_t(x + y), uint8_t(x ^ y)));
    }
  TsBitmap24 rows = TsBitmap24::CopyOf(d.View());
  BlendBitmapRect(d.View(), s.View(), {10, 200, 91}, {0, 0, 300, 300}, {0, 0});
  for (int y = 0; y < 300; ++y) BlendBitmapRect(rows.View(), s.View(), {10, 200, 91}, {0, y, 300, y + 1}, {0, y});
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x) ASSERT_EQ(d.Pixel(x, y), rows.Pixel(x, y)) << x << "," << y;
}

TEST(BlendBitmaps, MixesBitmapsOfOneSizeOnly) {
  const TsBitmap24 s = Filled(2, 2, Grey(100));
  TsBitmap24 d = Filled(2, 2, Grey(200));
  BlendBitmaps(d.View(), s.View(), 128);
  EXPECT_EQ(d.Pixel(1, 1), Grey(150));
  BlendBitmaps(d.View(), s.View(), 256);  // only the low byte counts: level 0 gives the source
  EXPECT_EQ(d.Pixel(0, 0), Grey(100));
  TsBitmap24 other = Filled(3, 2, Grey(9));
  BlendBitmaps(other.View(), s.View(), 0);
  EXPECT_EQ(other.Pixel(0, 0), Grey(9));
}

TEST(BlendRectKeyed, SkipsKeyPixelsAndMovesTheTargetWithACutSource) {
  TsBitmap24 s = Filled(3, 1, Grey(100));
  s.SetPixel(1, 0, Key);
  TsBitmap24 d = Filled(3, 1, Grey(200));
  BlendRectKeyed(d.View(), {0, 0}, 0xFF00FF, 40, {0, 0, 1, 0}, s.View());
  EXPECT_EQ(d.Pixel(0, 0), Grey(140));  // d keeps 40 percent
  EXPECT_EQ(d.Pixel(1, 0), Grey(200));  // key pixel skipped
  EXPECT_EQ(d.Pixel(2, 0), Grey(200));  // outside the rectangle
  // No key (top byte $FF): the magenta pixel blends too. Left -1 moves the target right by one.
  TsBitmap24 e = Filled(3, 1, Grey(0));
  BlendRectKeyed(e.View(), {0, 0}, PixelNoKey, 0, {-1, 0, 1, 0}, s.View());
  EXPECT_EQ(e.Pixel(0, 0), Grey(0));
  EXPECT_EQ(e.Pixel(1, 0), Grey(100));
  EXPECT_EQ(e.Pixel(2, 0), Key);
}

TEST(MaskBlends, FollowTheirShiftRules) {
  const TsBitmap24 s = Filled(2, 1, Grey(255));
  TsBitmap24 d = Filled(2, 1, Grey(0));
  TsBitmap24 m(2, 1);
  m.SetPixel(0, 0, Grey(0));
  m.SetPixel(1, 0, Grey(255));
  BlendBitmapsByMask(d.View(), s.View(), m.View(), {0, 0, 5, 5});
  EXPECT_EQ(d.Pixel(0, 0), Grey(255));  // mask 0: exactly the source
  EXPECT_EQ(d.Pixel(1, 0), Grey(0));    // (0 - 255) * 255 + 255 * 256 >> 8
  TsBitmap24 a = Filled(2, 1, Grey(200));
  BlendColorByMask(a.View(), m.View(), 0x646464);
  EXPECT_EQ(a.Pixel(0, 0), Grey(99));   // 100 * 255 >> 8
  EXPECT_EQ(a.Pixel(1, 0), Grey(199));  // 200 * 255 >> 8
}

TEST(Grayscale, KeyedVersionKeepsTheKeyColour) {
  TsBitmap24 b(2, 1);
  b.SetPixel(0, 0, Rgb(30, 60, 91));
  b.SetPixel(1, 0, Key);
  TsBitmap24 plain = TsBitmap24::CopyOf(b.View());
  GrayscaleBitmapKeyed(b.View(), SkinKeyColor);
  GrayscaleBitmap(plain.View());
  EXPECT_EQ(b.Pixel(0, 0), Grey(60));
  EXPECT_EQ(b.Pixel(1, 0), Key);
  EXPECT_EQ(plain.Pixel(1, 0), Grey(170));
}

TEST(CopyRectTransparent, KeyPixelsTakeFillColourElseParentElseStay) {
  TsBitmap24 s(2, 1);
  s.SetPixel(0, 0, Rgb(1, 2, 3));
  s.SetPixel(1, 0, Key);
  const TsBitmap24 parent = Filled(10, 10, Rgb(9, 9, 9));
  TsCacheView ci{parent.View(), 3, 3, true};
  TsBitmap24 d = Filled(2, 1, Grey(50));
  CopyRectTransparent(d.View(), s.View(), {0, 0}, ci, SkinKeyColor, {0, 0, 1, 0}, 0x0000FF);
  EXPECT_EQ(d.Pixel(0, 0), Rgb(1, 2, 3));
  EXPECT_EQ(d.Pixel(1, 0), Rgb(255, 0, 0));
  CopyRectTransparent(d.View(), s.View(), {0, 0}, ci, SkinKeyColor, {0, 0, 1, 0}, SkinKeyColor);
  EXPECT_EQ(d.Pixel(1, 0), Rgb(9, 9, 9));
  d.SetPixel(1, 0, Grey(50));
  ci.X = 9;  // the parent pixel lies outside the parent: the target stays
  CopyRectTransparent(d.View(), s.View(), {0, 0}, ci, SkinKeyColor, {0, 0, 1, 0}, SkinKeyColor);
  EXPECT_EQ(d.Pixel(1, 0), Grey(50));
  // A source left of 0 moves the target by the same amount.
  TsBitmap24 e = Filled(2, 1, Grey(50));
  CopyRectTransparent(e.View(), s.View(), {0, 0}, TsCacheView::None(), SkinKeyColor, {-1, 0, 0, 0},
                      SkinKeyColor);
  EXPECT_EQ(e.Pixel(0, 0), Grey(50));
  EXPECT_EQ(e.Pixel(1, 0), Rgb(1, 2, 3));
}

TEST(BlendRoundRectColor, UnroundedBlendsTheWholeRectangleAtTheLevel) {
  TsBitmap24 b = Filled(4, 4, Grey(200));
  BlendRoundRectColor(b.View(), {1, 1, 3, 3}, 50, 0, 0, 0x000000);
  EXPECT_EQ(b.Pixel(1, 1), Grey(99));  // level 127: 200 * 127 >> 8
  EXPECT_EQ(b.Pixel(2, 2), Grey(99));
  EXPECT_TRUE(UntouchedOutside(b, 1, 1, 3, 3, Grey(200)));
  // Graded edges: the outer ring keeps the picture, the inside takes the level.
  TsBitmap24 g = Filled(8, 8, Grey(200));
  BlendRoundRectColor(g.View(), {0, 0, 8, 8}, 0, 0, 2, 0x000000);
  EXPECT_EQ(g.Pixel(0, 3), Grey(199));
  EXPECT_EQ(g.Pixel(1, 3), Grey(132));  // grey 170
  EXPECT_EQ(g.Pixel(3, 3), Grey(0));
  BlendRoundRectColor(g.View(), {-5, -5, 1000000, 1000000}, 0, 1000, 1000, 0x000000);
}

TEST(CopyPixels, HandlesOverlapInOneBitmap) {
  TsBitmap24 b(1, 4);
  for (int y = 0; y < 4; ++y) b.SetPixel(0, y, Grey(uint8_t(y)));
  CopyPixels(b.View(), {0, 1}, b.View(), {0, 0, 1, 3});
  EXPECT_EQ(b.Pixel(0, 0), Grey(0));
  EXPECT_EQ(b.Pixel(0, 1), Grey(0));
  EXPECT_EQ(b.Pixel(0, 3), Grey(2));
}

}  // namespace
