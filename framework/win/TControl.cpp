#include "framework/win/TControl.h"

#include <windowsx.h>

#include <cstdlib>

#include "framework/win/AllocateHWnd.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TPopupMenu.h"
#include "framework/win/TScreen.h"
#include "framework/win/TWinControl.h"

namespace {

// The control the mouse is over, for CM_MOUSEENTER and CM_MOUSELEAVE.
TControl* gMouseControl = nullptr;

}  // namespace

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (keyData & 0x20000000) s |= ssAlt;
  return s;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState CurrentShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

// Moves the mouse-over state to control (nullptr: the mouse left every control).
void SetMouseControl(TControl* control) {
  if (control == gMouseControl) return;
  TControl* old = gMouseControl;
  gMouseControl = control;
  if (old != nullptr) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (control != nullptr && gMouseControl == control)
    control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
}

TControl* MouseControl() { return gMouseControl; }

// The one drag of a control that may run: a hidden window holds the mouse capture and follows the
// mouse until a release, a right press, Escape or EndDrag ends the drag.
class TDragSession {
public:
  TDragSession(TControl* source, int threshold) : FSource(source), FThreshold(threshold) {
    GetCursorPos(&FStart);
    FCapture = AllocateHWnd(TWndMethod(this, &TDragSession::CaptureProc));
    ::SetCapture(FCapture);
  }
  TDragSession(const TDragSession&) = delete;
  TDragSession& operator=(const TDragSession&) = delete;

  static TDragSession* Running() { return FRunning; }
  static void Begin(TControl* source, bool immediate, int threshold) {
    FRunning = new TDragSession(source, immediate ? 0 : threshold);
    if (!immediate) return;
    POINT p;
    GetCursorPos(&p);
    FRunning->Start(p);
  }
  TControl* Source() const { return FSource; }
  bool Started() const { return FStarted; }

  // Ends the drag: a drop on the control under the mouse when drop is set and it accepts. The state
  // is gone before the handlers run, so they may start another drag.
  void End(bool drop, POINT p) {
    TControl* source = FSource;
    TControl* over = FTarget;
    TControl* target = drop && FAccepted ? FTarget : nullptr;
    const bool started = FStarted;
    Finish();
    if (!started) return;
    if (over != nullptr && target == nullptr) {
      const POINT c = over->ScreenToClient(p);
      bool accept = false;
      over->DragOver(source, c.x, c.y, dsDragLeave, accept);
    }
    const POINT c = (target != nullptr ? target : source)->ScreenToClient(p);
    if (target != nullptr) target->DragDrop(source, c.x, c.y);
    source->DoEndDrag(target, c.x, c.y);
  }

  // A control going away leaves the drag: as its source the drag ends with no event.
  void Forget(TControl* control) {
    if (control == FSource) {
      Finish();
      return;
    }
    if (control == FTarget) {
      FTarget = nullptr;
      FAccepted = false;
    }
  }

private:
  // The window goes first (and the capture with it), so that nothing reaches this object again.
  void Finish() {
    const HWND capture = FCapture;
    FRunning = nullptr;
    DeallocateHWnd(capture);
    delete this;
  }

  void Start(POINT p) {
    FStarted = true;
    FSource->DoStartDrag();
    if (FRunning == this) MoveTo(p);
  }

  // The framework control under p: a graphic child of the window there, else that window's control
  // (a native child such as a combo box's edit belongs to its parent's).
  static TControl* ControlAt(POINT p) {
    TWinControl* window = nullptr;
    for (HWND w = WindowFromPoint(p); w != nullptr && window == nullptr; w = GetParent(w)) window = FindControl(w);
    if (window == nullptr) return nullptr;
    TControl* graphic = window->ControlAtPos(window->ScreenToClient(p), false);
    return graphic != nullptr ? graphic : window;
  }

  bool Ask(TControl* target, POINT p, TDragState state) {
    const POINT c = target->ScreenToClient(p);
    bool accept = false;
    target->DragOver(FSource, c.x, c.y, state, accept);
    return accept;
  }

  void MoveTo(POINT p) {
    TControl* target = ControlAt(p);
    TControl* left = FTarget;
    if (target != FTarget) {
      FTarget = nullptr;
      FAccepted = false;
      if (left != nullptr) Ask(left, p, dsDragLeave);
      if (FRunning != this) return;
      FTarget = target;
    }
    // The handler may end the drag: nothing of it is touched then.
    const bool accepted = target != nullptr && Ask(target, p, left == target ? dsDragMove : dsDragEnter);
    if (FRunning != this) return;
    FAccepted = accepted;
    const TCursor cursor = FTarget != nullptr && FAccepted ? FSource->DragCursor() : crNoDrop;
    ::SetCursor(Screen != nullptr ? Screen->Cursors(cursor) : LoadCursorA(nullptr, IDC_NO));
  }

