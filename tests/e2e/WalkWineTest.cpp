// The whole program walked through as a user drives it. The steps share one run of Tarvex.exe
// and run in order; each names what it checks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "Firmware.h"
#include "phone/core/FlashSequence.h"
#include "tests/e2e/phone/PhoneControlClient.h"
#include "tests/e2e/UserDriver.h"

namespace {

std::unique_ptr<TUserDriver> user;
HWND mainWindow = nullptr;
TFirmware firmware;
std::string firmwareDir;
bool phonePlugged = false;

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

// The superfile whose split left the images in the current folder: the generated one, then the
// program's own combination of them.
std::string imageBase = "firmware";

// The image file the split names for a group: "BASE{@0xSTART}TAG.smg" in the current folder.
std::string ImageName(uint32_t start, const std::string& tag) {
  char address[16];
  std::snprintf(address, sizeof address, "%08X", start);
  return user->Folder() + "\\" + imageBase + "{@0x" + address + "}" + tag + ".smg";
}

// The lines of a multi-line text.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Where `want` first shows up as a subsequence of `lines`; empty when it does not.
std::string MissingInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& want) {
  std::size_t at = 0;
  for (const std::string& line : want) {
    while (at < lines.size() && lines[at] != line) ++at;
    if (at == lines.size()) return line;
    ++at;
  }
  return {};
}

