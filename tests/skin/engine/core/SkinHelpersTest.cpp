#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SkinTestImages.h"
#include "skin/engine/core/ESkinError.h"
#include "skin/engine/core/GradientText.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinFolders.h"
#include "skin/engine/core/SkinImageCodecs.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/engine/core/TsDebugLog.h"
#include "skin/engine/core/TsIniText.h"

namespace {

TEST(SkinUtils, WordsAndText) {
  EXPECT_EQ(NthWord(2, "#(0,0,5,5)(1,0)", " ()"), "0,0,5,5");
  EXPECT_EQ(NthWord(4, "a b c", " "), "");
  EXPECT_EQ(CountWords(";;1;;2;", ";"), 2u);
  EXPECT_EQ(WordStart(2, "  ab  cd", " "), 7u);
  EXPECT_EQ(ClampInt(5, 10, 20), 10);
  EXPECT_EQ(ClampInt(25, 10, 20), 20);
  EXPECT_EQ(RepeatChar('x', 0), "");
  EXPECT_EQ(PadWithChar('.', "abcdef", 3), "abcdef");
  EXPECT_EQ(ReplaceAll("a-b-c", "-", "--"), "a--b--c");
  EXPECT_EQ(TrimSpaces("  a b \t "), "a b \t");
  EXPECT_EQ(WithTrailingBackslash("C"), "C:\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\Skins/"), "C:\\Skins\\");
  EXPECT_EQ(WithTrailingBackslash(""), "");
  EXPECT_FALSE(IsValidFileName("a|b"));
  EXPECT_EQ(ScaleByPercent(10, 50), 55);
}

TEST(SkinUtils, NumberText) {
  EXPECT_EQ(InsertThousandSeparators("-1234567.5", true, ',', '.'), "-1,234,567.5");
  EXPECT_EQ(InsertThousandSeparators("123456e3", true, ' ', ','), "123 456e3");
  EXPECT_EQ(InsertThousandSeparators("1234", false, ',', '.'), "1234");
  ASSERT_TRUE(IsValidFloat("1e5", '.'));
  EXPECT_EQ(*IsValidFloat("1e5", '.'), 100000.0L);
  EXPECT_FALSE(IsValidFloat("12a", '.'));
  EXPECT_FALSE(IsValidFloat("1..2", '.'));
}

TEST(IniText, NumbersSectionsAndKeys) {
  EXPECT_EQ(ParseIniInteger(" 42"), 42);
  EXPECT_EQ(ParseIniInteger("$FF"), 255);
  EXPECT_EQ(ParseIniInteger("0x10"), 16);
  EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
  EXPECT_FALSE(ParseIniInteger("2147483648"));
  EXPECT_FALSE(ParseIniInteger("0x"));
  EXPECT_FALSE(ParseIniInteger("12 3"));
  EXPECT_FALSE(ParseIniInteger(""));

  TsIniText ini(
      "junk=1\r\n[One]\r\n; note\r\nKey = first\r\nkey=second\r\n[two]\r\nx=1\r\n[ONE]\r\nmore=2\r\n");
  ASSERT_EQ(ini.Sections().size(), 2u);
  EXPECT_EQ(ini.ReadString("one", "KEY", "?"), "first");
  EXPECT_EQ(ini.ReadString("One", "MORE", "?"), "2");
  EXPECT_EQ(ini.ReadString("none", "x", "?"), "?");
  EXPECT_EQ(ini.ReadInteger("two", "x", 0), 1);
  EXPECT_EQ(ini.ReadInteger("one", "key", 7), 7);
  EXPECT_DOUBLE_EQ(TsIniText("[g]\nv=4.5\n").ReadFloat("g", "v", 0), 4.5);
  EXPECT_DOUBLE_EQ(TsIniText("[g]\nv=4,5\n").ReadFloat("g", "v", 0), 0);
}

TEST(GradientText, GroupsOfFiveTokens) {
  auto stops = ParseGradientData("255;16711680;50;0;0;16711680;65280;50;0;0");
  ASSERT_EQ(stops.size(), 2u);
  EXPECT_EQ(stops[0], (TsGradientStop{255, 16711680, 50, 0}));
  EXPECT_EQ(ParseGradientData("1;2;250;0;0")[0].Percent, 100);
  EXPECT_EQ(ParseGradientData("1;2;3;0;0;1;2").size(), 1u);
  EXPECT_TRUE(ParseGradientData("1;2;3;0").empty());
  EXPECT_TRUE(ParseGradientData("").empty());
  EXPECT_TRUE(ParseGradientData("1;;2;;3;;0;;0;;").size() == 1u);  // empty tokens do not count
  EXPECT_TRUE(ParseGradientData("1;2;x;0;0").empty());
}

