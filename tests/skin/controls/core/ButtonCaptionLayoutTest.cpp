#include <gtest/gtest.h>

#include "skin/controls/core/ButtonCaptionLayout.h"

namespace {

TsButtonLayoutInput Button(TsGlyphPlace place, TsCaptionAlign align = TsCaptionAlign::Center) {
  TsButtonLayoutInput in;
  in.Width = 100;
  in.Height = 24;
  in.GlyphWidth = 16;
  in.GlyphHeight = 16;
  in.TextWidth = 30;
  in.TextHeight = 13;
  in.HasCaption = true;
  in.Place = place;
  in.Align = align;
  return in;
}

bool Overlap(const TsRect& a, const TsRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The caption as drawn, without the pixel of room the rectangle keeps on each side.
TsRect TextOf(const TsButtonLayoutInput& in) {
  const TsRect r = CaptionRect(in);
  return {r.Left + 1, r.Top, r.Right - 2, r.Bottom};
}

TEST(ButtonCaptionLayout, GlyphAndCaptionAreCentredTogetherBesideEachOther) {
  const TsButtonLayoutInput in = Button(TsGlyphPlace::Left);
  // 16 + 4 + 30 = 50 pixels centred in 100: the glyph at 25, the text from 45 to 75.
  EXPECT_EQ(CalcGlyphRect(in), (TsRect{25, 4, 41, 20}));
  EXPECT_EQ(CaptionRect(in), (TsRect{44, 5, 77, 19}));

  TsButtonLayoutInput right = Button(TsGlyphPlace::Right);
  EXPECT_EQ(CaptionRect(right).Left + 1, 25);
  EXPECT_EQ(CalcGlyphRect(right).Left, 59);

  TsButtonLayoutInput top = Button(TsGlyphPlace::Top);
  top.Height = 60;
  const TsRect glyph = CalcGlyphRect(top), text = TextOf(top);
  EXPECT_EQ(glyph.Left, 42);
  EXPECT_EQ(glyph.Bottom + 4, text.Top);
}

TEST(ButtonCaptionLayout, TheGlyphNeverCoversTheCaptionInAnyLayout) {
  for (TsGlyphPlace place : {TsGlyphPlace::Left, TsGlyphPlace::Right, TsGlyphPlace::Top, TsGlyphPlace::Bottom})
    for (int margin : {-1, 0, 2})
      for (int width : {60, 75, 101, 140}) {
        TsButtonLayoutInput in = Button(place);
        in.Width = width;
        in.Height = place == TsGlyphPlace::Top || place == TsGlyphPlace::Bottom ? 50 : 25;
        in.Margin = margin;
        EXPECT_FALSE(Overlap(CalcGlyphRect(in), TextOf(in)))
            << "place " << int(place) << " margin " << margin << " width " << width;
      }
}

TEST(ButtonCaptionLayout, AloneEachIsCentredAndAPressMovesBoth) {
  TsButtonLayoutInput glyphOnly = Button(TsGlyphPlace::Left);
  glyphOnly.HasCaption = false;
  glyphOnly.TextWidth = glyphOnly.TextHeight = 0;
  EXPECT_EQ(CalcGlyphRect(glyphOnly), (TsRect{42, 4, 58, 20}));

  TsButtonLayoutInput textOnly = Button(TsGlyphPlace::Left);
  textOnly.GlyphWidth = textOnly.GlyphHeight = 0;
  EXPECT_TRUE(IsRectEmpty(CalcGlyphRect(textOnly)));
  EXPECT_EQ(TextOf(textOnly).Left, 35);

  TsButtonLayoutInput pressed = Button(TsGlyphPlace::Left);
  pressed.Pressed = true;
  EXPECT_EQ(CalcGlyphRect(pressed), OffsetRect(CalcGlyphRect(Button(TsGlyphPlace::Left)), 1, 1));
  EXPECT_EQ(CaptionRect(pressed), OffsetRect(CaptionRect(Button(TsGlyphPlace::Left)), 1, 1));
}

TEST(ButtonCaptionLayout, TheArrowPartAndTheMarginsAreLeftOut) {
  TsButtonLayoutInput in = Button(TsGlyphPlace::Left);
  in.ArrowWidth = 16;
  // 84 pixels left for the layout: the block of 50 starts at 17.
  EXPECT_EQ(CalcGlyphRect(in).Left, 17);
  EXPECT_EQ(CaptionMeasureWidth(in), 100 - 16 - 16 - 4);

  TsButtonLayoutInput left = Button(TsGlyphPlace::Left, TsCaptionAlign::Left);
  left.Margin = 2;
  EXPECT_EQ(TextOf(left).Left, 16 + 2 + 4);
  EXPECT_EQ(CaptionMeasureWidth(left), 100 - 4 - 16 - 4);

  // A button narrower than its glyph measures its caption in no width, not a negative one.
  TsButtonLayoutInput narrow = Button(TsGlyphPlace::Left);
  narrow.Width = 10;
  EXPECT_EQ(CaptionMeasureWidth(narrow), 0);
  // A negative spacing is no spacing.
  TsButtonLayoutInput tight = Button(TsGlyphPlace::Left);
  tight.Spacing = -1;
  EXPECT_EQ(CalcGlyphRect(tight).Right, TextOf(tight).Left);
}

}  // namespace