std::string FileText(const std::string& path) {
  const std::vector<unsigned char> bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

uint32_t BigEndian32(const Bytes& bytes, std::size_t at) {
  return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

// The loader's table names the first and last address of each group but the loader's.
void ExpectLoaderTable(const Bytes& loader) {
  ASSERT_GE(loader.size(), TFlashSequence::AreaEnd);
  const auto pair = [&](int cg, uint32_t start, std::size_t size) {
    const std::size_t at = TFlashSequence::TableStart + 8 * static_cast<std::size_t>(cg);
    EXPECT_EQ(BigEndian32(loader, at), start) << "CG " << cg;
    EXPECT_EQ(BigEndian32(loader, at + 4), start + size - 1) << "CG " << cg;
  };
  pair(1, Group(0).Start, Group(0).Data.size() + Group(1).Data.size());
  for (int cg : {2, 4, 15, 18}) pair(cg, Group(cg).Start, Group(cg).Data.size());
}

// The images of the last split equal the firmware's groups (the memory map and flash in one).
// A combined superfile carries the loader with its table rewritten by the combination (its own
// tests cover what the table holds); the rest of the loader is the firmware's.
void ExpectImagesOfTheFirmware(bool loaderTableFilled = false) {
  const Bytes loader = ReadWholeFile(ImageName(Group(-2).Start, "RAMDLD"));
  Bytes want(Group(-2).Data.begin(), Group(-2).Data.end());
  if (loaderTableFilled && loader.size() == want.size() && want.size() >= TFlashSequence::AreaEnd) {
    std::copy(loader.begin() + TFlashSequence::AreaStart, loader.begin() + TFlashSequence::AreaEnd,
              want.begin() + TFlashSequence::AreaStart);
  }
  EXPECT_EQ(loader, want);
  EXPECT_EQ(ReadWholeFile(ImageName(Group(0).Start, "CG1")), Concat(Group(0).Data, Group(1).Data));
  for (int cg : {2, 4, 15, 18})
    EXPECT_EQ(ReadWholeFile(ImageName(Group(cg).Start, "CG" + std::to_string(cg))),
              Bytes(Group(cg).Data.begin(), Group(cg).Data.end()))
        << "CG " << cg;
}

// Types a file name into the skinned open or save dialog and presses its button.
::testing::AssertionResult AnswerFileDialog(const std::string& button, const std::string& fileName,
                                            const std::string& shot) {
  HWND dialog = user->WaitWindowOfClass("TsOpenDialogForm");
  if (!dialog) return ::testing::AssertionFailure() << user->Failure("no file dialog");
  const std::vector<HWND> edits = user->Children(dialog, "TsEdit");
  HWND accept = user->Child(dialog, "TsButton", button);
  if (edits.empty() || !accept)
    return ::testing::AssertionFailure() << user->Failure("the file dialog lacks its name edit or \"" + button + "\"");
  user->Retype(edits.front(), fileName);
  if (!user->WaitText(edits.front(), [&](const std::string& t) { return t == fileName; }))
    return ::testing::AssertionFailure() << user->Failure("the typed name did not reach the file dialog");
  if (std::getenv("TARVEX_WALK_KEEP")) {
    Sleep(1500);  // a look by eye: let the window finish painting
    user->Screenshot(shot);
  }
  const std::string caption = TUserDriver::Text(dialog);
  if (caption != button)
    return ::testing::AssertionFailure() << user->Failure("the file dialog is titled \"" + caption + "\"");
  user->Click(accept);
  if (!user->WaitGone(caption)) return ::testing::AssertionFailure() << user->Failure("the file dialog stayed");
  return ::testing::AssertionSuccess();
}

// Splits a superfile through the main window: with the source edit empty, "Split file" asks for the
// file in the open dialog.
::testing::AssertionResult SplitThroughTheMainWindow(const std::string& superfile) {
  HWND source = user->Child(mainWindow, "TsFilenameEdit", "");
  HWND split = user->Child(mainWindow, "TsButton", "Split file");
  HWND status = user->Child(mainWindow, "TsStatusBar", "");
  if (!(source && split && status))
    return ::testing::AssertionFailure() << user->Failure("the main window lacks the source edit, \"Split file\" or the status bar");
  user->Retype(source, "");
  if (!user->WaitText(source, [](const std::string& t) { return t.empty(); }))
    return ::testing::AssertionFailure() << user->Failure("the source edit did not empty");
  user->Click(split);
  if (auto answered = AnswerFileDialog("Open", superfile, "open-dialog"); !answered) return answered;
  if (!user->WaitText(source, [&](const std::string& t) { return t == superfile; }))
    return ::testing::AssertionFailure() << user->Failure("the chosen name did not reach the source edit");
  if (!TUserDriver::WaitFor([&] { return user->StatusText(status) == "Extracting done."; }, 30000))
    return ::testing::AssertionFailure()
           << user->Failure("the split did not finish: status \"" + user->StatusText(status) + "\"");
  return ::testing::AssertionSuccess();
}

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
  ExpectImagesOfTheFirmware();
  EXPECT_EQ(ReadWholeFile(user->Folder() + "\\firmware.hdr"),
            Bytes(firmware.Superfile.begin(), firmware.Superfile.begin() + 8172));
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
  ExpectImagesOfTheFirmware(true);
  EXPECT_EQ(ReadWholeFile(user->Folder() + "\\combined.hdr").size(), 8172u);
}

// The rows of the grid: a title row, then rows of the grid font's height plus four. The row
// height here is that of the default font; a wrong pick shows up as the wrong images flashed.
constexpr int GridRowHeight = 17;
int GridRowY(int row) { return GridRowHeight + 1 + row * GridRowHeight + GridRowHeight / 2; }

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
  std::vector<TImage> images{{ImageName(Group(0).Start, "CG1"), Group(0).Start, Concat(Group(0).Data, Group(1).Data)}};
  for (int cg : {2, 4, 15, 18})
    images.push_back({ImageName(Group(cg).Start, "CG" + std::to_string(cg)), Group(cg).Start,
                      Bytes(Group(cg).Data.begin(), Group(cg).Data.end())});
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

TEST_F(Walk, Step8_ExitWritesTheEnvironment) {
  ASSERT_TRUE(user->Exit()) << user->Failure("the program did not end");
  const std::string ini = FileText(user->Folder() + "\\Tarvex.ini");
  EXPECT_NE(ini.find("[Environment]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("SkinName=Desert"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Skined=1"), std::string::npos) << ini;
}

}  // namespace
