#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "tests/framework/win/RunLater.h"

// Handles the messages waiting now, a few rounds so posted follow-ups are handled too.
void Pump();

// Handles messages as they come until done() holds; false when it still does not after timeoutMs.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Input as the mouse and keyboard send it (SendInput), to whatever window is under the mouse or
// has the focus: clicks clicks of the left button at a point of the screen; the centre of a
// window's client rectangle r; the centre of a control; a key pressed and let go, with Shift held
// when shift is set, or with Alt held when alt is set.
void ClickAt(POINT at, int clicks = 1);
POINT CentreOf(HWND window, RECT r);
void ClickControl(TWinControl* control, int clicks = 1);
void PressKey(WORD key, bool shift = false, bool alt = false);
// The mouse moved to a point of the screen and there, with buttons (MOUSEEVENTF_LEFTDOWN, ...),
// a button pressed or let go.
void MouseAt(POINT at, DWORD buttons = 0);

// True when top-level window a lies above b.
bool IsAbove(HWND a, HWND b);

// Frees a component the framework's way at the end of a scope.
struct TFreeComponent {
  void operator()(TComponent* c) const {
    if (c != nullptr) c->Free();
  }
};
template <typename T>
using TOwned = std::unique_ptr<T, TFreeComponent>;

template <typename T, typename... Args>
TOwned<T> Make(Args&&... args) {
  return TOwned<T>(NewComponent<T>(std::forward<Args>(args)...));
}

// A form for one test: hidden until shown, freed at the end of the test.
class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* owner = nullptr) : TForm(owner) { SetBounds(50, 50, 400, 300); }
};

// Collects the exceptions that reach the application during its life and puts back the
// previous handler afterwards.
class TExceptionSink {
public:
  TExceptionSink();
  ~TExceptionSink();
  std::vector<std::string> Messages;

private:
  void Handle(TObject* sender, const std::exception& e);
  TExceptionEvent FPrevious;
};

// The test program's folder, with a trailing backslash, and its ini file (named as the program).
std::string ExeDir();
std::string IniName();

// The path of a fresh temporary file name with extension ext (".bmp").
std::string TempFileName(const std::string& ext);
