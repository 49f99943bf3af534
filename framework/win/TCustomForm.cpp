#include "framework/win/TCustomForm.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TPopupMenu.h"
#include "framework/win/TScreen.h"

namespace {

constexpr UINT kFirstMdiChildId = 0xFF00;

struct TDisabledWindows {
  HWND Except;
  std::vector<HWND> List;
};

BOOL CALLBACK DisableTaskWindow(HWND window, LPARAM data) {
  auto* d = reinterpret_cast<TDisabledWindows*>(data);
  if (window != d->Except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    d->List.push_back(window);
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
  TControl::SetVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetParentColor(false);
  SetBounds(0, 0, 320, 240);
  if (Screen != nullptr) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  FCanvas.FreeHandle();
  if (Screen != nullptr) Screen->RemoveForm(this);
  if (Application != nullptr) Application->FormDestroying(this);
}

void TCustomForm::AfterConstruction() {
  // OnCreate sees complete components.
  EndLoading();
  TWinControl::AfterConstruction();
  DoCreate();
}

void TCustomForm::BeforeDestruction() {
  if (!IsDestroying()) {
    try {
      DoDestroy();
    } catch (const std::exception& e) {
      if (Application != nullptr) Application->HandleException(this, e);
    }
  }
  if (Screen != nullptr) Screen->RemoveForm(this);
  if (Application != nullptr) Application->FormDestroying(this);
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
  if (OnCreate()) OnCreate()(this);
}

void TCustomForm::DoDestroy() {
  if (FOnDestroy) FOnDestroy(this);
}

void TCustomForm::DoShow() {
  if (FOnShow) FOnShow(this);
}

void TCustomForm::DoHide() {
  if (FOnHide) FOnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (FOnClose) FOnClose(this, action);
}

void TCustomForm::Activate() {
  if (FOnActivate) FOnActivate(this);
}

void TCustomForm::Deactivate() {
  if (FOnDeactivate) FOnDeactivate(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FMenu) {
    FMenu = nullptr;
    if (HandleAllocated()) ::SetMenu(Handle(), nullptr);
  }
  if (component == FActiveControl) FActiveControl = nullptr;
  if (component == FFocusedControl) FFocusedControl = nullptr;
}

void TCustomForm::RecreateIfAllocated() {
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  RecreateIfAllocated();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == FBorderIcons) return;
  FBorderIcons = icons;
  RestyleIfAllocated();
}

// The caption buttons are style bits only: the live window takes its new styles in place, keeping
// its children, and the platform lays its frame out anew.
void TCustomForm::RestyleIfAllocated() {
  if (!HandleAllocated()) return;
  TCreateParams params;
  CreateParams(params);
  HWND h = Handle();
  constexpr DWORD kState = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE | WS_DISABLED | WS_CLIPSIBLINGS;
  const DWORD style = (DWORD(GetWindowLongPtrA(h, GWL_STYLE)) & kState) | (params.Style & ~kState);
  const DWORD ex = (DWORD(GetWindowLongPtrA(h, GWL_EXSTYLE)) & WS_EX_TOPMOST) | (params.ExStyle & ~DWORD(WS_EX_TOPMOST));
  SetWindowLongPtrA(h, GWL_STYLE, LONG_PTR(style));
  SetWindowLongPtrA(h, GWL_EXSTYLE, LONG_PTR(ex));
  SetWindowPos(h, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == FFormStyle) return;
  FFormStyle = style;
  if (style == fsMDIChild) TControl::SetVisible(true);
  RecreateIfAllocated();
}

TWindowState TCustomForm::WindowState() const {
  if (HandleAllocated()) {
    HWND handle = const_cast<TCustomForm*>(this)->Handle();
    if (IsIconic(handle)) return wsMinimized;
    if (IsZoomed(handle)) return wsMaximized;
    if (IsWindowVisible(handle)) return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState state) {
  FWindowState = state;
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  ShowWindow(Handle(), state == wsMaximized ? SW_SHOWMAXIMIZED : state == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == FMenu) return;
  MergeIntoFrame(nullptr);  // the old menu leaves the frame's
  if (FMenu != nullptr) FMenu->RemoveFreeNotification(this);
  FMenu = menu;
  if (menu != nullptr) {
    menu->FreeNotification(this);
    menu->SetWindowHandle(HandleAllocated() ? Handle() : nullptr);
  }
  if (HandleAllocated() && FFormStyle != fsMDIChild) {
    ::SetMenu(Handle(), menu != nullptr ? menu->Handle() : nullptr);
    DrawMenuBar(Handle());
  }
  TCustomForm* frame = Application != nullptr ? Application->MainForm() : nullptr;
  if (menu != nullptr && HandleAllocated() && frame != nullptr && frame != this && frame->ActiveMDIChild() == this)
    MergeIntoFrame(menu);
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
  return FMenu != nullptr && FMenu->IsShortCut(key, shift);
}

void TCustomForm::SetAutoScroll(bool autoScroll) {
  if (autoScroll == FAutoScroll) return;
  FAutoScroll = autoScroll;
  UpdateScrollRange();
}

void TControlScrollBar::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Changed();
}

void TControlScrollBar::SetRange(int range) {
  range = std::max(range, 0);
  if (range == FRange) return;
  FRange = range;
  Changed();
}

void TControlScrollBar::SetIncrement(int increment) {
  increment = std::max(increment, 1);
  if (increment == FIncrement) return;
  FIncrement = increment;
  Changed();
}

int TControlScrollBar::Position() const { return FForm->FScroll[FBar]; }

void TControlScrollBar::SetPosition(int position) {
  if (FForm->HandleAllocated()) FForm->ScrollBy(FBar, SB_THUMBPOSITION, position);
}

void TControlScrollBar::Changed() {
  FForm->UpdateScrollRange();
  FForm->Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style &= ~DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  params.Style |= WS_CLIPCHILDREN;
  if (Parent() != nullptr) {
    params.Style |= WS_CHILD;
  } else {
    switch (FBorderStyle) {
      case bsNone: params.Style |= WS_POPUP; break;
      case bsSingle: params.Style |= WS_CAPTION | WS_BORDER; break;
      case bsSizeable: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
      case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION;
        params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
      case bsToolWindow:
        params.Style |= WS_CAPTION;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
      case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    bool hasTitleIcons = FBorderStyle == bsSingle || FBorderStyle == bsSizeable;
    if (FBorderStyle != bsNone && (FBorderIcons & biSystemMenu)) {
      params.Style |= WS_SYSMENU;
      if (hasTitleIcons && (FBorderIcons & biMinimize)) params.Style |= WS_MINIMIZEBOX;
      if (hasTitleIcons && (FBorderIcons & biMaximize)) params.Style |= WS_MAXIMIZEBOX;
      // The help button shows only where there is no minimize or maximize button.
      if ((FBorderIcons & biHelp) && (!(params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))))
        params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FFormStyle == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    if (FFormStyle == fsMDIChild) {
      params.ExStyle |= WS_EX_MDICHILD;
      TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
      if (main == nullptr || main->ClientHandle() == nullptr)
        throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
      params.WndParent = main->ClientHandle();
      params.Style |= WS_CHILD | WS_VISIBLE;
    } else {
      TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
      params.WndParent = main != nullptr && main != this && main->HandleAllocated() ? main->Handle() : nullptr;
      if (ParentWindow() != nullptr) params.WndParent = ParentWindow();
    }
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
    if (FPosition == poDefault || FPosition == poDefaultSizeOnly) params.Width = params.Height = CW_USEDEFAULT;
  }
  params.WindowClass.style = CS_DBLCLKS;
  params.WindowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (!FIcon.Empty()) SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon.Handle()));
  if (FMenu != nullptr && FFormStyle != fsMDIChild) {
    FMenu->SetWindowHandle(Handle());
    ::SetMenu(Handle(), FMenu->Handle());
  }
  if (FFormStyle == fsMDIForm) {
    CLIENTCREATESTRUCT ccs{nullptr, kFirstMdiChildId};
    RECT r = ClientRect();
    FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0,
                                    r.right, r.bottom, Handle(), nullptr, GetModuleHandleA(nullptr), &ccs);
  }
}

