#pragma once

#include <windows.h>

#include "framework/win/Controls.h"

// Puts a method in front of the window procedure of a native window the framework did not make
// itself (a combo box's edit, a grid's cell editor, a list view's header). The method gets every
// message as a TMessage and passes on what it does not handle with CallDefault. An exception it
// throws reaches Application->HandleException with the hook's sender, as from a control's own window
// procedure, and the message's result stays what was set before the throw.
//
// Hooks on one window stack (the newest sees a message first) and may be removed in any order; the
// window's own procedure comes back when the last goes. A hook lets go of its window by itself when
// the window is destroyed, and at the latest when the hook is.
class TWindowHook {
public:
  TWindowHook(const TWndMethod& method, TObject* sender) : FMethod(method), FSender(sender) {}
  ~TWindowHook();
  TWindowHook(const TWindowHook&) = delete;
  TWindowHook& operator=(const TWindowHook&) = delete;

  // Hooks window, letting go of a window hooked before; throws EOutOfResources when the platform
  // refuses.
  void Hook(HWND window);
  void Unhook();
  // The hooked window, nullptr when none.
  HWND Window() const { return FWindow; }
  // Passes message on to what was in front of the window before this hook: the window's own
  // procedure, or hooks installed earlier.
  void CallDefault(TMessage& message);

private:
  struct TFrame;
  static LRESULT CALLBACK HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR data);

  TWndMethod FMethod;
  TObject* FSender;
  HWND FWindow = nullptr;
  // The innermost message this hook is handling, so that freeing the hook inside its own method is
  // noticed on the way out.
  TFrame* FFrame = nullptr;
};
