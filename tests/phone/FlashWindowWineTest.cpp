#include "phone/TfmFlash.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <initializer_list>

#include "framework/base/ByteOrder.h"
#include "framework/win/TApplication.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TScreen.h"
#include "phone/P2KAPI.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsMemo.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsMessageDlg.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/phone/core/FlashTestData.h"
#include "tests/phone/simulator/SimulatedPhone.h"
#include "tests/support/TTempFolder.h"
#include "workbench/core/FileFilters.h"
#include "workbench/core/Messages.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

constexpr UINT WM_PROBE = WM_APP + 21;

// Dispatches messages until Done holds; the bound only keeps a broken build from hanging.
bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > 20000) return false;
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

using flashtest::Pattern;

// The flasher on a simulated phone. Sleeps are short, and the test watches the run from inside:
// every log line and progress step can act, and a probe message posted to the window is noted with
// the upload's progress at the moment it is handled.
class TTestFlash : public TfmFlash {
public:
  TTestFlash(TComponent* owner, TDevicePort& port) : TfmFlash(owner, port) {}

  void LogLine(const std::string& line) override {
    if (OnLine) OnLine(line);
    TfmFlash::LogLine(line);
  }
  void Progress(std::uint64_t done, std::uint64_t total) override {
    Done = done;
    if (OnProgress) OnProgress(done, total);
    TfmFlash::Progress(done, total);
  }
  void Sleep(std::uint32_t ms) override {
    Slept += ms;
    TfmFlash::Sleep(1);
  }
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_PROBE) {
      ProbeHandledAt.push_back(Done);
      return;
    }
    TfmFlash::Dispatch(message);
  }

  std::function<void(const std::string&)> OnLine;
  std::function<void(std::uint64_t, std::uint64_t)> OnProgress;
  std::uint64_t Done = 0;
  std::uint64_t Slept = 0;
  std::vector<std::uint64_t> ProbeHandledAt;
};

// An open dialog that "chooses" a file without showing anything.
class TChoosingDialog : public TOpenDialog {
public:
  using TOpenDialog::TOpenDialog;
  bool Execute() override {
    ++Shown;
    SetFileName(Choice);
    return !Choice.empty();
  }
  std::string Choice;
  int Shown = 0;
};

// Notes, as the flasher's own destructor is about to run, whether its data source is let go or still
// one of its components: a window freed with Free has lost its components by then.
class TSourceWatchFlash : public TTestFlash {
public:
  using TTestFlash::TTestFlash;
  ~TSourceWatchFlash() override { *SourceSafe = DataSource1 == nullptr || FindComponent("DataSource1") == static_cast<TComponent*>(DataSource1); }
  bool* SourceSafe = nullptr;
};