void TCustomForm::DestroyWindowHandle() {
  MergeIntoFrame(nullptr);
  if (FClientHandle != nullptr) {
    DestroyWindow(FClientHandle);
    FClientHandle = nullptr;
  }
  // An MDI child goes through its client, which activates the next child (maximized when this one
  // was) and forgets this one; a child destroyed behind the client's back stays its active child.
  // The client switches its drawing off meanwhile: what it shows afterwards is drawn anew.
  if (FFormStyle == fsMDIChild && HandleAllocated())
    if (HWND client = GetParent(Handle()); client != nullptr) {
      SetControlState(ControlState() | csDestroyingHandle);
      SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(Handle()), 0);
      RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  TWinControl::DestroyWindowHandle();
}

RECT TCustomForm::ClientRect() {
  if (HandleAllocated() || Parent() != nullptr) return TWinControl::ClientRect();
  // No window yet: the window size less the frame its style will have.
  TCreateParams params;
  TCustomForm::CreateParams(params);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, params.Style, FMenu != nullptr, params.ExStyle);
  int w = Width() - (frame.right - frame.left), h = Height() - (frame.bottom - frame.top);
  return RECT{0, 0, w > 0 ? w : 0, h > 0 ? h : 0};
}

void TCustomForm::AlignControls(TControl* control, RECT& r) {
  if (FAutoScroll && HandleAllocated()) OffsetRect(&r, -FScroll[SB_HORZ], -FScroll[SB_VERT]);
  TWinControl::AlignControls(control, r);
  if (FClientHandle != nullptr)
    SetWindowPos(FClientHandle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateScrollRange();
}

// Auto-scroll: the scroll range covers the children that are not aligned.
void TCustomForm::UpdateScrollRange() {
  if (!HandleAllocated() || FFormStyle == fsMDIForm) return;
  RECT client;
  GetClientRect(Handle(), &client);
  int extent[2] = {0, 0};
  if (FAutoScroll) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (!c->Visible() || c->Align() != alNone) continue;
      extent[SB_HORZ] = std::max(extent[SB_HORZ], c->Left() + c->Width() + FScroll[SB_HORZ]);
      extent[SB_VERT] = std::max(extent[SB_VERT], c->Top() + c->Height() + FScroll[SB_VERT]);
    }
    const TControlScrollBar* bars[2] = {&FHorzScrollBar, &FVertScrollBar};
    for (int bar : {SB_HORZ, SB_VERT})
      extent[bar] = bars[bar]->Visible() ? std::max(extent[bar], bars[bar]->Range()) : 0;
  }
  int page[2] = {client.right, client.bottom};
  for (int bar : {SB_HORZ, SB_VERT}) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    if (extent[bar] > page[bar]) {
      si.nMax = extent[bar] - 1;
      si.nPage = UINT(page[bar]);
      si.nPos = std::min(FScroll[bar], extent[bar] - page[bar]);
    } else if (FScroll[bar] != 0) {
      ScrollBy(bar, SB_THUMBPOSITION, 0);
    }
    SetScrollInfo(Handle(), bar, &si, TRUE);
  }
}

