#include "framework/win/TWinControl.h"

#include <windowsx.h>
#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TPopupMenu.h"
#include "framework/win/TScreen.h"

namespace {

// The control whose window CreateWindowEx is making: its first message attaches it.
thread_local TWinControl* gCreationControl = nullptr;
TControl* gCaptureControl = nullptr;

// The control of each window, read on every message. Kept here rather than as a window property,
// which some platforms ask of the window server on each read.
class TControlsByWindow {
public:
  void Add(HWND window, TWinControl* control) {
    const std::lock_guard<std::mutex> lock(FMutex);
    FControls[window] = control;
  }
  // Only the control's own entry goes: the window may belong to another control by now.
  void Remove(HWND window, const TWinControl* control) {
    const std::lock_guard<std::mutex> lock(FMutex);
    if (auto it = FControls.find(window); it != FControls.end() && it->second == control) FControls.erase(it);
  }
  TWinControl* Find(HWND window) {
    const std::lock_guard<std::mutex> lock(FMutex);
    const auto it = FControls.find(window);
    return it != FControls.end() ? it->second : nullptr;
  }

private:
  std::mutex FMutex;
  std::unordered_map<HWND, TWinControl*> FControls;
};

TControlsByWindow& ControlsByWindow() {
  static TControlsByWindow controls;
  return controls;
}

// The focus window as the thread's window procedures see it. The focus cannot come to or leave one
// of the program's windows without WM_SETFOCUS or WM_KILLFOCUS to that window, so the answer, asked
// of the platform once, holds until a message that may come with a move of the focus enters or
// leaves a window procedure: those two, activation, showing and destroying, input, and a
// child's notifications (a child losing the focus tells its parent before the new focus hears).
// A repaint of many windows asks once. Outside any window procedure it is asked each time.
struct TFocusCache {
  int Depth = 0;
  bool Known = false;
  HWND Focus = nullptr;
};
thread_local TFocusCache gFocus;

bool MayComeWithFocusMove(UINT msg) {
  if ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
      (msg >= WM_NCMOUSEMOVE && msg <= WM_NCXBUTTONDBLCLK) || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC))
    return true;
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
    case WM_MOUSEACTIVATE:
    case WM_CHILDACTIVATE:
    case WM_SHOWWINDOW:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_CAPTURECHANGED:
    case WM_SYSCOMMAND:
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_PARENTNOTIFY:
      return true;
    default:
      return false;
  }
}

class TDispatchScope {
public:
  explicit TDispatchScope(UINT msg) : FKeepsFocus(!MayComeWithFocusMove(msg)) {
    ++gFocus.Depth;
    if (!FKeepsFocus) gFocus.Known = false;
  }
  ~TDispatchScope() {
    if (!FKeepsFocus) gFocus.Known = false;
    --gFocus.Depth;
  }
  TDispatchScope(const TDispatchScope&) = delete;
  TDispatchScope& operator=(const TDispatchScope&) = delete;

private:
  const bool FKeepsFocus;
};

HWND FocusWindow() {
  if (gFocus.Depth == 0) return GetFocus();
  if (!gFocus.Known) {
    gFocus.Focus = GetFocus();
    gFocus.Known = true;
  }
  return gFocus.Focus;
}

// The native window class a control's class is built on: registered once per class name.
void RegisterControlClass(const TCreateParams& params) {
  WNDCLASSA existing{};
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (GetClassInfoA(instance, params.WinClassName.c_str(), &existing)) return;
  WNDCLASSA wc = params.WindowClass;
  wc.lpfnWndProc = FrameworkInitWndProc;
  wc.hInstance = instance;
  wc.lpszClassName = params.WinClassName.c_str();
  wc.lpszMenuName = nullptr;
  if (RegisterClassA(&wc) == 0) throw EOutOfResources("Cannot register window class " + params.WinClassName);
}

}  // namespace

bool IsWindowed(const TControl* control) {
  return dynamic_cast<const TWinControl*>(control) != nullptr;
}

TControl* GetCaptureControl() { return gCaptureControl; }

