// The win tree's benches in check-only mode, under Wine: clean they pass; with one byte of our
// side's result spoiled (TARVEX_BENCH_CORRUPT) they fail with exit code 2.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "bench/support/WineBench.h"
#include "bench/support/WineScreen.h"

namespace {

// The bench's exit code, run with TARVEX_BENCH_CORRUPT set to corrupt.
DWORD RunChecks(const std::string& unixPath, const std::string& corrupt) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  SetEnvironmentVariableA("TARVEX_BENCH_CORRUPT", corrupt.c_str());
  SetEnvironmentVariableA("TARVEX_BENCH_ROWS", "");
  std::string command = "\"" + path + "\" --check-only";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  DWORD code = DWORD(-1);
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  SetEnvironmentVariableA("TARVEX_BENCH_CORRUPT", nullptr);
  return code;
}

// Clean the bench passes; with each key its check fails.
void ExpectChecks(const std::string& bench, std::initializer_list<const char*> keys) {
  EXPECT_EQ(RunChecks(bench, ""), 0u) << bench;
  for (const char* key : keys) EXPECT_EQ(RunChecks(bench, key), 2u) << key;
}

TEST(BenchWineChecks, SkinnedControlsFailOnACorruptedScreen) {
  ExpectChecks(SKIN_CONTROLS_BENCH, {"repaint", "switch"});
}

TEST(BenchWineChecks, ListViewAndPagesFailOnACorruptedScreen) {
  ExpectChecks(SKIN_LISTPAGE_BENCH, {"listview", "pages"});
}

TEST(BenchWineChecks, FlashWindowFailsOnACorruptedReadBack) {
  ExpectChecks(PHONE_FLASH_WINDOW_BENCH, {"flash-window"});
}

TEST(BenchWineChecks, DRMPreviewFailsOnACorruptedPicture) {
  ExpectChecks(DRM_PREVIEW_BENCH, {"drm-preview"});
}

TEST(BenchWineChecks, StartAndSkinSwitchFailOnACorruptedWindow) {
  ExpectChecks(E2E_START_BENCH, {"start", "start-ini"});
  ExpectChecks(E2E_SKIN_SWITCH_BENCH, {"skin-switch"});
}

TEST(BenchWineChecks, MainWindowFailsOnACorruptedImageSuperfileOrRepaint) {
  ExpectChecks(APP_MAIN_WINDOW_BENCH, {"main-split", "main-combine", "main-repaint"});
}

}  // namespace

// The pairs every Wine bench times: the ratio is the peer's time over ours in each pair, the sides
// take turns, and the row says so.
TEST(WineBenchPairs, RatioIsThePeersTimeOverOursAndTheSidesTakeTurns) {
  std::string order;
  const winbench::TPairTimes times = winbench::RunPairs(
      5,
      [&] {
        order += 'o';
        return 10.0;
      },
      [&] {
        order += 'p';
        return 25.0;
      });
  EXPECT_EQ(order, "oppooppoop");
  EXPECT_EQ(times.Ratios, std::vector<double>(5, 2.5));
  EXPECT_EQ(winbench::RatioText(times.Ratios), "2.50 [2.50-2.50]");
  EXPECT_EQ(winbench::Milliseconds(winbench::Median(times.Ours)), "10.0 ms");
  EXPECT_EQ(winbench::Milliseconds(winbench::Median(times.Peer)), "25.0 ms");
}

// A row's goal is held by the median of its ratios, the peer's time over ours.
TEST(WineBenchPairs, GoalIsHeldWhenOursStaysWithinItsTimesThePeers) {
  EXPECT_EQ(winbench::Goal(1.2, {0.80, 0.85, 0.90}), "ours <= 1.2x peer: held");
  EXPECT_EQ(winbench::Goal(1.2, {0.80, 0.81, 1.50}), "ours <= 1.2x peer: not held");
  EXPECT_EQ(winbench::Goal(2, {0.45, 0.55, 0.60}), "ours <= 2x peer: held");
  EXPECT_EQ(winbench::Goal(1.5, {}), "ours <= 1.5x peer: not held");
}

