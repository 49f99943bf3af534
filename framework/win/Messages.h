#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// One window message as the framework passes it through the dispatch chain; every field is
// pointer-sized (or wider) so nothing of a 64-bit message is cut.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// Framework messages, sent between controls without touching the platform.
enum : UINT {
  CM_BASE = 0xB000,
  CM_ACTIVATE = CM_BASE + 0,
  CM_DEACTIVATE = CM_BASE + 1,
  CM_ENABLEDCHANGED = CM_BASE + 3,
  CM_COLORCHANGED = CM_BASE + 4,
  CM_FONTCHANGED = CM_BASE + 5,
  CM_CURSORCHANGED = CM_BASE + 6,
  CM_PARENTFONTCHANGED = CM_BASE + 8,
  CM_PARENTCOLORCHANGED = CM_BASE + 9,
  CM_HITTEST = CM_BASE + 10,
  CM_VISIBLECHANGED = CM_BASE + 11,
  CM_ENTER = CM_BASE + 12,
  CM_EXIT = CM_BASE + 13,
  CM_MENUCHANGED = CM_BASE + 14,
  CM_CTL3DCHANGED = CM_BASE + 15,
  CM_PARENTCTL3DCHANGED = CM_BASE + 16,
  CM_TEXTCHANGED = CM_BASE + 18,
  CM_MOUSEENTER = CM_BASE + 19,
  CM_MOUSELEAVE = CM_BASE + 20,
  CM_CANCELMODE = CM_BASE + 21,
  CM_DIALOGKEY = CM_BASE + 22,
  CM_DIALOGCHAR = CM_BASE + 23,
  CM_FOCUSCHANGED = CM_BASE + 24,
  CM_PARENTSHOWHINTCHANGED = CM_BASE + 25,
  CM_SHOWHINTCHANGED = CM_BASE + 26,
  CM_SHOWINGCHANGED = CM_BASE + 28,
  CM_HINTSHOW = CM_BASE + 48,
  CM_ACTIONUPDATE = CM_BASE + 50,
  CM_RECREATEWND = CM_BASE + 51,
  CM_INVALIDATE = CM_BASE + 52,
  CM_CONTROLLISTCHANGE = CM_BASE + 54,
  CM_CHANGED = CM_BASE + 55,
  CM_RELEASE = CM_BASE + 33,
  CM_BIDIMODECHANGED = CM_BASE + 60,
  CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
  CM_MOUSEWHEEL = CM_BASE + 67,
};

// Notifications reflected back to the child control they concern, so a control handles its own.
enum : UINT {
  CN_BASE = 0xBC00,
  CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM,
  CN_COMMAND = CN_BASE + WM_COMMAND,
  CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM,
  CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
  CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG,
  CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
  CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
  CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX,
  CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR,
  CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
  CN_DELETEITEM = CN_BASE + WM_DELETEITEM,
  CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
  CN_HSCROLL = CN_BASE + WM_HSCROLL,
  CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
  CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY,
  CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM,
  CN_VSCROLL = CN_BASE + WM_VSCROLL,
  CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
  CN_KEYUP = CN_BASE + WM_KEYUP,
  CN_CHAR = CN_BASE + WM_CHAR,
  CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
  CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
  CN_NOTIFY = CN_BASE + WM_NOTIFY,
};

// CM_* and CN_* messages: they mean nothing to the platform and are never passed to it.
constexpr bool IsFrameworkMessage(UINT msg) { return msg >= CM_BASE && msg < 0xC000; }

// Readable name of a platform or framework message ("WM_PAINT", "CM_MOUSEENTER"), or its number in
// hex when unknown; the skin engine's debug log prints these.
std::string MessageName(UINT msg);
