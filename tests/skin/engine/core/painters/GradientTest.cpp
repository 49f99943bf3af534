#include "skin/engine/core/Gradient.h"

#include <gtest/gtest.h>

#include <vector>

#include "PixelTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Green = 0x00FF00;

TEST(FillGradient, TwoRowStopsMeetOnTheSharedRow) {
  TsBitmap24 b(3, 101);
  const std::vector<TsGradientStop> stops{{Red, Blue, 50, 0}, {Blue, Green, 50, 0}};
  FillGradient(b.View(), {0, 0, 3, 101}, stops);
  EXPECT_EQ(b.Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(b.Pixel(2, 50), Rgb(0, 0, 255));  // painted by both stops, the second wins
  EXPECT_EQ(b.Pixel(1, 100), Rgb(0, 255, 0));
  // Row 25 lies halfway from red to blue: 127.5 rounds to the even 128.
  EXPECT_EQ(b.Pixel(0, 25), Rgb(128, 0, 128));
  EXPECT_EQ(b.Pixel(0, 10), Rgb(204, 0, 51));
  for (int y = 0; y < 101; ++y) EXPECT_EQ(b.Pixel(0, y), b.Pixel(2, y)) << y;
}

TEST(FillGradient, LastStopRunsToTheEndAndSharesAreCut) {
  TsBitmap24 b(1, 11);
  const std::vector<TsGradientStop> one{{0x000000, 0xFFFFFF, 10, 0}};
  FillGradient(b.View(), {0, 0, 1, 11}, one);
  EXPECT_EQ(b.Pixel(0, 0), Grey(0));
  EXPECT_EQ(b.Pixel(0, 5), Grey(128));  // 127.5 to even
  EXPECT_EQ(b.Pixel(0, 10), Grey(255));

  // Shares beyond the end: the first stop is cut at the last row and leaves the second no rows.
  const std::vector<TsGradientStop> over{{0x000000, 0xFFFFFF, 100, 0}, {0x0000FF, 0x0000FF, 100, 0}};
  FillGradient(b.View(), {0, 0, 1, 11}, over);
  EXPECT_EQ(b.Pixel(0, 9), Grey(230));  // 229.5 to even
  EXPECT_EQ(b.Pixel(0, 10), Grey(255));
}

TEST(FillGradient, ColumnsModeComesFromTheFirstStop) {
  TsBitmap24 b(5, 2);
  const std::vector<TsGradientStop> stops{{0x000000, 0x646464, 100, 1}, {0, 0, 0, 0}};
  FillGradient(b.View(), {0, 0, 5, 2}, stops);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(b.Pixel(0, y), Grey(0));
    EXPECT_EQ(b.Pixel(1, y), Grey(25));
    EXPECT_EQ(b.Pixel(4, y), Grey(100));
  }
  // Mode 1 in a later stop does not switch a rows gradient to columns.
  TsBitmap24 c(2, 3);
  const std::vector<TsGradientStop> rows{{0x000000, 0xC8C8C8, 100, 0}, {0, 0, 0, 1}};
  FillGradient(c.View(), {0, 0, 2, 3}, rows);
  EXPECT_EQ(c.Pixel(0, 1), c.Pixel(1, 1));
  EXPECT_EQ(c.Pixel(0, 1), Grey(100));
}

TEST(FillGradient, PaintsNothingWithoutStopsOrWithAnUnknownMode) {
  TsBitmap24 b = Filled(4, 4, Grey(7));
  FillGradient(b.View(), {0, 0, 4, 4}, {});
  const std::vector<TsGradientStop> odd{{Red, Blue, 50, 2}};
  FillGradient(b.View(), {0, 0, 4, 4}, odd);
  EXPECT_TRUE(UntouchedOutside(b, 0, 0, 0, 0, Grey(7)));
}

TEST(FillGradient, IsCutToTheBitmap) {
  TsBitmap24 b = Filled(6, 6, Grey(7));
  const std::vector<TsGradientStop> stops{{0x000000, 0xFFFFFF, 100, 0}};
  FillGradient(b.View(), {2, -100, 4, 3}, stops);  // runs over rows 0..2 of the bitmap
  EXPECT_EQ(b.Pixel(2, 0), Grey(0));
  EXPECT_EQ(b.Pixel(3, 2), Grey(255));
  EXPECT_TRUE(UntouchedOutside(b, 2, 0, 4, 3, Grey(7)));
  FillGradient(b.View(), {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, stops);
  EXPECT_EQ(b.Pixel(5, 5), Grey(255));
  FillGradient(b.View(), {10, 10, 20, 20}, stops);
  FillGradient(b.View(), {4, 4, 2, 2}, stops);
}

}  // namespace
