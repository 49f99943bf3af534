#include "workbench/core/CalendarNames.h"
#include "workbench/core/DetectSMG.h"
#include "workbench/core/FileFilters.h"
#include "workbench/core/FileHelpers.h"
#include "workbench/core/Hex.h"
#include "workbench/core/Messages.h"

#include <gtest/gtest.h>

#include "TRecordingHost.h"
#include "shx-generator.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/TRawFile.h"

TEST(Msgs, HoldsTheSixtySixTextsInOrder) {
  ASSERT_EQ(Msgs.Count(), 66);
  EXPECT_EQ(Msgs[0], "Open");
  EXPECT_EQ(Msgs[18], "Block DRM saved in file: ");
  EXPECT_EQ(Msgs[35], "\"POWER_DOWN\" done.");
  EXPECT_EQ(Msgs[53], "S-Reord wrong checksum!");
  EXPECT_EQ(Msgs[61], "Currently, Langpack, DRM and Flex editors implemented only.");
  EXPECT_EQ(Msgs[64], "Current project saved in files");
  EXPECT_EQ(Msgs[65], "Left out of the superfile, their image files being empty:");
  EXPECT_THROW(Msgs[66], Exception);
  EXPECT_THROW(Msgs[-1], Exception);
}

TEST(Msgs, NamedIndexesPickTheirTexts) {
  EXPECT_EQ(Msgs[TMsgId::ShellOpenVerb], "Open");
  EXPECT_EQ(Msgs[TMsgId::ShellSharingViolation], "A sharing violation occurred");
  EXPECT_EQ(Msgs[TMsgId::IsRamDownloader], "This file is a RAM Downloader?");
  EXPECT_EQ(Msgs[TMsgId::LoadStructure], "Load structure from file: ");
  EXPECT_EQ(Msgs[TMsgId::PowerDownDone], "\"POWER_DOWN\" done.");
  EXPECT_EQ(Msgs[TMsgId::ChooseLoader], "Please choose the necessary loader (*RAMDLD.smg)");
  EXPECT_EQ(Msgs[TMsgId::StringsPacked], "strings packed.");
  EXPECT_EQ(Msgs[TMsgId::InvalidShx], "Invalid SHX file!");
  EXPECT_EQ(Msgs[TMsgId::SRecordType], "S-Record of type #");
  EXPECT_EQ(Msgs[TMsgId::ProjectSaved], "Current project saved in files");
}

TEST(CalendarNames, AreEnglishAndOneBased) {
  EXPECT_EQ(DayName(1), "Sunday");
  EXPECT_EQ(DayName(7), "Saturday");
  EXPECT_EQ(MonthName(1), "January");
  EXPECT_EQ(MonthName(12), "December");
  EXPECT_THROW(DayName(0), Exception);
  EXPECT_THROW(MonthName(13), Exception);
}

TEST(HexToInt, ConvertsWithoutValidation) {
  EXPECT_EQ(HexToInt(""), 0);
  EXPECT_EQ(HexToInt("03FD0000"), 0x03FD0000);
  EXPECT_EQ(HexToInt("ff"), 255);
  EXPECT_EQ(HexToInt("1A"), 26);
  EXPECT_EQ(HexToInt("@"), 16);   // code 64 gives the digit 16
  EXPECT_EQ(HexToInt(" "), -16);  // a blank gives -16
  EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
  EXPECT_EQ(HexToInt("123456789"), 0x23456789);  // wraps at 32 bits
}

TEST(ByteOrderAndFormatting, SwapHexAndTime) {
  EXPECT_EQ(SwapDWord(0x11223344u), 0x44332211u);
  EXPECT_EQ(TimeToHMS((7 * 3600 + 5 * 60 + 9) / 86400.0), "07:05:09");
  EXPECT_EQ(TimeToHMS(46000.0 + (23 * 3600 + 59 * 60 + 59.4) / 86400.0), "23:59:59");
  EXPECT_EQ(TimeToHMS(12.0), "00:00:00");
}

TEST(GetFilter, KnowsTenKindsAndFallsBack) {
  EXPECT_EQ(GetFilter(2), "Motorola SHX files (*.shx)|*.SHX|All files (*.*)|*.*");
  EXPECT_EQ(GetFilter(1), "Tarvex projetcs files (*.scp)|*.SCP|All files (*.*)|*.*");
  EXPECT_EQ(
      GetFilter(8),
      "RAM Downloaders (ramdld*.smg)|ramdld*.smg|Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|"
      "All files (*.*)|*.*");
  EXPECT_EQ(GetFilter(0), "All files (*.*)|*.*");
  EXPECT_EQ(GetFilter(11), "All files (*.*)|*.*");
  // The named kinds are the numbered ones.
  EXPECT_EQ(GetFilter(TFilterKind::Projects), GetFilter(1));
  EXPECT_EQ(GetFilter(TFilterKind::CodeGroupImages), GetFilter(3));
  EXPECT_EQ(GetFilter(TFilterKind::RawPictures), "RAW files (*.raw)|*.raw|All files (*.*)|*.*");
  EXPECT_EQ(GetFilter(TFilterKind{0}), "All files (*.*)|*.*");
}

