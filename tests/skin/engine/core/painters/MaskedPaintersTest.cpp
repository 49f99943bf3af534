#include "skin/engine/core/MaskedPainters.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "PixelTestSupport.h"
#include "skin/engine/core/NinePartLayout.h"

namespace {

// A pixel that names its own source position.
TsBgr At(int x, int y) { return Rgb(uint8_t(x), uint8_t(y), 77); }

// An own bitmap of `frames` frames of w x h: image pixels name their position, the mask half is m.
TsBitmap24 OwnBitmap(int width, int imageHeight, uint8_t m) {
  TsBitmap24 b(width, imageHeight * 2);
  for (int y = 0; y < imageHeight; ++y)
    for (int x = 0; x < width; ++x) {
      b.SetPixel(x, y, At(x, y));
      b.SetPixel(x, y + imageHeight, Grey(m));
    }
  return b;
}

TsMaskImage OwnMask(const TsBitmap24& b) {
  TsMaskImage m;
  m.Own = b.View();
  return m;
}

TEST(PaintMaskedGlyph, AppliesTheMaskedPixelRuleAsWritten) {
  TsBitmap24 own = OwnBitmap(6, 2, 0);  // three frames of 2 x 2
  own.SetPixel(2 + 1, 2 + 1, Grey(255));  // frame 1, pixel (1,1): mask keeps the background
  own.SetPixel(2, 1, Key);                // frame 1, pixel (0,1): key colour, not drawn
  own.SetPixel(3, 0, Rgb(254, 0, 255));   // almost the key colour: drawn
  TsBitmap24 d = Filled(4, 4, Grey(200));
  PaintMaskedGlyph(d.View(), {1, 1}, TsSkinState::Hot, OwnMask(own), TsGlyphShade::Normal);
  EXPECT_EQ(d.Pixel(1, 1), Rgb(1, 0, 76));      // mask 0: s * 255 >> 8, 255 would give 254
  EXPECT_EQ(d.Pixel(2, 1), Rgb(253, 0, 254));
  EXPECT_EQ(d.Pixel(1, 2), Grey(200));          // key pixel leaves the background
  EXPECT_EQ(d.Pixel(2, 2), Grey(199));          // mask 255: d * 255 >> 8
  EXPECT_TRUE(UntouchedOutside(d, 1, 1, 3, 3, Grey(200)));
}

TEST(PaintMaskedGlyph, PaleModeRaisesTheMask) {
  TsBitmap24 own = OwnBitmap(3, 1, 200);
  TsBitmap24 d = Filled(1, 1, Grey(100));
  PaintMaskedGlyph(d.View(), {0, 0}, TsSkinState::Normal, OwnMask(own), TsGlyphShade::Pale);
  EXPECT_EQ(d.Pixel(0, 0), Grey(99));  // mask 200 + 100 capped at 255: only the background
  TsBitmap24 e = Filled(1, 1, Grey(100));
  PaintMaskedGlyph(e.View(), {0, 0}, TsSkinState::Normal, OwnMask(own), TsGlyphShade::Normal);
  EXPECT_EQ(e.Pixel(0, 0), Rgb(78, 78, 94));  // (s * 255 + (100 - s) * 200) >> 8
}

TEST(PaintMaskedGlyph, ClampsFramesAndClipsEverySide) {
  const TsBitmap24 own = OwnBitmap(6, 2, 0);
  TsBitmap24 d = Filled(3, 3, Grey(200));
  PaintMaskedGlyph(d.View(), {-1, -1}, TsSkinState(99), OwnMask(own),
                   TsGlyphShade::Normal);                   // frame clamped to 2, cut at the top left
  EXPECT_EQ(d.Pixel(0, 0), Rgb(4, 0, 76));                  // source (5, 1)
  EXPECT_TRUE(UntouchedOutside(d, 0, 0, 1, 1, Grey(200)));
  PaintMaskedGlyph(d.View(), {2, 2}, TsSkinState(-5), OwnMask(own),
                   TsGlyphShade::Normal);  // frame 0, cut at the bottom right
  EXPECT_EQ(d.Pixel(2, 2), Rgb(0, 0, 76));
  PaintMaskedGlyph(d.View(), {INT32_MAX - 1, INT32_MIN}, TsSkinState::Normal, OwnMask(own),
                   TsGlyphShade::Normal);
  const TsBitmap24 tiny = OwnBitmap(2, 1, 0);  // narrower than three frames: nothing
  PaintMaskedGlyph(d.View(), {0, 0}, TsSkinState::Normal, OwnMask(tiny), TsGlyphShade::Normal);
  EXPECT_EQ(d.Pixel(1, 1), Grey(200));
}

TEST(PaintMaskedGlyph, MasterCutsWithAndWithoutMaskHalf) {
  // Two frames of 2 x 1 with a mask row under them, at (1, 1) of the master bitmap.
  TsBitmap24 master = Filled(6, 4, Grey(9));
  master.SetPixel(3, 1, Rgb(40, 50, 60));
  master.SetPixel(4, 1, Key);
  master.SetPixel(3, 2, Grey(0));
  master.SetPixel(4, 2, Grey(0));
  TsMaskImage m;
  m.Master = master.View();
  m.R = {1, 1, 5, 3};
  m.ImageCount = 2;
  m.MaskType = 1;
  TsBitmap24 d = Filled(2, 1, Grey(100));
  PaintMaskedGlyph(d.View(), {0, 0}, TsSkinState(5), m, TsGlyphShade::Normal);  // clamped to frame 1
  EXPECT_EQ(d.Pixel(0, 0), Rgb(39, 49, 59));
  EXPECT_EQ(d.Pixel(1, 0), Grey(100));

  // Without a mask half: mode 1 copies (key pixels take the fill colour), other modes blend half.
  m.MaskType = 0;
  m.R = {3, 1, 5, 2};
  m.ImageCount = 1;
  PaintMaskedGlyph(d.View(), {0, 0}, TsSkinState::Normal, m, TsGlyphShade::Normal, 0x00FF00);
  EXPECT_EQ(d.Pixel(0, 0), Rgb(40, 50, 60));
  EXPECT_EQ(d.Pixel(1, 0), Rgb(0, 255, 0));
  TsBitmap24 e = Filled(2, 1, Grey(100));
  PaintMaskedGlyph(e.View(), {0, 0}, TsSkinState::Normal, m, TsGlyphShade::Pale);
  EXPECT_EQ(e.Pixel(0, 0), Rgb(70, 75, 80));
  EXPECT_EQ(e.Pixel(1, 0), Grey(100));

  m.ImageCount = 0;  // no frames: nothing
  PaintMaskedGlyph(e.View(), {0, 0}, TsSkinState::Normal, m, TsGlyphShade::Normal);
  EXPECT_EQ(e.Pixel(0, 0), Rgb(70, 75, 80));
}

TEST(PaintMaskedGlyph, HostileCutsNeverReadOutsideTheMaster) {
  const TsBitmap24 master = Filled(4, 4, Grey(9));
  TsBitmap24 d = Filled(8, 8, Grey(100));
  const TsRect cuts[] = {{-100, -100, 100, 100}, {3, 3, 400, 9}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
                         {2, 2, 1, 1}, {0, 3, 4, 1000000}};
  for (const TsRect& r : cuts)
    for (int type : {0, 1, 7})
      for (int count : {1, 3, 32767}) {
        TsMaskImage m;
        m.Master = master.View();
        m.R = r;
        m.ImageCount = count;
        m.MaskType = type;
        for (int state : {-1, 0, 2, 40000}) {
          PaintMaskedGlyph(d.View(), {-3, 5}, TsSkinState(state), m, TsGlyphShade::Normal);
          PaintMaskedGlyph(d.View(), {2, 2}, TsSkinState(state), m, TsGlyphShade::Pale);
          PaintNinePartImage(d.View(), {-2, -2, 9, 9}, true, TsSkinState(state), m, TsCacheView::None());
        }
      }
}

TEST(NinePartCorners, SmallTargetsSplitInHalves) {
  EXPECT_EQ(NinePartCorners(10, 20, 8, 8, 0).Left, 5);
  EXPECT_EQ(NinePartCorners(10, 20, 8, 8, 0).Right, 5);
  EXPECT_EQ(NinePartCorners(11, 20, 8, 8, 0).Left, 5);
  EXPECT_EQ(NinePartCorners(11, 20, 8, 8, 0).Right, 6);
  EXPECT_EQ(NinePartCorners(11, 20, 8, 8, 0).Top, 8);
  const TsCornerSizes capped = NinePartCorners(40, 40, 8, 8, 3);
  EXPECT_EQ(capped.Left, 3);
  EXPECT_EQ(capped.Right, 3);
}

class NinePartOwn : public ::testing::Test {
protected:
  // Three frames of 3 x 3 parts of 2 x 2 pixels, mask 0 everywhere: every painted pixel names its source.
  TsBitmap24 Own = OwnBitmap(18, 6, 0);
  TsBitmap24 Paint(int w, int h, int state, bool centre) {
    TsBitmap24 d = Filled(w, h, Grey(200));
    PaintNinePartImage(d.View(), {0, 0, w, h}, centre, TsSkinState(state), OwnMask(Own), TsCacheView::None());
    return d;
  }
};

TEST_F(NinePartOwn, AboveTheBordersTilesEdgesAndCentre) {
  const TsBitmap24 d = Paint(7, 7, 0, true);
  EXPECT_EQ(d.Pixel(0, 0), At(0, 0));
  EXPECT_EQ(d.Pixel(2, 0), At(2, 0));  // top edge, first tile
  EXPECT_EQ(d.Pixel(4, 0), At(2, 0));  // second tile, cut to one column
  EXPECT_EQ(d.Pixel(5, 0), At(4, 0));  // top-right corner
  EXPECT_EQ(d.Pixel(6, 6), At(5, 5));
  EXPECT_EQ(d.Pixel(0, 4), At(0, 2));  // left edge restarts its tile
  EXPECT_EQ(d.Pixel(6, 4), At(5, 2));  // right edge never reaches into the corner below
  EXPECT_EQ(d.Pixel(6, 5), At(5, 4));
  EXPECT_EQ(d.Pixel(3, 4), At(3, 2));  // centre
  const TsBitmap24 open = Paint(7, 7, 0, false);
  EXPECT_EQ(open.Pixel(3, 3), Grey(200));
  EXPECT_EQ(Paint(7, 7, 1, true).Pixel(0, 0), At(6, 0));
}

TEST_F(NinePartOwn, AtAndBelowTheBordersUsesCornersOnly) {
  const TsBitmap24 at = Paint(4, 4, 0, true);
  EXPECT_EQ(at.Pixel(1, 1), At(1, 1));
  EXPECT_EQ(at.Pixel(2, 1), At(4, 1));
  EXPECT_EQ(at.Pixel(3, 3), At(5, 5));
  const TsBitmap24 below = Paint(3, 3, 0, true);  // corners of 1 and 2, outer parts of the source
  EXPECT_EQ(below.Pixel(0, 0), At(0, 0));
  EXPECT_EQ(below.Pixel(1, 0), At(4, 0));
  EXPECT_EQ(below.Pixel(2, 0), At(5, 0));
  EXPECT_EQ(below.Pixel(0, 1), At(0, 4));
  EXPECT_EQ(below.Pixel(2, 2), At(5, 5));
  const TsBitmap24 line = Paint(1, 5, 0, true);  // narrower than 2: nothing
  EXPECT_TRUE(UntouchedOutside(line, 0, 0, 0, 0, Grey(200)));
}

TEST_F(NinePartOwn, CornersTakeTheParentsPixelsForKeyPixels) {
  Own.SetPixel(0, 0, Key);
  Own.SetPixel(2, 0, Key);  // a key pixel on the top edge has no parent to show: exact rule
  const TsBitmap24 parent = Filled(20, 20, Rgb(5, 6, 7));
  TsBitmap24 d = Filled(6, 6, Grey(200));
  PaintNinePartImage(d.View(), {0, 0, 6, 6}, true, TsSkinState::Normal, OwnMask(Own),
                     {parent.View(), 3, 3, true});
  EXPECT_EQ(d.Pixel(0, 0), Rgb(5, 6, 7));
  EXPECT_EQ(d.Pixel(1, 0), Rgb(0, 0, 76));  // corner pixel by the 255 rule
  EXPECT_EQ(d.Pixel(2, 0), Key);
}

TEST_F(NinePartOwn, TargetsOutsideTheBitmapStayBounded) {
  TsBitmap24 d = Filled(5, 5, Grey(200));
  const TsMaskImage m = OwnMask(Own);
  PaintNinePartImage(d.View(), {-1000000000, -1000000000, 1000000000, 1000000000}, true, TsSkinState::Normal,
                     m, TsCacheView::None());
  EXPECT_EQ(d.Pixel(2, 2), At(2, 2));  // centre tiles counted from the far-away corner
  TsBitmap24 e = Filled(5, 5, Grey(200));
  PaintNinePartImage(e.View(), {3, 3, 9, 9}, true, TsSkinState::Normal, m, TsCacheView::None());
  EXPECT_EQ(e.Pixel(3, 3), At(0, 0));
  EXPECT_TRUE(UntouchedOutside(e, 3, 3, 5, 5, Grey(200)));
}

TEST(NinePartMaster, MaskTypeZeroCopiesAndKeepsAnOpenCentreWithBorderWidth) {
  TsBitmap24 master(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) master.SetPixel(x, y, At(x, y));
  master.SetPixel(0, 0, Key);
  TsMaskImage m;
  m.Master = master.View();
  m.R = {0, 0, 6, 6};
  TsBitmap24 d = Filled(6, 6, Grey(200));
  PaintNinePartImage(d.View(), {0, 0, 6, 6}, true, TsSkinState::Normal, m, TsCacheView::None(), 0x00FF00);
  EXPECT_EQ(d.Pixel(0, 0), Rgb(0, 255, 0));  // key pixel of a corner takes the fill colour
  EXPECT_EQ(d.Pixel(3, 3), At(3, 3));
  m.BorderWidth = 1;
  TsBitmap24 e = Filled(6, 6, Grey(200));
  PaintNinePartImage(e.View(), {0, 0, 6, 6}, true, TsSkinState::Normal, m, TsCacheView::None());
  EXPECT_EQ(e.Pixel(0, 0), Grey(200));  // key pixel, no fill and no parent: stays
  EXPECT_EQ(e.Pixel(1, 0), At(2, 0));   // corners cut to 1, the top edge starts after them
  EXPECT_EQ(e.Pixel(5, 5), At(5, 5));
  EXPECT_EQ(e.Pixel(2, 2), Grey(200));  // centre left open
}

TEST(NinePartMaster, MaskTypeOneAppliesTheMaskHalf) {
  TsBitmap24 master(3, 6);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      master.SetPixel(x, y, At(x, y));
      master.SetPixel(x, y + 3, Grey(0));
    }
  master.SetPixel(1, 4, Grey(255));  // the top of the left edge keeps the background
  TsMaskImage m;
  m.Master = master.View();
  m.R = {0, 0, 3, 6};
  m.MaskType = 1;
  TsBitmap24 d = Filled(4, 4, Grey(200));
  PaintNinePartImage(d.View(), {0, 0, 4, 4}, true, TsSkinState::Normal, m, TsCacheView::None());
  EXPECT_EQ(d.Pixel(0, 0), Rgb(0, 0, 76));
  EXPECT_EQ(d.Pixel(1, 1), Grey(199));
  EXPECT_EQ(d.Pixel(1, 2), Grey(199));
  EXPECT_EQ(d.Pixel(3, 3), Rgb(1, 1, 76));
}