class FlashWindow : public ::testing::Test {
protected:
  void SetUp() override {
    Phone.SetTimeoutSleep(1);
    Phone.SetReenumerationDelay(30);
  }
  void TearDown() override {
    if (Form != nullptr) Form->Free();
    Form = nullptr;
    EXPECT_EQ(Phone.OpenHandles(), 0);
    EXPECT_EQ(Phone.ClosedHandleUses(), 0);
  }
  void Open(TSimMode mode) {
    if (mode != TSimMode::Absent) Phone.PlugIn(mode);
    Form = NewComponent<TTestFlash>(nullptr, Phone);
    Form->Show();
    if (mode != TSimMode::Absent) {
      ASSERT_TRUE(PumpUntil([&] { return Form->P2K()->Connected(); }));
    }
  }
  std::string Write(const std::string& name, const Bytes& data) {
    const std::string path = Dir / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return path;
  }
  // A loader, CG 4 at 10000000 and CG 15 at 11000000 (sizes not multiples of a block).
  void FillTwoGroups() {
    Loader = Pattern(1200, 1);
    Image4 = Pattern(5000, 4);
    Image15 = Pattern(3333, 15);
    Name4 = Write("flash_4.smg", Image4);
    Name15 = Write("lang_15.smg", Image15);
    Form->sFilenameEdit1->SetText(Write("RAMDLD.smg", Loader));
    Form->AppendRow(4, Name4, "Flash", 0x10000000, 5000);
    Form->AppendRow(15, Name15, "CG15", 0x11000000, 3333);
  }
  static void Click(TsButton* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }
  Lines Log() {
    const TStringList lines = Form->sMemo1->Lines();
    Lines out;
    for (int i = 0; i < lines.Count(); ++i) out.push_back(lines[i]);
    return out;
  }
  bool Holds(std::uint32_t address, const Bytes& expected) {
    Bytes got;
    return Phone.ReadMemory(address, expected.size(), got) && got == expected;
  }
  int CountOf(const std::string& command) {
    const Lines commands = Phone.Commands();
    return int(std::count(commands.begin(), commands.end(), command));
  }
  std::vector<bool> ButtonsEnabled() {
    std::vector<bool> enabled;
    for (TWinControl* c : std::initializer_list<TWinControl*>{Form->sButton1, Form->sButton2, Form->sButton3,
                                                               Form->sButton4, Form->sButton5, Form->sButton6,
                                                               Form->sFilenameEdit1, Form->sEdit1, Form->DBGrid1})
      enabled.push_back(IsWindowEnabled(c->Handle()) != 0);
    return enabled;
  }
  std::string Panel0() { return Form->sStatusBar1->Panels(0).Text; }

  TTempFolder Dir{"tarvex-flasher"};
  TSimulatedPhone Phone;
  TTestFlash* Form = nullptr;
  Bytes Loader, Image4, Image15;
  std::string Name4, Name15;
};

TEST_F(FlashWindow, RunFromTestModeLogsEveryStepInOrderAndSendsTheFilledLoaderAndTheImages) {
  Open(TSimMode::TestCommand);
  EXPECT_EQ(Panel0(), "Connected");
  FillTwoGroups();
  Form->sButton5->SetFocus();
  Click(Form->sButton5);

  EXPECT_EQ(GetFocus(), Form->sButton5->Handle());  // disabled during the run, it has the focus back
  EXPECT_EQ(Log(), (Lines{"Send RAMDLD...", "Loader sent.", "Jump Done", "Erase Done", "Send file: " + Name4,
                          Name4 + " sent", "Send file: " + Name15, Name15 + " sent", "\"POWER_DOWN\" done."}));
  EXPECT_TRUE(Holds(0x03FD0000, flashtest::LoaderForTwoGroups(Loader, 5000, 3333)));
  EXPECT_TRUE(Holds(0x10000000, Image4));
  EXPECT_TRUE(Holds(0x11000000, Image15));
  EXPECT_EQ(CountOf("TEST 000D"), 1);  // restarted into flash mode
  EXPECT_EQ(CountOf("JUMP 03FD0010"), 1);
  EXPECT_EQ(Form->Slept, 500u + 500u + 2 * 1000u);
  EXPECT_EQ(Form->sGauge1->PercentDone(), 100);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  // Powered down: the phone leaves, and the panel follows.
  ASSERT_TRUE(PumpUntil([&] { return !Form->P2K()->Connected(); }));
  EXPECT_EQ(Panel0(), "Not connected");
}

TEST_F(FlashWindow, PhoneInFlashModeGetsNoRestartAndAFailedJumpWritesNoFileButPowersDown) {
  Open(TSimMode::Flash);
  FillTwoGroups();
  Phone.InjectFault(TSimStep::Jump, TSimFault::NoReply);
  Click(Form->sButton5);

  EXPECT_EQ(Log(), (Lines{"Send RAMDLD...", "Loader sent.", "jump fail!", "\"POWER_DOWN\" done."}));
  EXPECT_EQ(CountOf("TEST 000D"), 0);
  EXPECT_EQ(CountOf("ERASE"), 0);
  Bytes ignored;
  EXPECT_FALSE(Phone.ReadMemory(0x10000000, 1, ignored));
  EXPECT_FALSE(Phone.ReadMemory(0x11000000, 1, ignored));
  EXPECT_EQ(Phone.Commands().back(), "POWER_DOWN");
}