void SetCaptureControl(TControl* control) {
  gCaptureControl = nullptr;
  if (control == nullptr) {
    ReleaseCapture();
    return;
  }
  TWinControl* window = dynamic_cast<TWinControl*>(control);
  if (window == nullptr) window = control->Parent();
  if (window == nullptr || !window->HandleAllocated()) return;
  ::SetCapture(window->Handle());
  gCaptureControl = control;
}

TWinControl* FindControl(HWND window) {
  if (window == nullptr) return nullptr;
  return ControlsByWindow().Find(window);
}

LRESULT CALLBACK FrameworkWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = FindControl(window);
  if (control == nullptr) return DefWindowProcA(window, msg, wParam, lParam);
  const TDispatchScope scope(msg);
  TMessage message{msg, wParam, lParam, 0};
  try {
    // A copy: the handler may replace the window procedure while it runs.
    if (TWndMethod proc = control->WindowProc()) proc(message);
    else control->WndProc(message);
  } catch (...) {
    HandleWindowException(control);
  }
  return message.Result;
}

LRESULT CALLBACK FrameworkInitWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = gCreationControl;
  if (control == nullptr) return DefWindowProcA(window, msg, wParam, lParam);
  gCreationControl = nullptr;
  control->AttachHandle(window);
  return FrameworkWndProc(window, msg, wParam, lParam);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  FBrush.SetColor(Color());
}

TWinControl::~TWinControl() {
  // Leave the parent while this is still a windowed control, so its tab list lets go too.
  if (Parent() != nullptr) Parent()->RemoveControl(this);
  if (FHandle != nullptr) {
    // Only the parts of this object up to here are left: let the window go without it.
    HWND handle = FHandle;
    ControlsByWindow().Remove(handle, this);
    SetWindowLongPtrA(handle, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(FDefWndProc ? FDefWndProc : DefWindowProcA));
    FHandle = nullptr;
    DestroyWindow(handle);
  }
  FreeControls();
}

// Children still parented here go with their parent, whoever owns them.
void TWinControl::FreeControls() {
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    RemoveControl(c);
    c->Free();
  }
}

void TWinControl::BeforeDestruction() {
  Destroying();
  if (TCustomForm* form = GetParentForm(this)) form->ControlRemoving(this);
  if (FHandle != nullptr) DestroyWindowHandle();
  FreeControls();
  TControl::BeforeDestruction();
}

void TWinControl::AttachHandle(HWND handle) {
  FHandle = handle;
  ControlsByWindow().Add(handle, this);
  SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWndProc));
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle != nullptr) return;
  if (Parent() != nullptr) Parent()->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = FText;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle() & csAcceptsControls) params.Style |= WS_CLIPCHILDREN;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (FTabStop) params.Style |= WS_TABSTOP;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.WndParent = Parent() != nullptr ? Parent()->Handle() : FParentWindow;
  params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  params.WindowClass.lpfnWndProc = DefWindowProcA;
  params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* className) {
  WNDCLASSA native{};
  if (!GetClassInfoA(nullptr, className, &native) && !GetClassInfoA(GetModuleHandleA(nullptr), className, &native))
    throw EOutOfResources(std::string("Unknown window class ") + className);
  params.WindowClass = native;
  params.WindowClass.style &= ~UINT(CS_GLOBALCLASS);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  gCreationControl = this;
  HWND handle = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                                params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                GetModuleHandleA(nullptr), params.Param);
  gCreationControl = nullptr;
  if (handle != nullptr && FHandle == nullptr) AttachHandle(handle);
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && params.WndParent == nullptr)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  RegisterControlClass(params);
  FDefWndProc = params.WindowClass.lpfnWndProc;
  SetControlState(ControlState() | csCreating);
  try {
    CreateWindowHandle(params);
  } catch (...) {
    SetControlState(ControlState() & ~csCreating);
    throw;
  }
  SetControlState(ControlState() & ~csCreating);
  if (FHandle == nullptr) throw EOutOfResources("Error creating window");
}

