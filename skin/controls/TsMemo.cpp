#include "skin/controls/TsMemo.h"

#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/controls/core/RichEditBars.h"

namespace {

// The edit's native scroll information of one bar; false when it has none.
bool NativeScrollInfo(TMemo* host, int bar, SCROLLINFO& si) {
  si = SCROLLINFO{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  return GetScrollInfo(host->Handle(), bar, &si) != 0;
}

// A native bar of a rich edit as the platform shows it.
TRichEditNativeBar NativeBar(TMemo* host, LONG object, bool info, const SCROLLINFO& si) {
  TRichEditNativeBar bar{info, si.nMax, false, false};
  SCROLLBARINFO state{};
  state.cbSize = sizeof state;
  if (info && GetScrollBarInfo(host->Handle(), object, &state)) {
    bar.Unavailable = state.rgstate[0] & STATE_SYSTEM_UNAVAILABLE;
    bar.Hidden = state.rgstate[0] & STATE_SYSTEM_INVISIBLE;
  }
  return bar;
}

// Where a fill puts the bar's position (see ScrollBarModel::FillFromScrollInfo).
int FilledPosition(const TScrollInfoFill& info) {
  if (!ScrollBarModel::FillUsable(info)) return 0;
  const std::int64_t top = std::int64_t(info.Max) - info.Page + 1;
  return static_cast<int>(std::clamp<std::int64_t>(info.Pos, info.Min, top));
}

TScrollInfoFill FillOf(const SCROLLINFO& si, bool enabled) {
  return TScrollInfoFill{si.nMin, si.nMax, si.nPage, si.nPos, enabled};
}

}  // namespace

bool TsMemoScrollBars::MayScroll(const TMessage& message) {
  switch (message.Msg) {
    case WM_MOVE:
    case WM_SIZE:
    case WM_SETTEXT:
    case WM_CHAR:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_SETFONT:
    case EM_REPLACESEL:
    case EM_SETSEL:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
    case CM_CONTROLLISTCHANGE:
    case CM_INVALIDATE:
    case CM_CHANGED:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CN_KEYDOWN:
    case CN_KEYUP:
      return true;
    case WM_MOUSEMOVE:
    case WM_WINDOWPOSCHANGED:
      // A selection dragged with the mouse scrolls the edit.
      return GetKeyState(VK_LBUTTON) < 0;
    default:
      return false;
  }
}

TsScrollBar* TsMemoScrollBars::Make(TScrollBarKind kind) {
  auto* bar = NewComponent<TsScrollBar>(FHost);
  bar->SetVisible(false);
  bar->SetLinkedControl(FHost);
  bar->SetHostNotify(TScrollBarHostNotify(this, &TsMemoScrollBars::Scroll));
  bar->SetTabStop(false);
  bar->SetKind(kind);
  if (kind == sbVertical)
    bar->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
  else
    bar->SetHeight(GetSystemMetrics(SM_CYHSCROLL));
  bar->SetSmooth(true);
  bar->SetParent(FHost->Parent());
  return bar;
}

void TsMemoScrollBars::Hide() {
  if (FVertical) FVertical->SetVisible(false);
  if (FHorizontal) FHorizontal->SetVisible(false);
}

void TsMemoScrollBars::Free() {
  // Cleared first: freeing a bar notifies the host, which forgets it.
  TsScrollBar* v = std::exchange(FVertical, nullptr);
  TsScrollBar* h = std::exchange(FHorizontal, nullptr);
  if (v) v->Free();
  if (h) h->Free();
}

void TsMemoScrollBars::Forget(TComponent* component) {
  if (component == FVertical) FVertical = nullptr;
  if (component == FHorizontal) FHorizontal = nullptr;
}

TsMemoScrollBars::TWantedBars TsMemoScrollBars::Wanted(TScrollStyle style, bool designing) const {
  TWantedBars w;
  w.Vertical = (style == ssVertical || style == ssBoth) && NativeScrollInfo(FHost, SB_VERT, w.VInfo);
  w.Horizontal = (style == ssHorizontal || style == ssBoth) && NativeScrollInfo(FHost, SB_HORZ, w.HInfo);
  const bool enabled = FHost->Enabled() && !designing;
  w.VerticalEnabled = enabled;
  w.HorizontalEnabled = enabled && !(FHost->WordWrap() && FHost->Alignment() != taLeftJustify);
  if (FKind == THostKind::RichEdit) ApplyRichEditRules(w, enabled);
  return w;
}

void TsMemoScrollBars::ApplyRichEditRules(TWantedBars& w, bool enabled) const {
  const auto* rich = dynamic_cast<const TRichEdit*>(FHost);
  TRichEditBarState state;
  state.Vertical = NativeBar(FHost, OBJID_VSCROLL, w.Vertical, w.VInfo);
  state.Horizontal = NativeBar(FHost, OBJID_HSCROLL, w.Horizontal, w.HInfo);
  state.HideScrollBars = !rich || rich->HideScrollBars();
  state.Enabled = enabled;
  state.WordWrap = FHost->WordWrap();
  state.Width = FHost->Width();
  state.Height = FHost->Height();
  state.VerticalBarWidth = GetSystemMetrics(SM_CXVSCROLL);
  state.HorizontalBarHeight = GetSystemMetrics(SM_CYHSCROLL);
  const TRichEditBars bars = RichEditBars(state);
  w.Vertical = bars.VerticalShown;
  w.Horizontal = bars.HorizontalShown;
  w.VerticalEnabled = bars.VerticalEnabled;
  w.HorizontalEnabled = bars.HorizontalEnabled;
}

void TsMemoScrollBars::PlaceBars(const TWantedBars& w) {
  const int cxV = GetSystemMetrics(SM_CXVSCROLL), cyH = GetSystemMetrics(SM_CYHSCROLL);
  if (w.Vertical) {
    if (!FVertical) FVertical = Make(sbVertical);
    FVertical->SetBounds(FHost->Left() + FHost->Width() - FVertical->Width() - 2, FHost->Top() + 2,
                         FVertical->Width(), FHost->Height() - cyH * w.Horizontal - 4);
    Fill(FVertical, FillOf(w.VInfo, w.VerticalEnabled), FLastVertical);
    if (FVertical && FHost->UseRightToLeftAlignment()) FVertical->SetLeft(FHost->Left() + 4);
  } else if (FVertical) {
    FVertical->SetVisible(false);
  }
  if (w.Horizontal) {
    if (!FHorizontal) FHorizontal = Make(sbHorizontal);
    FHorizontal->SetBounds(FHost->Left() + 2, FHost->Top() + FHost->Height() - FHorizontal->Height() - 2,
                           FHost->Width() - cxV * w.Vertical - 4, FHorizontal->Height());
    Fill(FHorizontal, FillOf(w.HInfo, w.HorizontalEnabled), FLastHorizontal);
  } else if (FHorizontal) {
    FHorizontal->SetVisible(false);
  }
}

void TsMemoScrollBars::Update(bool skinned) {
  // Showing and placing a bar sends the edit messages that lead here again.
  if (FUpdating) return;
  FUpdating = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FUpdating};