namespace {

// A window painted in one colour, which a timer changes once.
COLORREF gColour = RGB(0, 0, 255);
double gRepaintedAt = 0, gPaintedAt = 0;

LRESULT CALLBACK ColourProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH brush = CreateSolidBrush(gColour);
    FillRect(dc, &paint.rcPaint, brush);
    DeleteObject(brush);
    EndPaint(window, &paint);
    gPaintedAt = winbench::NowMs();
    return 0;
  }
  if (message == WM_TIMER) {
    KillTimer(window, wParam);
    gColour = RGB(255, 0, 0);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    gRepaintedAt = winbench::NowMs();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Handles messages as they come until done() holds, for at most timeoutMs.
bool PumpUntil(const std::function<bool()>& done, double timeoutMs) {
  for (const double until = winbench::NowMs() + timeoutMs; !done() && winbench::NowMs() < until;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
  }
  return done();
}

// A top-left window of ColourProc, `side` pixels square, painted.
class TColourWindow {
public:
  explicit TColourWindow(int side) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ColourProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassA(&windowClass);
    Window = CreateWindowExA(WS_EX_TOPMOST, kClass, "", WS_POPUP | WS_VISIBLE, 0, 0, side, side, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
    UpdateWindow(Window);
  }
  ~TColourWindow() {
    DestroyWindow(Window);
    UnregisterClassA(kClass, GetModuleHandleA(nullptr));
  }
  TColourWindow(const TColourWindow&) = delete;
  TColourWindow& operator=(const TColourWindow&) = delete;

  static constexpr const char* kClass = "TarvexBenchColourWindow";
  HWND Window = nullptr;
};

std::vector<char> Pixels(HWND window) {
  const winbench::TScreenPixels pixels = winbench::ClientPixels(window);
  return {pixels.Bgr.begin(), pixels.Bgr.end()};
}

}  // namespace

// A job's time runs until the paint it left is done, not until the job returns.
TEST(WineBenchJob, IsTimedUntilItsWindowHasPainted) {
  const TColourWindow colour(GetSystemMetrics(SM_CXICON));
  const HWND window = colour.Window;
  ASSERT_NE(window, nullptr);
  gPaintedAt = 0;
  double jobStarted = 0;
  const double ms = winbench::TimeUntilSettled(
      [&] {
        jobStarted = winbench::NowMs();
        InvalidateRect(window, nullptr, FALSE);
      },
      [] {
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
      });
  ASSERT_GT(gPaintedAt, jobStarted);
  // The clock started before the job and stopped after the paint.
  EXPECT_GE(ms, gPaintedAt - jobStarted);
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

// A paint that comes a while after the work (as the program paints what waited once idle) is the
// last change, dated when it showed, not when the quiet wait after it ended.
TEST(WineScreenWatch, DatesTheLastChangeAndNotTheEndOfTheQuietWait) {
  const TColourWindow colour(4 * GetSystemMetrics(SM_CXICON));
  const HWND window = colour.Window;
  ASSERT_NE(window, nullptr);
  const std::vector<char> blue = Pixels(window);
  ASSERT_FALSE(blue.empty());
  ASSERT_EQ(std::vector<char>(blue.begin(), blue.begin() + 3), (std::vector<char>{char(255), 0, 0}));

  winbench::TScreenWatch watch([window] { return Pixels(window); });
  SetTimer(window, 1, 250, nullptr);
  const double quietMs = 300;
  EXPECT_TRUE(PumpUntil([&] { return gRepaintedAt > 0 && watch.QuietFor(quietMs); }, 10000));
  const double waitEnded = winbench::NowMs();
  watch.Stop();
  EXPECT_GE(watch.LastChange(), gRepaintedAt);
  EXPECT_LE(watch.LastChange() + quietMs, waitEnded);
  const std::vector<char> shown = watch.Pixels();
  ASSERT_EQ(shown.size(), blue.size());
  EXPECT_EQ(std::vector<char>(shown.begin(), shown.begin() + 3), (std::vector<char>{0, 0, char(255)}));
  EXPECT_GT(watch.Resolution(), 0);
}
