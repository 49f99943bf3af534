// The whole program walked through as a user drives it. The steps share one run of Tarvex.exe
// and run in order; each names what it checks.
#include <algorithm>
#include <cstdio>
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
  EXPECT_EQ(ReadWholeFile(firmwareDir + "\\firmware.hdr"),
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

// The flasher's window and the controls of a run.
struct TFlasher {
  HWND Window = nullptr, Status = nullptr, Start = nullptr, Log = nullptr;
};

::testing::AssertionResult FindFlasher(TFlasher& flasher) {
  flasher.Window = user->WaitWindow("Flash");
  if (!flasher.Window) return ::testing::AssertionFailure() << user->Failure("no flasher window");
  flasher.Status = user->Child(flasher.Window, "TsStatusBar", "");
  flasher.Start = user->Child(flasher.Window, "TsButton", "Flash");
  flasher.Log = user->Child(flasher.Window, "TsMemo", "");
  if (!(flasher.Status && flasher.Start && flasher.Log))
    return ::testing::AssertionFailure() << user->Failure("the flasher lacks its status bar, \"Flash\" or its log");
  return ::testing::AssertionSuccess();
}

std::string PhoneCommands(TPhoneControl& phone) {
  std::string all;
  for (const std::string& c : phone.Commands()) all += "  " + c + "\n";
  return all;
}

// Presses the flasher's "Flash" once it shows the phone connected, and waits for the run's last
// line, the power-down's (done or failed). Lines: the lines this run added to the log.
::testing::AssertionResult RunFlasher(const TFlasher& flasher, TPhoneControl& phone, std::vector<std::string>& lines) {
  if (!user->WaitText(flasher.Status, [](const std::string& t) { return t == "Connected"; }, 15000))
    return ::testing::AssertionFailure()
           << user->Failure("the flasher never saw the phone: \"" + TUserDriver::Text(flasher.Status) + "\"");
  const std::size_t before = Lines(TUserDriver::Text(flasher.Log)).size();
  const auto ended = [&](const std::string& text) {
    const std::vector<std::string> all = Lines(text);
    return std::any_of(all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end(),
                       [](const std::string& line) { return line.starts_with("\"POWER_DOWN\""); });
  };
  user->Click(flasher.Start);
  if (!user->WaitText(flasher.Log, ended, 60000))
    return ::testing::AssertionFailure() << user->Failure("the run did not end:\n" + TUserDriver::Text(flasher.Log) +
                                                          "\nthe phone's commands:\n" + PhoneCommands(phone));
  const std::vector<std::string> all = Lines(TUserDriver::Text(flasher.Log));
  lines.assign(all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end());
  return ::testing::AssertionSuccess();
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Every image but the loader is in the phone's memory, the log tells each step in order, and the
// loader went over with its table naming each image's first and last address.
void ExpectFlashed(TPhoneControl& phone, const std::vector<std::string>& lines) {
  std::vector<std::string> want{"Send RAMDLD...", "Loader sent.", "Jump Done", "Erase Done"};
  for (int row : ImageRows()) {
    if (row < 1) continue;
    const Bytes& image = ExpectedImage(row);
    Bytes written;
    EXPECT_TRUE(phone.ReadMemory(ImageStart(row), static_cast<uint32_t>(image.size()), written)) << ImagePath(row);
    EXPECT_EQ(written, image) << ImagePath(row);
    want.push_back("Send file: " + ImagePath(row));
    want.push_back(ImagePath(row) + " sent");
  }
  want.push_back("\"POWER_DOWN\" done.");
  EXPECT_EQ(MissingInOrder(lines, want), "") << Joined(lines);

  Bytes table;
  ASSERT_TRUE(phone.ReadMemory(Group(-2).Start, TFlashSequence::AreaEnd, table));
  ExpectLoaderTable(table);
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
  TFlasher flasher;
  ASSERT_TRUE(FindFlasher(flasher));
  std::vector<std::string> lines;
  ASSERT_TRUE(RunFlasher(flasher, phone, lines));
  ExpectFlashed(phone, lines);
}

// The phone unplugged in the middle of a file: the log says so and nothing after it is sent; once
// re-plugged, "Flash" again writes everything.
TEST_F(Walk, Step6_UnplugMidFileIsLoggedAndAReflashCompletes) {
  ASSERT_NE(mainWindow, nullptr);
  TPhoneControl phone;
  ASSERT_TRUE(phone.Present() && phonePlugged);
  TFlasher flasher;
  ASSERT_TRUE(FindFlasher(flasher));
  // The last run powered the phone down.
  ASSERT_TRUE(user->WaitText(flasher.Status, [](const std::string& t) { return t == "Not connected"; }))
      << user->Failure("the flasher still shows the phone: \"" + TUserDriver::Text(flasher.Status) + "\"");

  // A fresh phone, unplugged at the BIN frame in the middle of the first image (CG 1), after the
  // loader's frames.
  constexpr std::size_t Block = 2048;
  const std::size_t loaderBlocks = (ExpectedImage(-2).size() + Block - 1) / Block;
  const std::size_t imageBlocks = (ExpectedImage(1).size() + Block - 1) / Block;
  ASSERT_GE(imageBlocks, 3u) << "the first image must span several blocks";
  const std::size_t cutBlock = imageBlocks / 2;  // 0-based block of the image
  ASSERT_TRUE(phone.PlugFresh(TSimMode::TestCommand));
  ASSERT_TRUE(phone.Fault(TSimStep::Bin, TSimFault::Unplug, static_cast<uint32_t>(loaderBlocks + cutBlock + 1)));
  std::vector<std::string> lines;
  ASSERT_TRUE(RunFlasher(flasher, phone, lines));
  char cutAt[9];
  std::snprintf(cutAt, sizeof cutAt, "%08X", static_cast<unsigned>(ImageStart(1) + cutBlock * Block));
  const std::string first = ImagePath(1);
  EXPECT_EQ(MissingInOrder(lines, {"Loader sent.", "Erase Done", "Send file: " + first,
                                   first + ": the phone did not acknowledge the block at " + cutAt + ".",
                                   "The phone was unplugged during the run."}),
            "")
      << Joined(lines);
  for (const std::string& line : lines) {
    EXPECT_FALSE(line.ends_with(" sent")) << Joined(lines);
    EXPECT_FALSE(line.starts_with("Send file: ") && line != "Send file: " + first) << Joined(lines);
  }
  EXPECT_TRUE(user->WaitText(flasher.Status, [](const std::string& t) { return t == "Not connected"; }))
      << user->Failure("the flasher still shows the phone after the unplug");

  // The same phone plugged back: a second "Flash" completes.
  ASSERT_TRUE(phone.Plug(TSimMode::TestCommand));
  ASSERT_TRUE(RunFlasher(flasher, phone, lines));
  ExpectFlashed(phone, lines);

  PostMessageA(flasher.Window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(user->WaitGone("Flash")) << user->Failure("the flasher did not close");
}

TEST_F(Walk, Step7_SkinSwitchesRepaintEveryWindow) {
  ASSERT_NE(mainWindow, nullptr);
  SwitchSkins();
}

// Saves the project through "Save project" under a typed name and answers the box that says so.
::testing::AssertionResult SaveProject(const std::string& fileName) {
  HWND save = user->Child(mainWindow, "TsButton", "Save project");
  if (!save) return ::testing::AssertionFailure() << user->Failure("the main window lacks \"Save project\"");
  user->Click(save);
  if (auto answered = AnswerFileDialog("Save", fileName, "save-project"); !answered) return answered;
  HWND box = user->WaitWindow("Information");
  HWND ok = box ? user->WaitChild(box, "TsBitBtn", "OK") : nullptr;
  if (!ok) return ::testing::AssertionFailure() << user->Failure("no box telling the project was saved");
  if (!user->ClickUntil(ok, [&] { return !IsWindowVisible(box); }) || !user->WaitGone("Information"))
    return ::testing::AssertionFailure() << user->Failure("the box stayed");
  return ::testing::AssertionSuccess();
}

// The main window's options as a user sets and reads them.
struct TOptionControls {
  HWND Source = nullptr, BufferSize = nullptr, SeparateMap = nullptr, ByCodeGroup = nullptr, ByStart = nullptr;
};

::testing::AssertionResult FindOptionControls(TOptionControls& c) {
  c.Source = user->Child(mainWindow, "TsFilenameEdit", "");
  c.BufferSize = user->Child(mainWindow, "TsSpinEdit", "");
  c.SeparateMap = user->Child(mainWindow, "TsCheckBox", "Separate [memory map]");
  c.ByCodeGroup = user->Child(mainWindow, "", "Code Group");
  c.ByStart = user->Child(mainWindow, "", "Start address");
  if (!(c.Source && c.BufferSize && c.SeparateMap && c.ByCodeGroup && c.ByStart))
    return ::testing::AssertionFailure() << user->Failure("the main window lacks one of its options");
  return ::testing::AssertionSuccess();
}

// Sets the options: the buffer size typed, the check box and the order clicked until they show.
::testing::AssertionResult SetOptions(const TOptionControls& c, const std::string& bufferSize, bool separate,
                                      bool byStart) {
  user->Retype(c.BufferSize, bufferSize);
  if (TUserDriver::Checked(c.SeparateMap) != separate) user->Click(c.SeparateMap);
  user->Click(byStart ? c.ByStart : c.ByCodeGroup);
  if (!TUserDriver::WaitFor([&] {
        return TUserDriver::Text(c.BufferSize) == bufferSize && TUserDriver::Checked(c.SeparateMap) == separate &&
               TUserDriver::Checked(c.ByStart) == byStart && TUserDriver::Checked(c.ByCodeGroup) == !byStart;
      },
                              5000))
    return ::testing::AssertionFailure() << user->Failure("the options did not take the values set");
  return ::testing::AssertionSuccess();
}

TEST_F(Walk, Step8_SaveClearAllAndOpenProjectKeepTheRowsAndOptions) {
  ASSERT_NE(mainWindow, nullptr);
  TOptionControls options;
  ASSERT_TRUE(FindOptionControls(options));
  const std::string source = TUserDriver::Text(options.Source);
  ASSERT_FALSE(source.empty()) << "the source edit names the last superfile split";
  ASSERT_TRUE(SetOptions(options, "64", true, true));
  const std::string project = user->Folder() + "\\walk.scp";
  ASSERT_TRUE(SaveProject(project));
  const Bytes rows = ReadWholeFile(project);
  for (int row : ImageRows()) EXPECT_NE(FileText(project).find(ImagePath(row)), std::string::npos) << ImagePath(row);
  const std::string config = FileText(user->Folder() + "\\walk.cfg");
  EXPECT_EQ(MissingInOrder(Lines(config), {"[Project]", "Name=" + source, "[Options]", "IO Buffer Size=64",
                                           "Separate memory map=1", "Order=1"}),
            "")
      << config;

  // "Clear All" (it asks nothing), other options, then "Open project": the saved ones come back.
  HWND clear = user->Child(mainWindow, "TsButton", "Clear All");
  HWND open = user->Child(mainWindow, "TsButton", "Open project");
  ASSERT_TRUE(clear && open) << user->Failure("the main window lacks \"Clear All\" or \"Open project\"");
  user->Click(clear);
  ASSERT_TRUE(SetOptions(options, "300", false, false));
  user->Retype(options.Source, "");
  ASSERT_TRUE(user->WaitText(options.Source, [](const std::string& t) { return t.empty(); }));
  user->Click(open);
  ASSERT_TRUE(AnswerFileDialog("Open", project, "open-project"));
  EXPECT_TRUE(TUserDriver::WaitFor(
      [&] {
        return TUserDriver::Text(options.Source) == source && TUserDriver::Text(options.BufferSize) == "64" &&
               TUserDriver::Checked(options.SeparateMap) && TUserDriver::Checked(options.ByStart);
      },
      5000))
      << user->Failure("the options did not come back: source \"" + TUserDriver::Text(options.Source) +
                       "\", buffer \"" + TUserDriver::Text(options.BufferSize) + "\"");

  // The rows came back too: saved again, the project is the same, byte for byte.
  const std::string again = user->Folder() + "\\walk-again.scp";
  ASSERT_TRUE(SaveProject(again));
  EXPECT_EQ(ReadWholeFile(again), rows);
  EXPECT_EQ(FileText(user->Folder() + "\\walk-again.cfg"), config);
}

// "Options" -> "Environment" from the keyboard, as the menu bar's own keys reach it: the menu key
// selects "File", two steps right reach "Options", Down opens it and Enter chooses its only item.
void OpenEnvironmentOptions() {
  PostMessageA(mainWindow, WM_SYSCOMMAND, SC_KEYMENU, 0);
  for (WORD key : {VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}) user->Key(mainWindow, key);
}

// The environment options' skin, skin switch and hints, read from its controls.
struct TEnvironment {
  std::string SkinName;
  bool Skined = false;
  bool ShowHints = false;
};

// "Options" → "Environment", read, and closed with "Cancel".
::testing::AssertionResult ReadEnvironmentOptions(TEnvironment& environment) {
  OpenEnvironmentOptions();
  HWND window = user->WaitWindow("Environment options");
  if (!window) return ::testing::AssertionFailure() << user->Failure("no environment options");
  std::vector<HWND> combos = user->Children(window, "TsComboBox");
  // The language's combo above, the skin's below it.
  std::sort(combos.begin(), combos.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.top < rb.top;
  });
  HWND skin = user->Child(window, "TsCheckBox", "Skin");
  HWND hints = user->Child(window, "TsCheckBox", "Show hints");
  HWND cancel = user->Child(window, "", "Cancel");
  if (combos.size() != 2 || !skin || !hints || !cancel)
    return ::testing::AssertionFailure() << user->Failure("the environment options lack their controls");
  environment = {TUserDriver::Text(combos[1]), TUserDriver::Checked(skin), TUserDriver::Checked(hints)};
  if (!user->ClickUntil(cancel, [&] { return !IsWindowVisible(window); }) || !user->WaitGone("Environment options"))
    return ::testing::AssertionFailure() << user->Failure("the environment options stayed");
  return ::testing::AssertionSuccess();
}

std::string IniValue(const std::string& ini, const std::string& key) {
  for (const std::string& line : Lines(ini))
    if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
  return {};
}

TEST_F(Walk, Step8_ExitWritesTheEnvironmentAndARestartReadsIt) {
  ASSERT_NE(mainWindow, nullptr);
  // Hints switched off, so that the restart has a setting to read that is not a default.
  OpenEnvironmentOptions();
  HWND window = user->WaitWindow("Environment options");
  ASSERT_NE(window, nullptr) << user->Failure("no environment options");
  HWND hints = user->Child(window, "TsCheckBox", "Show hints");
  HWND ok = user->Child(window, "", "Ok");
  ASSERT_TRUE(hints && ok) << user->Failure("the environment options lack \"Show hints\" or \"Ok\"");
  if (TUserDriver::Checked(hints)) user->Click(hints);
  ASSERT_TRUE(TUserDriver::WaitFor([&] { return !TUserDriver::Checked(hints); }, 5000));
  ASSERT_TRUE(user->ClickUntil(ok, [&] { return !IsWindowVisible(window); }) && user->WaitGone("Environment options"))
      << user->Failure("the environment options stayed");
  TEnvironment before;
  ASSERT_TRUE(ReadEnvironmentOptions(before));
  EXPECT_FALSE(before.ShowHints);

  ASSERT_TRUE(user->Exit()) << user->Failure("the program did not end");
  const std::string ini = FileText(user->Folder() + "\\Tarvex.ini");
  EXPECT_NE(ini.find("[Environment]"), std::string::npos) << ini;
  EXPECT_EQ(IniValue(ini, "SkinName"), before.SkinName) << ini;
  EXPECT_EQ(IniValue(ini, "Skined"), before.Skined ? "1" : "0") << ini;
  EXPECT_EQ(IniValue(ini, "ShowHints"), "0") << ini;
  EXPECT_EQ(IniValue(ini, "Language"), "English") << ini;

  // Started again in the same folder, the program shows what it left there.
  user->Restart();
  mainWindow = user->WaitWindow("Tarvex");
  ASSERT_NE(mainWindow, nullptr) << user->Failure("no main window after the restart");
  TEnvironment after;
  ASSERT_TRUE(ReadEnvironmentOptions(after));
  EXPECT_EQ(after.SkinName, before.SkinName);
  EXPECT_EQ(after.Skined, before.Skined);
  EXPECT_FALSE(after.ShowHints);
  ASSERT_TRUE(user->Exit()) << user->Failure("the restarted program did not end");
  EXPECT_EQ(FileText(user->Folder() + "\\Tarvex.ini"), ini);
}

}  // namespace
}  // namespace walk
