#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/windows/core/TsHtmlLayout.h"

namespace {

// Every character is Size pixels wide; "X" is 2 x Size high. Records what is drawn, in which font.
class TFakeCanvas : public TsHtmlCanvas {
public:
  struct TRun {
    int X, Y;
    std::string Text;
    TsHtmlFont Font;
  };
  TsHtmlFont Current;
  std::vector<TRun> Runs;

  TsHtmlFont Font() override { return Current; }
  void SetFont(const TsHtmlFont& font) override { Current = font; }
  int32_t TextWidth(std::string_view text) override { return int32_t(text.size()) * Current.Size; }
  int32_t TextHeight(std::string_view) override { return 2 * Current.Size; }
  void TextOut(int32_t x, int32_t y, std::string_view text) override { Runs.push_back({x, y, std::string(text), Current}); }

  std::string Drawn() const {
    std::string all;
    for (const TRun& r : Runs) all += r.Text;
    return all;
  }
};

struct TLaidOut {
  TsRect Rect;
  TFakeCanvas Canvas;
};

TLaidOut Lay(const std::string& text, TsRect origin = {0, 0, 200, 0}) {
  TLaidOut out;
  TsHtmlLayout layout;
  layout.Init(out.Canvas, text, origin);
  out.Rect = layout.Execute();
  return out;
}

TEST(HtmlLayout, LiteralAndUnclosedAngles) {
  // "<<" between a and b draws a, "<" and b.
  TLaidOut doubled = Lay("a<<b");
  EXPECT_EQ(doubled.Canvas.Drawn(), "a<b");
  EXPECT_EQ(doubled.Rect, (TsRect{0, 0, 24, 16}));
  // A "<" with no ">" after it ends the text there.
  EXPECT_EQ(Lay("abc<def").Canvas.Drawn(), "abc");
  EXPECT_EQ(Lay("abc<def").Rect.Right, 24);
  // Unknown tags are not drawn; typed line breaks are dropped, only tags break lines.
  TLaidOut plain = Lay("one\r\n<x>two");
  EXPECT_EQ(plain.Canvas.Drawn(), "onetwo");
  EXPECT_EQ(plain.Rect, (TsRect{0, 0, 48, 16}));
}

TEST(HtmlLayout, BoldItalicAndLineTagsMatchByPrefix) {
  TLaidOut out = Lay("a<b>b</b><BOLD>c</bold><i>d</I>e<br>f<p>g");
  ASSERT_EQ(out.Canvas.Runs.size(), 7u);
  const auto& r = out.Canvas.Runs;
  EXPECT_FALSE(r[0].Font.Bold);
  EXPECT_TRUE(r[1].Font.Bold);
  EXPECT_TRUE(r[2].Font.Bold);  // BOLD acts as B
  EXPECT_TRUE(r[3].Font.Italic);
  EXPECT_FALSE(r[4].Font.Italic);
  // BR is a new line, not bold; P too. Lines advance by the line height + 2.
  EXPECT_FALSE(r[5].Font.Bold);
  EXPECT_EQ(r[5].X, 0);
  EXPECT_EQ(r[5].Y, 18);
  EXPECT_EQ(r[6].Y, 36);
  EXPECT_EQ(out.Rect, (TsRect{0, 0, 40, 52}));
}

TEST(HtmlLayout, EmptyLinesAddTwoPixels) {
  EXPECT_EQ(Lay("a<br><br>b").Rect.Bottom, 16 + 2 + 2 + 16);
  EXPECT_EQ(Lay("<br>").Rect, (TsRect{0, 0, 0, 2}));
  EXPECT_EQ(Lay("").Rect, (TsRect{0, 0, 0, 0}));
}

TEST(HtmlLayout, FontStackRestoresAndIgnoresUnmatchedClosings) {
  // SIZE +2 around x: x two points larger, y back at the size before.
  TLaidOut sized = Lay("<font size=+2>x</font>y");
  ASSERT_EQ(sized.Canvas.Runs.size(), 2u);
  EXPECT_EQ(sized.Canvas.Runs[0].Font.Size, 10);
  EXPECT_EQ(sized.Canvas.Runs[1].Font.Size, 8);
  EXPECT_EQ(sized.Canvas.Runs[1].X, 10);
  EXPECT_EQ(sized.Rect, (TsRect{0, 0, 18, 20}));
  // A closing FONT with no opening one changes nothing.
  TLaidOut unmatched = Lay("<font color=red>a</font></font>b");
  EXPECT_EQ(unmatched.Canvas.Runs[1].Font, TsHtmlFont{});
  // Nested tags unwind in order.
  TLaidOut nested = Lay("<font size=\"20\"><font size=-4>a</font>b</font>c");
  EXPECT_EQ(nested.Canvas.Runs[0].Font.Size, 16);
  EXPECT_EQ(nested.Canvas.Runs[1].Font.Size, 20);
  EXPECT_EQ(nested.Canvas.Runs[2].Font.Size, 8);
}

TEST(HtmlLayout, FontAttributes) {
  TLaidOut out = Lay("<FONT COLOR=\"#FF0000\" FACE=\"Courier New\" SIZE=\"12\">a");
  const TsHtmlFont& f = out.Canvas.Runs.at(0).Font;
  EXPECT_EQ(f.Color, 0x0000FF);
  EXPECT_EQ(f.Name, "COURIER NEW");  // taken from the upper-case copy
  EXPECT_EQ(f.Size, 12);
  // A size that is not a number, or would leave the sane range, does not break the text.
  EXPECT_EQ(Lay("<font size=big>a").Canvas.Runs.at(0).Font.Size, 8);
  EXPECT_EQ(Lay("<font size=-99999999999999999999>a").Canvas.Runs.at(0).Font.Size, 1);
  EXPECT_EQ(Lay("<font size=+99999999999999999999>a").Canvas.Runs.at(0).Font.Size, 1000);
  // An empty face and an unknown colour keep what the font had.
  TLaidOut kept = Lay("<font face=\"\" color=ZZ>a");
  EXPECT_EQ(kept.Canvas.Runs.at(0).Font, TsHtmlFont{});
}

TEST(HtmlLayout, Colours) {
  EXPECT_EQ(ParseHtmlColor("#FF0000"), 0x0000FF);
  EXPECT_EQ(ParseHtmlColor("#0000FF"), 0xFF0000);
  EXPECT_EQ(ParseHtmlColor("00FF00"), 0x00FF00);
  EXPECT_EQ(ParseHtmlColor("123456"), 0x563412);
  EXPECT_EQ(ParseHtmlColor("ZZ"), -1);
  EXPECT_EQ(ParseHtmlColor("#"), -1);
  EXPECT_EQ(ParseHtmlColor("#12G"), -1);
  // Only the last six digits count, however many there are.
  EXPECT_EQ(ParseHtmlColor("#FFFFFFFFFF123456"), 0x563412);
  EXPECT_EQ(ParseHtmlColor("OLIVE"), 0x008080);
  EXPECT_EQ(ParseHtmlColor("NAVY"), 0x800000);
  EXPECT_EQ(ParseHtmlColor("FUCHSIA"), 0xFF00FF);
  EXPECT_EQ(ParseHtmlColor("SILVER"), 0xC0C0C0);
}

TEST(HtmlLayout, WidthIncludesTheOriginsOffsetAndBothPassesAgree) {
  const std::string hint = "Open code group</b><br>by external program";
  TLaidOut at = Lay(hint, {30, 5, 300, 0});
  EXPECT_EQ(at.Canvas.Runs[0].X, 30);
  EXPECT_EQ(at.Canvas.Runs[1].X, 30);
  EXPECT_EQ(at.Rect, (TsRect{0, 0, 30 + 19 * 8, 5 + 16 + 2 + 16}));
  // Measuring on a scratch canvas and painting on another, in a different font, give one rectangle
  // when the fonts start alike; the same layout object may be used again.
  TFakeCanvas measure, paint;
  TsHtmlLayout layout;
  layout.Init(measure, hint, {0, 0, 240, 0});
  const TsRect first = layout.Execute();
  layout.Init(paint, hint, {0, 0, 240, 0});
  EXPECT_EQ(layout.Execute(), first);
  EXPECT_EQ(measure.Drawn(), paint.Drawn());
}

}  // namespace