TEST_F(FlashWindow, LoaderProblemsAndAbsentPhoneEndTheRunBeforeAnythingIsSent) {
  Open(TSimMode::Absent);
  FillTwoGroups();
  Click(Form->sButton5);  // no phone: nothing at all
  EXPECT_EQ(Log(), Lines{});

  Phone.PlugIn(TSimMode::TestCommand);
  ASSERT_TRUE(PumpUntil([&] { return Form->P2K()->Connected(); }));
  Form->sFilenameEdit1->SetText("");
  Click(Form->sButton5);
  Form->sFilenameEdit1->SetText(Write("short.smg", Pattern(415, 3)));
  Click(Form->sButton5);
  Form->sFilenameEdit1->SetText(Write("RAMDLD.smg", Pattern(416, 3)));
  Form->sEdit1->SetText("03FD00001");
  Click(Form->sButton5);
  const Lines log = Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], Msgs[TMsgId::ChooseLoader]);
  EXPECT_EQ(log[1].rfind(Msgs[TMsgId::RamDownloaderMissing], 0), 0u) << log[1];
  EXPECT_NE(log[1].find("short.smg"), std::string::npos);
  EXPECT_NE(log[2].find("03FD00001"), std::string::npos);
  EXPECT_TRUE(Phone.Commands().empty());
  EXPECT_TRUE(Form->P2K()->Connected());
}

