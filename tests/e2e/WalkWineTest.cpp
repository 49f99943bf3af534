// The whole program walked through as a user drives it. The steps share one run of Tarvex.exe
// and run in order; each names what it checks.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "Firmware.h"
#include "tests/e2e/UserDriver.h"

namespace {

std::unique_ptr<TUserDriver> user;
HWND mainWindow = nullptr;
TFirmware firmware;
std::string firmwareDir;

using Bytes = std::vector<unsigned char>;

Bytes Concat(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  Bytes all(a.begin(), a.end());
  all.insert(all.end(), b.begin(), b.end());
  return all;
}

const TShxGroup& Group(int cg) {
  for (const TShxGroup& g : firmware.Groups)
    if (g.CG == cg) return g;
  throw std::runtime_error("no group " + std::to_string(cg));
}

// The image file the split names for a group: "firmware{@0xSTART}TAG.smg" in the current folder.
std::string ImageName(uint32_t start, const std::string& tag) {
  char address[16];
  std::snprintf(address, sizeof address, "%08X", start);
  return user->Folder() + "\\firmware{@0x" + address + "}" + tag + ".smg";
}

std::string FileText(const std::string& path) {
  const std::vector<unsigned char> bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class Walk : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    user = std::make_unique<TUserDriver>();
    user->Start(TARVEX_PROGRAM_FOLDER);
    firmware = GenerateFirmware(23);
    firmwareDir = user->Folder() + "\\firmware";
    CreateDirectoryA(firmwareDir.c_str(), nullptr);
    WriteFirmware(firmware, firmwareDir);
  }
  static void TearDownTestSuite() { user.reset(); }

protected:
  void SetUp() override { ASSERT_TRUE(user->Running()) << user->Failure("the program is not running"); }
};

TEST_F(Walk, Step1_FirstStartShowsTheMainWindow) {
  mainWindow = user->WaitWindow("Tarvex");
  ASSERT_NE(mainWindow, nullptr) << user->Failure("no main window titled \"Tarvex\"");
}

TEST_F(Walk, Step2_SplitFileWritesEveryGroupAndTheHeader) {
  ASSERT_NE(mainWindow, nullptr);
  HWND source = user->Child(mainWindow, "TsFilenameEdit", "");
  HWND split = user->Child(mainWindow, "TsButton", "Split file");
  HWND status = user->Child(mainWindow, "TsStatusBar", "");
  ASSERT_TRUE(source && split && status) << user->Failure("the main window lacks the source edit, \"Split file\" or the status bar");
  user->Retype(source, firmwareDir + "\\firmware.shx");
  ASSERT_TRUE(user->WaitText(source, [](const std::string& t) { return t.find("firmware.shx") != std::string::npos; }))
      << user->Failure("the typed name did not reach the source edit");
  user->Click(split);
  ASSERT_TRUE(TUserDriver::WaitFor([&] { return user->StatusText(status) == "Extracting done."; }, 30000))
      << user->Failure("the split did not finish: status \"" + user->StatusText(status) + "\"");

  EXPECT_EQ(ReadWholeFile(ImageName(Group(-2).Start, "RAMDLD")), Bytes(Group(-2).Data.begin(), Group(-2).Data.end()));
  EXPECT_EQ(ReadWholeFile(ImageName(Group(0).Start, "CG1")), Concat(Group(0).Data, Group(1).Data));
  for (int cg : {2, 4, 15, 18})
    EXPECT_EQ(ReadWholeFile(ImageName(Group(cg).Start, "CG" + std::to_string(cg))),
              Bytes(Group(cg).Data.begin(), Group(cg).Data.end()))
        << "CG " << cg;
  EXPECT_EQ(ReadWholeFile(user->Folder() + "\\firmware.hdr"),
            Bytes(firmware.Superfile.begin(), firmware.Superfile.begin() + 8172));
}

TEST_F(Walk, Step8_ExitWritesTheEnvironmentAndARestartReadsIt) {
  ASSERT_TRUE(user->Exit()) << user->Failure("the program did not end");
  const std::string ini = FileText(user->Folder() + "\\Tarvex.ini");
  EXPECT_NE(ini.find("[Environment]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("SkinName=Desert"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Skined=1"), std::string::npos) << ini;
}

}  // namespace
