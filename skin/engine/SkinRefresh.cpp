#include "skin/engine/SkinRefresh.h"

#include <algorithm>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsFormFrameLink.h"
#include "skin/engine/TsSkinned.h"

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

// Forms and controls that the refresh found hidden behind the program's other forms: not painted
// until they show, or the program has been idle a moment (CatchUpWhenIdle).
std::vector<HWND>& WaitingForView() {
  static std::vector<HWND> windows;
  return windows;
}

// How many refreshes of the application are going on (a handler may start one within another),
// and whether a form is painted in place: the waiting windows are not looked at meanwhile.
int& RefreshesGoingOn() {
  static int count = 0;
  return count;
}
bool& PaintingInPlace() {
  static bool painting = false;
  return painting;
}

// The refresh handed down the broadcast: the forms shown when it began, which it invalidates whole
// afterwards, and what the program's other forms hid of each.
class TRefreshScope : public TsRefresh {
public:
  TRefreshScope() : FForms(ShownForms()) {
    const TOwnForms own;
    for (TWinControl* form : FForms) {
      HRGN cover = CreateRectRgn(0, 0, 0, 0);
      if (own.CoverOf(form, cover))
        FCovers.push_back({form, cover});
      else
        DeleteObject(cover);
    }
    ++RefreshesGoingOn();
  }
  ~TRefreshScope() {
    --RefreshesGoingOn();
    for (const auto& [form, cover] : FCovers) DeleteObject(cover);
  }
  TRefreshScope(const TRefreshScope&) = delete;
  TRefreshScope& operator=(const TRefreshScope&) = delete;

  bool InvalidatesWhole(TControl* control) const override {
    if (!control) return false;
    TControl* top = control;
    while (top->Parent()) top = top->Parent();
    return std::find(FForms.begin(), FForms.end(), top) != FForms.end();
  }

  bool LeavesUnseen(TControl* control) const override {
    auto* window = dynamic_cast<TWinControl*>(control);
    if (!window || !window->HandleAllocated()) return false;
    const TCustomForm* top = GetParentForm(control);
    for (const auto& [form, cover] : FCovers)
      if (form == top) return HiddenBy(window->Handle(), cover);
    return false;
  }

private:
  std::vector<TWinControl*> FForms;
  std::vector<std::pair<TWinControl*, HRGN>> FCovers;
};

// What the program's other forms hide of the form painted in place within the scope; none when
// nothing covers it. A window it hides wholly waits until it shows.
class TPaintedFormCover : public TsPaintCover {
public:
  explicit TPaintedFormCover(HRGN cover) : FCover(cover) { PaintingInPlace() = cover != nullptr; }
  ~TPaintedFormCover() { PaintingInPlace() = false; }
  TPaintedFormCover(const TPaintedFormCover&) = delete;
  TPaintedFormCover& operator=(const TPaintedFormCover&) = delete;

  bool LeftUnseen(HWND window) const override {
    if (FCover == nullptr || !HiddenBy(window, FCover)) return false;
    ValidateRect(window, nullptr);
    std::vector<HWND>& waiting = WaitingForView();
    if (std::find(waiting.begin(), waiting.end(), window) == waiting.end()) waiting.push_back(window);
    return true;
  }

private:
  HRGN FCover;
};

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

}  // namespace

void RefreshApplication(LPARAM manager) {
  std::vector<TWinControl*> invalidated;
  {
    const TRefreshScope refresh;
    BroadcastToApplication(refresh, manager);
    // One request for each form's whole tree instead of one for each of its controls. The forms
    // are looked up again: a handler may have freed one.
    for (TWinControl* win : ShownForms())
      if (refresh.InvalidatesWhole(win)) {
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
      TsSkinnedControl::PaintTreeInPlace(win, &painted);
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
  if (waiting.empty() || checking || RefreshesGoingOn() > 0 || PaintingInPlace()) return;
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

