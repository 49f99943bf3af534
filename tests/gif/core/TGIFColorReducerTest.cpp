#include <gtest/gtest.h>

#include <random>

#include "GIFTestSupport.h"
#include "gif/core/GIFException.h"
#include "gif/core/TGIFColorReducer.h"
#include "gif/core/TGIFFrameRenderer.h"
#include "gif/core/TGIFGraphicControlExtension.h"
#include "gif/core/TGIFHeader.h"
#include "gif/core/TNetscapeColorLookup.h"

namespace {
// The web level of a channel: the level rises at 48, 99, 150, 201 and 252.
int ReferenceLevel(int value) {
  int level = 0;
  for (int first : {48, 99, 150, 201, 252}) level += value >= first ? 1 : 0;
  return level;
}

uint8_t ReferenceLookup(int red, int green, int blue, TGIFColor& used) {
  const int r = ReferenceLevel(red), g = ReferenceLevel(green), b = ReferenceLevel(blue);
  used = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)};
  return static_cast<uint8_t>(36 * r + 6 * g + b);
}

TBytes RandomImage(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  TBytes bgr(static_cast<size_t>(width) * height * 3);
  for (auto& b : bgr) b = static_cast<uint8_t>(random());
  return bgr;
}

// Straightforward serpentine Floyd-Steinberg over a whole error plane, in 1/16 steps.
TBytes ReferenceDither(const TBytes& bgr, int width, int height) {
  std::vector<int> error(static_cast<size_t>(width) * (height + 1) * 3, 0);
  TBytes out(static_cast<size_t>(width) * height);
  auto at = [&](int x, int y, int c) -> int& { return error[(static_cast<size_t>(y) * width + x) * 3 + c]; };
  for (int y = 0; y < height; ++y) {
    const int step = y % 2 == 0 ? 1 : -1;
    for (int i = 0; i < width; ++i) {
      const int x = step > 0 ? i : width - 1 - i;
      int value[3];
      for (int c = 0; c < 3; ++c)
        value[c] =
            std::clamp(bgr[(static_cast<size_t>(y) * width + x) * 3 + c] + (at(x, y, c) + 8) / 16, 0, 255);
      TGIFColor used;
      out[static_cast<size_t>(y) * width + x] = ReferenceLookup(value[2], value[1], value[0], used);
      const int usedValue[3] = {used.Blue, used.Green, used.Red};
      for (int c = 0; c < 3; ++c) {
        const int d = value[c] - usedValue[c];
        const int ahead = x + step, behind = x - step;
        if (ahead >= 0 && ahead < width) at(ahead, y, c) += 7 * d;
        if (behind >= 0 && behind < width) at(behind, y + 1, c) += 3 * d;
        at(x, y + 1, c) += 5 * d;
        if (ahead >= 0 && ahead < width) at(ahead, y + 1, c) += d;
      }
    }
  }
  return out;
}
}  // namespace

TEST(GIFColorReducer, WebLookupAndPalette) {
  TGIFColor used;
  EXPECT_EQ(TNetscapeColorLookup::Lookup(255, 0, 0, used), 180);
  EXPECT_EQ(used, (TGIFColor{255, 0, 0}));
  EXPECT_EQ(TNetscapeColorLookup::Lookup(50, 50, 50, used), 43);
  EXPECT_EQ(used, (TGIFColor{51, 51, 51}));
  const TGIFColorMap web = TNetscapeColorLookup::WebPalette();
  ASSERT_EQ(web.Count(), 216);
  for (int i = 0; i < 216; ++i) {
    const TGIFColor c = web.Data()[i];
    EXPECT_EQ(TNetscapeColorLookup::Lookup(c.Red, c.Green, c.Blue, used), i);
  }
}

// Every value of each channel, against the reference levels (each side of a step: 47/48, ..., 251/252).
TEST(GIFColorReducer, WebLookupStepsOnEachChannel) {
  for (int v = 0; v < 256; ++v) {
    TGIFColor used, expected;
    const int level = ReferenceLevel(v);
    EXPECT_EQ(TNetscapeColorLookup::Lookup(v, 0, 0, used), 36 * level) << v;
    EXPECT_EQ(used.Red, level * 51) << v;
    EXPECT_EQ(TNetscapeColorLookup::Lookup(0, v, 0, used), 6 * level) << v;
    EXPECT_EQ(TNetscapeColorLookup::Lookup(255 - v, 0, v, used), ReferenceLookup(255 - v, 0, v, expected)) << v;
    EXPECT_EQ(used, expected) << v;
  }
}

