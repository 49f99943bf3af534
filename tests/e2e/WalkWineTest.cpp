// The whole program walked through as a user drives it. The steps share one run of Tarvex.exe
// and run in order; each names what it checks.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/e2e/UserDriver.h"

namespace {

std::unique_ptr<TUserDriver> user;
HWND mainWindow = nullptr;

std::string FileText(const std::string& path) {
  const std::vector<unsigned char> bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class Walk : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    user = std::make_unique<TUserDriver>();
    user->Start(TARVEX_PROGRAM_FOLDER);
  }
  static void TearDownTestSuite() { user.reset(); }

protected:
  void SetUp() override { ASSERT_TRUE(user->Running()) << user->Failure("the program is not running"); }
};

TEST_F(Walk, Step1_FirstStartShowsTheMainWindow) {
  mainWindow = user->WaitWindow("Tarvex");
  ASSERT_NE(mainWindow, nullptr) << user->Failure("no main window titled \"Tarvex\"");
}

TEST_F(Walk, Step8_ExitWritesTheEnvironmentAndARestartReadsIt) {
  ASSERT_TRUE(user->Exit()) << user->Failure("the program did not end");
  const std::string ini = FileText(user->Folder() + "\\Tarvex.ini");
  EXPECT_NE(ini.find("[Environment]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("SkinName=Desert"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Skined=1"), std::string::npos) << ini;
}

}  // namespace