  void CaptureProc(TMessage& message) {
    POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    switch (message.Msg) {
      case WM_MOUSEMOVE:
        ::ClientToScreen(FCapture, &p);
        if (FStarted) MoveTo(p);
        else if (std::abs(p.x - FStart.x) >= FThreshold || std::abs(p.y - FStart.y) >= FThreshold) Start(p);
        return;
      case WM_LBUTTONUP:
        ::ClientToScreen(FCapture, &p);
        End(true, p);
        return;
      case WM_RBUTTONDOWN:
        ::ClientToScreen(FCapture, &p);
        End(false, p);
        return;
      case WM_CANCELMODE:
      case WM_CAPTURECHANGED:
        // Another window took the mouse.
        if (message.Msg == WM_CANCELMODE || reinterpret_cast<HWND>(message.LParam) != FCapture) {
          GetCursorPos(&p);
          End(false, p);
        }
        return;
      default:
        message.Result = DefWindowProcA(FCapture, message.Msg, message.WParam, message.LParam);
        return;
    }
  }

  static inline TDragSession* FRunning = nullptr;
  TControl* FSource;
  int FThreshold;
  POINT FStart{};
  HWND FCapture = nullptr;
  bool FStarted = false;
  TControl* FTarget = nullptr;
  bool FAccepted = false;
};

bool CancelDrag() {
  TDragSession* drag = TDragSession::Running();
  if (drag == nullptr) return false;
  POINT p;
  GetCursorPos(&p);
  drag->End(false, p);
  return true;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
  FWindowProc = TWndMethod(this, &TControl::WndProc);
  FFont.SetOnChange(TNotifyEvent(this, &TControl::FontObjectChanged));
}

TControl::~TControl() {
  if (TDragSession* drag = TDragSession::Running()) drag->Forget(this);
  if (gMouseControl == this) gMouseControl = nullptr;
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  FFont.SetOnChange(nullptr);
  if (FParent != nullptr) FParent->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (TDragSession* drag = TDragSession::Running()) drag->Forget(this);
  if (gMouseControl == this) gMouseControl = nullptr;
  if (Application != nullptr) Application->ControlDestroying(this);
  if (FParent != nullptr) FParent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  // A copy: the handler may replace the window procedure while it runs.
  if (TWndMethod proc = FWindowProc) proc(message);
  else WndProc(message);
  return message.Result;
}

void TControl::SetWindowProc(const TWndMethod& method) {
  FWindowProc = method ? method : TWndMethod(this, &TControl::WndProc);
}

void TControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      SetMouseControl(this);
      if (Application != nullptr) Application->HintMouseMessage(this, message);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SendCancelMode(this);
      if (FDragMode == dmAutomatic && !Dragging()) {
        BeginDrag(true);
        return;
      }
      if (FControlStyle & csCaptureMouse) SetCaptureControl(this);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      SendCancelMode(this);
      break;
    case WM_LBUTTONUP:
      // The release comes after the control (and a native control under it) saw the button go up.
      Dispatch(message);
      if (GetCaptureControl() == this) SetCaptureControl(nullptr);
      return;
    default:
      break;
  }
  Dispatch(message);
}

void TControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
      HandleMouseMessage(message);
      DefaultHandler(message);
      return;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_INVALIDATE:
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      InvalidateControl(true, (FControlStyle & csOpaque) != 0);
      return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      Invalidate();
      return;
    case CM_PARENTFONTCHANGED:
      DoParentFontChanged();
      return;
    case CM_PARENTCOLORCHANGED:
      DoParentColorChanged();
      return;
    case CM_PARENTSHOWHINTCHANGED:
      if (FParentShowHint && FParent != nullptr) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED);
      }
      return;
    case CM_PARENTBIDIMODECHANGED:
      if (FParentBiDiMode && FParent != nullptr) {
        FBiDiMode = FParent->BiDiMode();
        Perform(CM_BIDIMODECHANGED);
      }
      return;
    case CM_HITTEST:
      message.Result = HTCLIENT;
      return;
    case CM_HINTSHOW:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_SHOWHINTCHANGED:
    case CM_BIDIMODECHANGED:
    case CM_CHANGED:
    case CM_CANCELMODE:
      return;
    default:
      DefaultHandler(message);
      return;
  }
}