void TCustomForm::ScrollBy(int bar, int code, int thumb) {
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(Handle(), bar, &si);
  int pos = FScroll[bar], line = (bar == SB_HORZ ? FHorzScrollBar : FVertScrollBar).Increment(), page = int(si.nPage);
  switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = thumb; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  int maxPos = std::max(0, si.nMax - page + 1);
  pos = std::clamp(pos, 0, maxPos);
  int delta = FScroll[bar] - pos;
  if (delta == 0) return;
  FScroll[bar] = pos;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() != alNone) continue;
    if (bar == SB_HORZ) c->SetLeft(c->Left() + delta);
    else c->SetTop(c->Top() + delta);
  }
  SetScrollPos(Handle(), bar, pos, TRUE);
  Invalidate();
}

void TCustomForm::PlaceOnFirstShow() {
  if (FShownOnce || Parent() != nullptr) return;
  FShownOnce = true;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  TCustomForm* over = nullptr;
  switch (FPosition) {
    case poDesktopCenter:
      area = RECT{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
      area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
      area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
      break;
    case poScreenCenter:
      break;
    case poMainFormCenter:
      over = Application != nullptr ? Application->MainForm() : nullptr;
      break;
    case poOwnerFormCenter:
      over = dynamic_cast<TCustomForm*>(Owner());
      if (over == nullptr && Application != nullptr) over = Application->MainForm();
      break;
    default:
      return;
  }
  if (over != nullptr && over != this) area = over->BoundsRect();
  else if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) return;
  int left = area.left + (area.right - area.left - Width()) / 2;
  int top = area.top + (area.bottom - area.top - Height()) / 2;
  // Centred over a form near an edge, the caption would leave the screen: keep it in the work area.
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  left = std::max(std::min(left, int(work.right) - Width()), int(work.left));
  top = std::max(std::min(top, int(work.bottom) - Height()), int(work.top));
  SetBounds(left, top, Width(), Height());
}

