#include "skin/engine/core/SectionBackground.h"

#include <gtest/gtest.h>

#include <vector>

#include "PixelTestSupport.h"

namespace {

TsSectionLook Plain(TColor c) {
  TsSectionLook look;
  look.Color = c;
  return look;
}

TEST(PaintSectionBackground, TransparencyMixesWithTheParentsPixels) {
  const TsBitmap24 parent = Filled(20, 20, Grey(200));
  const TsCacheView ci{parent.View(), 4, 4, true};
  TsSectionLook look = Plain(0x000000);
  look.Transparency = 100;
  TsBitmap24 b = Filled(4, 4, Grey(7));
  PaintSectionBackground(b.View(), {0, 0, 4, 4}, look, ci, {1, 1}, SkinKeyColor);
  EXPECT_TRUE(UntouchedOutside(b, 0, 0, 0, 0, Grey(200)));
  look.Transparency = 50;
  PaintSectionBackground(b.View(), {0, 0, 4, 4}, look, ci, {1, 1}, SkinKeyColor);
  EXPECT_EQ(b.Pixel(2, 2), Grey(99));  // t = 381/768 of the parent
  look.Transparency = 0;
  PaintSectionBackground(b.View(), {0, 0, 4, 4}, look, ci, {1, 1}, SkinKeyColor);
  EXPECT_EQ(b.Pixel(2, 2), Grey(0));
}

TEST(PaintOpaqueBackground, ImageShareMixesTheTileWithTheColour) {
  TsBitmap24 tile(2, 1);
  tile.SetPixel(0, 0, Grey(100));
  tile.SetPixel(1, 0, Grey(200));
  TsSectionLook look = Plain(0x000000);
  look.ImagePercent = 60;
  look.Pattern = {tile.View(), {0, 0, 2, 1}, true};
  TsBitmap24 b = Filled(5, 2, Grey(7));
  PaintOpaqueBackground(b.View(), {0, 0, 5, 2}, look, SkinKeyColor);
  EXPECT_EQ(b.Pixel(0, 0), Grey(60));
  EXPECT_EQ(b.Pixel(1, 1), Grey(120));
  EXPECT_EQ(b.Pixel(4, 0), Grey(60));  // the third tile is cut at the edge
}

TEST(PaintOpaqueBackground, SharesAboveAllOrNoneFillWithAColour) {
  TsSectionLook look = Plain(0x0000FF);
  look.ImagePercent = 70;
  look.GradientPercent = 50;
  TsBitmap24 b = Filled(3, 3, Grey(7));
  PaintOpaqueBackground(b.View(), {0, 0, 3, 3}, look, SkinKeyColor);
  EXPECT_TRUE(UntouchedOutside(b, 0, 0, 0, 0, Rgb(255, 0, 0)));
  // No shares, a skin background colour and some transparency: the background colour.
  TsSectionLook none = Plain(0x0000FF);
  none.Transparency = 30;
  PaintOpaqueBackground(b.View(), {0, 0, 3, 3}, none, 0x00FF00);
  EXPECT_TRUE(UntouchedOutside(b, 0, 0, 0, 0, Rgb(0, 255, 0)));
  // Without transparency, or without a background colour, the section's own colour.
  none.Transparency = 0;
  PaintOpaqueBackground(b.View(), {0, 0, 3, 3}, none, 0x00FF00);
  EXPECT_TRUE(UntouchedOutside(b, 0, 0, 0, 0, Rgb(255, 0, 0)));
  none.Transparency = 30;
  PaintOpaqueBackground(b.View(), {0, 0, 3, 3}, none, SkinKeyColor);
  EXPECT_TRUE(UntouchedOutside(b, 0, 0, 0, 0, Rgb(255, 0, 0)));
}

TEST(PaintOpaqueBackground, AGradientShareWithoutStopsOrImageLeavesNoStalePixels) {
  TsSectionLook look = Plain(0x000000);
  look.GradientPercent = 100;  // the section's gradient text is a single blank: no stops
  TsBitmap24 b = Filled(3, 3, Grey(7));
  PaintOpaqueBackground(b.View(), {0, 0, 3, 3}, look, SkinKeyColor);
  EXPECT_TRUE(UntouchedOutside(b, 0, 0, 0, 0, Grey(0)));
  TsSectionLook missing = Plain(0x000000);
  missing.ImagePercent = 50;  // the image cannot be found
  TsBitmap24 c = Filled(3, 3, Grey(7));
  PaintOpaqueBackground(c.View(), {0, 0, 3, 3}, missing, SkinKeyColor);
  EXPECT_TRUE(UntouchedOutside(c, 0, 0, 0, 0, Grey(0)));
}

TEST(PaintOpaqueBackground, GradientOverTheImageKeepsTheImageShare) {
  const TsBitmap24 tile = Filled(1, 1, Grey(200));
  const std::vector<TsGradientStop> stops{{0x000000, 0x000000, 100, 0}};
  TsSectionLook look = Plain(0xFFFFFF);
  look.ImagePercent = 50;
  look.GradientPercent = 50;
  look.Gradient = stops;
  look.Pattern = {tile.View(), {0, 0, 1, 1}, true};
  TsBitmap24 b = Filled(2, 2, Grey(7));
  PaintOpaqueBackground(b.View(), {0, 0, 2, 2}, look, SkinKeyColor);
  EXPECT_EQ(b.Pixel(1, 1), Grey(99));  // 200 * 381 / 768 over black
}

TEST(TileImage, StopsAtTheTargetRectangle) {
  const TsBitmap24 tile = Filled(4, 4, Grey(50));
  TsBitmap24 b = Filled(10, 10, Grey(7));
  TileImage(b.View(), {1, 1, 7, 6}, tile.View(), tile.View().Bounds());
  EXPECT_TRUE(UntouchedOutside(b, 1, 1, 7, 6, Grey(7)));
  EXPECT_EQ(b.Pixel(6, 5), Grey(50));
  TileImage(b.View(), {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, tile.View(), {0, 0, 1, 1});
  EXPECT_EQ(b.Pixel(9, 9), Grey(50));
}

TEST(PaintSectionPixels, PaintsBackgroundThenBorderOnlyInsideTheBitmap) {
  TsBitmap24 own(18, 12);
  own.Fill(Grey(255));
  for (int y = 6; y < 12; ++y)
    for (int x = 0; x < 18; ++x) own.SetPixel(x, y, y == 6 && x == 0 ? Grey(0) : Grey(255));
  TsMaskImage border;
  border.Own = own.View();
  TsSectionPaint paint;
  paint.Border = &border;
  const TsSectionLook look = Plain(0x000000);
  TsBitmap24 b = Filled(6, 6, Grey(7));
  PaintSectionPixels(b.View(), {0, 0, 6, 6}, look, paint, TsCacheView::None(), {0, 0});
  EXPECT_EQ(b.Pixel(0, 0), Grey(255));  // border pixel whose mask is 0
  EXPECT_EQ(b.Pixel(3, 3), Grey(0));    // everything else keeps the background
  TsBitmap24 c = Filled(6, 6, Grey(7));
  PaintSectionPixels(c.View(), {1, 1, 7, 6}, look, paint, TsCacheView::None(), {0, 0});
  PaintSectionPixels(c.View(), {-1, 0, 3, 3}, look, paint, TsCacheView::None(), {0, 0});
  PaintSectionPixels(c.View(), {3, 3, 3, 5}, look, paint, TsCacheView::None(), {0, 0});
  EXPECT_TRUE(UntouchedOutside(c, 0, 0, 0, 0, Grey(7)));
}

}  // namespace
