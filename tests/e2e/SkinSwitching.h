#pragma once

// Tarvex.exe's windows opened and its look chosen as a user does: the environment options from the
// menu by keys, the skin combo by a typed letter, "Skin" and "Ok" by clicks. Shared by the walk's
// skin step and the skin-switch bench. Each operation answers what went wrong, or "" when it went
// as asked (the caller fails with it).
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/UserDriver.h"

struct TLook {
  const char* Name;  // in screenshots' names
  const char* Skin;  // the skin combo's choice, typed by its first letter; nullptr: skin off
};

// The screen's pixels in a rectangle, bottom-up 24-bit rows; empty when no bitmap could be made.
std::vector<char> ScreenPixels(const RECT& r, BITMAPINFOHEADER& header);

// A window kept open, by what screenshots call it.
struct TShownWindow {
  std::string Name;
  HWND Window;
};

// Client y coordinates of the main grid's rows the windows are opened from.
struct TGridRows {
  int MemoryMap, Flex, LangPack, Drm;
};

class TSkinSwitcher {
public:
  TSkinSwitcher(TUserDriver& user, HWND mainWindow) : FUser(user), FMain(mainWindow) {}

  // The program's visible top-level windows.
  std::set<HWND> VisibleWindows() const;
  // A window of the program shown after `before` was taken, with this caption and of this class
  // (either empty: any), waited for; nullptr when none came.
  HWND WaitNewWindow(const std::set<HWND>& before, const std::string& caption = "",
                     const std::string& windowClass = "") const;
  // Waits until the program has handled what was posted before: a message sent now is answered
  // only once the handler running returns.
  bool Settled() const;
  // Chooses a main-menu item by keys: F10, `right` times right to the menu, down into it (its first
  // item), `down` times down to the item, Enter.
  void MenuByKeys(int right, int down);
  // Has every window of the program do its pending paints now (they are sent, so done on return).
  void RepaintNow() const;
  // Raises a window, has it paint and saves it as it shows on the screen, as "FOLDER\skin-NAME.bmp".
  void Shot(HWND window, const std::string& name) const;
  // The same for a window others stay above (the main window owns the rest).
  void ShotUncovered(HWND window, const std::string& name) const;

  HWND Button(HWND window, const std::string& caption) const { return FUser.Child(window, "TsButton", caption); }
  // Presses a window's button and waits for the window to go.
  std::string CloseBy(HWND window, const std::string& button);
  std::string PressToClose(HWND window, HWND button);

  // "Options" - "Environment"; nullptr when the options did not show.
  HWND OpenEnvironmentOptions();
  // Sets the look in the shown options; "Ok" pressed only when `pressOk` (a bench times it).
  std::string Choose(HWND options, const TLook& look, bool pressOk = true);
  // Presses "Ok" in the options and waits until the program has applied the look.
  std::string PressOk(HWND options);
  // The look the options show when opened anew ("Desert", "Nocturne", or "" with the skin off).
  std::string LookShown();

  // Opens the flasher ("Flash" on the memory map's row), the three editors ("Edit" on their rows)
  // and the viewer ("Open by"); `shown` gets the main window and them.
  std::string OpenTheWindows(const TGridRows& rows, std::vector<TShownWindow>& shown);
  // Closes the windows OpenTheWindows opened.
  std::string CloseTheWindows(const std::vector<TShownWindow>& shown);

private:
  TUserDriver& FUser;
  HWND FMain;
};
