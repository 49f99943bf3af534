#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"

// Handles the messages waiting now, a few rounds so posted follow-ups are handled too.
void Pump();

// Runs action on the window thread after delayMs, from inside whatever message loop is running
// (a modal loop included).
void RunLater(unsigned delayMs, std::function<void()> action);

// Handles messages as they come until done() holds; false when it still does not after timeoutMs.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// A left click at a screen point through the system's input queue, as the user's mouse gives it.
void ClickScreen(POINT p);

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

// The path of a fresh temporary file name with extension ext (".bmp").
std::string TempFileName(const std::string& ext);
