#include "skin/engine/TsSkinned.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/TsBoundLabel.h"

namespace {

// Lends the parent's csPaintCopy to a child for the time it paints.
class TPaintCopy {
public:
  TPaintCopy(TWinControl* parent, TControl* child) : FChild(child) {
    if (parent->ControlState() & csPaintCopy) FChild->SetControlState(FChild->ControlState() | csPaintCopy);
  }
  ~TPaintCopy() { FChild->SetControlState(FChild->ControlState() & ~csPaintCopy); }
  TPaintCopy(const TPaintCopy&) = delete;
  TPaintCopy& operator=(const TPaintCopy&) = delete;

private:
  TControl* FChild;
};

bool AsksForRepaint(UINT msg) {
  return msg == WM_SETFONT || msg == CM_VISIBLECHANGED || msg == CM_ENABLEDCHANGED || msg == CM_TEXTCHANGED;
}

// The messages after which a BUTTON-like native control has drawn itself (through its own DC, not
// WM_PAINT).
bool ButtonPaintsAfter(const TMessage& message, HWND window) {
  switch (message.Msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_CLICK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case WM_CAPTURECHANGED:
      return true;
    case WM_MOUSEMOVE:
      // A pressed button follows the mouse while it holds the capture.
      return GetCapture() == window;
    default:
      return false;
  }
}

// Counts a control's messages in progress for the time one is handled.
class TMessageDepth {
public:
  explicit TMessageDepth(int& depth) : FDepth(depth) { ++FDepth; }
  ~TMessageDepth() { --FDepth; }
  TMessageDepth(const TMessageDepth&) = delete;
  TMessageDepth& operator=(const TMessageDepth&) = delete;

private:
  int& FDepth;
};

}  // namespace

TsSkinnedControl::TsSkinnedControl(TControl* control, TWinControl* window, TsControlKind kind, TsCacheBitmap cache)
    : FControl(control), FWindow(window), FSkinData(control, cache) {
  FSkinData.SetControlKind(kind);
}

TsSkinnedControl::~TsSkinnedControl() {
  *FAlive = false;
  TsInPlacePaints::Forget(this);
}

void TsSkinnedControl::SetDisabledKind(TsDisabledKind kind) {
  if (kind == FDisabledKind) return;
  FDisabledKind = kind;
  FSkinData.RequestRepaint();
}

bool TsSkinnedControl::IsSkinned() const {
  return ControlUsable(FControl) && SkinResolved();
}

void TsSkinnedControl::SkinnedWndProc(TMessage& message) {
  if (DispatchSkinMessage(*this, message)) return;
  // Handlers may free the control (a click that closes its form); nothing of it is touched then.
  const std::shared_ptr<bool> alive = FAlive;
  if (IsSkinned()) {
    {
      const TMessageDepth depth(FMessageDepth);
      SkinnedMessageChain(message);
    }
    if (!*alive) return;
    if (FMessageDepth == 0 && FNativePainted) {
      FNativePainted = false;
      if (TUpdatesHeld::Active())
        FControl->Invalidate();
      else
        PaintNow();
    }
  } else {
    InheritedWndProc(message);
    if (!*alive) return;
  }
  if (TsBoundLabel* label = BoundLabel()) label->FollowControl(message);
}

void TsSkinnedControl::SkinnedMessageChain(TMessage& message) {
  if (SkinnedMessage(message)) return;
  const std::shared_ptr<bool> alive = FAlive;
  const bool toggle = message.Msg == CM_ENABLEDCHANGED;
  const unsigned requestsBefore = FSkinData.RepaintRequests();
  const bool wasHot = FSkinData.IsHot();
  if (!SkinControlMessage(message, &FSkinData)) InheritedWndProc(message);
  if (!*alive) return;
  if (AsksForRepaint(message.Msg)) FSkinData.RequestRepaint();
  if (FSkinData.IsHot() != wasHot) HotChanged();
  if (NativePaintsAfter(message)) {
    FNativePainted = true;
    if (SkinState() != FCacheState) FSkinData.SetRepaintNeeded(true);
  }
  if (toggle && requestsBefore == FQuietAt) FQuietAt = FSkinData.RepaintRequests();
}

