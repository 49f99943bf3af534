#include "skin/engine/SkinCommands.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/TsFormFrameLink.h"
#include "skin/engine/TsSkinned.h"

TsCacheInfo SkinReplyRecord;
TColor SkinBackgroundColor = SkinKeyColor;

namespace {

// Peers of controls that are no peers themselves.
std::unordered_map<TControl*, TsSkinPeer*>& Registered() {
  static std::unordered_map<TControl*, TsSkinPeer*> peers;
  return peers;
}

void SetUpdatingTree(TControl* control, std::uint32_t parameter) {
  SendSkinCommandTo(control, SkinCommand::SetUpdating, parameter);
  if (auto* win = dynamic_cast<TWinControl*>(control))
    for (int i = 0; i < win->ControlCount(); ++i) SetUpdatingTree(win->Controls(i), parameter);
}

// The control named by SetActiveChild's LParam; the other commands carry no control there.
TControl* ChildOf(SkinCommand command, const TMessage& message) {
  return command == SkinCommand::SetActiveChild ? reinterpret_cast<TControl*>(message.LParam) : nullptr;
}

}  // namespace

TsSkinPeer* SkinPeerOf(TControl* control) {
  if (!control) return nullptr;
  if (auto* peer = dynamic_cast<TsSkinPeer*>(control)) return peer;
  const auto& peers = Registered();
  const auto it = peers.find(control);
  return it == peers.end() ? nullptr : it->second;
}

void RegisterSkinPeer(TControl* control, TsSkinPeer* peer) {
  if (control && peer) Registered()[control] = peer;
}

void UnregisterSkinPeer(TControl* control, TsSkinPeer* peer) {
  auto& peers = Registered();
  const auto it = peers.find(control);
  if (it != peers.end() && it->second == peer) peers.erase(it);
}

bool IsSkinnedControl(TControl* control) {
  return SkinPeerOf(control) != nullptr;
}

TsCacheInfo AskCache(TControl* control) {
  TsSkinPeer* peer = SkinPeerOf(control);
  if (!peer) return {};
  // Only a valid answer names a bitmap.
  const TsCacheInfo ci = peer->SkinCache();
  return ci.Valid ? ci : TsCacheInfo{};
}

TColor AskBackgroundColor(TControl* control) {
  TsSkinPeer* peer = SkinPeerOf(control);
  return peer ? peer->SkinBackgroundColor() : SkinKeyColor;
}

bool AskParentBackgroundChanged(TControl* control) {
  if (!control) return false;
  TsSkinPeer* peer = SkinPeerOf(control->Parent());
  return peer && peer->SkinBackgroundChanged();
}

bool AskChildrenDirty(TControl* control) {
  TsSkinPeer* peer = SkinPeerOf(control);
  return peer && peer->SkinChildrenDirty();
}

bool AskHasPaintedBackground(TControl* control) {
  TsSkinPeer* peer = SkinPeerOf(control);
  return peer && peer->SkinHasPaintedBackground();
}

bool AskControl(TControl* control, SkinCommand command) {
  TsSkinPeer* peer = SkinPeerOf(control);
  if (!peer) return false;
  switch (command) {
    case SkinCommand::IsSkinned:
      return true;
    case SkinCommand::GetBgChanged:
      return peer->SkinBackgroundChanged();
    case SkinCommand::GetChildrenDirty:
      return peer->SkinChildrenDirty();
    case SkinCommand::HasPaintedBackground:
      return peer->SkinHasPaintedBackground();
    default:
      return false;
  }
}

TsFormFrameLink* AskProvider(TControl* form) {
  if (TsSkinPeer* peer = SkinPeerOf(form)) return peer->SkinProvider();
  auto* win = dynamic_cast<TWinControl*>(form);
  if (!win || !win->HandleAllocated()) return nullptr;
  return reinterpret_cast<TsFormFrameLink*>(SendSkinCommand(win->Handle(), SkinCommand::GetProvider));
}

void SendSkinCommandTo(TControl* control, SkinCommand command, std::uint32_t parameter) {
  if (TsSkinPeer* peer = SkinPeerOf(control)) peer->SkinCommand(command, parameter == 1, nullptr);
}

void SetActiveChildOf(TWinControl* parent, TControl* child) {
  if (TsSkinPeer* peer = SkinPeerOf(parent)) peer->SkinCommand(SkinCommand::SetActiveChild, false, child);
}

void NotifyRepainted(TControl* control) {
  SendSkinCommandTo(control, SkinCommand::Repainted);
}

void RefreshChildren(TWinControl* parent) {
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (IsWindowed(child)) SendSkinCommandTo(child, SkinCommand::Repaint);
  }
}

void SetUpdatingTreeOn(TControl* control) {
  SetUpdatingTree(control, 1);
}