void TCustomForm::ShowForm(bool show) {
  if (show) {
    if (Parent() == nullptr) PlaceOnFirstShow();
    HandleNeeded();
    DoShow();
    if (Parent() != nullptr) {
      ShowWindow(Handle(), SW_SHOWNA);
    } else {
      int cmd = FWindowState == wsMaximized ? SW_SHOWMAXIMIZED : FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                                                                                          : SW_SHOWNORMAL;
      ShowWindow(Handle(), cmd);
      UpdateScrollRange();
    }
  } else {
    DoHide();
    if (HandleAllocated()) {
      if (FFormStyle == fsMDIChild && FClientHandle == nullptr) {
        ShowWindow(Handle(), SW_HIDE);
      } else {
        const bool wasActive = GetActiveWindow() == Handle();
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        // A hidden window stays the active one, and keys would go nowhere.
        if (wasActive) ActivateFormBefore();
      }
    }
  }
}

// The form then focuses its own last focused control (CM_ACTIVATE).
void TCustomForm::ActivateFormBefore() {
  TCustomForm* next = Screen != nullptr ? Screen->FormActiveBefore(this) : nullptr;
  if (next != nullptr) SetForegroundWindow(next->Handle());
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated() && Parent() == nullptr) {
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(Handle());
  }
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || FModal || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND previous = GetActiveWindow();
  TDisabledWindows disabled{HandleAllocated() ? Handle() : nullptr, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, reinterpret_cast<LPARAM>(&disabled));
  FModal = true;
  FModalResult = mrNone;
  auto restore = [&] {
    for (HWND w : disabled.List)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    FModal = false;
    if (previous != nullptr && IsWindow(previous)) SetActiveWindow(previous);
  };
  // A loop that runs when the program is told to end is left at once. One begun once it is ending
  // (a box shown while the forms are freed) is answered like any other: its box would otherwise
  // vanish unread. The platform's quit message, still waiting then, is taken on the way.
  const bool begunWhileEnding = Application->Terminated();
  try {
    Show();
    do {
      Application->HandleMessage();
      if (Application->Terminated() && !begunWhileEnding) {
        FModalResult = mrCancel;
      } else if (FModalResult != mrNone) {
        TCloseAction action = caNone;
        if (CloseQuery()) {
          action = caHide;
          DoClose(action);
        }
        if (action == caNone) FModalResult = mrNone;
        else if (action == caFree) Release();
      }
    } while (FModalResult == mrNone);
    TModalResult result = FModalResult;
    Hide();
    restore();
    return result;
  } catch (...) {
    restore();
    throw;
  }
}

