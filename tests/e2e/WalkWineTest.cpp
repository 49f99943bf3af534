// The whole program walked through as a user drives it. The steps share one run of Tarvex.exe
// and run in order; each names what it checks.
#include <cstdlib>
#include <string>

#include "phone/core/FlashSequence.h"
#include "tests/e2e/Walk.h"
#include "tests/e2e/phone/PhoneControlClient.h"

namespace walk {
namespace {

class Walk : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    // The phone is plugged before the program starts: its flasher looks for it from the start, and
    // a fresh phone under a handle opened before would answer nothing.
    phonePlugged = TPhoneControl().PlugFresh(TSimMode::TestCommand);
    user = std::make_unique<TUserDriver>();
    user->Start(TARVEX_PROGRAM_FOLDER);
    firmware = GenerateFirmware(23);
    firmwareDir = user->Folder() + "\\firmware";
    CreateDirectoryA(firmwareDir.c_str(), nullptr);
    WriteFirmware(firmware, firmwareDir);
  }
  static void TearDownTestSuite() {
    const std::string folder = user->Folder();
    user.reset();
    // A failed walk keeps its folder: the screenshots and the files the program left.
    // TARVEX_WALK_KEEP keeps it too, with screenshots of the file dialogs, for a look by eye.
    if (!::testing::UnitTest::GetInstance()->Failed() && !std::getenv("TARVEX_WALK_KEEP")) RemoveFolder(folder);
  }

protected:
  void SetUp() override { ASSERT_TRUE(user->Running()) << user->Failure("the program is not running"); }
};

TEST_F(Walk, Step1_FirstStartShowsTheMainWindow) {
  mainWindow = user->WaitWindow("Tarvex");
  ASSERT_NE(mainWindow, nullptr) << user->Failure("no main window titled \"Tarvex\"");
}

TEST_F(Walk, Step2_SplitFileWritesEveryGroupAndTheHeader) {
  ASSERT_NE(mainWindow, nullptr);
  ASSERT_TRUE(SplitThroughTheMainWindow(firmwareDir + "\\firmware.shx"));
  ExpectImages();
  EXPECT_EQ(ReadWholeFile(user->Folder() + "\\firmware.hdr"),
            Bytes(firmware.Superfile.begin(), firmware.Superfile.begin() + 8172));
}

TEST_F(Walk, Step3_EditLanguagePack) {
  ASSERT_NE(mainWindow, nullptr);
  EditLanguagePack();
}

TEST_F(Walk, Step4_EditDrmImage) {
  ASSERT_NE(mainWindow, nullptr);
  EditDrmImage();
}

TEST_F(Walk, Step5_CombineWritesASuperfileThatSplitsBackToTheImages) {
  ASSERT_NE(mainWindow, nullptr);
  HWND combine = user->Child(mainWindow, "TsButton", "Combine files to *.shx");
  ASSERT_NE(combine, nullptr) << user->Failure("the main window lacks \"Combine files to *.shx\"");
  user->Click(combine);
  const std::string combined = user->Folder() + "\\combined.shx";
  ASSERT_TRUE(AnswerFileDialog("Save", combined, "save-dialog"));
  HWND status = user->Child(mainWindow, "TsStatusBar", "");
  ASSERT_TRUE(TUserDriver::WaitFor([&] { return !ReadWholeFile(combined).empty() && !user->StatusText(status).empty() &&
                                                user->StatusText(status).find("Combin") == std::string::npos; },
                                   30000))
      << user->Failure("the combination did not finish: status \"" + user->StatusText(status) + "\"");

  // What the program wrote, split by the program again, gives back every image.
  ASSERT_TRUE(SplitThroughTheMainWindow(combined));
  imageBase = "combined";
  ExpectImages(true);
  CheckWithOutsideTools(combined);
  EXPECT_EQ(ReadWholeFile(user->Folder() + "\\combined.hdr").size(), 8172u);
}