void SetUpdatingTreeOff(TControl* control) {
  SetUpdatingTree(control, 0);
}

void BroadcastToChildren(TWinControl* parent, SkinCommand command) {
  if (!parent) return;
  // The count is read again for every child: a handler may add or remove controls.
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    // A child being destroyed is passed over; the walk goes on with its siblings.
    if (child->IsDestroying()) continue;
    if (TsSkinPeer* peer = SkinPeerOf(child))
      peer->SkinCommand(command, false, nullptr);
    else if (IsWindowed(child))
      BroadcastToChildren(static_cast<TWinControl*>(child), command);
  }
}

void BroadcastToApplication(SkinCommand command, LPARAM manager) {
  if (!Application) return;
  const WPARAM w = MakeSkinWParam(command);
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* win = dynamic_cast<TWinControl*>(Application->Components(i));
    if (!win || win->IsDestroying()) continue;
    if (TsSkinPeer* peer = SkinPeerOf(win))
      peer->SkinCommand(command, false, nullptr);
    else
      SendMessageA(win->Handle(), RE_ROVADUZI, w, manager);
    BroadcastToChildren(win, command);
    // The MDI client is a window of the platform's class, reached by the message only.
    auto* form = dynamic_cast<TCustomForm*>(win);
    if (form && form->FormStyle() == TFormStyle::fsMDIForm && form->ClientHandle())
      SendMessageA(form->ClientHandle(), RE_ROVADUZI, w, manager);
  }
}

namespace {

bool ShownForm(TWinControl* win) {
  return win && !win->IsDestroying() && win->HandleAllocated() && IsWindowVisible(win->Handle());
}

// The application's forms shown now.
std::vector<TWinControl*> ShownForms() {
  std::vector<TWinControl*> forms;
  if (Application)
    for (int i = 0; i < Application->ComponentCount(); ++i)
      if (auto* win = dynamic_cast<TWinControl*>(Application->Components(i)); ShownForm(win)) forms.push_back(win);
  return forms;
}

// A form that covers what lies below it: shown, not minimized, not see-through, with a provider, whose
// moves and changes of order are heard (ShowFormsWaitingForView).
bool CoveringForm(TWinControl* win) {
  return ShownForm(win) && dynamic_cast<TCustomForm*>(win) && GetFormProvider(win) && !IsIconic(win->Handle()) &&
         !(GetWindowLongA(win->Handle(), GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT));
}

// The program's covering forms in Z order, top first, each with what it covers of the screen. Taken
// at once: one request to the window server for the order and one for each form's region.
class TOwnForms {
public:
  // leaving: a form going away, which covers nothing.
  explicit TOwnForms(const TWinControl* leaving = nullptr) {
    std::vector<HWND> order;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) {
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&order));
    for (HWND window : order) {
      TWinControl* win = FindControl(window);
      if (!win || win == leaving || !CoveringForm(win)) continue;
      RECT a;
      GetWindowRect(window, &a);
      HRGN shape = CreateRectRgn(0, 0, 0, 0);
      // A window region is relative to the window's corner.
      if (GetWindowRgn(window, shape) == ERROR)
        SetRectRgn(shape, a.left, a.top, a.right, a.bottom);
      else
        OffsetRgn(shape, a.left, a.top);
      FForms.push_back({win, shape});
    }
  }
  ~TOwnForms() {
    for (const auto& [form, shape] : FForms) DeleteObject(shape);
  }
  TOwnForms(const TOwnForms&) = delete;
  TOwnForms& operator=(const TOwnForms&) = delete;

  // What the covering forms above form hide, into cover; false when form is not one of them.
  bool CoverOf(const TWinControl* form, HRGN cover) const {
    SetRectRgn(cover, 0, 0, 0, 0);
    for (const auto& [win, shape] : FForms) {
      if (win == form) return true;
      CombineRgn(cover, cover, shape, RGN_OR);
    }
    return false;
  }

private:
  std::vector<std::pair<TWinControl*, HRGN>> FForms;
};

// Whether cover hides all of window.
bool HiddenBy(HWND window, HRGN cover) {
  RECT r;
  GetWindowRect(window, &r);
  const TGdiObject<HRGN> shown(CreateRectRgnIndirect(&r));
  return CombineRgn(shown.Handle(), shown.Handle(), cover, RGN_DIFF) == NULLREGION;
}

