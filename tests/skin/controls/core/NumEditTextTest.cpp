#include <gtest/gtest.h>

#include <cmath>

#include "skin/controls/core/NumEditText.h"

namespace {

using namespace NumEditText;

const TFormatSettings Dot{'.', ','};
const TFormatSettings Comma{',', '.'};
const TFormatSettings CommaSpace{',', ' '};

TEST(NumEditText, TextToValTextReadsEitherSeparatorInBothLocales) {
  EXPECT_EQ(TextToValText("", Dot), "0");
  EXPECT_EQ(TextToValText("-", Dot), "-0");
  EXPECT_EQ(TextToValText("1,234.5  ", Dot), "1234.5");
  EXPECT_EQ(TextToValText("1.234,5", Comma), "1234,5");
  // With a space as thousand separator both "." and "," are decimal separators.
  EXPECT_EQ(TextToValText("1 234.5", CommaSpace), "1234,5");
  EXPECT_EQ(TextToValText("12,5", CommaSpace), "12,5");
  const TFormatSettings same{'.', '.'};
  EXPECT_EQ(TextToValText("1.5", same), "1.5");
}

TEST(NumEditText, CheckValueHonoursEachBoundRule) {
  EXPECT_EQ(CheckValue(-1e9, 0, 0), -1e9);  // equal bounds: no clamping
  EXPECT_EQ(CheckValue(150, 0, 100), 100);
  EXPECT_EQ(CheckValue(-5, 0, 100), 0);
  EXPECT_EQ(CheckValue(50, 0, 100), 50);
  EXPECT_EQ(CheckValue(-5, 10, 0), 10);  // min > max, max 0: lower bound only
  EXPECT_EQ(CheckValue(1e6, 10, 0), 1e6);
  EXPECT_EQ(CheckValue(50, 0, -10), -10);  // min > max, min 0: upper bound only
  EXPECT_EQ(CheckValue(-50, 0, -10), -50);
  EXPECT_EQ(CheckValue(7, 10, 5), 7);  // neither is 0: nothing
}

TEST(NumEditText, KeysAreCheckedAgainstTheTextTheyWouldMake) {
  TKeyCheck c;
  c.MinValue = 0;
  c.MaxValue = 100;
  // "-" alone reads as -0: negative by its sign bit, refused under non-negative bounds.
  EXPECT_FALSE(IsValidChar(c, '-', Dot));
  c.Text = "0";
  c.SelStart = 0;
  EXPECT_FALSE(IsValidChar(c, '-', Dot));  // "-0"
  c.Text = "15";
  c.SelStart = 2;
  EXPECT_TRUE(IsValidChar(c, '0', Dot));  // 150 is typed; the bound applies when read
  c.MinValue = c.MaxValue = 0;
  c.Text = "";
  c.SelStart = 0;
  EXPECT_TRUE(IsValidChar(c, '-', Dot));  // no bounds: a minus may start a number

  TKeyCheck d;
  d.Text = "12.34";
  d.SelStart = 5;
  EXPECT_FALSE(IsValidChar(d, '5', Dot));  // a third decimal
  d.SelStart = 1;
  EXPECT_TRUE(IsValidChar(d, '5', Dot));  // "152.34"
  d.SelStart = 0;
  d.SelLength = 5;
  EXPECT_TRUE(IsValidChar(d, '7', Dot));  // the selection is replaced
  d.Text = "1";
  d.SelStart = 1;
  d.SelLength = 0;
  EXPECT_FALSE(IsValidChar(d, 'x', Dot));
  EXPECT_TRUE(IsValidChar(d, ',', Comma));
  d.Text = "1,2";
  d.SelStart = 3;
  EXPECT_TRUE(IsValidChar(d, '5', Comma));
  EXPECT_FALSE(IsValidChar(d, ',', Comma));  // a second separator

  TKeyCheck whole;
  whole.DecimalPlaces = 0;
  whole.Text = "12";
  whole.SelStart = 2;
  EXPECT_FALSE(IsValidChar(whole, TranslateKey('.', Dot), Dot));
  EXPECT_FALSE(IsValidChar(whole, TranslateKey(',', Comma), Comma));
  EXPECT_TRUE(IsValidChar(whole, '3', Dot));
}

TEST(NumEditText, TheDecimalKeyFollowsTheLocale) {
  EXPECT_EQ(TranslateKey(',', Comma), ',');
  EXPECT_EQ(TranslateKey('.', Comma), '.');  // the thousand separator stays itself
  EXPECT_EQ(TranslateKey('.', CommaSpace), ',');
  EXPECT_EQ(TranslateKey(',', Dot), ',');
  EXPECT_EQ(TranslateKey('5', Dot), '5');
}

TEST(NumEditText, EditFormatAndCaretArithmetic) {
  EXPECT_EQ(EditFormat(0), "0");
  EXPECT_EQ(EditFormat(3), "0.###");
  EXPECT_EQ(ReformattedCaret(4, 4, 5), 5);  // "1234" -> "1,234": the caret stays after the 4
  EXPECT_EQ(ReformattedCaret(1, 5, 4), 0);
  EXPECT_EQ(ReformattedCaret(0, 5, 3), 0);  // never before the text
  EXPECT_EQ(ReformattedCaret(9, 2, 3), 3);  // never past it
}

}  // namespace
