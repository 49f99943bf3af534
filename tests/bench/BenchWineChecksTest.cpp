// The win tree's benches in check-only mode, under Wine: clean they pass; with one byte of our
// side's result spoiled (TARVEX_BENCH_CORRUPT) they fail with exit code 2.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "bench/support/WineBench.h"

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
  ExpectChecks(E2E_START_BENCH, {"start"});
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