bool TsSkinnedControl::NativePaintsAfter(const TMessage& message) const {
  if (!FWindow || !FWindow->HandleAllocated() || !FWindow->WrapsNativeClass()) return false;
  return ButtonPaintsAfter(message, FWindow->Handle());
}

LRESULT TsSkinnedControl::AskNative(UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (!FWindow || !FWindow->HandleAllocated() || !FWindow->WrapsNativeClass()) return 0;
  return CallWindowProcA(FWindow->DefWndProc(), FWindow->Handle(), msg, wParam, lParam);
}

TsCacheInfo TsSkinnedControl::SkinCache() {
  return IsSkinned() ? FSkinData.Cache() : TsCacheInfo{};
}

TColor TsSkinnedControl::SkinBackgroundColor() {
  return IsSkinned() ? FSkinData.BackgroundColor() : SkinKeyColor;
}

bool TsSkinnedControl::SkinBackgroundChanged() {
  return IsSkinned() && FSkinData.BackgroundChangedBelow();
}

bool TsSkinnedControl::SkinChildrenDirty() {
  return IsSkinned() && FSkinData.ChildrenDirty();
}

bool TsSkinnedControl::SkinHasPaintedBackground() {
  return IsSkinned() && FSkinData.HasPaintedBackground();
}

void TsSkinnedControl::SkinCommand(::SkinCommand command) {
  switch (command) {
    case SkinCommand::NewSkin:
    case SkinCommand::RemoveSkin:
    case SkinCommand::Refresh:
    case SkinCommand::Repaint:
      StandingCommand(command);
      break;
    default:
      if (IsSkinned()) FSkinData.Command(command);
      break;
  }
}

void TsSkinnedControl::SkinRefresh(const TsRefresh& refresh) {
  const TsRefresh* outer = FRefresh;
  FRefresh = &refresh;
  StandingCommand(SkinCommand::Refresh);
  FRefresh = outer;
}

void TsSkinnedControl::SetSkinBgChanged(bool changed) {
  if (IsSkinned()) FSkinData.SetBackgroundDirty(changed);
}

void TsSkinnedControl::SetSkinUpdating(bool updating) {
  if (IsSkinned()) FSkinData.SetUpdating(updating);
}

void TsSkinnedControl::SetSkinRepaintNeeded(bool needed) {
  if (IsSkinned()) FSkinData.SetRepaintNeeded(needed);
}

void TsSkinnedControl::SetSkinRepaintIfTransparent(bool repaint) {
  if (IsSkinned()) FSkinData.RepaintIfTransparent(repaint);
}

void TsSkinnedControl::RedrawSkinTransparent(bool invalidate) {
  if (IsSkinned()) FSkinData.RedrawTransparent(invalidate);
}

void TsSkinnedControl::SetSkinActiveChild(TControl* child) {
  if (IsSkinned()) FSkinData.SetActiveChild(child);
}

void TsSkinnedControl::PassOnToChildren(TWinControl* parent, ::SkinCommand command) {
  if (command == SkinCommand::Refresh && FRefresh)
    BroadcastToChildren(parent, *FRefresh);
  else
    BroadcastToChildren(parent, command);
}

void TsSkinnedControl::StandingCommand(::SkinCommand command) {
  switch (command) {
    case SkinCommand::NewSkin:
      // The children take the new skin before the control repaints over them.
      BroadcastToChildren(FWindow, command);
      FSkinData.Command(command);
      break;
    case SkinCommand::RemoveSkin:
      FSkinData.Command(command);
      FControl->Repaint();
      BroadcastToChildren(FWindow, command);
      break;
    case SkinCommand::Refresh:
      FSkinData.Command(command);
      PassOnToChildren(FWindow, command);
      if (FRefresh)
        FRefresh->Invalidate(FControl);
      else
        FControl->Repaint();
      break;
    case SkinCommand::Repaint:
      if (TUpdatesHeld::Active() || !PaintInPlace()) FControl->Repaint();
      break;
    default:
      break;
  }
}

