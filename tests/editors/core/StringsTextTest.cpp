#include "editors/core/EditorHex.h"
#include "editors/core/TStringsText.h"

#include <gtest/gtest.h>

namespace {

// A code page holding Latin-1 only; other characters become "?".
std::string ToLatin1(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out += c < 256 ? char(c) : '?';
  return out;
}

std::u16string FromLatin1(const std::string& s) {
  std::u16string out;
  for (unsigned char c : s) out += char16_t(c);
  return out;
}

const TStringsText kText(ToLatin1, FromLatin1);

}  // namespace

TEST(StringsText, ExportWritesHexIdsAndImportReadsThemBack) {
  const std::vector<TStringRow> rows = {{1, u"Hello"}, {0x1A2, u""}, {0xFFFF, u"a | b"}, {3, u"  spaced  "}};
  const std::string text = kText.Export(rows);
  EXPECT_EQ(text.substr(0, 21), "0001 | Hello\r\n01A2 | ");
  EXPECT_EQ(kText.Import(text), rows);
}

TEST(StringsText, CharactersOutsideTheCodePageDoNotSurvive) {
  const auto back = kText.Import(kText.Export({{7, u"caf\u00E9 \u4E2D"}}));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].Text, u"caf\u00E9 ?");
}

TEST(StringsText, ImportTakesAnyLineBreakAndLinesWithoutABar) {
  const auto rows = kText.Import("0002 | x\n0003 | y\rABCDEF\r\n0004 |");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (TStringRow{2, u"x"}));
  EXPECT_EQ(rows[1], (TStringRow{3, u"y"}));
  EXPECT_EQ(rows[2], (TStringRow{0xABCD, u"BCDEF"}));  // no bar: text from the second character
  EXPECT_EQ(rows[3], (TStringRow{4, u""}));
}

TEST(EditorHex, ReadsWithoutValidationAsTheUtilityDoes) {
  EXPECT_EQ(EditorHex::HexToInt(""), 0);
  EXPECT_EQ(EditorHex::HexToInt("03FD0000"), 0x03FD0000);
  EXPECT_EQ(EditorHex::HexToInt("ff"), 255);
  EXPECT_EQ(EditorHex::HexToInt("1A"), 26);
  EXPECT_EQ(EditorHex::HexToInt("@"), 16);
  EXPECT_EQ(EditorHex::HexToInt(" "), -16);
  EXPECT_EQ(EditorHex::HexToInt("FFFFFFFF0"), -16);  // wraps in 32 bits
}
