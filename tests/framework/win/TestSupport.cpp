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