void TWinControl::CreateHandle() {
  if (FHandle != nullptr) return;
  CreateWnd();
  SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  if (FHasSavedState) {
    FHasSavedState = false;
    RestoreNativeState();
    for (int bar : {SB_HORZ, SB_VERT}) {
      SCROLLINFO& si = FSavedScroll[bar];
      if (si.cbSize == 0 || (si.nMax == si.nMin && si.nPos == 0)) continue;
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      SetScrollInfo(FHandle, bar, &si, TRUE);
    }
  }
  // The real client area is known now.
  for (TControl* c : FControls) c->UpdateAnchorRules();
  for (TControl* c : FControls) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w != nullptr && w->Visible() && w->FHandle == nullptr) w->CreateHandle();
  }
  Realign();
}

void TWinControl::DestroyWnd() {
  SaveNativeState();
  FText = Text();
  for (int bar : {SB_HORZ, SB_VERT}) {
    SCROLLINFO& si = FSavedScroll[bar];
    si = SCROLLINFO{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(FHandle, bar, &si)) si.cbSize = 0;
  }
  FHasSavedState = true;
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  SetControlState(ControlState() | csDestroyingHandle);
  HWND handle = FHandle;
  if (handle != nullptr) {
    DestroyWindow(handle);
    ControlsByWindow().Remove(handle, this);
  }
  FHandle = nullptr;
  SetControlState(ControlState() & ~csDestroyingHandle);
}

void TWinControl::DestroyHandle() {
  if (FHandle == nullptr) return;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (FHandle != nullptr) Perform(CM_RECREATEWND);
}

void TWinControl::SetParentWindow(HWND window) {
  if (window == FParentWindow) return;
  FParentWindow = window;
  if (FHandle != nullptr && Parent() == nullptr) ::SetParent(FHandle, window);
}

void TWinControl::UpdateShowing() {
  bool parentReady = Parent() != nullptr ? Parent()->HandleAllocated() : true;
  if (Visible() && parentReady && FHandle == nullptr) CreateHandle();
  if (FHandle == nullptr) return;
  if (Visible()) {
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  } else {
    if (Focused() && Parent() != nullptr) ::SetFocus(Parent()->Handle());
    ShowWindow(FHandle, SW_HIDE);
  }
}

bool TWinControl::IsShowing() const {
  if (!Visible() || FHandle == nullptr) return false;
  return Parent() != nullptr ? Parent()->IsShowing() : IsWindowVisible(FHandle) != 0;
}

