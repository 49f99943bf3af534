#include "skin/controls/TsScrollBar.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/engine/SkinBitmapPainters.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinTables.h"

namespace {

// The section a bar's skin object resolves: without it in the skin the bar stays native.
const char* TrackSection(TScrollBarKind kind) { return kind == sbVertical ? "SCROLLBAR1V" : "SCROLLBAR1H"; }

// A part's section and masks in the skin; -1 where the skin has none.
struct TPartIndexes {
  int Section = -1, Border = -1, Pattern = -1, HotPattern = -1, Glyph = -1;
  const char* Name = "";
};

TPartIndexes PartOf(const TsCommonSection& s, bool glyph, const char* name) {
  return {s.Section, s.BordersMask, s.Pattern, s.HotPattern, glyph ? s.GlyphMask : -1, name};
}

// The one reader of the skin's common indexes for the bar's parts.
TPartIndexes IndexesOf(TScrollBarPart part, bool vertical) {
  const TsSkinCommonIndexes& ix = ActiveSkin().SkinCommonIndexes;
  switch (part) {
    case TScrollBarPart::FirstArrow:
      return vertical ? PartOf(ix.ScrollButtons.Top, true, "SCROLLBTNTOP")
                      : PartOf(ix.ScrollButtons.Left, true, "SCROLLBTNLEFT");
    case TScrollBarPart::SecondArrow:
      return vertical ? PartOf(ix.ScrollButtons.Bottom, true, "SCROLLBTNBOTTOM")
                      : PartOf(ix.ScrollButtons.Right, true, "SCROLLBTNRIGHT");
    case TScrollBarPart::Slider:
      return vertical ? PartOf(ix.SliderV, true, "SCROLLSLIDERV") : PartOf(ix.SliderH, true, "SCROLLSLIDERH");
    case TScrollBarPart::TrackBefore:
      return vertical ? PartOf(ix.TrackBeforeV, false, "SCROLLBAR1V") : PartOf(ix.TrackBeforeH, false, "SCROLLBAR1H");
    case TScrollBarPart::TrackAfter: {
      const TPartIndexes after =
          vertical ? PartOf(ix.TrackAfterV, false, "SCROLLBAR2V") : PartOf(ix.TrackAfterH, false, "SCROLLBAR2H");
      // A skin without the second track paints both with the first.
      if (!SectionIndexValid(after.Section)) return IndexesOf(TScrollBarPart::TrackBefore, vertical);
      return after;
    }
  }
  return {};
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

TsSkinState StateOf(TScrollPartState state) { return static_cast<TsSkinState>(state); }

int ArrowSizeFor(TScrollBarKind kind) { return GetSystemMetrics(kind == sbVertical ? SM_CYVSCROLL : SM_CXHSCROLL); }

// One part painted into the cache: its section over r, what shows through taken from source,
// whose origin lies at sourceOrigin in the bar. Painted off to the side so that the section's
// background and its border read the same place of the source.
void PaintPart(TBitmap* cache, const TPartIndexes& ix, const RECT& r, TsSkinState state, const TsCacheInfo& source,
               POINT sourceOrigin) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w < 1 || h < 1 || !SectionIndexValid(ix.Section)) return;
  TBitmap part;
  part.SetPixelFormat(TPixelFormat::Bit24);
  part.SetSize(w, h);
  BitBlt(part.Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), r.left, r.top, SRCCOPY);
  PaintSectionWithMask(ActiveSkin(), ix.Section, ix.Border, ix.Pattern, &part,
                       POINT{sourceOrigin.x + r.left, sourceOrigin.y + r.top}, RECT{0, 0, w, h}, state, true,
                       source, ix.Name, ix.HotPattern);
  BitBlt(cache->Canvas()->Handle(), r.left, r.top, w, h, part.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// A part's glyph centred in r, when it fits.
void PaintGlyph(TBitmap* cache, int glyph, const RECT& r, TsSkinState state, int shift) {
  if (!MaskIndexValid(glyph)) return;
  const TsFrameSize frame = MaskFrameSize(glyph);
  const int x = r.left + (r.right - r.left - frame.Width) / 2, y = r.top + (r.bottom - r.top - frame.Height) / 2;
  if (x < r.left || y < r.top) return;
  PaintMaskedGlyph(ActiveSkin(), cache, POINT{x + shift, y + shift}, state, glyph, TsGlyphShade::Normal);
}

}  // namespace

