#include <gtest/gtest.h>

#include <vector>

#include "skin/engine/core/TsBitmap24.h"
#include "skin/windows/core/TsHintComposer.h"
#include "skin/windows/core/TsHintLook.h"
#include "skin/windows/core/TsHintShape.h"

namespace {

TsHintLook LookOf(TsHintStyle style) {
  TsHintLook look;
  look.Style = style;
  return look;
}

TEST(HintSize, PerStyleWithTheMinimumForRoundShapes) {
  TsHintLook look = LookOf(TsHintStyle::hsSimply);
  look.ShadowEnabled = true;
  look.ShadowOffset = 8;
  // Width += shadow + 2 x (MarginH + BevelWidth); height likewise with MarginV.
  EXPECT_EQ(CalcHintSize(look, 20, 13), (TsHintSize{20 + 8 + 32, 13 + 8 + 22, 0, 0}));
  look.Style = TsHintStyle::hsComics;  // plus ExOffset below or above for the tail
  EXPECT_EQ(CalcHintSize(look, 20, 13), (TsHintSize{60, 43 + 32, 0, 0}));
  // The ellipse: a text narrower than 50 counts as 50, and the shape grows to hold the rectangle's
  // corners: w = 82, h = 67, d = sqrt(82² + 67²) - 82 = 23.89, extras round(w d / h), round(h d / w).
  look = LookOf(TsHintStyle::hsEllipse);
  EXPECT_EQ(CalcHintSize(look, 20, 13), (TsHintSize{82 + 29, 67 + 20, 29, 20}));
  look.Style = TsHintStyle::hsBalloon;
  EXPECT_EQ(CalcHintSize(look, 49, 13), CalcHintSize(look, 0, 13));
  EXPECT_NE(CalcHintSize(look, 51, 13), CalcHintSize(look, 50, 13));
  // Zero margins, no border, no tail room and no text: no extent to divide by, and no extras.
  look.MarginV = 0;
  look.BevelWidth = 0;
  look.ExOffset = 0;
  EXPECT_EQ(CalcHintSize(look, 0, 0), (TsHintSize{50 + 30, 0, 0, 0}));
  // Huge margins saturate instead of wrapping.
  look.MarginH = INT32_MAX;
  EXPECT_GT(CalcHintSize(look, 10, 10).Width, 0);
}

TEST(HintPlacement, FlipsAtEachCornerOfTheDesktop) {
  const TsRect desktop{0, 0, 1280, 1024};
  struct TCase {
    TsPoint Origin;
    int Flip;
    TsRect Bounds;
  } cases[] = {
      {{100, 100}, 0, {100, 100, 200, 150}},
      {{100, 1000}, 1, {100, 950, 200, 1000}},
      {{1250, 100}, 2, {1150, 100, 1250, 150}},
      {{1270, 1010}, 3, {1170, 960, 1270, 1010}},
  };
  for (const TCase& c : cases) {
    const TsHintPlacement p = PlaceHint(c.Origin, 100, 50, desktop);
    EXPECT_EQ(p.Flip, c.Flip) << c.Origin.X << "," << c.Origin.Y;
    EXPECT_EQ(p.Bounds, c.Bounds) << c.Origin.X << "," << c.Origin.Y;
  }
  // A hint taller than the room above stays below; the edges are origin + extent of a desktop that
  // starts left of the primary monitor.
  EXPECT_EQ(PlaceHint({100, 30}, 100, 2000, desktop).Flip, 0);
  EXPECT_EQ(PlaceHint({1200, 100}, 100, 50, TsRect{-1280, 0, 1280, 1024}).Flip, 2);
  EXPECT_EQ(PlaceHint({-100, -50}, 100, 50, TsRect{-1280, -100, 1280, 1024}).Flip, 0);
  EXPECT_EQ(HintOrigin(TsHintStyle::hsSimply, {5, 7}).Y, 23);
  EXPECT_EQ(HintOrigin(TsHintStyle::hsBalloon, {5, 7}).Y, 7);
}

TEST(HintMask, LayerLevelsForBlurAndTransparency) {
  struct TCase {
    int Transparency, Blur;
    std::vector<int> Levels;  // outermost first
  } cases[] = {
      {0, 0, {0}},          {0, 1, {128, 0}},           {0, 3, {191, 128, 64, 0}},
      {50, 0, {127}},       {50, 1, {191, 127}},        {50, 3, {223, 191, 159, 127}},
      {100, 0, {255}},      {100, 1, {255, 255}},       {100, 3, {255, 255, 255, 255}},
  };
  for (const TCase& c : cases)
    for (int i = 0; i <= c.Blur; ++i)
      EXPECT_EQ(HintMaskLevel(c.Transparency, c.Blur, i), c.Levels[size_t(i)])
          << "T " << c.Transparency << " blur " << c.Blur << " layer " << i;
  // Painted: layer i of a plain rectangle is the ring i pixels in.
  TsHintLook look = LookOf(TsHintStyle::hsSimply);
  TsHintShape shape(look, 12, 10, 0);
  TsBitmap24 mask(12, 10);
  shape.PaintMask(mask.View(), 50, 3);
  EXPECT_EQ(mask.Pixel(0, 0).B, 223);
  EXPECT_EQ(mask.Pixel(1, 5).B, 191);
  EXPECT_EQ(mask.Pixel(10, 8).B, 191);
  EXPECT_EQ(mask.Pixel(2, 2).B, 159);
  EXPECT_EQ(mask.Pixel(5, 5).B, 127);
}

TEST(HintMask, BorderFollowsTheMaskEdge) {
  // A 3 x 3 inside block in the middle, and a column at the right edge of the bitmap.
  TsBitmap24 mask(5, 5), body(5, 5);
  mask.Fill({255, 255, 255});
  for (int y = 1; y <= 3; ++y)
    for (int x = 1; x <= 3; ++x) mask.SetPixel(x, y, {0, 0, 0});
  const TsBgr top{1, 1, 1}, bottom{2, 2, 2}, none{0, 0, 0};
  PaintMaskEdge(body.View(), mask.View(), top.ToColor(), bottom.ToColor());
  const char* expected[] = {".....", ".TTT.", ".T.B.", ".TBB.", "....."};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      const char c = expected[y][x];
      EXPECT_EQ(body.Pixel(x, y), c == 'T' ? top : c == 'B' ? bottom : none) << x << "," << y;
    }
  // Inside pixels on the bitmap's last column and row are edge pixels too.
  mask.Fill({0, 0, 0});
  body.Fill(none);
  PaintMaskEdge(body.View(), mask.View(), top.ToColor(), bottom.ToColor());
  EXPECT_EQ(body.Pixel(4, 2), bottom);
  EXPECT_EQ(body.Pixel(2, 4), bottom);
  EXPECT_EQ(body.Pixel(0, 4), top);
  EXPECT_EQ(body.Pixel(2, 2), none);
}

