#include "skin/engine/core/SectionPainting.h"

#include <gtest/gtest.h>

#include <memory>

#include "PixelTestSupport.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

std::shared_ptr<const TsPixmap> Pixmap(int w, int h, TColor c) {
  auto p = std::make_shared<TsPixmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p->SetPixel(x, y, c);
  return p;
}

// A skin of one section "BUTTON" (red, hot green) with an own-bitmap border whose image is white
// in the top-left corner pixel only (mask 0 there, 255 elsewhere), and a blue 1 x 1 "PATTERN".
class SectionPaintingTest : public ::testing::Test {
protected:
  void SetUp() override {
    TsSkinTables t;
    TsSectionData s;
    s.SectionName = "BUTTON";
    s.Color = 0x0000FF;
    s.HotColor = 0x00FF00;
    t.Sections.push_back(s);
    auto border = std::make_shared<TsPixmap>(18, 12);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 18; ++x) border->SetPixel(x, y, y < 6 ? 0xFFFFFF : (x == 0 && y == 6 ? 0 : 0xFFFFFF));
    t.Masks.push_back({border, "BUTTON", "BORDERSMASK", {}, 1, 0, 0});
    t.Masks.push_back({Pixmap(1, 1, 0xFF0000), "BUTTON", "PATTERN", {}, 1, 0, 0});
    t.Patterns.push_back({Pixmap(2, 2, 0x00FFFF), "BUTTON", "HOTPATTERN"});
    Skin.InstallTables(std::move(t));
    SkinData().Active = true;
  }
  void TearDown() override { SkinData().Active = false; }
  TsActiveSkin Skin;
  TsBitmap24 Bmp = Filled(6, 6, Grey(7));
  TsSkinColors Colors;
};

TEST_F(SectionPaintingTest, PaintsTheBackgroundAndTheBorderOfTheStatesColour) {
  PaintSectionByIndex(Skin, Bmp.View(), 0, TsCacheView::None(), {0, 0}, {0, 0, 6, 6}, TsSkinState::Normal,
                      true, Colors);
  EXPECT_EQ(Bmp.Pixel(0, 0), Grey(255));
  EXPECT_EQ(Bmp.Pixel(3, 3), Rgb(255, 0, 0));  // the centre's mask keeps the background exactly
  PaintSectionByIndex(Skin, Bmp.View(), 0, TsCacheView::None(), {0, 0}, {0, 0, 6, 6}, TsSkinState::Hot, true,
                      Colors);
  EXPECT_EQ(Bmp.Pixel(3, 3), Rgb(0, 255, 0));
}

TEST_F(SectionPaintingTest, InvalidIndexesAndOutsideRectanglesPaintNothing) {
  PaintSectionByIndex(Skin, Bmp.View(), 1, TsCacheView::None(), {0, 0}, {0, 0, 6, 6}, TsSkinState::Normal,
                      true, Colors);
  PaintSectionByIndex(Skin, Bmp.View(), 0, TsCacheView::None(), {0, 0}, {1, 1, 7, 6}, TsSkinState::Normal,
                      true, Colors);
  PaintSectionByIndex(Skin, Bmp.View(), -1, TsCacheView::None(), {0, 0}, {0, 0, 6, 6}, TsSkinState::Normal,
                      true, Colors);
  PaintSectionWithMask(Skin, Bmp.View(), 0, 99, 99, {0, 0}, {-1, 0, 2, 2}, TsSkinState::Normal, true,
                       TsCacheView::None(), 99, Colors);
  EXPECT_TRUE(UntouchedOutside(Bmp, 0, 0, 0, 0, Grey(7)));
}

TEST_F(SectionPaintingTest, MasterRoadSkipsOwnBitmapBorders) {
  PaintSectionByIndexMaster(Skin, Bmp.View(), 0, TsCacheView::None(), {0, 0}, {0, 0, 6, 6},
                            TsSkinState::Normal, true, Colors);
  EXPECT_EQ(Bmp.Pixel(0, 0), Rgb(255, 0, 0));
}