TEST_F(Walk, Step6_FlashSendsEverySelectedImageToThePhone) {
  ASSERT_NE(mainWindow, nullptr);
  TPhoneControl phone;
  ASSERT_TRUE(phone.Present() && phonePlugged) << "the simulated phone driver is not installed (tools/test installs it)";

  HWND grid = user->Child(mainWindow, "TDBGrid", "");
  HWND flash = user->Child(mainWindow, "TsButton", "Flash");
  ASSERT_TRUE(grid && flash) << user->Failure("the main window lacks the grid or \"Flash\"");
  // Every row but the RAM downloader's (the first by code group): a click, then a shift-click.
  user->ClickAt(grid, 100, GridRowY(1));
  user->ClickAt(grid, 100, GridRowY(5), false, MK_SHIFT);
  user->Click(flash);
  HWND flasher = user->WaitWindow("Flash");
  ASSERT_NE(flasher, nullptr) << user->Failure("no flasher window");
  HWND status = user->Child(flasher, "TsStatusBar", "");
  HWND start = user->Child(flasher, "TsButton", "Flash");
  HWND log = user->Child(flasher, "TsMemo", "");
  ASSERT_TRUE(status && start && log) << user->Failure("the flasher lacks its status bar, \"Flash\" or its log");
  ASSERT_TRUE(user->WaitText(status, [](const std::string& t) { return t == "Connected"; }, 15000))
      << user->Failure("the flasher never saw the phone: \"" + TUserDriver::Text(status) + "\"");
  user->Click(start);
  ASSERT_TRUE(user->WaitText(
      log, [](const std::string& t) { return t.find("\"POWER_DOWN\" done.") != std::string::npos; }, 60000))
      << user->Failure("the run did not end:\n" + TUserDriver::Text(log) + "\nthe phone's commands:\n" +
                       [&] {
                         std::string all;
                         for (const std::string& c : phone.Commands()) all += "  " + c + "\n";
                         return all;
                       }());

  struct TImage {
    std::string Name;
    uint32_t Start;
    Bytes Data;
  };
  std::vector<TImage> images;
  for (int row : ImageRows())
    if (row > 0) images.push_back({ImagePath(row), ImageStart(row), ExpectedImage(row)});
  std::vector<std::string> want{"Send RAMDLD...", "Loader sent.", "Jump Done", "Erase Done"};
  for (const TImage& image : images) {
    Bytes written;
    EXPECT_TRUE(phone.ReadMemory(image.Start, static_cast<uint32_t>(image.Data.size()), written)) << image.Name;
    EXPECT_EQ(written, image.Data) << image.Name;
    want.push_back("Send file: " + image.Name);
    want.push_back(image.Name + " sent");
  }
  want.push_back("\"POWER_DOWN\" done.");
  const std::string text = TUserDriver::Text(log);
  EXPECT_EQ(MissingInOrder(Lines(text), want), "") << text;

  // The loader went over with its table naming each image's first and last address.
  const TShxGroup& loader = Group(-2);
  Bytes table;
  ASSERT_TRUE(phone.ReadMemory(loader.Start, TFlashSequence::AreaEnd, table));
  ExpectLoaderTable(table);
  PostMessageA(flasher, WM_CLOSE, 0, 0);
  EXPECT_TRUE(user->WaitGone("Flash")) << user->Failure("the flasher did not close");
}

TEST_F(Walk, Step7_SkinSwitchesRepaintEveryWindow) {
  ASSERT_NE(mainWindow, nullptr);
  SwitchSkins();
}

TEST_F(Walk, Step8_ExitWritesTheEnvironment) {
  ASSERT_TRUE(user->Exit()) << user->Failure("the program did not end");
  const std::string ini = FileText(user->Folder() + "\\Tarvex.ini");
  EXPECT_NE(ini.find("[Environment]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("SkinName=Desert"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Skined=1"), std::string::npos) << ini;
}

}  // namespace
}  // namespace walk