TEST(GIFColorReducer, WithoutDitheringEqualColorsGiveEqualWebIndices) {
  const int width = 37, height = 11;
  TBytes bgr = RandomImage(width, height, 1);
  // Repeat one colour all over the last row.
  for (int x = 0; x < width; ++x)
    std::copy(bgr.begin(), bgr.begin() + 3, bgr.begin() + ((height - 1) * width + x) * 3);
  TBytes out(static_cast<size_t>(width) * height);
  TGIFColorReducer::Reduce(bgr.data(), width * 3, width, height, TGIFDither::None, out.data(), width);
  for (size_t i = 0; i < out.size(); ++i) {
    TGIFColor used;
    ASSERT_EQ(out[i], ReferenceLookup(bgr[i * 3 + 2], bgr[i * 3 + 1], bgr[i * 3], used));
  }
  for (int x = 0; x < width; ++x) EXPECT_EQ(out[(height - 1) * width + x], out[0]);
}

TEST(GIFColorReducer, FloydSteinbergMatchesAReferenceInSerpentineOrder) {
  for (auto [width, height] : {std::pair{1, 5}, std::pair{2, 2}, std::pair{67, 41}}) {
    const TBytes bgr = RandomImage(width, height, static_cast<unsigned>(width));
    TBytes out(static_cast<size_t>(width) * height);
    TGIFColorReducer::Reduce(bgr.data(), width * 3, width, height, TGIFDither::FloydSteinberg, out.data(),
                             width);
    EXPECT_TRUE(out == ReferenceDither(bgr, width, height)) << width << "x" << height;
  }
}

TEST(GIFColorReducer, FloydSteinbergKeepsTheAverageOfAFlatArea) {
  const int width = 64, height = 64;
  TBytes bgr(static_cast<size_t>(width) * height * 3, 30);  // between levels 0 and 51
  TBytes out(static_cast<size_t>(width) * height);
  TGIFColorReducer::Reduce(bgr.data(), width * 3, width, height, TGIFDither::FloydSteinberg, out.data(),
                           width);
  const TGIFColorMap web = TNetscapeColorLookup::WebPalette();
  double sum = 0;
  for (uint8_t index : out) sum += web.Data()[index].Red;
  EXPECT_NEAR(sum / out.size(), 30.0, 1.0);
}

TEST(GIFColorReducer, BadSizesAreRefused) {
  uint8_t pixel[3] = {}, index = 0;
  EXPECT_THROW(TGIFColorReducer::Reduce(pixel, 3, 0, 1, TGIFDither::None, &index, 1), GIFException);
  EXPECT_THROW(TGIFColorReducer::Reduce(pixel, 2, 1, 1, TGIFDither::FloydSteinberg, &index, 1), GIFException);
}

TEST(GIFFrameRenderer, RowsPaletteAndMaskOfATransparentFrame) {
  TGIFHeader header;
  header.ColorMap().Add({10, 20, 30});
  header.ColorMap().Add({40, 50, 60});
  TGIFSubImage frame;
  frame.SetSize(17, 2);
  frame.SetPixel(0, 0, 1);
  frame.SetPixel(16, 1, 1);
  frame.SetPixel(9, 0, 200);  // beyond the table
  auto control = std::make_unique<TGIFGraphicControlExtension>();
  control->SetTransparent(true);
  control->SetTransparentIndex(1);
  frame.Extensions().push_back(std::move(control));

  TGIFFrameRenderer renderer;
  renderer.Render(header, frame, TGIFRenderPalette::Own);
  EXPECT_EQ(renderer.PaletteCount(), 2);
  EXPECT_EQ(renderer.Row(0)[0], 1);
  EXPECT_EQ(renderer.Palette()[200], TGIFColor{});
  ASSERT_TRUE(renderer.HasMask());
  EXPECT_EQ(renderer.MaskStride(), 4u);  // 17 bits padded to 32
  EXPECT_EQ(renderer.MaskRow(0)[0], 0x80);
  EXPECT_EQ(renderer.MaskRow(1)[2], 0x80);
  EXPECT_EQ(renderer.MaskRow(1)[0], 0);

  renderer.Render(header, frame, TGIFRenderPalette::Web);
  EXPECT_EQ(renderer.PaletteCount(), 216);
  EXPECT_EQ(renderer.MaskRow(0)[0], 0x80);  // the mask follows the frame's own indices

  // Without any colour table the system's 16 colours stand in.
  TGIFHeader bare;
  frame.Extensions().clear();
  renderer.Render(bare, frame, TGIFRenderPalette::Own);
  EXPECT_EQ(renderer.PaletteCount(), 16);
  EXPECT_FALSE(renderer.HasMask());
  EXPECT_EQ(renderer.Palette()[15], (TGIFColor{255, 255, 255}));
}