void TWinControl::InsertControl(TControl* control) {
  if (control == nullptr || control->FParent == this) return;
  if (control->FParent != nullptr) control->FParent->RemoveControl(control);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  FControls.push_back(control);
  control->FParent = this;
  auto* w = dynamic_cast<TWinControl*>(control);
  if (w != nullptr) {
    if (w->FParentCtl3D) w->FCtl3D = FCtl3D;
    FTabList.push_back(w);
    if (FHandle != nullptr) {
      if (w->FHandle != nullptr) ::SetParent(w->FHandle, FHandle);
      else if (w->Visible()) w->CreateHandle();
    }
  }
  control->UpdateAnchorRules();
  if (control->Align() != alNone) Realign();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end()) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
  if (TCustomForm* form = GetParentForm(this)) form->ControlRemoving(control);
  if (MouseControl() == control) SetMouseControl(nullptr);
  if (gCaptureControl == control) SetCaptureControl(nullptr);
  control->Invalidate();
  auto* w = dynamic_cast<TWinControl*>(control);
  if (w != nullptr) {
    if (!w->IsDestroying()) w->DestroyHandle();
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
  }
  it = std::find(FControls.begin(), FControls.end(), control);
  if (it != FControls.end()) FControls.erase(it);
  control->FParent = nullptr;
  if (!IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  while (control != nullptr && control != this) control = control->Parent();
  return control == this;
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool allowWinControls) {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!allowWinControls && IsWindowed(c)) continue;
    if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
    RECT r = c->BoundsRect();
    if (PtInRect(&r, p)) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  std::vector<TControl*> children = FControls;
  for (TControl* c : children) {
    if (std::find(FControls.begin(), FControls.end(), c) == FControls.end()) continue;
    message.Result = c->Perform(message.Msg, message.WParam, message.LParam);
    if (message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  TMessage message{msg, 0, 0, 0};
  Broadcast(message);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  CanAutoSize(width, height);
  if (FHandle == nullptr) {
    int oldW = Width(), oldH = Height();
    TControl::SetBounds(left, top, width, height);
    if (Width() != oldW || Height() != oldH) Realign();
    return;
  }
  width = Constraints().ClampWidth(width < 0 ? 0 : width);
  height = Constraints().ClampHeight(height < 0 ? 0 : height);
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // A hidden or refused move still takes the asked bounds.
  if (left != Left() || top != Top() || width != Width() || height != Height()) {
    TControl::SetBounds(left, top, width, height);
    Realign();
  }
}

// Takes the bounds the window really has after the platform moved or sized it.
void TWinControl::ApplyNativeBounds() {
  RECT r;
  if (!GetWindowRect(FHandle, &r)) return;
  HWND parent = (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD) ? GetParent(FHandle) : nullptr;
  if (parent != nullptr) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  int w = r.right - r.left, h = r.bottom - r.top;
  bool resized = w != Width() || h != Height();
  if (r.left == Left() && r.top == Top() && !resized) return;
  InvalidateControl(Visible(), false);
  FLeft = r.left;
  FTop = r.top;
  FWidth = w;
  FHeight = h;
  if (!FAnchoring) UpdateAnchorRules();
  if (resized) {
    Realign();
    Resize();
  }
}

RECT TWinControl::ClientRect() {
  if (FHandle != nullptr) {
    RECT r;
    if (GetClientRect(FHandle, &r)) return r;
  }
  return TControl::ClientRect();
}

void TWinControl::SetClientSize(int width, int height) {
  RECT client = ClientRect();
  SetBounds(Left(), Top(), Width() - client.right + width, Height() - client.bottom + height);
}

POINT TWinControl::ClientOrigin() {
  if (FHandle == nullptr) return TControl::ClientOrigin();
  POINT p{0, 0};
  ::ClientToScreen(FHandle, &p);
  return p;
}

void TWinControl::SetCtl3D(bool ctl3D) {
  if (ctl3D == FCtl3D) return;
  FCtl3D = ctl3D;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool parentCtl3D) {
  if (parentCtl3D == FParentCtl3D) return;
  FParentCtl3D = parentCtl3D;
  if (parentCtl3D && Parent() != nullptr && Parent()->Ctl3D() != FCtl3D) {
    FCtl3D = Parent()->Ctl3D();
    Perform(CM_CTL3DCHANGED);
  }
}

void TWinControl::AdjustClientRect(RECT& r) { InflateRect(&r, -FBorderWidth, -FBorderWidth); }

void TWinControl::SetBorderWidth(int width) {
  if (width < 0 || width == FBorderWidth) return;
  FBorderWidth = width;
  Realign();
  Invalidate();
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && (ControlState() & csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
  if (FAligning || IsDestroying()) return;
  if (FAlignLevel > 0) {
    SetControlState(ControlState() | csAlignmentNeeded);
    return;
  }
  SetControlState(ControlState() & ~csAlignmentNeeded);
  FAligning = true;
  try {
    RECT r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
  } catch (...) {
    FAligning = false;
    throw;
  }
  FAligning = false;
}

void TWinControl::AlignControls(TControl*, RECT& r) {
  RECT client = ClientRect();
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : FControls)
      if (c->Align() == align && c->Visible()) list.push_back(c);
    // Controls of one side keep their relative order along it.
    std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case alTop: return a->Top() < b->Top();
        case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
        case alLeft: return a->Left() < b->Left();
        case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
        default: return false;
      }
    });
    for (TControl* c : list) {
      int w = r.right - r.left, h = r.bottom - r.top;
      switch (align) {
        case alTop:
          c->SetBounds(r.left, r.top, w, c->Height());
          r.top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.left, r.bottom - c->Height(), w, c->Height());
          r.bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.left, r.top, c->Width(), h);
          r.left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.right - c->Width(), r.top, c->Width(), h);
          r.right -= c->Width();
          break;
        default:
          c->SetBounds(r.left, r.top, w, h);
          break;
      }
    }
  }
  for (TControl* c : FControls)
    if (c->Align() == alNone) c->ApplyAnchorRules(client.right, client.bottom);
}

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr) return false;
  for (TControl* c = this; c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return form->Visible() && form->Enabled();
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (FParentWindow != nullptr) {
    ::SetFocus(Handle());
  } else {
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
}

bool TWinControl::Focused() const { return FHandle != nullptr && FocusWindow() == FHandle; }

int TWinControl::TabOrder() const {
  if (Parent() == nullptr) return -1;
  auto& list = Parent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (Parent() == nullptr) return;
  auto& list = Parent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (order < 0 || order > int(list.size())) order = int(list.size());
  list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool tabStop) {
  if (tabStop == FTabStop) return;
  FTabStop = tabStop;
  if (FHandle != nullptr) {
    LONG_PTR style = GetWindowLongPtrA(FHandle, GWL_STYLE);
    SetWindowLongPtrA(FHandle, GWL_STYLE, tabStop ? style | WS_TABSTOP : style & ~LONG_PTR(WS_TABSTOP));
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = int(list.size());
  auto it = std::find(list.begin(), list.end(), current);
  int start = it == list.end() ? (goForward ? n - 1 : 0) : int(it - list.begin());
  for (int step = 1; step <= n; ++step) {
    int i = goForward ? (start + step) % n : ((start - step) % n + n) % n;
    TWinControl* c = list[size_t(i)];
    if (c == current) continue;
    if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::SelectFirst() {
  if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
}

void TWinControl::SetEnabled(bool enabled) { TControl::SetEnabled(enabled); }

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::Update() {
  if (FHandle != nullptr && !TUpdatesHeld::Active()) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::BringToFront() {
  TControl::BringToFront();
  if (FHandle != nullptr) SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SendToBack() {
  TControl::SendToBack();
  if (FHandle != nullptr) SetWindowPos(FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = first != nullptr ? std::find(FControls.begin(), FControls.end(), first) : FControls.begin();
  RECT clip;
  GetClipBox(dc, &clip);
  for (; it != FControls.end(); ++it) {
    TControl* c = *it;
    if (IsWindowed(c) || !c->Visible()) continue;
    RECT bounds = c->BoundsRect(), overlap;
    if (!IntersectRect(&overlap, &bounds, &clip)) continue;
    TSaveDC saved(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + c->Left(), origin.y + c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    PaintGraphicChild(dc, c);
  }
}

void TWinControl::PaintGraphicChild(HDC dc, TControl* child) {
  child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(message);
}

void TWinControl::PaintHandler(TMessage& message) {
  // A DC in WParam is one to paint into (a copy of the control); without one, the window's paint.
  TPaintDC paint(FHandle, reinterpret_cast<HDC>(message.WParam));
  HDC dc = paint.Handle();
  {
    TSaveDC saved(dc);
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
  message.Result = 0;
}

bool TWinControl::IsControlMouseMsg(TMessage& message) {
  if (message.Msg < WM_MOUSEMOVE || message.Msg > WM_MBUTTONDBLCLK) return false;
  TControl* target = nullptr;
  if (gCaptureControl != nullptr && gCaptureControl->Parent() == this && !IsWindowed(gCaptureControl)) {
    target = gCaptureControl;
  } else if (gCaptureControl == nullptr || gCaptureControl == this) {
    target = ControlAtPos(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}, false);
  }
  if (target == nullptr) return false;
  int x = GET_X_LPARAM(message.LParam) - target->Left(), y = GET_Y_LPARAM(message.LParam) - target->Top();
  message.Result = target->Perform(message.Msg, message.WParam, MAKELPARAM(x, y));
  return true;
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      if (FHandle != nullptr) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, FHandle, 0};
        TrackMouseEvent(&tme);
      }
      if (IsControlMouseMsg(message)) {
        // The window itself still gets the hint tracking of the mouse.
        DefaultHandler(message);
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (IsControlMouseMsg(message)) {
        if (message.Msg == WM_LBUTTONUP || message.Msg == WM_RBUTTONUP || message.Msg == WM_MBUTTONUP)
          DefaultHandler(message);
        return;
      }
      break;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      // Escape ends a drag of any control, wherever the focus is.
      if (message.WParam == VK_ESCAPE && CancelDrag()) {
        message.Result = 1;
        return;
      }
      break;
    case WM_MOUSELEAVE: {
      TControl* over = MouseControl();
      if (over != nullptr && (over == this || (over->Parent() == this && !IsWindowed(over)))) SetMouseControl(nullptr);
      break;
    }
    default:
      break;
  }
  TControl::WndProc(message);
}

// Whether message is a notification a child sends its parent, and the child's window (nullptr when
// the message does not say).
bool TWinControl::NotificationSource(const TMessage& message, HWND& child) const {
  child = nullptr;
  switch (message.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
      child = reinterpret_cast<HWND>(message.LParam);
      return true;
    case WM_NOTIFY:
      if (message.LParam != 0) child = reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom;
      return true;
    case WM_DRAWITEM:
      if (message.LParam != 0) child = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam)->hwndItem;
      return true;
    case WM_DELETEITEM:
      if (message.LParam != 0) child = reinterpret_cast<DELETEITEMSTRUCT*>(message.LParam)->hwndItem;
      return true;
    case WM_COMPAREITEM:
      if (message.LParam != 0) child = reinterpret_cast<COMPAREITEMSTRUCT*>(message.LParam)->hwndItem;
      return true;
    case WM_MEASUREITEM:
      if (message.LParam != 0 && FHandle != nullptr)
        child = GetDlgItem(FHandle, int(reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)->CtlID));
      return true;
    default:
      if (message.Msg < WM_CTLCOLORMSGBOX || message.Msg > WM_CTLCOLORSTATIC) return false;
      child = reinterpret_cast<HWND>(message.LParam);
      return true;
  }
}

// A child's notification goes back to the child as CN_*; one from a window that is not ours, or
// from this one, gets the default handling.
void TWinControl::ReflectNotification(TMessage& message, HWND child) {
  TWinControl* target = child != nullptr && child != FHandle ? FindControl(child) : nullptr;
  if (target != nullptr) {
    message.Result = target->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    return;
  }
  DefaultHandler(message);
}

bool TWinControl::WMEraseBkgnd(TMessage& message) {
  // A native class erases its own background.
  if (WrapsNativeClass()) return false;
  RECT r = ClientRect();
  ::FillRect(reinterpret_cast<HDC>(message.WParam), &r, FBrush.Handle());
  message.Result = 1;
  return true;
}

void TWinControl::CNCtlColor(TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  ::SetTextColor(dc, ColorToRGB(Font()->Color()));
  ::SetBkColor(dc, ColorToRGB(FBrush.Color()));
  message.Result = reinterpret_cast<LRESULT>(FBrush.Handle());
}

// Result 1 when the key was used here: by a menu shortcut before the control sees it, or by the
// control; a dialog key the control does not want goes to the form.
void TWinControl::CNKeyDown(TMessage& message) {
  message.Result = 1;
  if (IsMenuKey(message)) return;
  if (DoKeyDown(message)) return;
  if (message.Msg == CN_KEYDOWN) {
    WORD key = WORD(message.WParam);
    LRESULT want = 0;
    switch (key) {
      case VK_TAB: want = DLGC_WANTTAB; break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN: want = DLGC_WANTARROWS; break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL: want = DLGC_WANTALLKEYS; break;
      default: break;
    }
    if (want != 0 && (Perform(WM_GETDLGCODE) & want) == 0) {
      TCustomForm* form = GetParentForm(this);
      if (form != nullptr && form->Perform(CM_DIALOGKEY, key, message.LParam) != 0) return;
    }
  }
  message.Result = 0;
}

bool TWinControl::IsMenuKey(const TMessage& message) {
  const WORD key = WORD(message.WParam);
  const TShiftState shift = KeyDataToShiftState(message.LParam);
  // F1 alone stays the help request (WM_HELP), which finds the help of the focused control.
  if (key == VK_F1 && (shift & (ssShift | ssCtrl | ssAlt)) == 0) return false;
  for (TControl* c = this; c != nullptr; c = c->Parent())
    if (TPopupMenu* menu = c->PopupMenu(); menu != nullptr && menu->IsShortCut(key, shift)) return true;
  TCustomForm* form = GetParentForm(this);
  return form != nullptr && form->IsShortCut(key, shift);
}

void TWinControl::CMRecreateWnd() {
  bool wasFocused = Focused();
  DestroyHandle();
  UpdateShowing();
  if (wasFocused && FHandle != nullptr) ::SetFocus(FHandle);
}

bool TWinControl::WMSetCursor(TMessage& message) {
  if (LOWORD(message.LParam) != HTCLIENT || reinterpret_cast<HWND>(message.WParam) != FHandle) return false;
  TCursor cursor = Screen != nullptr ? Screen->Cursor() : crDefault;
  if (cursor == crDefault) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(FHandle, &p);
    TControl* over = ControlAtPos(p, false);
    cursor = over != nullptr ? over->Cursor() : Cursor();
  }
  if (cursor == crDefault || Screen == nullptr) return false;
  ::SetCursor(Screen->Cursors(cursor));
  message.Result = 1;
  return true;
}

// The popup menu of the control under the point (or of the nearest parent that has one) opens
// when it pops up by itself.
bool TWinControl::WMContextMenu(TMessage& message) {
  POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  if (p.x == -1 && p.y == -1) p = ClientToScreen(POINT{0, 0});
  TControl* over = ControlAtPos(ScreenToClient(p), false);
  for (TControl* c = over != nullptr ? over : this; c != nullptr; c = c->Parent()) {
    TPopupMenu* menu = c->PopupMenu();
    if (menu == nullptr) continue;
    if (!menu->AutoPopup()) return false;
    menu->SetPopupComponent(c);
    menu->Popup(p.x, p.y);
    message.Result = 0;
    return true;
  }
  return false;
}

void TWinControl::Dispatch(TMessage& message) {
  if (HWND child; NotificationSource(message, child)) {
    ReflectNotification(message, child);
    return;
  }
  if (DispatchWindowMessage(message) || DispatchControlMessage(message)) return;
  TControl::Dispatch(message);
}

bool TWinControl::DispatchWindowMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      PaintHandler(message);
      return true;
    case WM_ERASEBKGND:
      return WMEraseBkgnd(message);
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC:
      CNCtlColor(message);
      return true;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(message);
      return true;
    case CN_KEYUP:
      message.Result = DoKeyUp(message) ? 1 : 0;
      return true;
    case CN_CHAR:
      message.Result = DoKeyPress(message) ? 1 : 0;
      return true;
    case CN_SYSCHAR:
      CNSysChar(message);
      return true;
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form != nullptr && form != this) form->SetFocusedControl(this);
      return false;
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(message);
      return true;
    case WM_SETCURSOR:
      return WMSetCursor(message);
    case WM_CONTEXTMENU:
      return WMContextMenu(message);
    case WM_CAPTURECHANGED:
      WMCaptureChanged(message);
      return false;
    case WM_NCDESTROY:
      WMNCDestroy(message);
      return true;
  }
  return false;
}

