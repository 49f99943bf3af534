// Start of Tarvex.exe to its first painted main window: from CreateProcess until the window titled
// "Tarvex" is visible, neither it nor any of its child windows has anything left to paint, and the
// process waits for input. Peer: a minimal Win32 program (StartPeer.cpp) that shows and paints one
// window, started and watched the same way, so the ratio is what Tarvex adds to what any program
// pays Wine to start (tools/bench keeps a wineserver running). Both Tarvex rows start from the ini
// that a first start wrote, the same but for "Skined": skin "Desert" on, or off. A third row sets
// the skinned start against the unskinned one (peer: the unskinned start), for the skin's own
// share; goal: a skinned start at most 1.5 times the unskinned one. Tarvex loads its skin before it
// first shows its main window (a test of the main window holds it to that), so the first painted
// window timed here is the skinned one.
//
// Checks first: a first start (no ini) writes the default environment at exit (skin "Desert",
// on); each side shows exactly its one window (Tarvex: with its "Split file" button, no message
// box); Tarvex's painted window shows the pixels recorded in StartBench.references for its look;
// Tarvex started from an ini writes that ini again at exit; and the two sides' ini differ in
// "Skined" alone. TARVEX_BENCH_CORRUPT=start spoils the skinned window's pixels, =start-ini has the
// skinned side start with no ini, either of which must fail the checks; --save-reference records
// the pixels after a deliberate change of the window's look.
//
//   wine build/win/bench/e2e/e2e_start_bench.exe [--pairs N] [--check-only] [--save-reference]
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "bench/support/WineBench.h"
#include "bench/support/WineScreen.h"
#include "tests/e2e/UserDriver.h"

namespace {

using namespace winbench;

std::string Caption(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}


// Nothing of the window or its descendants waits to be painted.
bool Painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool painted = true;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
          *reinterpret_cast<bool*>(data) = false;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&painted));
  return painted;
}

bool HasChild(HWND window, const std::string& text) {
  struct TSearch {
    std::string Text;
    bool Found;
  } search{text, false};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(data);
        if (Caption(child) == s->Text) s->Found = true;
        return !s->Found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

struct TStart {
  double Ms = 0;
  std::vector<std::string> Windows;  // the visible top-level windows' captions when painted
  bool HasSplitButton = false;
  TScreenPixels Client;  // the painted window's client area, its caret blacked out
};

// Starts a program in its folder and times it until its window titled `caption` is painted; then
// closes it and waits for its end.
TStart StartAndClose(const std::string& exe, const std::string& folder, const std::string& caption) {
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  TStart result;
  const double start = NowMs();
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process))
    throw std::runtime_error("cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")");
  HWND window = nullptr;
  for (;;) {
    if (NowMs() - start > 30000) {
      TerminateProcess(process.hProcess, 1);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
      CheckFailed(exe + ": no painted window titled \"" + caption + "\" within 30 s");
    }
    window = nullptr;
    for (HWND w : VisibleTopWindows(process.dwProcessId))
      if (Caption(w) == caption) window = w;
    if (window && Painted(window) && WaitForInputIdle(process.hProcess, 0) == 0) break;
    Sleep(1);
  }
  result.Ms = NowMs() - start;
  for (HWND w : VisibleTopWindows(process.dwProcessId)) result.Windows.push_back(Caption(w));
  result.HasSplitButton = HasChild(window, "Split file");
  result.Client = ClientPixels(window);
  HideCaretArea(window, result.Client);
  PostMessageA(window, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  if (!ended) CheckFailed(exe + ": did not end when its window was closed");
  return result;
}