// Without a window the control keeps its text itself.
void TControl::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(message.LParam);
      size_t capacity = message.WParam;
      if (buffer == nullptr || capacity == 0) {
        message.Result = 0;
        return;
      }
      size_t n = std::min(FText.size(), capacity - 1);
      FText.copy(buffer, n);
      buffer[n] = 0;
      message.Result = LRESULT(n);
      return;
    }
    case WM_GETTEXTLENGTH:
      message.Result = LRESULT(FText.size());
      return;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(message.LParam);
      FText = text ? text : "";
      message.Result = 1;
      return;
    }
    default:
      return;
  }
}

void TControl::HandleMouseMessage(TMessage& message) {
  int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
  TShiftState shift = KeysToShiftState(message.WParam);
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      return;
    case WM_LBUTTONDOWN:
      if (FControlStyle & csClickEvents) FControlState |= csClicked;
      FControlState |= csLButtonDown;
      MouseDown(mbLeft, shift, x, y);
      return;
    case WM_LBUTTONDBLCLK:
      FControlState |= csLButtonDown;
      if (FControlStyle & csDoubleClicks) DblClick();
      MouseDown(mbLeft, shift | ssDouble, x, y);
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(mbRight, shift | (message.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0), x, y);
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, shift | (message.Msg == WM_MBUTTONDBLCLK ? ssDouble : 0), x, y);
      return;
    case WM_LBUTTONUP: {
      bool clicked = (FControlState & csClicked) != 0;
      FControlState &= ~(csClicked | csLButtonDown);
      MouseUp(mbLeft, shift, x, y);
      RECT r = ClientRect();
      POINT p{x, y};
      if (clicked && PtInRect(&r, p)) Click();
      return;
    }
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, x, y);
      return;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, x, y);
      return;
    default:
      return;
  }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (FOnMouseDown) FOnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FOnMouseUp) FOnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (FOnMouseMove) FOnMouseMove(this, shift, x, y);
}

void TControl::BeginDrag(bool immediate, int threshold) {
  if (TDragSession::Running() != nullptr) return;
  TDragSession::Begin(this, immediate, threshold);
}

void TControl::EndDrag(bool drop) {
  TDragSession* drag = TDragSession::Running();
  if (drag == nullptr || drag->Source() != this) return;
  POINT p;
  GetCursorPos(&p);
  drag->End(drop, p);
}

bool TControl::Dragging() const {
  const TDragSession* drag = TDragSession::Running();
  return drag != nullptr && drag->Source() == this && drag->Started();
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = FOnDragOver.Assigned();
  if (FOnDragOver) FOnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (FOnDragDrop) FOnDragDrop(this, source, x, y);
}

void TControl::DoStartDrag() {
  if (FOnStartDrag) FOnStartDrag(this);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (FOnEndDrag) FOnEndDrag(this, target, x, y);
}

void TControl::Click() {
  if (FOnClick) FOnClick(this);
}

void TControl::DblClick() {
  if (FOnDblClick) FOnDblClick(this);
}

