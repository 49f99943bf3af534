#include "workbench/core/SmallDialogRules.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/TTempFolder.h"

namespace {

void WriteBytes(const std::string& file, std::vector<std::uint8_t> bytes) {
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(AddDialog, AcceptsOnlyRowsTheGridAndTheCombineCanHold) {
  EXPECT_TRUE(AddInputValid("", "3fd0000", 100));
  EXPECT_TRUE(AddInputValid("-2", "03FD0000", -1));
  EXPECT_TRUE(AddInputValid("20", "FFFFFF00", 256));
  EXPECT_FALSE(AddInputValid("", "3fx0000", 100));
  EXPECT_FALSE(AddInputValid("", "", 100));
  EXPECT_FALSE(AddInputValid("21", "1000", 1));
  EXPECT_FALSE(AddInputValid("-3", "1000", 1));
  EXPECT_FALSE(AddInputValid("123", "1000", 1));
  EXPECT_FALSE(AddInputValid("4a", "1000", 1));
  EXPECT_FALSE(AddInputValid("-", "1000", 1));
  EXPECT_FALSE(AddInputValid("4", "123456789", 1));  // more than 8 digits would wrap
  EXPECT_FALSE(AddInputValid("20", "FFFFFF00", 257));  // ends past FFFFFFFF
}

TEST(AddDialog, DetectReadsTheAddressWordOrTheNameAndLeavesItOnAShortFile) {
  TTempFolder dir;
  std::vector<std::uint8_t> drm(16, 0);
  drm[8] = 0x12, drm[9] = 0x34, drm[10] = 0x56, drm[11] = 0x78;
  WriteBytes(dir / "fw_CG15.smg", drm);
  TAddDetection found = DetectAddFile(dir / "fw_CG15.smg");
  EXPECT_EQ(found.Digits, "15");
  EXPECT_EQ(found.Address, 0x12345600u);
  WriteBytes(dir / "fw_CG015.smg", drm);  // the number, not the text, picks the word
  EXPECT_EQ(DetectAddFile(dir / "fw_CG015.smg").Address, 0x12345600u);

  WriteBytes(dir / "short_CG0.smg", std::vector<std::uint8_t>(35, 1));
  found = DetectAddFile(dir / "short_CG0.smg");
  EXPECT_EQ(found.Digits, "0");
  EXPECT_FALSE(found.Address);
  EXPECT_FALSE(DetectAddFile(dir / "missing_CG4.smg").Address);

  found = DetectAddFile("C:\\fw\\a{@0x11200000}CG2.smg");
  EXPECT_EQ(found.Digits, "2");
  EXPECT_EQ(found.Address, 0x11200000u);
  EXPECT_FALSE(DetectAddFile("C:\\fw\\a{@0x1120}CG2.smg").Address);
  EXPECT_FALSE(DetectAddFile("C:\\fw\\aCG7.smg").Address);
  EXPECT_EQ(DetectAddFile("C:\\fw\\aCG123.smg").Digits, "123");
  EXPECT_EQ(DetectAddFile("C:\\fw\\RAMDLD.smg").Digits, "");
}

TEST(ExternalViewer, ArgumentsAndShellMessages) {
  EXPECT_EQ(ViewerArguments("-x", "C:\\a.smg"), " -x C:\\a.smg");
  EXPECT_EQ(ViewerArguments("", "C:\\a.smg"), "C:\\a.smg");
  EXPECT_EQ(ViewerArguments("", "C:\\my fw\\a.smg"), "\"C:\\my fw\\a.smg\"");
  EXPECT_EQ(ShellErrorMessage(0), 1);
  EXPECT_EQ(ShellErrorMessage(8), 12);
  EXPECT_EQ(ShellErrorMessage(32), 10);
  EXPECT_EQ(ShellErrorMessage(4), -1);
  EXPECT_EQ(ShellErrorMessage(42), -1);
}

}  // namespace