TEST(SkinImageCodecs, BitmapsOfEveryDepthBecome24Bits) {
  TsPixmap p = FilledPixmap(5, 3, 0x123456);
  p.SetPixel(4, 2, 0xABCDEF);
  TsPixmap back = DecodeBmp(EncodeBmp24(p));
  ASSERT_EQ(back.Width(), 5);
  EXPECT_EQ(back.Pixel(0, 0), 0x123456);
  EXPECT_EQ(back.Pixel(4, 2), 0xABCDEF);

  TsPixmap pal = DecodeBmp(EncodeBmp8(3, 2, {0x0000FF, 0xFFFFFF}));
  EXPECT_EQ(pal.Pixel(0, 0), 0xFF0000);
  EXPECT_EQ(pal.Pixel(1, 0), 0xFFFFFF);
}

TEST(SkinImageCodecs, CorruptBitmapsAreRefusedBeforeAllocating) {
  auto bmp = EncodeBmp24(FilledPixmap(4, 4, 0));
  auto truncated = bmp;
  truncated.resize(bmp.size() - 1);
  EXPECT_THROW(DecodeBmp(truncated), ESkinImageError);
  auto huge = bmp;
  huge[18] = 0xFF;
  huge[19] = 0xFF;
  huge[20] = 0xFF;
  huge[21] = 0x7F;  // width 2^31 - 1
  EXPECT_THROW(DecodeBmp(huge), ESkinImageError);
  auto badHeader = bmp;
  badHeader[14] = 0xFF;  // info header larger than the file
  EXPECT_THROW(DecodeBmp(badHeader), ESkinImageError);
  EXPECT_THROW(DecodeBmp(std::vector<std::uint8_t>{'B', 'M'}), ESkinImageError);
}

TEST(SkinImageCodecs, JpegRoundTripAndCorruption) {
  auto jpg = EncodeJpeg(FilledPixmap(16, 8, 0x0000FF), 100);
  TsPixmap img = DecodeJpeg(jpg);
  ASSERT_EQ(img.Width(), 16);
  ASSERT_EQ(img.Height(), 8);
  const std::int32_t c = img.Pixel(3, 3);
  EXPECT_GT(c & 0xFF, 240);  // red stays red: channels come back in the skin order
  EXPECT_LT((c >> 16) & 0xFF, 16);
  jpg.resize(jpg.size() / 2);
  EXPECT_THROW(DecodeJpeg(jpg), ESkinImageError);  // cut off: not shown half grey
  EXPECT_THROW(DecodeJpeg(std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0x00, 1, 2}), ESkinImageError);
  EXPECT_THROW(DecodeJpeg(std::vector<std::uint8_t>{1, 2, 3}), ESkinImageError);
}

TEST(SkinCommand, MessageLayout) {
  EXPECT_EQ(ChooseSkinMessageNumber(0), 0xA100u);
  EXPECT_EQ(ChooseSkinMessageNumber(0xC123), 0xC123u);
  EXPECT_EQ(MakeSkinWParam(SkinCommand::GetBgColor, 0), 21u * 65536u);
  EXPECT_EQ(MakeSkinWParam(SkinCommand::SetUpdating, 1), 9u * 65536u + 1u);
  EXPECT_EQ(SkinCommandOf(MakeSkinWParam(SkinCommand::SetRepaintNeeded, 1)), SkinCommand::SetRepaintNeeded);
  EXPECT_TRUE(SkinParameterOf(MakeSkinWParam(SkinCommand::SetRepaintNeeded, 1)));
  // A number no command has survives the round trip and matches no name.
  EXPECT_EQ(static_cast<std::uint32_t>(SkinCommandOf(22u * 65536u)), 22u);
}

TEST(SkinCommand, BackgroundMixer) {
  EXPECT_EQ(MixSkinBackground(50, 0x000000, 0xFFFFFF), 0x7E7E7E);  // (255 * 127) >> 8 = 126
  EXPECT_EQ(MixSkinBackground(0, 0x123456, 0xFFFFFF), 0x123456);
  EXPECT_EQ(MixSkinBackground(100, 0x123456, 0x0000FF), 0x0000FF);
  EXPECT_EQ(MixSkinBackground(50, 0xFFFFFF, 0x000000), 0x7F7F7F);
  // An unskinned parent answers nothing (the key colour): its own colour is mixed instead.
  EXPECT_EQ(SkinColorBelow(true, SkinKeyColor, 0xC0C0C0, 0x0), 0xC0C0C0);
  EXPECT_EQ(SkinColorBelow(true, 0x102030, 0xC0C0C0, 0x0), 0x102030);
  EXPECT_EQ(SkinColorBelow(false, 0x102030, 0xC0C0C0, 0x0000FF), 0x0000FF);
  EXPECT_EQ(MixSkinBackground(50, 0x000000, SkinColorBelow(true, SkinKeyColor, 0xFFFFFF, 0)), 0x7E7E7E);
}