TEST_F(SectionPaintingTest, ImagesComeFromMasksThenFromJpegPatterns) {
  Skin.SkinSectionData[0].ImagePercent = 100;
  Skin.SkinSectionData[0].HotImagePercent = 100;
  PaintBackgroundByIndex(Skin, Bmp.View(), 0, TsCacheView::None(), {0, 0}, {0, 0, 6, 6}, TsSkinState::Normal,
                         Colors);
  EXPECT_TRUE(UntouchedOutside(Bmp, 0, 0, 0, 0, Rgb(0, 0, 255)));
  PaintBackgroundByIndex(Skin, Bmp.View(), 0, TsCacheView::None(), {0, 0}, {0, 0, 6, 6}, TsSkinState::Hot,
                         Colors);
  EXPECT_TRUE(UntouchedOutside(Bmp, 0, 0, 0, 0, Rgb(255, 255, 0)));
  // By index: a hot image index that is not valid falls back to the colour, never to stale pixels.
  PaintBackgroundWithIndexes(Skin, Bmp.View(), 0, 1, -1, {0, 0}, {0, 0, 6, 6}, TsSkinState::Hot,
                             TsCacheView::None(), Colors);
  EXPECT_TRUE(UntouchedOutside(Bmp, 0, 0, 0, 0, Rgb(0, 255, 0)));
}

TEST_F(SectionPaintingTest, ControlsCustomColourReplacesTheSections) {
  PaintControlSection(Skin, Bmp.View(), 0, -1, 0x808080, TsCacheView::None(), true, {0, 0}, {0, 0, 6, 6},
                      TsSkinState::Normal, Colors);
  EXPECT_EQ(Bmp.Pixel(5, 5), Grey(128));
  PaintControlSection(Skin, Bmp.View(), 0, -1, SkinKeyColor, TsCacheView::None(), true, {0, 0}, {0, 0, 6, 6},
                      TsSkinState::Normal, Colors);
  EXPECT_EQ(Bmp.Pixel(5, 5), Rgb(255, 0, 0));
}

TEST_F(SectionPaintingTest, TransparentSectionShowsItsParentThroughTheOffset) {
  Skin.SkinSectionData[0].Transparency = 100;
  TsBitmap24 parent = Filled(20, 20, Grey(50));
  parent.SetPixel(14, 16, Grey(60));  // lands at (2, 3): cache origin (2, 3) plus the offset (10, 10)
  PaintSectionByIndex(Skin, Bmp.View(), 0, {parent.View(), 2, 3, true}, {10, 10}, {0, 0, 6, 6},
                      TsSkinState::Normal, false, Colors);
  EXPECT_EQ(Bmp.Pixel(3, 3), Grey(50));   // the open centre shows the parent
  EXPECT_EQ(Bmp.Pixel(2, 3), Grey(60));
  EXPECT_EQ(Bmp.Pixel(0, 0), Grey(254));  // the corner's image pixel by the 255 rule
  EXPECT_EQ(Bmp.Pixel(0, 1), Grey(49));   // corner mask 255 over the parent's pixel
}

// Two skins painted side by side: each painting takes the section, its colours and its border from
// the skin it is given, and the program's own skin is never read nor filled.
TEST_F(SectionPaintingTest, EachSkinPaintsFromItsOwnTables) {
  TsSkinTables t;
  TsSectionData s;
  s.SectionName = "BUTTON";
  s.Color = 0xFF0000;
  t.Sections.push_back(s);
  TsActiveSkin other;
  other.InstallTables(std::move(t));
  TsBitmap24 second = Filled(6, 6, Grey(7));
  PaintSectionByIndex(Skin, Bmp.View(), 0, TsCacheView::None(), {0, 0}, {0, 0, 6, 6}, TsSkinState::Normal,
                      true, Colors);
  PaintSectionByIndex(other, second.View(), 0, TsCacheView::None(), {0, 0}, {0, 0, 6, 6}, TsSkinState::Normal,
                      true, Colors);
  EXPECT_EQ(Bmp.Pixel(3, 3), Rgb(255, 0, 0));
  EXPECT_EQ(Bmp.Pixel(0, 0), Grey(255));                              // this skin's border
  EXPECT_TRUE(UntouchedOutside(second, 0, 0, 0, 0, Rgb(0, 0, 255)));  // no border: all colour
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
  EXPECT_TRUE(ActiveSkin().SkinMaskData.empty());
}

}  // namespace
