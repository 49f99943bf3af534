#include "RunLater.h"

#include <windows.h>

#include <map>
#include <utility>

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

void RunLater(unsigned delayMs, std::function<void()> action) {
  UINT_PTR id = SetTimer(nullptr, 0, delayMs, RunPending);
  PendingActions()[id] = std::move(action);
}

void CancelPendingActions() {
  auto& map = PendingActions();
  for (const auto& pending : map) KillTimer(nullptr, pending.first);
  map.clear();
}