TEST(SkinFolders, DirectoryResolution) {
  EXPECT_EQ(ResolveSkinDirectory(".\\Skins", "D:\\App\\"), "D:\\App\\Skins\\");
  EXPECT_EQ(ResolveSkinDirectory("./Skins", "D:\\App\\"), "D:\\App\\Skins\\");
  EXPECT_EQ(ResolveSkinDirectory("Skins", "D:\\App\\"), "D:\\App\\Skins\\");
  EXPECT_EQ(ResolveSkinDirectory("E:\\Look", "D:\\App\\"), "E:\\Look\\");
  EXPECT_EQ(ResolveSkinDirectory("c:\\Skins\\", "D:\\App\\"), "c:\\Skins\\");
}

TEST(SkinFolders, ListingSortsFoldersWithInternalSkinsAndSkipsDotFolders) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() /
                       ("tarvex-skins-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(dir);
  fs::create_directories(dir / "b");
  fs::create_directories(dir / "Amber");
  fs::create_directories(dir / ".hidden");
  std::ofstream(dir / "readme.txt") << "x";
  auto list = ListSkins({"Zed", "inner"}, dir.string() + "/");
  EXPECT_EQ(list.Names, (std::vector<std::string>{"Amber", "b", "inner", "Zed"}));
  EXPECT_EQ(list.First, "Zed");
  auto folders = ListSkins({}, dir.string());
  EXPECT_EQ(folders.Names, (std::vector<std::string>{"Amber", "b"}));
  EXPECT_TRUE(folders.First == "Amber" || folders.First == "b");
  fs::remove_all(dir);
  EXPECT_EQ(ListSkins({"Zed"}, dir.string()).Names, std::vector<std::string>{"Zed"});
}

TEST(DebugLog, LinesAndNames) {
  TsLogMessage paint{15, 0x00010002, 0};
  const std::string line = FormatMessageLine(paint, "");
  const std::string expected = "?WM_PAINT (15)" + std::string(15, ' ') + ", WParamHi=1" +
                               std::string(6, ' ') + ", WParamLo=2" + std::string(6, ' ') + ", LParamHi=0" +
                               std::string(6, ' ') + ", LParamLo=0" + std::string(6, ' ');
  EXPECT_EQ(line, expected);
  EXPECT_EQ(DebugMessageName(0x146), "NO (326)");
  EXPECT_EQ(DebugMessageName(0x7FFF), "UNKNOWN (32767)");
  EXPECT_EQ(FormatMessageLine({0x7FFF, 0, 0}, "Edit").rfind("Edit - UNKNOWN", 0), 0u);
  TsDrawItemInfo item{4, 1, 2, 3, 5, 6, 7, 1, 2, 3, 4, 99};
  EXPECT_EQ(FormatMessageLine({CN_DRAWITEM_NUMBER, 0, 0}, "", &item),
            "?CN_DRAWITEM (48171), CtlType=4, CtlID=1, itemID=2, itemAction=3, itemState=5, hwndItem=6, "
            "hDC=7, rcItem=(1, 2, 3, 4), itemData=99");
}

TEST(DebugLog, KeepsTheNewestLinesAndSurvivesAFailedSave) {
  TsDebugLog log;
  for (std::size_t i = 0; i < TsDebugLog::MaxLines + 5; ++i) log.Add(std::to_string(i));
  EXPECT_EQ(log.Lines().size(), TsDebugLog::MaxLines);
  EXPECT_EQ(log.Lines().front(), "5");
  EXPECT_FALSE(log.SaveToFile("/nonexistent-folder/deeper/log.txt"));
  const auto path = std::filesystem::temp_directory_path() / "tarvex-log-test.txt";
  TsDebugLog small;
  small.Add("a");
  small.Add("b");
  ASSERT_TRUE(small.SaveToFile(path.string()));
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "a\r\nb\r\n");
  std::filesystem::remove(path);
}

}  // namespace
