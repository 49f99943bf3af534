#include "framework/win/TWindowHook.h"

#include <commctrl.h>

#include "framework/win/TApplication.h"

// One message being handled by a hook; a hook freed by its own method marks its frames so that the
// way out does not touch it.
struct TWindowHook::TFrame {
  TFrame* Outer;
  HWND Window;
  bool HookGone;
};

TWindowHook::~TWindowHook() {
  Unhook();
  for (TFrame* f = FFrame; f != nullptr; f = f->Outer) f->HookGone = true;
}

void TWindowHook::Hook(HWND window) {
  if (window == FWindow) return;
  Unhook();
  if (window == nullptr) return;
  // The hook's address tells its entry apart from other hooks on the same window.
  if (!SetWindowSubclass(window, &HookProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)))
    throw EOutOfResources("Cannot hook a window");
  FWindow = window;
}

void TWindowHook::Unhook() {
  if (FWindow == nullptr) return;
  HWND window = FWindow;
  FWindow = nullptr;
  if (IsWindow(window)) RemoveWindowSubclass(window, &HookProc, reinterpret_cast<UINT_PTR>(this));
}

void TWindowHook::CallDefault(TMessage& message) {
  // The chain of hooks knows where this message is; outside a message there is nothing to pass on.
  if (FFrame == nullptr) return;
  message.Result = DefSubclassProc(FFrame->Window, message.Msg, message.WParam, message.LParam);
}

LRESULT CALLBACK TWindowHook::HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
  auto* hook = reinterpret_cast<TWindowHook*>(data);
  // The window goes: let go of it now; the message still passes through the method.
  if (msg == WM_NCDESTROY) hook->Unhook();
  TFrame frame{hook->FFrame, window, false};
  hook->FFrame = &frame;
  TObject* sender = hook->FSender;
  TMessage message{msg, wParam, lParam, 0};
  try {
    // A copy: the method may replace itself or free the hook while it runs.
    if (TWndMethod method = hook->FMethod) method(message);
    else hook->CallDefault(message);
  } catch (...) {
    HandleWindowException(sender);
  }
  if (!frame.HookGone) hook->FFrame = frame.Outer;
  return message.Result;
}