bool TWinControl::DispatchControlMessage(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED:
      Broadcast(message);
      return true;
    case CM_ENTER:
      DoEnter();
      return true;
    case CM_EXIT:
      DoExit();
      return true;
    case CM_INVALIDATE:
      if (FHandle != nullptr) InvalidateRect(FHandle, nullptr, (ControlStyle() & csOpaque) == 0);
      return true;
    case CM_VISIBLECHANGED:
      UpdateShowing();
      return true;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged();
      return true;
    case CM_COLORCHANGED:
      CMColorChanged();
      return true;
    case CM_FONTCHANGED:
      CMFontChanged();
      return true;
    case CM_SHOWHINTCHANGED:
      NotifyControls(CM_PARENTSHOWHINTCHANGED);
      return true;
    case CM_BIDIMODECHANGED:
      NotifyControls(CM_PARENTBIDIMODECHANGED);
      return true;
    case CM_CTL3DCHANGED:
      NotifyControls(CM_PARENTCTL3DCHANGED);
      RecreateWnd();
      return true;
    case CM_PARENTCTL3DCHANGED:
      CMParentCtl3DChanged();
      return true;
    case CM_RECREATEWND:
      CMRecreateWnd();
      return true;
  }
  return false;
}

void TWinControl::CNSysChar(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  message.Result = form != nullptr ? form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) : 0;
}

