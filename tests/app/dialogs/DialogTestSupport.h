#pragma once

// Driving the small dialogs as a user does: modal loops answered from timers, buttons clicked
// with BM_CLICK, message boxes read and answered by their button names.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win/TCustomForm.h"
#include "framework/win/TScreen.h"
#include "tests/framework/win/TestSupport.h"

class TWinControl;

// The visible modal form of type F, or nullptr.
template <typename F>
F* ShownModal() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<F*>(Screen->Forms(i)); form != nullptr && form->IsModal() &&
                                                         form->HandleAllocated() && IsWindowVisible(form->Handle()))
      return form;
  return nullptr;
}

// Runs act on the modal form of type F once its loop runs. A form that never shows ends the test
// through the watchdog rather than with a wrong answer.
// Without the form, gaveUp runs after the last try.
template <typename F>
void WhenShown(std::function<void(F*)> act, int tries = 400, std::function<void()> gaveUp = nullptr) {
  RunLater(5, [act = std::move(act), tries, gaveUp = std::move(gaveUp)]() mutable {
    if (F* form = ShownModal<F>()) act(form);
    else if (tries > 0) WhenShown<F>(std::move(act), tries - 1, std::move(gaveUp));
    else if (gaveUp) gaveUp();
  });
}

void Click(TWinControl* button);

// What a message box showed.
struct TBoxSeen {
  bool Done = false;  // answered, or no box came while the answer waited
  int Count = 0;
  std::string Caption;
  std::string Text;
  std::vector<std::string> Buttons;
};

// Answers the next message box with the named button ("Yes", "No", "Cancel"...) and notes what
// it showed in seen. It waits for the box tries times 5 ms at most.
void AnswerBox(const std::string& button, TBoxSeen& seen, int tries = 400);
// Handles messages until the answer is done (seen outlives the wait for the box).
void WaitDone(const TBoxSeen& seen);

// A fresh folder under the temp folder with a trailing backslash, removed with its files.
class TScratchFolder {
public:
  TScratchFolder();
  ~TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;
  const std::string& Path() const { return FPath; }
  std::string operator/(const std::string& name) const { return FPath + name; }

private:
  std::string FPath;
};

void WriteBytes(const std::string& file, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadBytes(const std::string& file);
bool FileExists(const std::string& file);