TsScrollBar::TsScrollBar(TComponent* owner)
    : TsSkinned(TsControlKind::ScrollBar, TsCacheBitmap::Own, owner),
      FModel(*this, [] { return static_cast<std::int64_t>(GetTickCount64()); },
             [](const std::string& text) { ShowErrorBox(text); }) {
  SetControlStyle(ControlStyle() | csOpaque | csDoubleClicks);
  SetTabStop(true);
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SkinData().SetSkinSection(TrackSection(FKind));
}

TsScrollBar::~TsScrollBar() {
  MarkDead();
  if (FSavedShowHint && Application) Application->SetShowHint(*FSavedShowHint);
  // The window's last messages must not reach a bar whose parts are gone.
  DestroyHandle();
}

void TsScrollBar::Loaded() {
  TsSkinned::Loaded();
  MatchWindowToSkin();
}

TScrollRules TsScrollBar::Rules() const {
  return SkinData().HasSkin() ? TScrollRules::Skinned : TScrollRules::Standard;
}

// A plain window while the skin paints the bar, the native control otherwise.
void TsScrollBar::MatchWindowToSkin() {
  if (HandleAllocated() && WrapsNativeClass() == SkinData().HasSkin()) RecreateWnd();
}

// A skin that came or went without telling the bar (its form out of the broadcast's reach): the
// window is made over once, after the paint at hand.
void TsScrollBar::MatchWindowToSkinLater() {
  if (FRecreatePosted || !HandleAllocated() || WrapsNativeClass() != SkinData().HasSkin()) return;
  FRecreatePosted = PostMessageA(Handle(), CM_RECREATEWND, 0, 0);
}