bool TsSkinnedControl::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      // A graphic control paints only on the DC its parent hands it.
      if (message.WParam == 0 && !FWindow) return false;
      PaintMessage(message);
      return true;
    case WM_NCPAINT: {
      if (!FWindow) return false;
      // A control that draws no frame of its own needs no window DC to say so.
      if (!PaintsBorder()) return PaintBorder(nullptr);
      const TWindowDC dc(FWindow->Handle(), TWindowDC::Whole);
      return PaintBorder(dc.Handle());
    }
    case WM_ERASEBKGND:
      return true;
    case WM_ENABLE:
      // The state is painted from the skin once the change is done (CM_ENABLEDCHANGED asks for it).
      return NativeEnablePaintsOnly();
    default:
      return false;
  }
}

void TsSkinnedControl::HotChanged() {
  FSkinData.SetRepaintNeeded(true);
  FControl->Repaint();
}

void TsSkinnedControl::PaintMessage(TMessage& message) {
  const TPaintDC dc(FWindow ? FWindow->Handle() : nullptr, reinterpret_cast<HDC>(message.WParam));
  PaintOn(dc.Handle());
  message.Result = 0;
}

void TsSkinnedControl::PaintNow() {
  if (!FWindow || !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->Handle()) || !IsSkinned()) return;
  const TWindowDC dc(FWindow->Handle(), TWindowDC::Client);
  PaintOn(dc.Handle());
}

bool TsSkinnedControl::PaintInPlace() {
  // A parent whose picture is not rebuilt yet paints first, by WM_PAINT.
  if (!FWindow || !PaintsWholeClient() || !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->Handle()) ||
      !IsSkinned() || FSkinData.BackgroundChanged())
    return false;
  if (const TsPaintCover* cover = PaintCover(); cover && cover->LeftUnseen(FWindow->Handle())) {
    // Built by WM_PAINT once it shows.
    FSkinData.SetRepaintNeeded(true);
    return true;
  }
  PaintNow();
  ValidateRect(FWindow->Handle(), nullptr);
  ++FPaintsInPlace;
  return true;
}

bool TsSkinnedControl::PaintOpaqueGraphicInPlace() {
  TWinControl* parent = FControl->Parent();
  if (FWindow || !(FControl->ControlStyle() & csOpaque) || !FControl->Visible() || !parent ||
      !parent->HandleAllocated() || !IsWindowVisible(parent->Handle()) || !IsSkinned())
    return false;
  const TWindowDC dc(parent->Handle(), TWindowDC::Client);
  const TSaveDC saved(dc.Handle());
  SetViewportOrgEx(dc.Handle(), FControl->Left(), FControl->Top(), nullptr);
  IntersectClipRect(dc.Handle(), 0, 0, FControl->Width(), FControl->Height());
  PaintOn(dc.Handle());
  const RECT place = FControl->BoundsRect();
  ValidateRect(parent->Handle(), &place);
  ++FPaintsInPlace;
  return true;
}

// A paint through WM_PAINT costs a dozen requests to the window server (the update region, the
// caret hidden and shown again, the paint DC); a control painted in place costs one. The others are
// painted as WM_PAINT would paint them, each before its children.
void TsSkinnedControl::PaintTreeInPlace(TWinControl* root, const TsPaintCover* cover) {
  struct TCoverScope {
    const TsPaintCover* Outer = PaintCover();
    ~TCoverScope() { PaintCover() = Outer; }
  } scope;
  PaintCover() = cover;
  PaintTreeInPlace(root, PaintSequence());
}

const TsPaintCover*& TsSkinnedControl::PaintCover() {
  static const TsPaintCover* cover = nullptr;
  return cover;
}