TEST(HintPredefinitions, TableAndCustom) {
  TsHintLook look;
  EXPECT_TRUE(ApplyHintPredefinition(look, TsHintsPredefinitions::shTransparent));
  TsHintLook expected;
  expected.Style = TsHintStyle::hsSimply;
  expected.BevelWidth = 0;
  expected.MarginH = 24;
  expected.MarginV = 20;
  expected.MaxWidth = 240;
  expected.Blur = 15;
  expected.Color = 11992314;
  expected.Transparency = 15;
  expected.ColorBorderTop = 0xFFFFFF;
  expected.ColorBorderBottom = 32896;
  expected.ShadowBlur = 30;
  expected.ShadowOffset = 15;
  expected.ShadowTransparency = 70;
  expected.ShadowEnabled = true;
  expected.Bevel = 1;
  expected.GradientPercent = 100;
  EXPECT_EQ(look, expected);
  // Kept columns stay; the others follow the look.
  look.Radius = 7;
  ApplyHintPredefinition(look, TsHintsPredefinitions::shEllipse);
  EXPECT_EQ(look.Radius, 7);
  EXPECT_EQ(look.ExOffset, 26);
  EXPECT_EQ(look.Style, TsHintStyle::hsEllipse);
  ApplyHintPredefinition(look, TsHintsPredefinitions::shComicsGradient);
  EXPECT_EQ(look.Radius, 25);
  EXPECT_EQ(look.ColorBorderBottom, 8388608);
  ApplyHintPredefinition(look, TsHintsPredefinitions::shSimply);
  EXPECT_EQ(look.Color, HintInfoBkColor);
  // Standard and none set only the style; custom keeps every value.
  TsHintLook custom = look;
  custom.Radius = 3;
  custom.Blur = 9;
  custom.GradientData = "1;2;3;0;0";
  custom.ShadowEnabled = false;
  TsHintLook kept = custom;
  EXPECT_FALSE(ApplyHintPredefinition(kept, TsHintsPredefinitions::shCustom));
  EXPECT_EQ(kept, custom);
  EXPECT_FALSE(ApplyHintPredefinition(kept, TsHintsPredefinitions::shStandard));
  custom.Style = TsHintStyle::hsStandard;
  EXPECT_EQ(kept, custom);
}