TEST(CodeGroupNames, TypeTextsAndTags) {
  EXPECT_EQ(GetCGName(-2), "RAM Downloader");
  EXPECT_EQ(GetCGName(-1), "Boot Loader");
  EXPECT_EQ(GetCGName(7), "PDS (Safety zone)");
  EXPECT_EQ(GetCGName(15), "DRM (graphics)");
  EXPECT_EQ(GetCGName(19), "CG19");
  EXPECT_EQ(GetCGFileTag(-2), "RAMDLD");
  EXPECT_EQ(GetCGFileTag(-1), "BootLDR");
  EXPECT_EQ(GetCGFileTag(0), "CG0");
  EXPECT_EQ(GetCGFileTag(19), "CG19");
}

TEST(FileHelpers, SizeAndLoad) {
  TTempFolder dir("tarvex-utils-files");
  EXPECT_EQ(GetFileSizeByName(dir / "missing"), -1);
  EXPECT_EQ(GetFileSizeByName(dir.Path().string()), -1);  // a folder is no file
  std::vector<uint8_t> buffer{1, 2, 3};
  EXPECT_FALSE(LoadFileToMem(dir / "missing", buffer));
  EXPECT_TRUE(buffer.empty());
  EXPECT_FALSE(LoadFileToMem("", buffer));

  WriteFileBytes(dir / "empty", {});
  EXPECT_EQ(GetFileSizeByName(dir / "empty"), 0);
  EXPECT_FALSE(LoadFileToMem(dir / "empty", buffer));
  EXPECT_TRUE(buffer.empty());

  const std::vector<uint8_t> data = RandomBytes(70000, 3);
  WriteFileBytes(dir / "data", data);
  EXPECT_EQ(GetFileSizeByName(dir / "data"), 70000);
  ASSERT_TRUE(LoadFileToMem(dir / "data", buffer));
  EXPECT_EQ(buffer, data);
}

TEST(DetectSMG, NumberFromTheNameAddressFromTheImage) {
  TTempFolder dir("tarvex-utils-detect");
  int cg = 0;
  int32_t addr = 0;
  int64_t size = 0;
  EXPECT_FALSE(DetectSMG(dir / "fw{@0x03FD0000}RAMDLD.smg", cg, addr, size));
  EXPECT_EQ(cg, -1);
  EXPECT_FALSE(DetectSMG("noextension", cg, addr, size));

  std::vector<uint8_t> image(40, 0);
  image[0] = 0x11, image[1] = 0x20, image[2] = 0x34, image[3] = 0x56;    // language pack: word at 0
  image[8] = 0x12, image[9] = 0x00, image[10] = 0x00, image[11] = 0xFF;  // DRM: word at 8
  image[32] = 0x10, image[33] = 0x00, image[34] = 0x12, image[35] = 0x34;
  for (const auto& [name, wantCG, wantAddr] :
       std::vector<std::tuple<std::string, int, int32_t>>{{"a{@0x11200000}CG4.smg", 4, 0x11203400},
                                                          {"a.b{@0x12000000}CG15.smg", 15, 0x12000000},
                                                          {"aCG0.smg", 0, 0x10001200},
                                                          {"aCG18.smg", 18, 0x11203400},
                                                          {"aCG3.smg", 3, -1}}) {
    WriteFileBytes(dir / name, image);
    EXPECT_TRUE(DetectSMG(dir / name, cg, addr, size)) << name;
    EXPECT_EQ(cg, wantCG) << name;
    EXPECT_EQ(addr, wantAddr) << name;
    EXPECT_EQ(size, 40) << name;
  }
  // Too short to hold the address word: the number is still found, the address is not.
  WriteFileBytes(dir / "shortCG0.smg", {1, 2, 3});
  EXPECT_TRUE(DetectSMG(dir / "shortCG0.smg", cg, addr, size));
  EXPECT_EQ(addr, -1);
  EXPECT_EQ(size, 3);
  // Digits that overflow are no number.
  EXPECT_FALSE(DetectSMG(dir / "a99999999999.smg", cg, addr, size));
  // A number on a file that does not exist: the file layer's error.
  EXPECT_THROW(DetectSMG(dir / "gone4.smg", cg, addr, size), EInOutError);
}