// Master parts of every width up to a few vectors, over random pixels and masks with key pixels
// scattered and in runs, short and long: each pixel is what the rule gives it alone, in each way key
// pixels go (a fill colour, the parent's pixel, left as they were).
TEST(NinePartMaster, EveryPixelOfAPartTakesTheRuleOrItsKeyPixelsWay) {
  std::mt19937 random(7);
  const auto byte = [&] { return uint8_t(random() & 0xFF); };
  for (int width = 1; width <= 40; ++width) {
    const int height = 3;
    TsBitmap24 master(width + 2, height * 2);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width + 2; ++x) {
        // Runs longer than sixteen pixels too, as an open centre has them.
        const bool key = random() % 4 == 0 || (x >= 5 && x < 9 && y == 1) || (y == 2 && x >= 2 && x < 37) ||
                         (y == 0 && x >= 4 && x < 21);
        master.SetPixel(x, y, key ? Key : Rgb(byte(), byte(), byte()));
        master.SetPixel(x, y + height, Rgb(byte(), byte(), byte()));
      }
    TsMaskImage mask;
    mask.Master = master.View();
    mask.R = {0, 0, width + 2, height * 2};
    mask.MaskType = 1;
    TsBitmap24 parent(width + 4, height + 4);
    for (int y = 0; y < height + 4; ++y)
      for (int x = 0; x < width + 4; ++x) parent.SetPixel(x, y, Rgb(byte(), byte(), byte()));
    TsCacheView cache;
    cache.Bitmap = parent.View();
    cache.X = 2;
    cache.Y = 1;
    cache.Valid = true;
    for (int way = 0; way < 3; ++way) {
      SCOPED_TRACE("width " + std::to_string(width) + ", way " + std::to_string(way));
      const TColor fill = way == 0 ? TColor(0x123456) : SkinKeyColor;
      const TsCacheView& under = way == 1 ? cache : TsCacheView::None();
      TsBitmap24 d(width + 1, height + 1);
      for (int y = 0; y < height + 1; ++y)
        for (int x = 0; x < width + 1; ++x) d.SetPixel(x, y, Rgb(byte(), byte(), byte()));
      TsBitmap24 want = TsBitmap24::CopyOf(d.View());
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const TsBgr s = master.Pixel(x + 1, y), m = master.Pixel(x + 1, y + height), below = d.Pixel(x + 1, y + 1);
          TsBgr w = below;
          if (!(s == Key))
            w = {MaskedChannel(s.B, below.B, m.B), MaskedChannel(s.G, below.G, m.G), MaskedChannel(s.R, below.R, m.R)};
          else if (way == 0)
            w = TsBgr::FromColor(fill);
          else if (way == 1)
            w = parent.Pixel(x + 1 + 2, y + 1 + 1);
          want.SetPixel(x + 1, y + 1, w);
        }
      CopyMasterPartMasked(d.View(), RectOfSize(1, 1, width, height), RectOfSize(1, 0, width, height), mask, under,
                           fill);
      for (int y = 0; y < height + 1; ++y)
        for (int x = 0; x < width + 1; ++x) ASSERT_EQ(d.Pixel(x, y), want.Pixel(x, y)) << x << "," << y;
    }
  }
}

}  // namespace