bool TCustomForm::CloseQuery() {
  if (FFormStyle == fsMDIForm) {
    for (int i = 0; i < MDIChildCount(); ++i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  }
  bool canClose = true;
  if (FOnCloseQuery) FOnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = FFormStyle == fsMDIChild ? ((FBorderIcons & biMinimize) ? caMinimize : caNone) : caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

void TCustomForm::Release() {
  if (HandleAllocated()) PostMessageA(Handle(), CM_RELEASE, 0, 0);
  else if (Application != nullptr) Application->ReleaseLater(this);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl) return;
  if (control != nullptr && (!ContainsControl(control) || control == this))
    throw EInvalidOperation("Invalid active control");
  FActiveControl = control;
  if (control != nullptr && FActive && HandleAllocated() && IsWindowVisible(Handle()) && control->CanFocus())
    ::SetFocus(control->Handle());
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (control == nullptr) return;
  if (!control->CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = control;
  // An inactive form only notes the control: focusing it would activate the form over the one the
  // user is in (a double-click that opened another form, say). It gets the focus on activation.
  if (HandleAllocated() && IsWindowVisible(Handle()) && (FActive || GetActiveWindow() == Handle()))
    ::SetFocus(control->Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == FFocusedControl) return true;
  TWinControl* old = FFocusedControl;
  FFocusedControl = control;
  if (control != nullptr && control != this) FActiveControl = control;
  // Exit from the old control up to the first parent that also holds the new one, then enter
  // down to the new one.
  for (TWinControl* c = old; c != nullptr && c != this && !(control && c->ContainsControl(control)); c = c->Parent())
    c->Perform(CM_EXIT);
  std::vector<TWinControl*> path;
  for (TWinControl* c = control; c != nullptr && c != this && !(old && c->ContainsControl(old)); c = c->Parent())
    path.push_back(c);
  for (auto it = path.rbegin(); it != path.rend(); ++it) (*it)->Perform(CM_ENTER);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  if (Screen != nullptr) Screen->SetActive(this, control);
  return true;
}

void TCustomForm::ControlRemoving(TControl* control) {
  auto* w = dynamic_cast<TWinControl*>(control);
  if (w == nullptr) return;
  if (FActiveControl != nullptr && w->ContainsControl(FActiveControl)) FActiveControl = nullptr;
  if (FFocusedControl != nullptr && w->ContainsControl(FFocusedControl)) FFocusedControl = nullptr;
  if (Screen != nullptr) Screen->ControlRemoving(w);
}

TCustomForm* TCustomForm::ActiveMDIChild() {
  if (FClientHandle == nullptr) return nullptr;
  auto child = reinterpret_cast<HWND>(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
  return dynamic_cast<TCustomForm*>(FindControl(child));
}

int TCustomForm::MDIChildCount() {
  if (FClientHandle == nullptr || Screen == nullptr) return 0;
  int n = 0;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->FormStyle() == fsMDIChild) ++n;
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) {
  if (FClientHandle != nullptr && Screen != nullptr) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f->FormStyle() == fsMDIChild && index-- == 0) return f;
    }
  }
  throw EInvalidOperation("MDI child index out of range");
}

void TCustomForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_VISIBLECHANGED:
      return ShowForm(Visible());
    case CM_RELEASE:
      return Free();
    case CM_ACTIVATE:
      return CMActivate();
    case CM_DEACTIVATE:
      FActive = false;
      return Deactivate();
    case WM_ACTIVATE:
      return WMActivate(message);
    case WM_MDIACTIVATE:
      return WMMDIActivate(message);
    case WM_CLOSE:
      Close();
      message.Result = 0;
      return;
    case WM_SETFOCUS:
      return WMSetFocus(message);
    case CM_CANCELMODE:
      // A press on another control cancels what the focused one was doing (a dropped list, a pop-up).
      if (FFocusedControl != nullptr && FFocusedControl != this &&
          FFocusedControl != reinterpret_cast<TControl*>(message.LParam))
        FFocusedControl->Perform(CM_CANCELMODE, 0, message.LParam);
      return;
    case WM_GETMINMAXINFO:
      return WMGetMinMaxInfo(message);
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (WMScroll(message)) return;
      break;
    case WM_COMMAND:
      if (WMCommand(message)) return;
      break;
    case WM_INITMENUPOPUP:
      TMenuItem::DispatchPopup(reinterpret_cast<HMENU>(message.WParam));
      break;
    case WM_MEASUREITEM:
      if (WMMeasureItem(message)) return;
      break;
    case WM_DRAWITEM:
      if (WMDrawItem(message)) return;
      break;
    case CM_MENUCHANGED:
      return CMMenuChanged();
    case CM_DIALOGKEY:
      if (CMDialogKey(message)) return;
      break;
    case WM_HELP:
      if (WMHelp(message)) return;
      break;
    default:
      break;
  }
  TWinControl::Dispatch(message);
}

void TCustomForm::PaintWindow(HDC dc) {
  TWinControl::PaintWindow(dc);
  PaintOnCanvas(dc);
}

void TCustomForm::PaintOnCanvas(HDC dc) {
  TCanvasDC bound(FCanvas, dc);
  Paint();
}

void TCustomForm::Paint() {
  if (FOnPaint) FOnPaint(this);
}

void TCustomForm::CMActivate() {
  FActive = true;
  if (Screen != nullptr) Screen->SetActive(this, FActiveControl);
  if (FActiveControl != nullptr && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
  else if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
  Activate();
}

void TCustomForm::WMActivate(TMessage& message) {
  DefaultHandler(message);
  Perform(LOWORD(message.WParam) != WA_INACTIVE ? CM_ACTIVATE : CM_DEACTIVATE);
}

void TCustomForm::WMMDIActivate(TMessage& message) {
  DefaultHandler(message);
  if (reinterpret_cast<HWND>(message.LParam) == Handle()) {
    MergeIntoFrame(FMenu);
    Perform(CM_ACTIVATE);
  } else if (reinterpret_cast<HWND>(message.WParam) == Handle()) {
    MergeIntoFrame(nullptr);
    Perform(CM_DEACTIVATE);
  }
}

// An MDI child's menu shows in its frame's menu while the child is active.
void TCustomForm::MergeIntoFrame(TMainMenu* menu) {
  TCustomForm* frame = Application != nullptr ? Application->MainForm() : nullptr;
  if (FFormStyle != fsMDIChild || frame == nullptr || frame == this || frame->FMenu == nullptr) return;
  TMenu* merged = frame->FMenu->Merged();
  if (menu != nullptr) frame->FMenu->Merge(menu);
  else if (merged != nullptr && merged == FMenu) frame->FMenu->Unmerge(merged);
}

void TCustomForm::WMSetFocus(TMessage& message) {
  // Focus on the form itself goes on to its active control.
  if (FActiveControl != nullptr && FActiveControl != this && FActiveControl->CanFocus()) {
    ::SetFocus(FActiveControl->Handle());
    return;
  }
  SetFocusedControl(this);
  DefaultHandler(message);
}

void TCustomForm::WMGetMinMaxInfo(TMessage& message) {
  DefaultHandler(message);
  auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
  if (info == nullptr) return;
  const TSizeConstraints& c = Constraints();
  if (c.MinWidth > 0) info->ptMinTrackSize.x = c.MinWidth;
  if (c.MinHeight > 0) info->ptMinTrackSize.y = c.MinHeight;
  if (c.MaxWidth > 0) info->ptMaxTrackSize.x = c.MaxWidth;
  if (c.MaxHeight > 0) info->ptMaxTrackSize.y = c.MaxHeight;
}

// The form's own scroll bars; a scroll bar control's messages go on to it.
bool TCustomForm::WMScroll(TMessage& message) {
  if (message.LParam != 0) return false;
  ScrollBy(message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(message.WParam), HIWORD(message.WParam));
  return true;
}

bool TCustomForm::WMCommand(TMessage& message) {
  if (message.LParam != 0 || HIWORD(message.WParam) > 1 ||
      !TMenuItem::DispatchCommand(LOWORD(message.WParam)))
    return false;
  message.Result = 0;
  return true;
}

bool TCustomForm::WMMeasureItem(TMessage& message) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
  if (mis == nullptr || mis->CtlType != ODT_MENU || !TMenuItem::DispatchMeasureItem(*mis)) return false;
  message.Result = 1;
  return true;
}