TEST_F(FlashWindow, DuringARunTheButtonsAreOffClicksAndHandOffsChangeNothingAndACloseEndsCleanly) {
  Open(TSimMode::Flash);
  FillTwoGroups();
  std::vector<std::vector<bool>> enabledAtLines;
  int recordsDuringRun = -1;
  Form->OnLine = [&](const std::string& line) {
    enabledAtLines.push_back(ButtonsEnabled());
    if (line != "Loader sent.") return;
    // Everything a user or another window might do while the run waits; the clicks arrive at the
    // run's next pump.
    for (TsButton* b : {Form->sButton1, Form->sButton2, Form->sButton3, Form->sButton4, Form->sButton5})
      PostMessageA(b->Handle(), BM_CLICK, 0, 0);
    Form->ResetList();
    Form->AppendRow(7, "x.smg", "CG7", 0, 1);
    recordsDuringRun = Form->CDS->RecordCount();
    PostMessageA(Form->Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_FALSE(Form->Running());
  Click(Form->sButton5);
  EXPECT_FALSE(Form->Running());

  EXPECT_EQ(recordsDuringRun, 2);
  ASSERT_FALSE(enabledAtLines.empty());
  for (const std::vector<bool>& enabled : enabledAtLines) EXPECT_EQ(enabled, std::vector<bool>(9, false));
  EXPECT_EQ(ButtonsEnabled(), std::vector<bool>(9, true));
  // One run, whole, though the window was closed (hidden) under it.
  EXPECT_EQ(CountOf("ERASE"), 1);
  EXPECT_EQ(CountOf("POWER_DOWN"), 1);
  EXPECT_TRUE(Holds(0x11000000, Image15));
  EXPECT_EQ(Log().back(), "\"POWER_DOWN\" done.");
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
  EXPECT_EQ(Form->CDS->RecordCount(), 2);
  // Afterwards the hand-off is taken again.
  Form->ResetList();
  EXPECT_EQ(Form->CDS->RecordCount(), 0);
}

TEST_F(FlashWindow, AMessagePostedDuringAnUploadIsHandledBeforeItEnds) {
  Open(TSimMode::Flash);
  FillTwoGroups();
  // 64 blocks, each reply a few milliseconds late: the upload outlasts the repaint interval.
  const Bytes big = Pattern(64 * 2048, 9);
  Form->ResetList();
  Form->AppendRow(4, Write("big_4.smg", big), "Flash", 0x10000000, static_cast<int32_t>(big.size()));
  bool posted = false;
  Form->OnProgress = [&](std::uint64_t done, std::uint64_t total) {
    if (total != big.size() || done == 0 || posted) return;
    posted = true;
    Phone.SetReplyDelay(3);
    PostMessageA(Form->Handle(), WM_PROBE, 0, 0);
  };
  Click(Form->sButton5);
  Phone.SetReplyDelay(0);
  ASSERT_EQ(Form->ProbeHandledAt.size(), 1u);
  EXPECT_LT(Form->ProbeHandledAt[0], big.size());
  EXPECT_TRUE(Holds(0x10000000, big));
}

TEST_F(FlashWindow, AddBinDeleteClearAndNewAddressWorkOnTheListWithoutAPhone) {
  Open(TSimMode::Absent);
  TChoosingDialog dialog(nullptr);
  Form->SetAddBinDialog(&dialog);
  Bytes cg4 = Pattern(600, 2);
  ByteOrder::WriteBE32(&cg4[0], 0x100012AB);
  dialog.Choice = Write("flash_4.smg", cg4);
  Click(Form->sButton1);
  dialog.Choice = Write("boot.bin", Pattern(300, 5));
  Click(Form->sButton1);
  EXPECT_EQ(dialog.Filter(), GetFilter(TFilterKind::CodeGroupImages));
  ASSERT_EQ(Form->CDS->RecordCount(), 2);
  Form->CDS->First();
  EXPECT_EQ(Form->CDS->FieldByName("CG")->AsInteger(), 4);
  EXPECT_EQ(Form->CDS->FieldByName("Type")->AsString(), "LangPack");
  EXPECT_EQ(Form->CDS->FieldByName("A1Str")->AsString(), "10001200");
  EXPECT_EQ(Form->CDS->FieldByName("size")->AsInteger(), 600);
  Form->CDS->Next();
  EXPECT_EQ(Form->CDS->FieldByName("CG")->AsInteger(), -1);
  EXPECT_EQ(Form->CDS->FieldByName("Type")->AsString(), "Boot Loader");
  EXPECT_EQ(Form->CDS->FieldByName("A1Str")->AsString(), "FFFFFFFF");
  EXPECT_EQ(Form->CDS->FieldByName("size")->AsInteger(), 300);  // the file's, so the row can be flashed

  // "New address": good text, then text that is no address (the log says so, the row keeps its own).
  auto answer = [](const std::string& text) {
    RunLater(5, [text] {
      for (int i = 0; i < Screen->FormCount(); ++i) {
        auto* box = dynamic_cast<TsMessageForm*>(Screen->Forms(i));
        if (box == nullptr || !box->IsModal()) continue;
        for (int c = 0; c < box->ComponentCount(); ++c)
          if (auto* edit = dynamic_cast<TsEdit*>(box->Components(c))) SetWindowTextA(edit->Handle(), text.c_str());
        box->SetModalResult(mrOk);
      }
    });
  };
  answer("10a0000");
  Click(Form->sButton4);
  EXPECT_EQ(Form->CDS->FieldByName("A1Str")->AsString(), "010A0000");
  answer("12 34");
  Click(Form->sButton4);
  EXPECT_EQ(Form->CDS->FieldByName("A1Str")->AsString(), "010A0000");
  EXPECT_EQ(Log(), Lines{"Invalid address \"12 34\": 1 to 8 hex digits expected."});

  Click(Form->sButton2);
  EXPECT_EQ(Form->CDS->RecordCount(), 1);
  Click(Form->sButton3);
  EXPECT_EQ(Form->CDS->RecordCount(), 0);
  EXPECT_TRUE(Form->CDS->Active());
  // On the empty list "Delete" and "New address" do nothing (no prompt comes up to answer).
  Click(Form->sButton2);
  Click(Form->sButton4);
  EXPECT_EQ(Form->CDS->RecordCount(), 0);
  Form->SetAddBinDialog(nullptr);
}

// Freed or deleted with rows on its list, the window reaches no freed component while it goes.
TEST_F(FlashWindow, FreedOrDeletedTheWindowLeavesNoPointerToAFreedDataSource) {
  for (const bool freed : {true, false}) {
    bool safe = false;
    auto* form = NewComponent<TSourceWatchFlash>(nullptr, Phone);
    form->SourceSafe = &safe;
    form->Show();
    form->AppendRow(4, "flash_4.smg", "LangPack", 0x10001200, 600);
    Pump();
    if (freed) {
      form->Free();
    } else {
      delete form;
    }
    EXPECT_TRUE(safe) << (freed ? "freed" : "deleted");
  }
}

TEST_F(FlashWindow, WithoutABorrowedDialogAddBinOpensItsOwn) {
  Open(TSimMode::Absent);
  int cancelled = 0;
  std::function<void()> cancel = [&] {
    // The platform's open dialog of this thread, once it is up.
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM found) {
          char name[16] = {};
          GetClassNameA(h, name, sizeof name);
          if (std::string(name) == "#32770" && IsWindowVisible(h)) *reinterpret_cast<HWND*>(found) = h;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) {
      RunLater(20, cancel);
      return;
    }
    ++cancelled;
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  };
  RunLater(20, cancel);
  Click(Form->sButton1);
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(Form->CDS->RecordCount(), 0);
  TOpenDialog* own = nullptr;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* d = dynamic_cast<TOpenDialog*>(Form->Components(i))) own = d;
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->Filter(), GetFilter(TFilterKind::CodeGroupImages));
}

