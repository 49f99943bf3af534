// Times a message box shown and answered: our Yes/No box against the platform's own Yes/No box
// (MessageBoxA), the two alternated run by run, each answered the same way. A message posted
// before the box is opened is handled first by the box's own modal loop, and posts Enter to the
// focused window; Enter chooses Yes in both boxes, which the result check compares.
//   wine message_dlg_bench.exe [SKINS-FOLDER]   (with a folder, also with the skin "Desert")
// TARVEX_BENCH_CORRUPT=messagebox flips our answer first, which must fail the check (exit code 2).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/support/WineBench.h"
#include "framework/win/TApplication.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsMessageDlg.h"

using winbench::CorruptionAsked;
using winbench::Median;
using winbench::NowMs;

namespace {

constexpr UINT WM_ANSWER = WM_APP + 1;
constexpr int kPairs = 7;
constexpr int kCallsPerRun = 20;
const char* const kText = "Save the changes to the project before closing it?";

LRESULT CALLBACK AnswerProc(HWND window, UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_ANSWER) return DefWindowProcA(window, msg, w, l);
  HWND focus = GetFocus();
  PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
  return 0;
}

HWND AnswerWindow() {
  static HWND window = [] {
    WNDCLASSA cls{};
    cls.lpfnWndProc = AnswerProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "TarvexBenchAnswer";
    RegisterClassA(&cls);
    return CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
  }();
  return window;
}

int Ours() {
  PostMessageA(AnswerWindow(), WM_ANSWER, 0, 0);
  const int answer = SkinMessageDlg(kText, mtConfirmation, mbYes | mbNo, 0);
  return CorruptionAsked("messagebox") ? answer ^ 1 : answer;
}

int Peer() {
  PostMessageA(AnswerWindow(), WM_ANSWER, 0, 0);
  return MessageBoxA(nullptr, kText, "Confirm", MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
}

// The time of one call, over a run of calls.
double TimeRun(const std::function<int()>& call) {
  const double start = NowMs();
  for (int i = 0; i < kCallsPerRun; ++i) call();
  return (NowMs() - start) / kCallsPerRun;
}

// Checks the answers, then times pairs of runs (ours first in even pairs); false on a mismatch.
bool Measure(const std::string& look) {
  const int ours = Ours(), peer = Peer();
  if (ours != peer) {
    std::fprintf(stderr, "MISMATCH: message box (%s): ours answered %d, the platform's box %d\n", look.c_str(), ours,
                 peer);
    return false;
  }
  std::vector<double> oursMs, peerMs, ratios;
  for (int pair = 0; pair < kPairs; ++pair) {
    double o, p;
    winbench::InTurn(
        pair, [&] { o = TimeRun(Ours); }, [&] { p = TimeRun(Peer); });
    oursMs.push_back(o);
    peerMs.push_back(p);
    ratios.push_back(p / o);
  }
  const double median = Median(oursMs);
  std::printf("message box shown and answered (%s) | ours %.1f ms | peer %.1f ms | ratio %.2f [%.2f-%.2f] | goal "
              "under 30 ms: %s\n",
              look.c_str(), median, Median(peerMs), Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()), median < 30 ? "met" : "NOT met");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  Application->SetTitle("Tarvex");
  std::printf("ours: SkinMessageDlg, peer: MessageBoxA, both Yes/No answered with Enter; time of one box, median of "
              "%d pairs of %d boxes; ratio: peer time / our time (above 1: ours is faster)\n",
              kPairs, kCallsPerRun);
  bool ok = Measure("no skin");
  if (ok && argc > 1) {
    TsSkinManager* manager = NewComponent<TsSkinManager>(nullptr);
    manager->SetSkinDirectory(argv[1]);
    manager->SetSkinName("Desert");
    ok = Measure("skin Desert");
    manager->Free();
  }
  return ok ? 0 : 2;
}
