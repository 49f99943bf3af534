#include "TestSupport.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace {

INPUT MouseInput(POINT at, DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = LONG((at.x * 65535 + cx / 2) / (cx - 1));
  in.mi.dy = LONG((at.y * 65535 + cy / 2) / (cy - 1));
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

}  // namespace

void Pump() {
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    Application->ProcessMessages();
    if (done()) return true;
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
  }
}

TExceptionSink::TExceptionSink() : FPrevious(Application->OnException()) {
  Application->SetOnException(TExceptionEvent(this, &TExceptionSink::Handle));
}

TExceptionSink::~TExceptionSink() { Application->SetOnException(FPrevious); }

void TExceptionSink::Handle(TObject*, const std::exception& e) { Messages.push_back(e.what()); }

std::string TempFileName(const std::string& ext) {
  char dir[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, dir);
  static int counter = 0;
  return std::string(dir) + "tarvex_test_" + std::to_string(GetCurrentProcessId()) + "_" +
         std::to_string(++counter) + ext;
}

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path().string() + "\\";
}

std::string IniName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).replace_extension(".ini").string();
}

void ClickAt(POINT at, int clicks) {
  std::vector<INPUT> inputs{MouseInput(at, 0)};
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseInput(at, MOUSEEVENTF_LEFTDOWN));
    inputs.push_back(MouseInput(at, MOUSEEVENTF_LEFTUP));
  }
  SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

void MouseAt(POINT at, DWORD buttons) {
  INPUT in = MouseInput(at, buttons);
  SendInput(1, &in, sizeof(INPUT));
}

POINT CentreOf(HWND window, RECT r) {
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(window, &p);
  return p;
}

void ClickControl(TWinControl* control, int clicks) {
  RECT r;
  GetClientRect(control->Handle(), &r);
  ClickAt(CentreOf(control->Handle(), r), clicks);
}

void PressKey(WORD key, bool shift, bool alt) {
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD vk, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = flags;
    inputs.push_back(in);
  };
  if (shift) add(VK_SHIFT, 0);
  if (alt) add(VK_MENU, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  if (alt) add(VK_MENU, KEYEVENTF_KEYUP);
  if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
  SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool IsAbove(HWND a, HWND b) {
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == a) return true;
    if (w == b) return false;
  }
  return false;
}
