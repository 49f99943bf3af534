#include "framework/win/TPopupMenu.h"

#include "framework/win/AllocateHWnd.h"
#include "framework/win/TApplication.h"

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {
  FWindow = AllocateHWnd(TWndMethod(this, &TPopupMenu::WndProc));
}

TPopupMenu::~TPopupMenu() { DeallocateHWnd(FWindow); }

void TPopupMenu::Popup(int x, int y) {
  if (FOnPopup) FOnPopup(this);
  HMENU menu = Handle();
  SetForegroundWindow(FWindow);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, FWindow, nullptr);
  // The menu's command arrives as a posted WM_COMMAND; let it through before returning.
  PostMessageA(FWindow, WM_NULL, 0, 0);
}

void TPopupMenu::WndProc(TMessage& message) {
  try {
    switch (message.Msg) {
      case WM_COMMAND:
        if (TMenuItem::DispatchCommand(LOWORD(message.WParam))) return;
        break;
      case WM_INITMENUPOPUP:
        TMenuItem::DispatchPopup(reinterpret_cast<HMENU>(message.WParam));
        return;
      case WM_MEASUREITEM:
        if (TMenuItem::DispatchMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam))) {
          message.Result = 1;
          return;
        }
        break;
      case WM_DRAWITEM:
        if (TMenuItem::DispatchDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam))) {
          message.Result = 1;
          return;
        }
        break;
      default:
        break;
    }
  } catch (const std::exception& e) {
    if (Application != nullptr) Application->HandleException(this, e);
    return;
  }
  message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
}