  const bool designing = FHost->ComponentState() & csDesigning;
  if (!skinned || !(FHost->Visible() || designing) || FHost->Width() < 16 || FHost->Height() < 16 ||
      !FHost->HandleAllocated()) {
    Hide();
    return;
  }
  const TScrollStyle style = FHost->ScrollBars();
  if (FKind == THostKind::RichEdit && style == ssNone) {
    Hide();
    return;
  }
  PlaceBars(Wanted(style, designing));
}

// A shown bar already showing info is left alone: the edit asks after every message that may
// have scrolled it, most of which did not.
void TsMemoScrollBars::Fill(TsScrollBar* bar, const TScrollInfoFill& info, TScrollInfoFill& last) {
  const bool same = info.Min == last.Min && info.Max == last.Max && info.Page == last.Page && info.Pos == last.Pos &&
                    info.Enabled == last.Enabled;
  if (same && bar->Visible() && bar->Position() == FilledPosition(info)) return;
  last = info;
  bar->FillFromScrollInfo(info);
}

// A bar moved by the user: the edit scrolls to it.
void TsMemoScrollBars::Scroll(TObject* sender, int) {
  auto* bar = static_cast<TsScrollBar*>(sender);
  const UINT msg = bar == FVertical ? WM_VSCROLL : WM_HSCROLL;
  if (FKind == THostKind::Memo) {
    SendMessageA(FHost->Handle(), msg, MAKEWPARAM(SB_THUMBPOSITION, bar->Position()), 0);
    return;
  }
  int code = static_cast<int>(bar->LastScrollCode());
  if (code == SB_THUMBTRACK) code = SB_THUMBPOSITION;
  if (code < 0) code = SB_THUMBPOSITION;
  const bool held = bar->EventsSuspended();
  bar->SetEventsSuspended(true);
  SendMessageA(FHost->Handle(), msg, MAKEWPARAM(code, bar->Position()), 0);
  bar->SetEventsSuspended(held);
}