TEST_F(FlashWindow, TheStatusPanelFollowsPlugAndUnplugWhileHidden) {
  Open(TSimMode::Absent);
  Form->Hide();
  ASSERT_TRUE(PumpUntil([&] { return Panel0() == "Not connected"; }));
  Phone.PlugIn(TSimMode::TestCommand);
  EXPECT_TRUE(PumpUntil([&] { return Panel0() == "Connected"; }));
  Phone.Unplug();
  EXPECT_TRUE(PumpUntil([&] { return Panel0() == "Not connected"; }));
  EXPECT_EQ(Form->sStatusBar1->PanelCount(), 2);
  EXPECT_EQ(Form->sStatusBar1->Panels(0).Width, 128);
  EXPECT_EQ(Form->sStatusBar1->Panels(1).Width, 50);
  EXPECT_EQ(Form->Caption(), "Flash");
  EXPECT_EQ(Form->sEdit1->Text(), "03FD0000");
  EXPECT_EQ(Form->sEdit1->CharCase(), ecUpperCase);
}

// Census cycles: a flasher made with its link on a phone, shown and freed; then runs on one window.
TEST_F(FlashWindow, HandlesAndPhoneHandlesStayFlatOverWindowsAndRuns) {
  Phone.PlugIn(TSimMode::Flash);
  const TGuiCensus windows = TGuiCensus::ChangeOver(200, [&] {
    auto* form = NewComponent<TTestFlash>(nullptr, Phone);
    form->Show();
    Pump();
    form->Free();
  });
  EXPECT_EQ(windows, TGuiCensus());
  EXPECT_EQ(Phone.OpenHandles(), 0);

  Open(TSimMode::Flash);
  FillTwoGroups();
  const auto run = [&] {
    if (!Form->P2K()->Connected()) {
      Phone.PlugIn(TSimMode::Flash);
      PumpUntil([&] { return Form->P2K()->Connected(); });
    }
    Click(Form->sButton5);
    PumpUntil([&] { return !Form->P2K()->Connected(); });
  };
  // The log outgrows the memo on the second run: its scroll bar comes once.
  run();
  const TGuiCensus runs = TGuiCensus::ChangeOver(10, run);
  EXPECT_EQ(runs, TGuiCensus());
  EXPECT_EQ(CountOf("POWER_DOWN"), 12);
  EXPECT_EQ(Phone.OpenHandles(), 0);
}

}  // namespace