void TControl::Resize() {
  if (FOnResize) FOnResize(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EComponentError("A control cannot have itself as its parent");
  // One made with a plain new after its owner's loading is completed before it is placed, so that
  // it is never placed without its Loaded (a skinned control would never find its skin).
  if (parent != nullptr && IsIncomplete()) FinishCreation();
  if (FParent != nullptr) FParent->RemoveControl(this);
  if (parent != nullptr) {
    parent->InsertControl(this);
    if (FParentFont) DoParentFontChanged();
    if (FParentColor) DoParentColorChanged();
    if (FParentShowHint) FShowHint = parent->ShowHint();
    if (FParentBiDiMode) FBiDiMode = parent->BiDiMode();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  CanAutoSize(width, height);
  width = FConstraints.ClampWidth(width < 0 ? 0 : width);
  height = FConstraints.ClampHeight(height < 0 ? 0 : height);
  bool resized = width != FWidth || height != FHeight;
  if (left == FLeft && top == FTop && !resized) return;
  InvalidateControl(FVisible, false);
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  if (!FAnchoring) UpdateAnchorRules();
  Invalidate();
  RequestAlign();
  if (resized) Resize();
}

RECT TControl::ClientRect() { return RECT{0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int width, int height) {
  RECT client = ClientRect();
  SetBounds(FLeft, FTop, FWidth - client.right + width, FHeight - client.bottom + height);
}

POINT TControl::ClientOrigin() {
  if (FParent == nullptr) return POINT{FLeft, FTop};
  POINT p = FParent->ClientOrigin();
  return POINT{p.x + FLeft, p.y + FTop};
}

POINT TControl::ClientToScreen(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (align != alNone && align != alCustom) FAnchors = akLeft | akTop;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors anchors) {
  if (anchors == FAnchors) return;
  FAnchors = anchors;
  UpdateAnchorRules();
}

void TControl::SetConstraints(const TSizeConstraints& c) {
  FConstraints = c;
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::UpdateAnchorRules() {
  if (FParent == nullptr || FAnchors == (akLeft | akTop)) {
    FAnchorRule.Valid = false;
    return;
  }
  RECT pr = FParent->ClientRect();
  FAnchorRule = {true, pr.right, pr.bottom, FLeft, FTop, FWidth, FHeight};
}

void TControl::ApplyAnchorRules(int parentWidth, int parentHeight) {
  if (!FAnchorRule.Valid || FAlign != alNone) return;
  const TAnchorRule& r = FAnchorRule;
  int dx = parentWidth - r.ParentWidth, dy = parentHeight - r.ParentHeight;
  int left = r.Left, top = r.Top, width = r.Width, height = r.Height;
  if (FAnchors & akRight) {
    if (FAnchors & akLeft) width += dx;
    else left += dx;
  } else if (!(FAnchors & akLeft)) {
    left += dx / 2;
  }
  if (FAnchors & akBottom) {
    if (FAnchors & akTop) height += dy;
    else top += dy;
  } else if (!(FAnchors & akTop)) {
    top += dy / 2;
  }
  FAnchoring = true;
  try {
    SetBounds(left, top, width, height);
  } catch (...) {
    FAnchoring = false;
    throw;
  }
  FAnchoring = false;
}

void TControl::RequestAlign() {
  if (FParent != nullptr && (FVisible || FAlign != alNone)) FParent->Realign();
}

bool TControl::IsShowing() const { return FVisible && FParent != nullptr && FParent->IsShowing(); }

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  RequestAlign();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Perform(CM_ENABLEDCHANGED);
}

std::string TControl::Text() {
  LRESULT length = Perform(WM_GETTEXTLENGTH);
  if (length <= 0) return "";
  std::string text(size_t(length) + 1, '\0');
  LRESULT got = Perform(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got < 0 ? 0 : std::min(size_t(got), size_t(length)));
  return text;
}

void TControl::SetText(const std::string& text) {
  if (Text() == text) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Perform(CM_TEXTCHANGED);
}

void TControl::FontObjectChanged(TObject*) { FontChanged(); }

void TControl::FontChanged() {
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool parentFont) {
  if (parentFont == FParentFont) return;
  FParentFont = parentFont;
  if (parentFont) DoParentFontChanged();
}

void TControl::DoParentFontChanged() {
  if (!FParentFont || FParent == nullptr) return;
  FFont.Assign(FParent->Font());
  FParentFont = true;
}

void TControl::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool parentColor) {
  if (parentColor == FParentColor) return;
  FParentColor = parentColor;
  if (parentColor) DoParentColorChanged();
}

void TControl::DoParentColorChanged() {
  if (!FParentColor || FParent == nullptr) return;
  SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::SetShowHint(bool showHint) {
  if (showHint == FShowHint && !FParentShowHint) return;
  FShowHint = showHint;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool parentShowHint) {
  if (parentShowHint == FParentShowHint) return;
  FParentShowHint = parentShowHint;
  if (parentShowHint && FParent != nullptr) {
    FShowHint = FParent->ShowHint();
    Perform(CM_SHOWHINTCHANGED);
  }
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == FCursor) return;
  FCursor = cursor;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == FPopupMenu) return;
  if (FPopupMenu != nullptr) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = menu;
  if (menu != nullptr) menu->FreeNotification(this);
}

void TControl::SetBiDiMode(TBiDiMode mode) {
  if (mode == FBiDiMode) return;
  FBiDiMode = mode;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool parentBiDiMode) {
  if (parentBiDiMode == FParentBiDiMode) return;
  FParentBiDiMode = parentBiDiMode;
  if (parentBiDiMode && FParent != nullptr && FParent->BiDiMode() != FBiDiMode) {
    FBiDiMode = FParent->BiDiMode();
    Perform(CM_BIDIMODECHANGED);
  }
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (FParent == nullptr || !FParent->HandleAllocated() || !(isVisible || FVisible)) return;
  RECT r = BoundsRect();
  InvalidateRect(FParent->Handle(), &r, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(FVisible, (FControlStyle & csOpaque) != 0); }

void TControl::Update() {
  if (FParent != nullptr) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (FParent == nullptr) return;
  auto& list = FParent->FControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (FParent == nullptr) return;
  auto& list = FParent->FControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.insert(list.begin(), this);
  Invalidate();
}

void TControl::SendCancelMode(TControl* sender) {
  if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::Remove && component == FPopupMenu) FPopupMenu = nullptr;
}

TCustomForm* GetParentForm(TControl* control) {
  while (control != nullptr && control->Parent() != nullptr) control = control->Parent();
  return dynamic_cast<TCustomForm*>(control);
}
