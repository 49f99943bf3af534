#include "framework/base/AnsiStrings.h"

#include <gtest/gtest.h>

#include "framework/base/Exception.h"

TEST(AnsiStrings, IntegerTextBothWays) {
  EXPECT_EQ(StrToInt(" 42 "), 42);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("0x7fffffff"), INT32_MAX);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToIntDef("", 7), 7);
  for (const char* bad : {"", "-", "12a", "2147483648", "$", "0x", "1 2", "$1FFFFFFFF", "--1"}) {
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
  }
  try {
    StrToInt("abc");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToHex(0x3FD0000, 8), "03FD0000");
  EXPECT_EQ(IntToHex(-1, 8), "FFFFFFFF");
  EXPECT_EQ(IntToHex(std::int64_t{0x123456789}, 4), "123456789");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(Format("%s=%04d", "a", 7), "a=0007");
}

TEST(AnsiStrings, CaseAndBlanks) {
  EXPECT_EQ(UpperCase("abc\xE9z"), "ABC\xE9Z");
  EXPECT_TRUE(SameText("Type", "tYPE"));
  EXPECT_FALSE(SameText("Type", "Types"));
  EXPECT_LT(CompareText("a", "B"), 0);
  EXPECT_GT(CompareStr("a", "B"), 0);
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x "), "  x");
}

TEST(AnsiStrings, FileNameParts) {
  EXPECT_EQ(ExtractFileName("C:\\fw\\a.b\\x{@0x03FD0000}RAMDLD.smg"), "x{@0x03FD0000}RAMDLD.smg");
  EXPECT_EQ(ExtractFilePath("C:\\fw\\x.smg"), "C:\\fw\\");
  EXPECT_EQ(ExtractFilePath("C:x.smg"), "C:");
  EXPECT_EQ(ExtractFileDir("C:\\fw\\x.smg"), "C:\\fw");
  EXPECT_EQ(ExtractFileDir("C:\\x.smg"), "C:\\");
  EXPECT_EQ(ExtractFileExt("/tmp/a.b/proj"), "");
  EXPECT_EQ(ExtractFileExt("proj.scp"), ".scp");
  EXPECT_EQ(ChangeFileExt("proj", ".scp"), "proj.scp");
  EXPECT_EQ(ChangeFileExt("C:\\a.b\\img.smg", ".cds"), "C:\\a.b\\img.cds");
  EXPECT_EQ(ChangeFileExt("img.smg", ""), "img");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\fw\\"), "C:\\fw\\");
}

TEST(AnsiStrings, AnsiBytesSurviveUtf16) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  WideString wide = AnsiToWide(all);
  ASSERT_EQ(wide.size(), all.size());
  EXPECT_EQ(wide[0x80 - 1], u'\u20AC');  // euro sign
  EXPECT_EQ(WideToAnsi(wide), all);
  EXPECT_EQ(WideToAnsi(u"\u4E2D\u00E9"), "?\xE9");
}

TEST(AnsiStrings, Utf8RoundTripAndMalformedInput) {
  WideString text = u"A\u00E9\u4E2D\U0001F600 ";
  std::string utf8 = WideToUtf8(text);
  EXPECT_EQ(utf8, "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80 ");
  EXPECT_EQ(Utf8ToWide(utf8), text);
  // Truncated sequence, overlong form, encoded surrogate, stray continuation byte.
  EXPECT_EQ(Utf8ToWide("\xE4\xB8"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToWide("\xC0\x80"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToWide("\x80x"), u"\uFFFDx");
  EXPECT_EQ(WideToUtf8(WideString(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

// Each side of the limits of the 2, 3 and 4 byte forms: the shortest form, overlong forms just below
// it, the surrogates and the last code point.
TEST(AnsiStrings, Utf8LimitsOfEachLength) {
  const WideString bad3(3, u'\uFFFD'), bad4(4, u'\uFFFD');
  EXPECT_EQ(Utf8ToWide("\xC1\xBF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToWide("\xC2\x80"), u"\u0080");
  EXPECT_EQ(Utf8ToWide("\xDF\xBF"), u"\u07FF");
  EXPECT_EQ(Utf8ToWide("\xE0\x82\x80"), bad3);
  EXPECT_EQ(Utf8ToWide("\xE0\x9F\xBF"), bad3);
  EXPECT_EQ(Utf8ToWide("\xE0\xA0\x80"), u"\u0800");
  EXPECT_EQ(Utf8ToWide("\xED\x9F\xBF"), u"\uD7FF");
  EXPECT_EQ(Utf8ToWide("\xED\xBF\xBF"), bad3);
  EXPECT_EQ(Utf8ToWide("\xEE\x80\x80"), u"\uE000");
  EXPECT_EQ(Utf8ToWide("\xEF\xBF\xBF"), u"\uFFFF");
  EXPECT_EQ(Utf8ToWide("\xF0\x8F\xBF\xBF"), bad4);
  EXPECT_EQ(Utf8ToWide("\xF0\x90\x80\x80"), u"\U00010000");
  EXPECT_EQ(Utf8ToWide("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
  EXPECT_EQ(Utf8ToWide("\xF4\x90\x80\x80"), bad4);
  EXPECT_EQ(Utf8ToWide("\xF5\x80\x80\x80"), bad4);
  // Each code point in UTF-16: one unit up to U+FFFF, a surrogate pair above.
  WideString units;
  for (std::uint32_t cp : {0x41u, 0xFFFFu, 0x10000u, 0x10FFFFu}) AppendUtf16(units, cp);
  EXPECT_EQ(units, u"A\uFFFF\U00010000\U0010FFFF");
  // A malformed sequence costs one replacement per byte; what follows is read again.
  EXPECT_EQ(Utf8ToWide("\xE0\x82\x80\xC3\xA9"), bad3 + u"\u00E9");
}