bool TCustomForm::WMDrawItem(TMessage& message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
  if (dis == nullptr || dis->CtlType != ODT_MENU || !TMenuItem::DispatchDrawItem(*dis)) return false;
  message.Result = 1;
  return true;
}

void TCustomForm::CMMenuChanged() {
  if (FMenu != nullptr && HandleAllocated() && FFormStyle != fsMDIChild) {
    ::SetMenu(Handle(), FMenu->Handle());
    DrawMenuBar(Handle());
  }
}

// Tab moves through the form's controls, arrows through the active control's siblings.
bool TCustomForm::CMDialogKey(TMessage& message) {
  WORD key = WORD(message.WParam);
  TShiftState shift = KeyDataToShiftState(message.LParam);
  if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    SelectNext(FActiveControl, !(shift & ssShift), true);
    message.Result = 1;
    return true;
  }
  if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && FActiveControl != nullptr &&
      FActiveControl->Parent() != nullptr) {
    FActiveControl->Parent()->SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
    // As in a dialog, the radio button an arrow moves to is checked.
    if (TWinControl* now = FActiveControl; now != nullptr && now->HandleAllocated() &&
        (now->Perform(WM_GETDLGCODE) & DLGC_RADIOBUTTON) != 0 &&
        SendMessageA(now->Handle(), BM_GETCHECK, 0, 0) != BST_CHECKED)
      SendMessageA(now->Handle(), BM_CLICK, 0, 0);
    message.Result = 1;
    return true;
  }
  return false;
}

// Help for the control under the request, else its nearest parent with a context, else the form.
bool TCustomForm::WMHelp(TMessage& message) {
  if (Application == nullptr) return false;
  auto* info = reinterpret_cast<HELPINFO*>(message.LParam);
  TWinControl* c = info != nullptr ? FindControl(static_cast<HWND>(info->hItemHandle)) : nullptr;
  int context = 0;
  for (TControl* p = c; p != nullptr && context == 0; p = p->Parent()) context = p->HelpContext();
  if (context == 0) context = HelpContext();
  if (context != 0) Application->HelpContext(context);
  else Application->HelpCommand(HELP_FINDER, 0);
  message.Result = 1;
  return true;
}

void TCustomForm::DefaultHandler(TMessage& message) {
  if (!HandleAllocated()) {
    TWinControl::DefaultHandler(message);
    return;
  }
  if (IsFrameworkMessage(message.Msg)) return;
  if (FClientHandle != nullptr) {
    message.Result = DefFrameProcA(Handle(), FClientHandle, message.Msg, message.WParam, message.LParam);
  } else if (FFormStyle == fsMDIChild) {
    message.Result = DefMDIChildProcA(Handle(), message.Msg, message.WParam, message.LParam);
  } else {
    TWinControl::DefaultHandler(message);
  }
}
