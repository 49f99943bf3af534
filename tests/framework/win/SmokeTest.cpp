#include <windows.h>

#include <gtest/gtest.h>

namespace {

UINT gRegistered = 0;
int gReceived = 0;

LRESULT CALLBACK TestWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (gRegistered != 0 && msg == gRegistered) {
    ++gReceived;
    return static_cast<LRESULT>(wParam + 1);
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

TEST(WineSmoke, WindowReceivesMessageRegisteredByName) {
  gRegistered = RegisterWindowMessageA("TARVEX_SMOKE_MESSAGE");
  ASSERT_GE(gRegistered, 0xC000u);
  EXPECT_EQ(gRegistered, RegisterWindowMessageA("TARVEX_SMOKE_MESSAGE"));

  WNDCLASSA wc{};
  wc.lpfnWndProc = TestWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarvexSmoke";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND wnd = CreateWindowExA(0, "TarvexSmoke", "smoke", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);

  EXPECT_EQ(SendMessageA(wnd, gRegistered, 41, 0), 42);
  ASSERT_TRUE(PostMessageA(wnd, gRegistered, 1, 0));
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(gReceived, 2);
  DestroyWindow(wnd);
}
