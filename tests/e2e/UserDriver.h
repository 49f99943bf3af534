#pragma once

// Drives Tarvex.exe from outside as a user would: posted clicks, keys and typed text, and what a
// user can read (window captions, native controls' text, files). Every wait has a time-out; one
// that runs out fails the step with a screenshot and the list of the program's windows.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TUserDriver {
public:
  TUserDriver() = default;
  TUserDriver(const TUserDriver&) = delete;
  TUserDriver& operator=(const TUserDriver&) = delete;
  ~TUserDriver();

  // Copies the program folder to a fresh folder and starts the program there.
  void Start(const std::string& programFolder);
  // Starts the program again in the same folder, once the run before has ended: it finds there
  // what that run left (the ini, the files).
  void Restart();
  // Asks the main window to close and waits for the process to end.
  bool Exit(DWORD timeoutMs = 10000);
  bool Running() const;
  const std::string& Folder() const { return FFolder; }
  DWORD ProcessId() const { return FProcess.dwProcessId; }

  // A visible top-level window of the program with this caption (exactly), waited for.
  HWND WaitWindow(const std::string& caption, DWORD timeoutMs = 10000);
  // A visible top-level window of the program of this window class, waited for.
  HWND WaitWindowOfClass(const std::string& windowClass, DWORD timeoutMs = 10000);
  // Waits until no visible top-level window of the program has this caption.
  bool WaitGone(const std::string& caption, DWORD timeoutMs = 10000);
  // The first descendant of `parent` of the window class whose text is `text` ("" for any).
  HWND Child(HWND parent, const std::string& windowClass, const std::string& text) const;
  // Every descendant of the class, in Z order.
  std::vector<HWND> Children(HWND parent, const std::string& windowClass) const;
  HWND WaitChild(HWND parent, const std::string& windowClass, const std::string& text, DWORD timeoutMs = 10000);

  // Presses a button window with the mouse.
  void Click(HWND window);
  // Presses a button until `done` holds, at most three times while the button still shows: a click
  // is lost when the button loses the mouse capture between press and release (an activation the X
  // server reports late), and a user then clicks again.
  bool ClickUntil(HWND button, const std::function<bool()>& done, DWORD timeoutMs = 10000, DWORD pollMs = 20);
  // A mouse click at client coordinates of a window (for controls without a window of their own).
  void ClickAt(HWND window, int x, int y, bool doubleClick = false, WPARAM keys = 0);  // keys: MK_SHIFT, MK_CONTROL
  // A key pressed and released on a window, with Ctrl or Shift held when asked.
  void Key(HWND window, WORD vk, bool ctrl = false, bool shift = false);
  // Characters typed into a window.
  void Type(HWND window, const std::string& text);
  // Selects all of an edit's text and types `text` over it.
  void Retype(HWND edit, const std::string& text);

  static std::string Text(HWND window);
  // Whether a check box or radio button shows checked.
  static bool Checked(HWND button);
  // A status bar's text in its simple mode (WM_GETTEXT answers its first part only).
  std::string StatusText(HWND statusBar) const;
  // Waits until the window's text satisfies `want`.
  bool WaitText(HWND window, const std::function<bool(const std::string&)>& want, DWORD timeoutMs = 10000);
  // Waits for a condition, pumping nothing (the program runs in its own process).
  static bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = 20);

  // The program's visible top-level windows as "class 'caption'" lines.
  std::string WindowList() const;
  // Saves the screen as a BMP file; returns its path.
  std::string Screenshot(const std::string& name) const;
  // Fails the current step: a screenshot and the window list go into the message.
  std::string Failure(const std::string& what) const;

private:
  std::vector<HWND> TopWindows() const;
  void Launch();

  std::string FFolder;
  PROCESS_INFORMATION FProcess{};
};

// Copies a folder and everything in it.
void CopyFolder(const std::string& from, const std::string& to);
// The visible top-level windows of a process, in Z order.
std::vector<HWND> VisibleTopWindows(DWORD process);

// Deletes a folder and everything in it.
void RemoveFolder(const std::string& path);

// Reads a whole file; empty when it cannot be read.
std::vector<unsigned char> ReadWholeFile(const std::string& path);
