#include <windows.h>

#include <gtest/gtest.h>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TImageList.h"
#include "skin/engine/SkinButtonGlyphs.h"

namespace {

COLORREF At(TBitmap& b, int x, int y) { return GetPixel(b.Canvas()->Handle(), x, y); }

// A 4 x 4 glyph: key colour around a dark red 2 x 2 centre, in the device's own format.
void MakeGlyph(TBitmap& g) {
  g.SetSize(4, 4);
  g.Canvas()->Brush()->SetColor(clFuchsia);
  g.Canvas()->FillRect({0, 0, 4, 4});
  g.Canvas()->Brush()->SetColor(0x00005A);
  g.Canvas()->FillRect({1, 1, 3, 3});
}

TEST(ButtonGlyphsWine, DisabledGreyedGlyphHasNoGreyBoxAndTheGlyphStaysUnchanged) {
  TBitmap glyph;
  MakeGlyph(glyph);
  const TPixelFormat before = glyph.PixelFormat();
  TBitmap cache;
  cache.SetPixelFormat(TPixelFormat::Bit24);
  cache.SetSize(10, 10);
  cache.Canvas()->Brush()->SetColor(0x646464);
  cache.Canvas()->FillRect({0, 0, 10, 10});
  DrawButtonGlyph(ActiveSkin(), &glyph, &cache, {3, 3, 7, 7}, 1, false, false, {true, true}, false, 0);
  EXPECT_EQ(At(cache, 3, 3), RGB(100, 100, 100));  // key pixels leave the button face
  EXPECT_EQ(At(cache, 4, 4), RGB(65, 65, 65));     // grey 30 half over 100
  EXPECT_EQ(glyph.PixelFormat(), before);
  EXPECT_EQ(At(glyph, 1, 1), RGB(0x5A, 0, 0));
}

TEST(ButtonGlyphsWine, ImageListGlyphWithoutDisabledKindRepeatsItsFrame) {
  TImageList* images = NewComponent<TImageList>(nullptr);
  images->SetSize(4, 4);
  TBitmap glyph;
  MakeGlyph(glyph);
  ASSERT_EQ(images->AddMasked(&glyph, clFuchsia), 0);
  TBitmap two;
  int numGlyphs = 1;
  PaintImageListGlyph(nullptr, nullptr, 0, numGlyphs, {false, false}, &two, images);
  EXPECT_EQ(numGlyphs, 2);
  ASSERT_EQ(two.Width(), 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(two, x + 4, y), At(two, x, y)) << x << "," << y;
  EXPECT_EQ(At(two, 1, 1), RGB(0x5A, 0, 0));
  int unchanged = 1;
  PaintImageListGlyph(nullptr, nullptr, 5, unchanged, {}, &two, images);
  EXPECT_EQ(unchanged, 1);
  images->Free();
}

}  // namespace
