#include "framework/win/TApplication.h"
#include "framework/win/SystemPaths.h"

#include <commctrl.h>

#include "framework/base/AnsiStrings.h"
#include "framework/win/AllocateHWnd.h"
#include "framework/win/TControlCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TScreen.h"
#include "framework/win/TThread.h"


TScreen* Screen = nullptr;
TApplication* Application = nullptr;

namespace {

constexpr UINT_PTR kHintShowTimer = 1, kHintHideTimer = 2;

// The screen and the application exist from the start of the program, as the framework's units
// would make them.
struct TFrameworkGlobals {
  TFrameworkGlobals() {
    Screen = NewComponent<TScreen>(nullptr);
    Application = NewComponent<TApplication>(nullptr);
  }
};
const TFrameworkGlobals gGlobals;

}  // namespace

void HandleWindowException(TObject* sender) {
  try {
    throw;
  } catch (const std::exception& e) {
    if (Application != nullptr) Application->HandleException(sender, e);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(sender, Exception("Unknown exception"));
  }
}

std::string GetShortHint(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  FHandle = AllocateHWnd(TWndMethod(this, &TApplication::WndProc));
  std::string exe = ExeName();
  FTitle = ChangeFileExt(ExtractFileName(exe), "");
}

TApplication::~TApplication() {
  DestroyComponents();
  DeallocateHWnd(FHandle);
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

std::string TApplication::ExeName() const {
  return ModuleFileName();
}

void TApplication::Run() {
  if (FMainForm != nullptr && FShowMainForm) FMainForm->Show();
  while (!FTerminated) {
    try {
      HandleMessage();
    } catch (const std::exception& e) {
      HandleException(this, e);
    }
  }
}

void TApplication::Terminate() {
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  MSG msg;
  // Bounded by what is waiting now: a handler that posts again does not keep us here forever.
  for (int i = 0; i < 100000 && ProcessMessage(msg); ++i) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

bool TApplication::ProcessMessage(MSG& msg) {
  // A Unicode window (the grid's cell editor) takes its characters as UTF-16: peeked and
  // dispatched the ANSI way, a typed character outside the code page would arrive as "?".
  MSG peeked;
  if (!PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE)) return false;
  const bool unicode = peeked.hwnd != nullptr && IsWindowUnicode(peeked.hwnd);
  const auto remove = [&](HWND window, UINT first, UINT last) {
    return unicode ? PeekMessageW(&msg, window, first, last, PM_REMOVE) != FALSE
                   : PeekMessageA(&msg, window, first, last, PM_REMOVE) != FALSE;
  };
  // The peeked message is removed by its window and number. A message posted since may now come
  // first (a posted character goes ahead of a paint) and be for a window of the other kind; it is
  // left for the next call. A message without a window (a thread's timer) is taken by its number
  // alone. One gone meanwhile (a paint validated) gives way to whatever comes first.
  if (!remove(peeked.hwnd, peeked.message, peeked.message) && !remove(nullptr, 0, 0)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool handled = false;
  if (FOnMessage) FOnMessage(msg, handled);
  if (handled) return true;
  if (FHintWindow != nullptr && FHintWindow->IsHintMsg(msg)) CancelHint();
  if (IsMDIMsg(msg) || IsKeyMsg(msg)) return true;
  TranslateMessage(&msg);
  if (unicode) DispatchMessageW(&msg);
  else DispatchMessageA(&msg);
  return true;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND window = msg.hwnd;
  TWinControl* control = FindControl(window);
  // Keys to a native part of a control (the edit of a combo box) go to that control.
  for (int depth = 0; control == nullptr && window != nullptr && depth < 4; ++depth) {
    window = GetParent(window);
    control = FindControl(window);
  }
  if (control == nullptr) return false;
  return control->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsMDIMsg(MSG& msg) {
  if (FMainForm == nullptr || FMainForm->FormStyle() != fsMDIForm || FMainForm->ClientHandle() == nullptr) return false;
  if (FMainForm->ActiveMDIChild() == nullptr) return false;
  return TranslateMDISysAccel(FMainForm->ClientHandle(), &msg) != 0;
}

void TApplication::Idle() {
  DoMouseIdle();
  TControlCanvas::FreeDeviceContexts();
  CheckSynchronize();
  bool done = true;
  try {
    if (FOnIdle) FOnIdle(this, done);
  } catch (const std::exception& e) {
    HandleException(this, e);
  }
  if (done) WaitMessage();
}

// The mouse may have left every window of ours without a mouse-leave to tell us.
void TApplication::DoMouseIdle() {
  POINT p;
  if (!GetCursorPos(&p)) return;
  HWND window = WindowFromPoint(p);
  TWinControl* under = FindControl(window);
  // A native part of one of our controls (the edit of a combo box) counts as that control.
  for (int depth = 0; under == nullptr && window != nullptr && depth < 4; ++depth) {
    window = GetParent(window);
    under = FindControl(window);
  }
  if (under == nullptr && MouseControl() != nullptr) {
    SetMouseControl(nullptr);
    CancelHint();
  }
}

void TApplication::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_TIMER:
      if (message.WParam == kHintShowTimer) {
        StopHintTimer();
        POINT p;
        GetCursorPos(&p);
        ActivateHint(p);
      } else if (message.WParam == kHintHideTimer) {
        KillTimer(FHandle, kHintHideTimer);
        HideHint();
      }
      return;
    case WM_NULL:
      CheckSynchronize();
      return;
    case WM_ENDSESSION:
      if (message.WParam != 0) Terminate();
      return;
    default:
      message.Result = DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
      return;
  }
}

void TApplication::Minimize() {
  if (FMainForm != nullptr && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (FMainForm != nullptr && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_RESTORE);
}

bool TApplication::HelpCommand(UINT command, ULONG_PTR data) {
  bool callHelp = true;
  bool result = false;
  if (FOnHelp) result = FOnHelp(command, data, callHelp);
  if (!callHelp) return result;
  if (FHelpFile.empty()) return false;
  HWND owner = FMainForm != nullptr && FMainForm->HandleAllocated() ? FMainForm->Handle() : FHandle;
  return WinHelpA(owner, FHelpFile.c_str(), command, data) != 0;
}

void TApplication::HandleException(TObject*, const std::exception& e) {
  if (FOnException) {
    FOnException(this, e);
    return;
  }
  ShowException(e);
}

void TApplication::ShowException(const std::exception& e) {
  std::string text = e.what();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = GetActiveWindow();
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::SetShowHint(bool show) {
  if (show == FShowHint) return;
  FShowHint = show;
  if (!show) {
    CancelHint();
    if (FHintWindow != nullptr) {
      FHintWindow->Free();
      FHintWindow = nullptr;
    }
  }
}

void TApplication::SetHint(const std::string& hint) {
  if (hint == FHint) return;
  FHint = hint;
  if (FOnHint) FOnHint(this);
}

void TApplication::SetHintWindowClass(THintWindowClass factory) {
  FHintWindowClass = factory != nullptr ? factory : NewStandardHintWindow;
  if (FHintWindow != nullptr) {
    FHintWindow->Free();
    FHintWindow = nullptr;
  }
}

void TApplication::StartHintTimer(int ms) {
  SetTimer(FHandle, kHintShowTimer, UINT(ms > 0 ? ms : 1), nullptr);
}

void TApplication::StopHintTimer() { KillTimer(FHandle, kHintShowTimer); }

void TApplication::HintMouseMessage(TControl* control, TMessage& message) {
  if (control == nullptr) return;
  if (control != FHintControl) {
    bool wasActive = FHintActive;
    HideHint();
    FHintControl = control;
    SetHint(GetLongHint(control->Hint()));
    if (FShowHint && control->ShowHint() && !control->Hint().empty()) {
      StartHintTimer(wasActive ? FHintShortPause : FHintPause);
      FHintActive = wasActive;
    } else {
      StopHintTimer();
      FHintActive = false;
    }
    return;
  }
  // Moving out of the rectangle the hint was shown for hides it.
  if (FHintWindow != nullptr && FHintWindow->Visible()) {
    POINT p;
    GetCursorPos(&p);
    if (!PtInRect(&FHintCursorRect, p)) HideHint();
  }
  (void)message;
}

void TApplication::ActivateHint(POINT cursorPos) {
  TControl* control = FHintControl;
  if (control == nullptr || !FShowHint) return;
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = control->ScreenToClient(cursorPos);
  info.HintPos = POINT{cursorPos.x, cursorPos.y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4};
  info.HintMaxWidth = Screen != nullptr ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
  info.HintColor = FHintColor;
  info.CursorRect = control->ClientRect();
  info.HideTimeout = FHintHidePause;
  info.HintStr = GetShortHint(control->Hint());
  bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow && FOnShowHint) FOnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty()) {
    HideHint();
    return;
  }
  if (FHintWindow == nullptr) FHintWindow = FHintWindowClass(this);
  FHintWindow->SetColor(info.HintColor);
  RECT r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  OffsetRect(&r, info.HintPos.x, info.HintPos.y);
  FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
  POINT topLeft = control->ClientToScreen(POINT{info.CursorRect.left, info.CursorRect.top});
  FHintCursorRect = RECT{topLeft.x, topLeft.y, topLeft.x + info.CursorRect.right - info.CursorRect.left,
                         topLeft.y + info.CursorRect.bottom - info.CursorRect.top};
  FHintActive = true;
  if (info.HideTimeout > 0) SetTimer(FHandle, kHintHideTimer, UINT(info.HideTimeout), nullptr);
}

void TApplication::HideHint() {
  KillTimer(FHandle, kHintHideTimer);
  if (FHintWindow != nullptr && FHintWindow->Visible()) FHintWindow->ReleaseHandle();
}

void TApplication::CancelHint() {
  StopHintTimer();
  HideHint();
  FHintControl = nullptr;
  FHintActive = false;
}

void TApplication::ControlDestroying(TControl* control) {
  if (control == FHintControl) CancelHint();
}

void TApplication::FormDestroying(TCustomForm* form) {
  if (form == FMainForm) FMainForm = nullptr;
  if (FHintControl != nullptr && GetParentForm(FHintControl) == form) CancelHint();
}

void TApplication::ReleaseLater(TCustomForm* form) {
  // Without a window no handler of the form can be running: free it now.
  form->Free();
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FMainForm) FMainForm = nullptr;
  if (component == FHintWindow) FHintWindow = nullptr;
  if (component == FHintControl) CancelHint();
}