bool TsMemoScrollBars::CoverNativeBars() const {
  const LONG style = GetWindowLongA(FHost->Handle(), GWL_STYLE);
  const bool v = FVertical && FVertical->Visible(), h = FHorizontal && FHorizontal->Visible();
  return (!(style & WS_VSCROLL) || v) && (!(style & WS_HSCROLL) || h);
}

void TsMemoScrollBars::PaintGaps(HDC windowDC, TColor color) const {
  const int w = FHost->Width(), h = FHost->Height();
  const bool v = FVertical && FVertical->Visible(), hz = FHorizontal && FHorizontal->Visible();
  if (!v && !hz) return;
  TBrush brush;
  brush.SetColor(color);
  auto fill = [&](const RECT& r) { FillRect(windowDC, &r, brush.Handle()); };
  if (v) fill(RECT{w - FVertical->Width() - 3, 2, w - 2, h - 2});
  if (hz) fill(RECT{2, h - FHorizontal->Height() - 3, v ? w - FVertical->Width() - 2 : w - 2, h - 2});
  // The native corner between both bars, which neither covers.
  if (v && hz) fill(RECT{w - FVertical->Width() - 2, h - FHorizontal->Height() - 2, w - 2, h - 2});
}

TsMemo::TsMemo(TComponent* owner) : TsSkinnedMemo(owner, TsMemoScrollBars::THostKind::Memo) {}

void TsMemo::WndProc(TMessage& message) {
  TsSkinnedMemo::WndProc(message);
  if (message.Msg == WM_VSCROLL && FOnVScroll) FOnVScroll(this);
  if (message.Msg == EM_SETSEL && FOnScrollCaret) FOnScrollCaret(this);
}

TsRichEdit::TsRichEdit(TComponent* owner) : TsSkinnedMemo(owner, TsMemoScrollBars::THostKind::RichEdit) {}

void TsRichEdit::DestroyWnd() {
  FColoredWindow = nullptr;
  TsSkinnedMemo::DestroyWnd();
}

void TsRichEdit::ApplyClientColors() {
  // The rich edit keeps its own colours until its window goes; a new one has the system's again.
  const TColor color = ClientColor(), fontColor = ClientFontColor();
  if (FColoredWindow && FColor == color && FFontColor == fontColor) return;
  FColoredWindow = Handle();
  FColor = color;
  FFontColor = fontColor;
  SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, ColorToRGB(color));
  CHARFORMAT2A format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = ColorToRGB(fontColor);
  SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}
