#include "ControlTestSupport.h"

namespace {

std::function<void()> gModalAction;

void CALLBACK ModalTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  std::function<void()> action;
  action.swap(gModalAction);
  if (action) action();
}

}  // namespace

void ControlTest::OnNextModal(std::function<void()> action) {
  gModalAction = std::move(action);
  SetTimer(nullptr, 0, 50, ModalTimer);
}

namespace {

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32770" && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectText(HWND window, LPARAM result) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "Static") {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    *reinterpret_cast<std::string*>(result) += text;
  }
  return TRUE;
}

}  // namespace

bool ControlTest::AnswerDialog(int id, std::string* text) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr) return false;
  if (text != nullptr) EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(text));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  return true;
}
