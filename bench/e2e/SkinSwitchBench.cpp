// A skin switch in Tarvex.exe (Desert and Nocturne in turn, chosen in the environment options and
// "Ok" pressed) with every window of the walk's skin step open, until each window has repainted,
// against the same switch in a second Tarvex.exe of the same run with only its main window open.
// The peer is the program's own switch at its smallest, so the ratio is what the six other
// windows add. Goal: the switch with every window open under 1 s.
//
// Checks first: after a switch both programs' options show the skin chosen, the first with its
// six windows open (the options close with "Ok") and the second with its main window alone, and
// once each program is idle the screen shows what a full repaint of every window shows.
// TARVEX_BENCH_CORRUPT=skin-switch has the first choose the other skin, which must fail the check
// (exit code 2).
//
//   wine build/win/bench/e2e/e2e_skin_switch_bench.exe [--pairs N] [--check-only]
#include <windows.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Firmware.h"
#include "bench/support/WineBench.h"
#include "tests/e2e/SkinSwitching.h"
#include "tests/e2e/UserDriver.h"

namespace {

using namespace winbench;

const TLook Desert{"desert", "Desert"}, Nocturne{"nocturne", "Nocturne"};

// The main grid's rows: a title row, then rows of the default font's height plus four.
int GridRowY(int row) { return 18 + row * 17 + 17 / 2; }

void Fail(const TUserDriver& user, const std::string& what) { throw std::runtime_error(user.Failure(what)); }

// The whole screen.
std::vector<char> ScreenPixels() {
  BITMAPINFOHEADER header;
  return ScreenPixels(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, header);
}

// One Tarvex.exe with the generated firmware split into its grid.
class TSide {
public:
  TSide(const TFirmware& firmware, bool everyWindow) : EveryWindow(everyWindow) {
    User.Start(TARVEX_PROGRAM_FOLDER);
    Main = User.WaitWindow("Tarvex");
    if (Main == nullptr) Fail(User, "no main window");
    Skins = std::make_unique<TSkinSwitcher>(User, Main);
    const std::string dir = User.Folder() + "\\firmware";
    CreateDirectoryA(dir.c_str(), nullptr);
    WriteFirmware(firmware, dir);
    HWND source = User.Child(Main, "TsFilenameEdit", ""), split = Skins->Button(Main, "Split file");
    HWND status = User.Child(Main, "TsStatusBar", "");
    if (!(source && split && status)) Fail(User, "the main window lacks the source edit, \"Split file\" or its status");
    User.Retype(source, dir + "\\firmware.shx");
    User.Click(split);
    if (!TUserDriver::WaitFor([&] { return User.StatusText(status) == "Extracting done."; }, 30000))
      Fail(User, "the split did not finish");
    if (EveryWindow) {
      const std::string failed = Skins->OpenTheWindows({GridRowY(1), GridRowY(2), GridRowY(3), GridRowY(4)}, Shown);
      if (!failed.empty()) Fail(User, failed);
    } else {
      Shown = {{"main", Main}};
    }
  }
  ~TSide() {
    User.Exit();
    const std::string folder = User.Folder();
    if (!folder.empty()) RemoveFolder(folder);
  }

  // Switches to the other skin; the time from "Ok" until every window has repainted.
  double Switch(bool corrupt = false) {
    const TLook& look = Current == &Desert ? Nocturne : Desert;
    Current = &look;
    for (const TShownWindow& s : Shown)
      SetWindowPos(s.Window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND options = Skins->OpenEnvironmentOptions();
    if (options == nullptr) Fail(User, "no environment options");
    std::string failed = Skins->Choose(options, corrupt ? (&look == &Desert ? Nocturne : Desert) : look, false);
    if (!failed.empty()) Fail(User, failed);
    Skins->Settled();
    Skins->RepaintNow();
    const double start = NowMs();
    failed = Skins->PressOk(options);
    Skins->RepaintNow();
    const double ms = NowMs() - start;
    if (!failed.empty()) Fail(User, failed);
    return ms;
  }

  void Check(const std::string& side) {
    // Once the program is idle, the windows show what a full repaint of each shows. A caret may
    // blink meanwhile: a few pixels are let pass.
    const std::vector<char> shown = SettledScreen();
    for (const TShownWindow& s : Shown)
      RedrawWindow(s.Window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    const std::vector<char> repainted = SettledScreen();
    std::size_t differing = 0;
    for (std::size_t i = 0; i + 3 <= shown.size() && i + 3 <= repainted.size(); i += 3)
      differing += std::memcmp(&shown[i], &repainted[i], 3) != 0;
    if (shown.empty() || shown.size() != repainted.size() || differing > 100)
      CheckFailed(side + ": " + std::to_string(differing) + " pixels of the screen differ from a full repaint");
    if (Skins->LookShown() != Current->Skin) CheckFailed(side + ": the options do not show " + Current->Skin);
    const std::size_t want = EveryWindow ? 6 : 1, open = Skins->VisibleWindows().size();
    if (Shown.size() != want || open != want)
      CheckFailed(side + ": " + std::to_string(open) + " windows open, " + std::to_string(want) + " wanted:\n" +
                  User.WindowList());
  }

  // The screen once the program has handled what it was sent and nothing changed on it for 400 ms
  // (what waits after a switch is painted when the program has been idle 250 ms).
  std::vector<char> SettledScreen() const {
    Skins->Settled();
    std::vector<char> last = ScreenPixels();
    const double until = NowMs() + 10000;
    for (double since = NowMs(); NowMs() < until && NowMs() - since < 400;) {
      Sleep(50);
      std::vector<char> now = ScreenPixels();
      if (now != last) {
        last.swap(now);
        since = NowMs();
      }
    }
    return last;
  }

  const bool EveryWindow;
  TUserDriver User;
  HWND Main = nullptr;
  std::unique_ptr<TSkinSwitcher> Skins;
  std::vector<TShownWindow> Shown;
  const TLook* Current = &Desert;
};

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const TOptions& options) {
    const TFirmware firmware = GenerateFirmware(23);
    TSide every(firmware, true), alone(firmware, false);
    every.Switch(CorruptionAsked("skin-switch"));
    every.Check("every window");
    alone.Switch();
    alone.Check("main window alone");
    if (options.CheckOnly) return;
    AddPairRow("skin switch: every window / main window alone", "6 windows",
               RunPairs(options.Pairs, [&] { return every.Switch(); }, [&] { return alone.Switch(); }));
  });
}