// A hint composed over a solid screen.
struct TComposed {
  TsBitmap24 Screen, Work, Body, Mask;
};
TComposed Compose(const TsHintLook& look, int w, int h, int flip) {
  TComposed c{TsBitmap24(w, h), TsBitmap24(w, h), TsBitmap24(w, h), TsBitmap24(w, h)};
  c.Screen.Fill({10, 200, 30});
  TsHintShape shape(look, w, h, flip);
  TsHintComposer composer(look, shape, look.Color);
  c.Work = TsBitmap24::CopyOf(c.Screen.View());
  composer.PaintShadow(c.Work.View());
  c.Body = TsBitmap24::CopyOf(c.Work.View());
  composer.PaintBackground(c.Body.View(), c.Screen.View(), {});
  composer.PaintMask(c.Mask.View());
  composer.PaintBorder(c.Body.View(), c.Mask.View());
  TsHintComposer::LayThroughMask(c.Work.View(), c.Body.View(), c.Mask.View());
  return c;
}

TEST(HintCompose, ShapesKeepTheScreenOutsideAndShowTheBodyInside) {
  for (TsHintStyle style : {TsHintStyle::hsSimply, TsHintStyle::hsComics, TsHintStyle::hsEllipse, TsHintStyle::hsBalloon}) {
    TsHintLook look = LookOf(style);
    look.Color = 0x0000FF;
    look.BevelWidth = 0;
    look.Blur = 0;
    for (int flip = 0; flip < 4; ++flip) {
      const TComposed c = Compose(look, 120, 90, flip);
      const TsHintShape shape(look, 120, 90, flip);
      // The body's centre is the body colour; a corner away from the tail is the screen.
      const TsRect b = shape.Body();
      EXPECT_EQ(c.Work.Pixel((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2), (TsBgr{0, 0, 255}));
      const int farX = (flip & 2) ? 0 : 119, farY = (flip & 1) ? 0 : 89;
      if (style != TsHintStyle::hsSimply) {
        EXPECT_EQ(c.Work.Pixel(farX, farY), (TsBgr{10, 200, 30})) << int(style) << " flip " << flip;
      }
      // The tail reaches the flip corner (the plain rectangle covers it anyway).
      const TsPoint corner = shape.Corner();
      EXPECT_EQ(c.Mask.Pixel(corner.X, corner.Y).B, 0) << int(style) << " flip " << flip;
    }
  }
}

TEST(HintCompose, TheProgramsLookIsTranslucentWithAShadow) {
  TsHintLook look;
  ApplyHintPredefinition(look, TsHintsPredefinitions::shTransparent);
  const TComposed c = Compose(look, 200, 80, 0);
  // Far inside, the body colour with some screen showing; the shadow darkens below-right only.
  const TsBgr inside = c.Work.Pixel(90, 30), body = TsBgr::FromColor(look.Color);
  EXPECT_NE(inside, body);
  EXPECT_LT(std::abs(int(inside.R) - int(body.R)), 80);
  EXPECT_LT(c.Work.Pixel(195, 75).G, 200);
  EXPECT_EQ(c.Work.Pixel(199, 0), (TsBgr{10, 200, 30}));
  EXPECT_EQ(c.Work.Pixel(0, 79), (TsBgr{10, 200, 30}));
}

}  // namespace