// A refresh of the application going on: while it lasts, the controls told only invalidate
// themselves, or nothing where the refresh invalidates their form whole afterwards (the forms
// shown when it began). One started by a handler within another gives the outer one back when it
// ends.
class TRefreshScope {
public:
  TRefreshScope() : FOuter(Current()), FForms(ShownForms()) {
    const TOwnForms own;
    for (TWinControl* form : FForms) {
      HRGN cover = CreateRectRgn(0, 0, 0, 0);
      if (own.CoverOf(form, cover))
        FCovers.push_back({form, cover});
      else
        DeleteObject(cover);
    }
    Current() = this;
  }
  ~TRefreshScope() {
    Current() = FOuter;
    for (const auto& [form, cover] : FCovers) DeleteObject(cover);
  }
  TRefreshScope(const TRefreshScope&) = delete;
  TRefreshScope& operator=(const TRefreshScope&) = delete;

  static TRefreshScope*& Current() {
    static TRefreshScope* current = nullptr;
    return current;
  }

  bool Covers(TControl* control) const {
    TControl* top = control;
    while (top->Parent()) top = top->Parent();
    return std::find(FForms.begin(), FForms.end(), top) != FForms.end();
  }

  // Whether the program's other forms hid all of control's window when the refresh began.
  bool Unseen(TControl* control) const {
    auto* window = dynamic_cast<TWinControl*>(control);
    if (!window || !window->HandleAllocated()) return false;
    const TCustomForm* top = GetParentForm(control);
    for (const auto& [form, cover] : FCovers)
      if (form == top) return HiddenBy(window->Handle(), cover);
    return false;
  }

private:
  TRefreshScope* FOuter;
  std::vector<TWinControl*> FForms;
  std::vector<std::pair<TWinControl*, HRGN>> FCovers;
};

}  // namespace

bool RefreshRepaintsHeld() { return TRefreshScope::Current() != nullptr; }

bool RefreshInvalidatesWhole(TControl* control) {
  const TRefreshScope* refresh = TRefreshScope::Current();
  return refresh && control && refresh->Covers(control);
}

bool RefreshLeavesUnseen(TControl* control) {
  const TRefreshScope* refresh = TRefreshScope::Current();
  return refresh && control && refresh->Unseen(control);
}

void InvalidateForRefresh(TControl* control) {
  if (!RefreshInvalidatesWhole(control)) control->Invalidate();
}