class TBench {
public:
  TBench() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // The platform gives a process id again once its process has ended: the time keeps a folder
    // that an earlier run left, or still holds, out of the way.
    Folder = std::string(temp) + "tarvex-start-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(GetTickCount64());
    CopyFolder(TARVEX_PROGRAM_FOLDER, Folder);
    Exe = Folder + "\\Tarvex.exe";
    Ini = Folder + "\\Tarvex.ini";
  }
  ~TBench() { RemoveFolder(Folder); }

  // A first start, with no ini: the environment it writes at exit is what both timed sides start from.
  void FirstStart(const TOptions& options, bool corrupt) {
    DeleteFileA(Ini.c_str());
    CheckShown("Tarvex.exe at its first start", StartAndClose(Exe, Folder, "Tarvex"), "start, Desert", options, corrupt);
    DefaultIni = WrittenIni();
    if (DefaultIni.find("SkinName=Desert") == std::string::npos || DefaultIni.find("Skined=1") == std::string::npos)
      CheckFailed("Tarvex.exe at its first start: the environment written at exit is not skin Desert, on:\n" +
                  DefaultIni);
  }
  // The first start's ini, the skin on or off.
  std::string IniFor(bool skinned) const {
    std::string ini = DefaultIni;
    return ini.replace(ini.find("Skined=1"), 8, skinned ? "Skined=1" : "Skined=0");
  }
  TStart Tarvex(bool skinned) {
    if (skinned && CorruptionAsked("start-ini"))
      DeleteFileA(Ini.c_str());
    else
      std::ofstream(Ini, std::ios::binary | std::ios::trunc) << IniFor(skinned);
    StartedWith[skinned] = WrittenIni();
    return StartAndClose(Exe, Folder, "Tarvex");
  }
  TStart Peer() { return StartAndClose(TARVEX_START_PEER, Folder, "Peer"); }

  void CheckTarvex(bool skinned, const TOptions& options) {
    const std::string side = skinned ? "Tarvex.exe" : "Tarvex.exe without a skin";
    CheckShown(side, Tarvex(skinned), skinned ? "start, Desert" : "start, no skin", options, false);
    if (WrittenIni() != IniFor(skinned))
      CheckFailed(side + ": the environment written at exit is not the one it started with:\n" + WrittenIni());
  }
  // The skinned and the unskinned start read the same environment but for "Skined".
  void CheckSameEnvironment() {
    std::string on = StartedWith[true];
    const size_t at = on.find("Skined=1");
    if (at == std::string::npos || on.replace(at, 8, "Skined=0") != StartedWith[false])
      CheckFailed("the skinned start read another environment than the unskinned one but for \"Skined\":\n" +
                  StartedWith[true] + "\nagainst\n" + StartedWith[false]);
  }
  void CheckShown(const std::string& side, const TStart& run, const std::string& reference, const TOptions& options,
                  bool corrupt) {
    CheckReference(TARVEX_BENCH_REFERENCES, reference, run.Client, options, corrupt);
    if (run.Windows != std::vector<std::string>{"Tarvex"})
      CheckFailed(side + ": other windows than the main window were shown");
    if (!run.HasSplitButton) CheckFailed(side + ": the main window lacks its \"Split file\" button");
  }
  std::string WrittenIni() const {
    const std::vector<unsigned char> bytes = ReadWholeFile(Ini);
    return std::string(bytes.begin(), bytes.end());
  }
  void CheckPeer() {
    if (Peer().Windows != std::vector<std::string>{"Peer"}) CheckFailed("peer: other windows than its own were shown");
  }

  std::string Folder, Exe, Ini, DefaultIni;
  std::string StartedWith[2];  // the ini of the last start without and with the skin
};

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const TOptions& options) {
    TBench bench;
    // The checks are also the warm-up runs.
    // No control shows a pointer's hover.
    SetCursorPos(GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);
    bench.FirstStart(options, CorruptionAsked("start"));
    bench.CheckTarvex(true, options);
    bench.CheckTarvex(false, options);
    bench.CheckSameEnvironment();
    bench.CheckPeer();
    if (options.CheckOnly || options.SaveReference) return;
    std::vector<double> skinned, bare, peer, skinnedRatios, bareRatios, skinRatios;
    for (int pair = 0; pair < options.Pairs; ++pair) {
      double s = 0, b = 0, p = 0;
      if (pair % 2 == 0) {
        s = bench.Tarvex(true).Ms;
        b = bench.Tarvex(false).Ms;
        p = bench.Peer().Ms;
      } else {
        p = bench.Peer().Ms;
        b = bench.Tarvex(false).Ms;
        s = bench.Tarvex(true).Ms;
      }
      skinned.push_back(s);
      bare.push_back(b);
      peer.push_back(p);
      skinnedRatios.push_back(p / s);
      bareRatios.push_back(p / b);
      skinRatios.push_back(b / s);
    }
    AddRow("start to first paint: Tarvex.exe / minimal window", "skin Desert", Milliseconds(Median(skinned)),
           Milliseconds(Median(peer)), RatioText(skinnedRatios));
    AddRow("start to first paint: Tarvex.exe / minimal window", "no skin", Milliseconds(Median(bare)),
           Milliseconds(Median(peer)), RatioText(bareRatios));
    // What the skin adds to the start.
    AddRow("start to first paint: Tarvex.exe skin Desert / no skin", "main window", Milliseconds(Median(skinned)),
           Milliseconds(Median(bare)), RatioText(skinRatios), Goal(1.5, skinRatios));
  });
}
