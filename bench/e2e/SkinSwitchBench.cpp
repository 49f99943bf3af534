// A skin switch in Tarvex.exe (Desert and Nocturne in turn, chosen in the environment options and
// "Ok" pressed) with every window of the walk's skin step open, until every window shows the new
// skin, against the same switch in a second Tarvex.exe of the same run with only its main window
// open. The peer is the program's own switch at its smallest, so the ratio is what the six other
// windows add. Goal: the switch with every window open at most 2 times the one with the main
// window alone.
//
// Each side is timed the same way, by what the screen shows: a thread reads it over and over from
// "Ok" on, and the clock stops at its last change once it has been quiet a second (windows that
// others covered at the switch are painted when the program has been idle a moment, and count).
// A change is seen at the end of a read, so a time is late by at most the interval between reads,
// given in the row. The screen then settled must be what a full repaint of every window shows,
// after every timed switch as in the checks.
//
// Checks first: after a switch both programs' options show the skin chosen, the first with its
// six windows open (the options close with "Ok") and the second with its main window alone, and
// once each program is idle the screen shows what a full repaint of every window shows.
// TARVEX_BENCH_CORRUPT=skin-switch has the first choose the other skin, which must fail the check
// (exit code 2).
//
//   wine build/win/bench/e2e/e2e_skin_switch_bench.exe [--pairs N] [--check-only]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Firmware.h"
#include "bench/support/WineBench.h"
#include "bench/support/WineScreen.h"
#include "tests/e2e/SkinSwitching.h"
#include "tests/e2e/UserDriver.h"

namespace {

using namespace winbench;

const TLook Desert{"desert", "Desert"}, Nocturne{"nocturne", "Nocturne"};

// The main grid's rows: a title row, then rows of the default font's height plus four.
int GridRowY(int row) { return 18 + row * 17 + 17 / 2; }

void Fail(const TUserDriver& user, const std::string& what) { throw std::runtime_error(user.Failure(what)); }

// How long the screen stays as it is before a switch counts as done: well past the quarter second
// of idleness after which the program paints what waited.
constexpr double kQuietMs = 1000;

// The whole screen.
std::vector<char> ScreenPixels() {
  BITMAPINFOHEADER header;
  return ScreenPixels(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, header);
}

// Blacks out the caret that `thread` shows, in bottom-up 24-bit rows of the whole screen.
void HideCaret(DWORD thread, std::vector<char>& screen) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread, &info) || info.hwndCaret == nullptr) return;
  RECT caret = info.rcCaret;
  MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
  // The caret's width as drawn may exceed what it was created with by a pixel.
  InflateRect(&caret, 1, 0);
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t{3};
  if (screen.size() < stride * std::size_t(height)) return;
  for (LONG y = std::max<LONG>(caret.top, 0); y < std::min(caret.bottom, height); ++y)
    for (LONG x = std::max<LONG>(caret.left, 0); x < std::min(caret.right, width); ++x)
      std::memset(&screen[std::size_t(height - 1 - y) * stride + std::size_t(x) * 3], 0, 3);
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

  // Switches to the other skin; the time from "Ok" until the screen's last change.
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
    const DWORD thread = GetWindowThreadProcessId(Main, nullptr);
    TScreenWatch watch([thread] {
      std::vector<char> screen = ScreenPixels();
      HideCaret(thread, screen);
      return screen;
    });
    const double start = NowMs();
    failed = Skins->PressOk(options);
    if (!failed.empty()) Fail(User, failed);
    if (!watch.WaitQuiet(kQuietMs, 30000)) Fail(User, "the screen still changes 30 s after the switch");
    Resolutions.push_back(watch.Resolution());
    Switched = watch.Pixels();
    return watch.LastChange() - start;
  }

  void Check(const std::string& side) {
    CheckRepaint(side);
    if (Skins->LookShown() != Current->Skin) CheckFailed(side + ": the options do not show " + Current->Skin);
    const std::size_t want = EveryWindow ? 6 : 1, open = Skins->VisibleWindows().size();
    if (Shown.size() != want || open != want)
      CheckFailed(side + ": " + std::to_string(open) + " windows open, " + std::to_string(want) + " wanted:\n" +
                  User.WindowList());
  }

  // The screen as the last switch left it shows what a full repaint of every window shows. A caret
  // may blink meanwhile: a few pixels are let pass.
  void CheckRepaint(const std::string& side) {
    const std::vector<char>& shown = Switched;
    for (const TShownWindow& s : Shown)
      RedrawWindow(s.Window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    const std::vector<char> repainted = SettledScreen();
    std::size_t differing = 0;
    for (std::size_t i = 0; i + 3 <= shown.size() && i + 3 <= repainted.size(); i += 3)
      differing += std::memcmp(&shown[i], &repainted[i], 3) != 0;
    if (shown.empty() || shown.size() != repainted.size() || differing > 100)
      CheckFailed(side + ": " + std::to_string(differing) + " pixels of the screen differ from a full repaint");
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
  std::vector<char> Switched;  // the screen settled after the last switch
  std::vector<double> Resolutions;  // of each switch's watch, in ms
};

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const TOptions& options) {
    // No control shows a pointer's hover, nor its hint.
    SetCursorPos(GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);
    const TFirmware firmware = GenerateFirmware(23);
    TSide every(firmware, true), alone(firmware, false);
    every.Switch(CorruptionAsked("skin-switch"));
    every.Check("every window");
    alone.Switch();
    alone.Check("main window alone");
    if (options.CheckOnly) return;
    // Every timed switch ends as a full repaint would leave the screen, outside its time.
    const auto timed = [](TSide& side, const char* name) {
      const double ms = side.Switch();
      side.CheckRepaint(name);
      return ms;
    };
    const TPairTimes times = RunPairs(
        options.Pairs, [&] { return timed(every, "every window"); }, [&] { return timed(alone, "main window alone"); });
    std::vector<double> resolutions = every.Resolutions;
    resolutions.insert(resolutions.end(), alone.Resolutions.begin(), alone.Resolutions.end());
    char size[64];
    std::snprintf(size, sizeof size, "6 windows, screen read every %.0f ms", Median(resolutions));
    AddPairRow("skin switch: every window / main window alone", size, times, Goal(2, times.Ratios));
  });
}