namespace {

// Forms and controls that the refresh found hidden behind the program's other forms: not painted
// until they show, or the program has been idle a moment (CatchUpWhenIdle).
std::vector<HWND>& WaitingForView() {
  static std::vector<HWND> windows;
  return windows;
}

// What the program's other forms hide of the form that the refresh paints now; none otherwise.
HRGN& PaintedFormCover() {
  static HRGN cover = nullptr;
  return cover;
}

// Once the program has been idle a moment after a refresh, what still waits is painted all the
// same. The order of windows the platform reports need not be the order on the screen (under Wine
// the screen can keep an older one), and a window taken for hidden must not keep the old skin in
// sight.
constexpr UINT kCatchUpMs = 250;
UINT_PTR& CatchUpTimer() {
  static UINT_PTR timer = 0;
  return timer;
}

void CALLBACK PaintWhatStillWaits(HWND, UINT, UINT_PTR, DWORD) {
  KillTimer(nullptr, CatchUpTimer());
  CatchUpTimer() = 0;
  std::vector<HWND> waiting;
  waiting.swap(WaitingForView());
  for (HWND window : waiting)
    if (TWinControl* win = FindControl(window); win && ShownForm(GetParentForm(win)))
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CatchUpWhenIdle() {
  if (WaitingForView().empty()) return;
  if (CatchUpTimer() != 0) KillTimer(nullptr, CatchUpTimer());
  CatchUpTimer() = SetTimer(nullptr, 0, kCatchUpMs, PaintWhatStillWaits);
}

// The form painted within the scope has cover.
class TPaintedFormCover {
public:
  explicit TPaintedFormCover(HRGN cover) { PaintedFormCover() = cover; }
  ~TPaintedFormCover() { PaintedFormCover() = nullptr; }
  TPaintedFormCover(const TPaintedFormCover&) = delete;
  TPaintedFormCover& operator=(const TPaintedFormCover&) = delete;
};

}  // namespace

bool LeftUnseen(HWND window) {
  const HRGN cover = PaintedFormCover();
  if (cover == nullptr || !HiddenBy(window, cover)) return false;
  ValidateRect(window, nullptr);
  std::vector<HWND>& waiting = WaitingForView();
  if (std::find(waiting.begin(), waiting.end(), window) == waiting.end()) waiting.push_back(window);
  return true;
}

void RefreshApplication(LPARAM manager) {
  std::vector<TWinControl*> invalidated;
  {
    const TRefreshScope refresh;
    BroadcastToApplication(SkinCommand::Refresh, manager);
    // One request for each form's whole tree instead of one for each of its controls. The forms
    // are looked up again: a handler may have freed one.
    for (TWinControl* win : ShownForms())
      if (refresh.Covers(win)) {
        RedrawWindow(win->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        invalidated.push_back(win);
      }
  }
  // A form no one sees waits until it shows (ShowFormsWaitingForView), and so does a control of the
  // others that the program's other forms hide wholly; every other control waits, and those that
  // can are painted in place.
  std::vector<TWinControl*> shown;
  std::vector<HWND>& waiting = WaitingForView();
  const TGdiObject<HRGN> cover(CreateRectRgn(0, 0, 0, 0));
  // Taken after the broadcast: a new skin may give the forms new regions.
  const TOwnForms own;
  for (TWinControl* win : ShownForms()) {
    const bool refreshed = std::find(invalidated.begin(), invalidated.end(), win) != invalidated.end();
    if (refreshed) {
      waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                   [win](HWND h) { return GetParentForm(FindControl(h)) == win; }),
                    waiting.end());
      const bool covers = own.CoverOf(win, cover.Handle());
      if (covers && HiddenBy(win->Handle(), cover.Handle())) {
        RedrawWindow(win->Handle(), nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_ALLCHILDREN);
        waiting.push_back(win->Handle());
        continue;
      }
      const TPaintedFormCover painted(covers ? cover.Handle() : nullptr);
      TsSkinnedControl::PaintTreeInPlace(win);
    }
    if (std::find(waiting.begin(), waiting.end(), win->Handle()) == waiting.end()) shown.push_back(win);
  }
  // The rest by WM_PAINT; the second round paints what the first gave back to the parents: where a
  // button's new region leaves them the corners.
  for (int round = 0; round < 2; ++round)
    for (TWinControl* win : shown) RedrawWindow(win->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  CatchUpWhenIdle();
}

void ShowFormsWaitingForView(const TWinControl* leaving) {
  static bool checking = false;
  std::vector<HWND>& waiting = WaitingForView();
  if (waiting.empty() || checking || RefreshRepaintsHeld() || PaintedFormCover()) return;
  checking = true;
  std::vector<HWND> shown;
  const TOwnForms own(leaving);
  // The cover of the form last looked at: a form's controls wait side by side.
  const TGdiObject<HRGN> cover(CreateRectRgn(0, 0, 0, 0));
  TWinControl* coverOf = nullptr;
  bool covers = false;
  // A window gone or hidden meanwhile needs nothing: showing a window paints all of it.
  for (auto it = waiting.begin(); it != waiting.end();) {
    TWinControl* win = FindControl(*it);
    // Through the controls' parents: an MDI child's controls are its own, not its frame's.
    TWinControl* form = GetParentForm(win);
    if (form != coverOf && form != nullptr && form != leaving) {
      covers = own.CoverOf(form, cover.Handle());
      coverOf = form;
    }
    if (form == nullptr || form == leaving || !ShownForm(win)) {
      it = waiting.erase(it);
    } else if (!covers || !HiddenBy(*it, cover.Handle())) {
      shown.push_back(*it);
      it = waiting.erase(it);
    } else {
      ++it;
    }
  }
  // Painted by WM_PAINT, once what brought the change (an activation) is done.
  for (HWND window : shown)
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  checking = false;
}

LRESULT SendSkinCommand(HWND handle, SkinCommand command) {
  return SendMessageA(handle, RE_ROVADUZI, MakeSkinWParam(command), 0);
}

bool DispatchSkinMessage(TsSkinPeer& peer, TMessage& message) {
  if (message.Msg != RE_ROVADUZI) return false;
  const SkinCommand command = SkinCommandOf(message.WParam);
  switch (command) {
    case SkinCommand::IsSkinned:
      // LParam for a caller that hands the record over, Result for one that sends the message.
      message.LParam = 1;
      message.Result = 1;
      break;
    case SkinCommand::GetProvider:
      message.Result = reinterpret_cast<LRESULT>(peer.SkinProvider());
      break;
    case SkinCommand::GetCache:
      SkinReplyRecord = peer.SkinCache();
      break;
    case SkinCommand::GetBgColor:
      SkinBackgroundColor = peer.SkinBackgroundColor();
      break;
    case SkinCommand::GetBgChanged:
      message.Result = peer.SkinBackgroundChanged() ? 1 : 0;
      break;
    case SkinCommand::GetChildrenDirty:
      message.LParam = peer.SkinChildrenDirty() ? 1 : 0;
      break;
    case SkinCommand::HasPaintedBackground:
      message.LParam = peer.SkinHasPaintedBackground() ? 1 : 0;
      break;
    case SkinCommand::SetRepaintIfTransparent:
      peer.SkinCommand(command, SkinParameterOf(message.WParam), nullptr);
      message.Result = 0;
      break;
    default:
      peer.SkinCommand(command, SkinParameterOf(message.WParam), ChildOf(command, message));
      break;
  }
  return true;
}