void TWinControl::CMEnabledChanged() {
  if (!Enabled() && Focused() && Parent() != nullptr) Parent()->SelectNext(this, true, true);
  if (FHandle != nullptr) EnableWindow(FHandle, Enabled());
}

void TWinControl::CMColorChanged() {
  FBrush.SetColor(Color());
  NotifyControls(CM_PARENTCOLORCHANGED);
  Invalidate();
}

void TWinControl::CMFontChanged() {
  if (FHandle != nullptr) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
  NotifyControls(CM_PARENTFONTCHANGED);
  Invalidate();
}

void TWinControl::CMParentCtl3DChanged() {
  if (FParentCtl3D && Parent() != nullptr && Parent()->Ctl3D() != FCtl3D) {
    FCtl3D = Parent()->Ctl3D();
    Perform(CM_CTL3DCHANGED);
  }
}

void TWinControl::WMWindowPosChanged(TMessage& message) {
  DefaultHandler(message);
  if (FHandle != nullptr) ApplyNativeBounds();
}

// The capture control lets go when the capture leaves its window.
void TWinControl::WMCaptureChanged(TMessage& message) {
  if (gCaptureControl != nullptr && (gCaptureControl == this || gCaptureControl->Parent() == this) &&
      reinterpret_cast<HWND>(message.LParam) != FHandle)
    gCaptureControl = nullptr;
}