void TsScrollBar::CreateParams(TCreateParams& params) {
  TsSkinned::CreateParams(params);
  if (SkinData().HasSkin()) {
    params.WinClassName += "Skinned";
    return;
  }
  CreateSubClass(params, "SCROLLBAR");
  params.Style |= FKind == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TsScrollBar::CreateWnd() {
  FRecreatePosted = false;
  TsSkinned::CreateWnd();
  ApplyInfo();
}

// The native control shows the range, page and position (the platform's maximum counts the page).
void TsScrollBar::ApplyInfo() {
  if (!HandleAllocated() || !WrapsNativeClass()) return;
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, Min(), Max(), UINT(PageSize()), Position(), 0};
  if (PageSize() > 0) si.nMax = Max() + PageSize() - 1;
  SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

void TsScrollBar::SetKind(TScrollBarKind value) {
  if (value == FKind) return;
  FKind = value;
  FModel.SetOrientation(value == sbVertical ? TScrollBarOrientation::Vertical : TScrollBarOrientation::Horizontal);
  SkinData().SetSkinSection(TrackSection(value));
  if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TsScrollBar::SetMin(int value) {
  SetParams(Position(), value, Max());
  Invalidate();
}

void TsScrollBar::SetMax(int value) {
  SetParams(Position(), Min(), value);
  Invalidate();
}

void TsScrollBar::SetPosition(int value) {
  if (Rules() == TScrollRules::Standard) {
    SetParams(value, Min(), Max());
    return;
  }
  if (ComponentState() & csDestroying) return;
  const std::shared_ptr<bool> alive = Alive();
  if (FModel.SetPosition(value) && *alive) RepaintIfDirty();
}

void TsScrollBar::SetParams(int position, int min, int max) {
  const TScrollRules rules = Rules();
  const std::shared_ptr<bool> alive = Alive();
  const ScrollBarModel::TParamsChange change = FModel.SetParams(position, min, max, rules);
  if (!change.Accepted) throw EInvalidOperation("Scrollbar property out of range");
  if (!change.Alive || !*alive) return;
  if (rules == TScrollRules::Skinned) {
    RepaintIfDirty();
    return;
  }
  if (change.RangeChanged || change.Moved) ApplyInfo();
  if (change.Moved && FOnChange) FOnChange(this);
}

void TsScrollBar::SetPageSize(int value) {
  // Negative pages are ignored; a page beyond the range is kept (the system clamps what it shows).
  if (value < 0 || value == PageSize()) return;
  FModel.SetPageSize(value);
  ApplyInfo();
  RepaintIfDirty();
}

void TsScrollBar::SetLinkedControl(TWinControl* control) {
  if (control == FLinkedControl) return;
  if (FLinkedControl) FLinkedControl->RemoveFreeNotification(this);
  FLinkedControl = control;
  if (control) control->FreeNotification(this);
}

void TsScrollBar::Notification(TComponent* component, TOperation operation) {
  TsSkinned::Notification(component, operation);
  if (operation == TOperation::Remove && component == FLinkedControl) FLinkedControl = nullptr;
}

void TsScrollBar::FillFromScrollInfo(const TScrollInfoFill& info) {
  const std::shared_ptr<bool> alive = Alive();
  FModel.FillFromScrollInfo(info, [&](bool usable) {
    if (!*alive) return;
    SetEnabled(usable);
    if (!Parent() && FLinkedControl) SetParent(FLinkedControl->Parent());
    SetVisible(true);
    BringToFront();
  });
  if (!*alive) return;
  ApplyInfo();
  RepaintIfDirty();
}

bool TsScrollBar::CanFocus() { return TsSkinned::CanFocus() && TabStop(); }

bool TsScrollBar::NotifyHost(int oldPosition) {
  const std::shared_ptr<bool> alive = Alive();
  if (FHostNotify) FHostNotify(this, oldPosition);
  return *alive;
}

bool TsScrollBar::Scrolled(TScrollAction code, int position) {
  const std::shared_ptr<bool> alive = Alive();
  // A position set before any mouse action is reported as a position.
  const TScrollCode scroll = code == TScrollAction::None ? scPosition : static_cast<TScrollCode>(code);
  if (FOnScroll) FOnScroll(this, scroll, position);  // a change of the copy is not taken
  return *alive;
}

bool TsScrollBar::Changed() {
  const std::shared_ptr<bool> alive = Alive();
  if (FOnChange) FOnChange(this);
  return *alive;
}

std::string TsScrollBar::NameForErrors() const {
  return FLinkedControl ? "Owner=" + FLinkedControl->Name() : Name();
}

void TsScrollBar::Dispatch(TMessage& message) {
  if (message.Msg == CN_HSCROLL || message.Msg == CN_VSCROLL) {
    message.Result = 0;
    if (EventsSuspended()) return;
    const int code = LOWORD(message.WParam);
    int track = HIWORD(message.WParam);
    // The message carries only 16 bits of the thumb position; the full one is asked for.
    if ((code == SB_THUMBTRACK || code == SB_THUMBPOSITION) && HandleAllocated()) {
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      if (GetScrollInfo(Handle(), SB_CTL, &si)) track = si.nTrackPos;
    }
    int position = FModel.ScrollTarget(code, track);
    const std::shared_ptr<bool> alive = Alive();
    if (FOnScroll) FOnScroll(this, code <= SB_ENDSCROLL ? static_cast<TScrollCode>(code) : scEndScroll, position);
    if (*alive) SetPosition(position);
    return;
  }
  if (message.Msg == WM_PAINT) MatchWindowToSkinLater();
  TsSkinned::Dispatch(message);
}

void TsScrollBar::StandingCommand(::SkinCommand command) {
  TsSkinned::StandingCommand(command);
  MatchWindowToSkin();
}

void TsScrollBar::SyncModel() {
  FModel.SetEnabled(Enabled());
  FModel.SetSize(Width(), Height(), ArrowSizeFor(FKind));
}

void TsScrollBar::RepaintIfDirty() {
  SyncModel();
  if (!FModel.TakeDirty() || !IsSkinned()) return;
  SkinData().SetRepaintNeeded(true);
  PaintNow();
}

void TsScrollBar::ArmRepeat() {
  if (!HandleAllocated()) return;
  if (const std::optional<int> delay = FModel.RepeatDelay())
    SetTimer(Handle(), RepeatTimerId, UINT(std::max(*delay, USER_TIMER_MINIMUM)), nullptr);
  else
    KillTimer(Handle(), RepeatTimerId);
}

// The press is over (released or its capture lost): no repeat, hints back as the press found them.
void TsScrollBar::EndPress() {
  if (HandleAllocated()) KillTimer(Handle(), RepeatTimerId);
  if (FSavedShowHint && Application) Application->SetShowHint(*FSavedShowHint);
  FSavedShowHint.reset();
}

TScrollPoint TsScrollBar::ClientPoint(LPARAM lParam) const { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool TsScrollBar::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS;
      return true;
    case WM_SIZE:
    case WM_PAINT:
      if (message.Msg == WM_PAINT) MatchWindowToSkinLater();
      // What changed without a repaint of its own (size, enabled state) is painted now.
      SyncModel();
      if (FModel.TakeDirty()) SkinData().SetRepaintNeeded(true);
      break;
    case WM_TIMER:
      if (message.WParam != RepeatTimerId) break;
      {
        POINT cursor;
        GetCursorPos(&cursor);
        const POINT p = ScreenToClient(cursor);
        const std::shared_ptr<bool> alive = Alive();
        if (!FModel.RepeatTick({p.x, p.y}) || !*alive) return true;
        ArmRepeat();
        RepaintIfDirty();
      }
      return true;
    case WM_KEYDOWN: {
      static const std::pair<WPARAM, TScrollKey> keys[] = {
          {VK_PRIOR, TScrollKey::PageUp}, {VK_NEXT, TScrollKey::PageDown}, {VK_END, TScrollKey::End},
          {VK_HOME, TScrollKey::Home},    {VK_LEFT, TScrollKey::LineUp},   {VK_UP, TScrollKey::LineUp},
          {VK_RIGHT, TScrollKey::LineDown}, {VK_DOWN, TScrollKey::LineDown}};
      for (const auto& [vk, key] : keys) {
        if (message.WParam != vk) continue;
        const std::shared_ptr<bool> alive = Alive();
        SyncModel();
        if (!FModel.KeyDown(key) || !*alive) return true;
        RepaintIfDirty();
      }
      break;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (message.Msg == CM_MOUSEENTER)
        FModel.MouseEnter();
      else
        FModel.MouseLeave();
      RepaintIfDirty();
      break;
    default:
      if (SkinnedMouse(message)) return true;
      break;
  }
  return TsSkinned::SkinnedMessage(message);
}

// Presses, drags and releases; true when the bar was freed meanwhile.
bool TsScrollBar::SkinnedMouse(TMessage& message) {
  const std::shared_ptr<bool> alive = Alive();
  bool stillAlive = true;
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Enabled()) break;
      if (CanFocus()) SetFocus();
      if (!*alive) return true;
      // Hints stay off from the press to its release; saved once, so a second press cannot save
      // the "off" it made itself.
      if (!FSavedShowHint && Application) {
        FSavedShowHint = Application->ShowHint();
        Application->SetShowHint(false);
      }
      // Captured for the whole press, so its release comes back here wherever it happens.
      SetCapture(Handle());
      SyncModel();
      stillAlive = FModel.MouseDown(ClientPoint(message.LParam)) && *alive;
      if (stillAlive) ArmRepeat();
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (!FModel.Pressed() && !FSavedShowHint) break;
      EndPress();
      SyncModel();
      stillAlive = FModel.MouseUp(ClientPoint(message.LParam)) && *alive;
      if (stillAlive) {
        RepaintIfDirty();
        if (GetCapture() == Handle()) ReleaseCapture();
      }
      break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
      // The capture went elsewhere mid-press (a menu, a dialog, another window took it): a release.
      if (message.Msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(message.LParam) == Handle()) break;
      if (!FModel.Pressed() && !FSavedShowHint) break;
      EndPress();
      stillAlive = FModel.CaptureLost() && *alive;
      if (stillAlive && message.Msg == WM_CANCELMODE && GetCapture() == Handle()) ReleaseCapture();
      break;
    case WM_MOUSEMOVE:
      SyncModel();
      stillAlive = FModel.MouseMove(ClientPoint(message.LParam)) && *alive;
      break;
    case WM_NCHITTEST: {
      // Hover tracking in screen coordinates, as the system asks where the pointer is.
      const POINT p = ScreenToClient(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
      SyncModel();
      if (Enabled()) stillAlive = FModel.MouseMove({p.x, p.y}) && *alive;
      break;
    }
    default:
      return false;
  }
  if (!stillAlive) return true;
  RepaintIfDirty();
  return false;
}

TsCacheInfo TsScrollBar::BackgroundSource() const {
  if (FLinkedControl) {
    TsCacheInfo ci = AskCache(FLinkedControl);
    if (ci.Valid && !dynamic_cast<TCustomForm*>(FLinkedControl)) {
      ci.X -= FLinkedControl->Left();
      ci.Y -= FLinkedControl->Top();
    }
    return ci;
  }
  TsCacheInfo ci;
  QueryParentCache(const_cast<TsCommonData*>(&SkinData()), ci);
  return ci;
}

void TsScrollBar::PaintSkin() {
  SyncModel();
  FModel.TakeDirty();
  TBitmap* cache = SkinData().CacheBitmap();
  const TScrollBarLayout l = FModel.Layout();
  const bool vertical = FKind == sbVertical;
  const bool enabled = Enabled();
  const TsCacheInfo parent = BackgroundSource();
  const POINT at{Left(), Top()};

  // Tracks over what lies below the bar; hot while the bar has the focus.
  for (TScrollBarPart track : {TScrollBarPart::TrackBefore, TScrollBarPart::TrackAfter}) {
    TScrollPartState state = FModel.PartState(track);
    if (state == TScrollPartState::Normal && SkinData().IsHot()) state = TScrollPartState::Hot;
    if (!enabled) state = TScrollPartState::Normal;
    PaintPart(cache, IndexesOf(track, vertical), ToRECT(track == TScrollBarPart::TrackBefore ? l.TrackBefore : l.TrackAfter),
              StateOf(state), parent, at);
  }
  // Arrows and slider over the tracks.
  const TsCacheInfo self{cache, 0, 0, true};
  for (TScrollBarPart arrow : {TScrollBarPart::FirstArrow, TScrollBarPart::SecondArrow}) {
    const TPartIndexes ix = IndexesOf(arrow, vertical);
    const RECT r = ToRECT(arrow == TScrollBarPart::FirstArrow ? l.FirstArrow : l.SecondArrow);
    const TsSkinState state = StateOf(FModel.PartState(arrow));
    PaintPart(cache, ix, r, state, self, POINT{0, 0});
    PaintGlyph(cache, ix.Glyph, r, state, 0);
  }
  const bool linkedEnabled = FLinkedControl && FLinkedControl->Enabled();
  if (l.SliderShown && (enabled || !linkedEnabled)) {
    const TPartIndexes ix = IndexesOf(TScrollBarPart::Slider, vertical);
    const TScrollPartState state = FModel.PartState(TScrollBarPart::Slider);
    const RECT r = ToRECT(l.Slider);
    PaintPart(cache, ix, r, StateOf(state), self, POINT{0, 0});
    PaintGlyph(cache, ix.Glyph, r, StateOf(state), state == TScrollPartState::Pressed ? 1 : 0);
  }

  if (!enabled) {
    const RECT all{0, 0, Width(), Height()};
    TsCacheInfo ci;
    QueryParentCache(&SkinData(), ci);
    if (!FLinkedControl || FLinkedControl == Parent()) {
      ApplyDisabledKind(ActiveSkin(), cache, DisabledKind(), this, at, ci);
    } else {
      const int track = IndexesOf(TScrollBarPart::TrackBefore, false).Section;
      if (SectionIndexValid(track))
        BlendRoundRectColor(cache, all, 60, 0, 0, ActiveSkin().SkinSectionData[std::size_t(track)].Color);
    }
  }
}