// A control painted since the walk began (its parent's new picture repaints the children over it)
// waits no more.
void TsSkinnedControl::PaintTreeInPlace(TWinControl* root, unsigned began) {
  if (!root->HandleAllocated() || !root->Visible()) return;
  auto* skinned = dynamic_cast<TsSkinnedControl*>(root);
  if (skinned && skinned->PaintsWholeClient()) {
    if (skinned->FPaintedAt <= began && !skinned->PaintInPlace())
      RedrawWindow(root->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
  } else {
    RedrawWindow(root->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
  }
  for (int i = 0; i < root->ControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(root->Controls(i))) PaintTreeInPlace(child, began);
}

unsigned& TsSkinnedControl::PaintSequence() {
  static unsigned sequence = 0;
  return sequence;
}

void TsSkinnedControl::PaintOn(HDC clientDC) {
  FPaintedAt = ++PaintSequence();
  {
    const TSaveDC saved(clientDC);
    PaintClient(clientDC);
  }
  if (FWindow) {
    FWindow->PaintControls(clientDC, nullptr);
    if (PaintsBorder()) {
      const TWindowDC whole(FWindow->Handle(), TWindowDC::Whole);
      PaintBorder(whole.Handle());
    }
  }
}

void TsSkinnedControl::PaintClient(HDC dc) {
  if (FSkinData.BackgroundChanged()) return;
  if (FWindow) {
    TWinControl* parent = FControl->Parent();
    if (FSkinData.ChildrenDirty() || AskChildrenDirty(parent)) FSkinData.SetRepaintNeeded(true);
    // Scrolled out of its parent, the control repaints its cache when it shows again.
    const RECT client = parent->ClientRect();
    FSkinData.SetChildrenDirty(!PtInRect(&client, POINT{FControl->Left(), FControl->Top()}));
  }
  // A graphic control hears of no WM_SIZE: a cache of another size is one from before a resize.
  if (const TBitmap* cache = FSkinData.CacheBitmap();
      cache && (cache->Width() != FControl->Width() || cache->Height() != FControl->Height()))
    FSkinData.SetRepaintNeeded(true);
  const bool rebuild = FSkinData.RepaintNeeded() && !FSkinData.Updating();
  if (rebuild) BuildCache();
  if (!FSkinData.CacheBitmap()) return;
  CacheShown(rebuild);
  const RECT all{0, 0, FControl->Width(), FControl->Height()};
  if (FWindow)
    CopyCacheToDC(FWindow, &FSkinData, POINT{0, 0}, dc, all);
  else
    FSkinData.CopyFromCache(dc, 0, 0, all.right, all.bottom);
}

// A control turned off and back on with nothing else changed, as a job turns its controls, shows
// the picture it had before again instead of building it anew.
void TsSkinnedControl::BuildCache() {
  const bool enabled = FControl->Enabled();
  const POINT at{FControl->Left(), FControl->Top()};
  const auto fits = [this](const TBitmap* bitmap) {
    return bitmap != nullptr && bitmap->Width() == FControl->Width() && bitmap->Height() == FControl->Height();
  };
  // Nothing asked for a new picture since the cache was built but turning on or off.
  const bool onlyToggled =
      enabled != FCacheEnabled && FSkinData.RepaintRequests() == FQuietAt && fits(FSkinData.CacheBitmap());
  if (onlyToggled && fits(FSpare.Bitmap.get()) && FSpare.Enabled == enabled && FSpare.State == SkinState() &&
      FSpare.At.x == at.x && FSpare.At.y == at.y) {
    FSpare.Bitmap = FSkinData.ExchangeCache(std::move(FSpare.Bitmap));
    FSpare.Enabled = FCacheEnabled;
    std::swap(FSpare.State, FCacheState);
    std::swap(FSpare.At, FCacheAt);
    FCacheEnabled = enabled;
    FSkinData.SetRepaintNeeded(false);
    FQuietAt = FSkinData.RepaintRequests();
    return;
  }
  // The picture of the state left stays at hand for the way back.
  if (onlyToggled)
    FSpare = {FSkinData.ExchangeCache(nullptr), FCacheEnabled, FCacheState, FCacheAt};
  else
    FSpare = {};
  ++FCacheBuilds;
  FSkinData.PrepareCache();
  PaintSkin();
  FCacheState = SkinState();
  FCacheEnabled = enabled;
  FCacheAt = at;
  FSkinData.SetRepaintNeeded(false);
  FQuietAt = FSkinData.RepaintRequests();
}

void TsSkinnedControl::PaintSkin() {
  TBitmap* cache = FSkinData.CacheBitmap();
  const POINT at{FControl->Left(), FControl->Top()};
  const RECT all{0, 0, FControl->Width(), FControl->Height()};
  TsCacheInfo ci;
  QueryParentCache(&FSkinData, ci);
  PaintSectionByData(ActiveSkin(), &FSkinData, ci, true, cache, at, all, SkinState());
  PaintText();
  if (!FControl->Enabled()) {
    QueryParentCache(&FSkinData, ci);
    ApplyDisabledKind(ActiveSkin(), cache, FDisabledKind, FControl, at, ci);
  }
}

TsSkinState TsSkinnedControl::SkinState() const {
  return FSkinData.IsHot() ? TsSkinState::Hot : TsSkinState::Normal;
}

bool TsSkinnedControl::PaintGraphicChildOverSkin(TWinControl* parent, HDC dc, TControl* child) {
  auto* layer = dynamic_cast<TsSkinnedControl*>(parent);
  if (!layer || !layer->IsSkinned()) return false;
  if (child->IsDestroying()) return true;
  PaintGraphicChildOverCache(parent, dc, child, AskCache(parent));
  return true;
}

void TsSkinnedControl::PaintGraphicChildOverCache(TWinControl* parent, HDC dc, TControl* child, const TsCacheInfo& ci) {
  const TPaintCopy paintCopy(parent, child);
  if ((child->ControlStyle() & csOpaque) || !ci.Valid || !ci.Bitmap) {
    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    return;
  }
  RECT clip;
  GetClipBox(dc, &clip);
  const int w = clip.right - clip.left, h = clip.bottom - clip.top;
  const TMemoryDC buffer(dc, std::max(w, 1), std::max(h, 1));
  HDC mem = buffer.Handle();
  SetViewportOrgEx(mem, -clip.left, -clip.top, nullptr);
  BitBlt(mem, 0, 0, child->Width(), child->Height(), ci.Bitmap->Canvas()->Handle(), ci.X + child->Left(),
         ci.Y + child->Top(), SRCCOPY);
  child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  SetViewportOrgEx(mem, 0, 0, nullptr);
  BitBlt(dc, clip.left, clip.top, w, h, mem, 0, 0, SRCCOPY);
}

// --- TsInPlacePaints --------------------------------------------------------------------------------

bool TsInPlacePaints::Take(TControl* control) {
  if (FDepth == 0) return false;
  auto* skinned = dynamic_cast<TsSkinnedControl*>(control);
  if (skinned && !skinned->FWindow) {
    // A graphic control is painted with its parent's client, or alone when it covers its place.
    auto* holder = dynamic_cast<TsSkinnedControl*>(control->Parent());
    if (holder && holder->PaintsWholeClient()) skinned = holder;
    else if (!(control->ControlStyle() & csOpaque)) return false;
  }
  if (!skinned || !skinned->IsSkinned() ||
      (skinned->FWindow && (!skinned->PaintsWholeClient() || !skinned->FWindow->HandleAllocated())))
    return false;
  if (std::find(FWaiting.begin(), FWaiting.end(), skinned) == FWaiting.end()) FWaiting.push_back(skinned);
  return true;
}

void TsInPlacePaints::Forget(const TsSkinnedControl* control) {
  FWaiting.erase(std::remove(FWaiting.begin(), FWaiting.end(), control), FWaiting.end());
}

TsInPlacePaints::~TsInPlacePaints() {
  if (--FDepth > 0) return;
  const auto depth = [](const TsSkinnedControl* s) {
    int d = 0;
    for (const TControl* c = s->FControl; c != nullptr; c = c->Parent()) ++d;
    return d;
  };
  std::stable_sort(FWaiting.begin(), FWaiting.end(),
                   [&](const TsSkinnedControl* a, const TsSkinnedControl* b) { return depth(a) < depth(b); });
  // Taken off one by one: a control freed meanwhile leaves the list (Forget). A painting that fails
  // is left to WM_PAINT, where failures are handled, rather than thrown out of a destructor.
  while (!FWaiting.empty()) {
    TsSkinnedControl* s = FWaiting.front();
    FWaiting.erase(FWaiting.begin());
    try {
      if (!(s->FWindow ? s->PaintInPlace() : s->PaintOpaqueGraphicInPlace())) s->FControl->Repaint();
    } catch (...) {
      s->FControl->Invalidate();
    }
  }
}
