#include <gtest/gtest.h>

#include <vector>

#include "framework/base/ByteOrder.h"
#include "skin/engine/core/ESkinError.h"
#include "skin/engine/core/SkinImageCodecs.h"
#include "tests/framework/base/BmpFile.h"

namespace {

using ByteOrder::AppendLE16;
using ByteOrder::AppendLE32;

using Bytes = std::vector<std::uint8_t>;

Bytes Palette(std::initializer_list<std::uint32_t> rgb) {
  Bytes p;
  for (std::uint32_t c : rgb) AppendLE32(p, c);  // blue, green, red, 0
  return p;
}

TEST(BmpDecoder, RunLengthEncodedBitmaps) {
  // RLE8, 4 x 2, bottom-up: row 0 (bottom) = run of 3 x index 1, then absolute 1 pixel index 2;
  // row 1 = a delta of 2 columns, then run of 2 x index 2; end of bitmap.
  const Bytes rle8 = {3, 1, 0, 3, 2, 0, 0, 0 /*pad*/, 0, 0 /*eol*/, 0, 2, 2, 0 /*delta*/, 2, 2, 0, 1};
  TsPixmap img = DecodeBmp(BmpFile(4, 2, 8, 1, Palette({0x000000, 0xFF0000, 0x00FF00}), rle8));
  EXPECT_EQ(img.Pixel(0, 1), 0x0000FF);  // bottom row, palette $FF0000 (red)
  EXPECT_EQ(img.Pixel(3, 1), 0x00FF00);  // absolute pixel, green
  EXPECT_EQ(img.Pixel(0, 0), 0x000000);  // skipped by the delta: stays black
  EXPECT_EQ(img.Pixel(3, 0), 0x00FF00);

  // RLE4: one run of 4 pixels alternating indexes 1 and 2.
  TsPixmap four = DecodeBmp(BmpFile(4, 1, 4, 2, Palette({0, 0xFF0000, 0x0000FF}), {4, 0x12, 0, 1}));
  EXPECT_EQ(four.Pixel(0, 0), 0x0000FF);
  EXPECT_EQ(four.Pixel(1, 0), 0xFF0000);

  // Runs and deltas pointing outside the image, and an absolute run past the data, are harmless.
  EXPECT_NO_THROW(DecodeBmp(BmpFile(2, 2, 8, 1, Palette({0}), {255, 1, 0, 2, 200, 200, 5, 1})));
  EXPECT_THROW(DecodeBmp(BmpFile(2, 2, 8, 1, Palette({0}), {0, 9, 1, 2})), ESkinImageError);
}

TEST(BmpDecoder, BitFieldsAndDeepPixels) {
  // 16 bits 5-6-5 with explicit masks after the header: one pure red, one pure green pixel.
  Bytes masks;
  AppendLE32(masks, 0xF800);
  AppendLE32(masks, 0x07E0);
  AppendLE32(masks, 0x001F);
  Bytes px;
  AppendLE16(px, 0xF800);
  AppendLE16(px, 0x07E0);
  TsPixmap img = DecodeBmp(BmpFile(2, 1, 16, 3, masks, px));
  EXPECT_EQ(img.Pixel(0, 0), 0x0000FF);
  EXPECT_EQ(img.Pixel(1, 0), 0x00FF00);

  // 32 bits without masks: blue, green, red, unused; top-down (negative height).
  TsPixmap top = DecodeBmp(BmpFile(1, -2, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0}));
  EXPECT_EQ(top.Pixel(0, 0), 0x010203);
  EXPECT_EQ(top.Pixel(0, 1), 0x040506);

  // 1 bit: the high bit is the left pixel.
  TsPixmap mono = DecodeBmp(BmpFile(3, 1, 1, 0, Palette({0x000000, 0xFFFFFF}), {0xA0, 0, 0, 0}));
  EXPECT_EQ(mono.Pixel(0, 0), 0xFFFFFF);
  EXPECT_EQ(mono.Pixel(1, 0), 0x000000);
  EXPECT_EQ(mono.Pixel(2, 0), 0xFFFFFF);
}

TEST(BmpDecoder, UnsupportedKindsAreErrors) {
  EXPECT_THROW(DecodeBmp(BmpFile(1, 1, 24, 4, {}, {0, 0, 0, 0})), ESkinImageError);  // embedded JPEG
  EXPECT_THROW(DecodeBmp(BmpFile(1, 1, 7, 0, {}, {0, 0, 0, 0})), ESkinImageError);
  EXPECT_THROW(DecodeBmp(BmpFile(1, INT32_MIN, 24, 0, {}, {0, 0, 0, 0})), ESkinImageError);
  // No width with an enormous height (or the reverse) is an empty image, decoded at once.
  EXPECT_EQ(DecodeBmp(BmpFile(0, 0x7FFFFFFF, 24, 0, {}, {})).Height(), 0);
  EXPECT_EQ(DecodeBmp(BmpFile(0x7FFFFFFF, 0, 8, 1, Palette({0}), {0, 1})).Width(), 0);
  // Index past a short palette: black, as the platform draws it.
  TsPixmap img = DecodeBmp(BmpFile(1, 1, 8, 0, Palette({0xFFFFFF}), {5, 0, 0, 0}));
  EXPECT_EQ(img.Pixel(0, 0), 0);
}

}  // namespace