void TWinControl::WMNCDestroy(TMessage& message) {
  DefaultHandler(message);
  if (FHandle != nullptr) ControlsByWindow().Remove(FHandle, this);
  FHandle = nullptr;
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (FHandle == nullptr) {
    TControl::DefaultHandler(message);
    return;
  }
  // Framework messages mean nothing to the platform.
  if (IsFrameworkMessage(message.Msg)) return;
  WNDPROC proc = FDefWndProc != nullptr ? FDefWndProc : DefWindowProcA;
  message.Result = CallWindowProcA(proc, FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (FOnKeyDown) FOnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (FOnKeyUp) FOnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (FOnKeyPress) FOnKeyPress(this, key);
}

bool TWinControl::DoKeyDown(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview() && form->DoKeyDown(message)) return true;
  WORD key = WORD(message.WParam);
  KeyDown(key, KeyDataToShiftState(message.LParam));
  if (key == 0) return true;
  message.WParam = key;
  return false;
}

bool TWinControl::DoKeyUp(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview() && form->DoKeyUp(message)) return true;
  WORD key = WORD(message.WParam);
  KeyUp(key, KeyDataToShiftState(message.LParam));
  if (key == 0) return true;
  message.WParam = key;
  return false;
}

bool TWinControl::DoKeyPress(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview() && form->DoKeyPress(message)) return true;
  char key = char(message.WParam);
  KeyPress(key);
  if (key == 0) return true;
  message.WParam = WPARAM(uint8_t(key));
  return false;
}

void TWinControl::DoEnter() {
  if (FOnEnter) FOnEnter(this);
}

void TWinControl::DoExit() {
  if (FOnExit) FOnExit(this);
}
