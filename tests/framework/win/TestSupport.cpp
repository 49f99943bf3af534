#include "TestSupport.h"

#include <map>
#include <memory>

namespace {

std::map<UINT_PTR, std::function<void()>>& PendingActions() {
  static std::map<UINT_PTR, std::function<void()>> map;
  return map;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto& map = PendingActions();
  auto it = map.find(id);
  if (it == map.end()) return;
  std::function<void()> action = std::move(it->second);
  map.erase(it);
  action();
}

}  // namespace

void Pump() {
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
}

void RunLater(unsigned delayMs, std::function<void()> action) {
  UINT_PTR id = SetTimer(nullptr, 0, delayMs, RunPending);
  PendingActions()[id] = std::move(action);
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

void ClickScreen(POINT p) {
  // Absolute coordinates run from 0 to 65535 over the primary screen.
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = LONG((p.x * 65535 + cx / 2) / (cx - 1));
    i.mi.dy = LONG((p.y * 65535 + cy / 2) / (cy - 1));
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, in, sizeof(INPUT));
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
