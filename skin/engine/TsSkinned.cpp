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

bool IsStandingCommand(SkinCommand command) {
  return command == SkinCommand::NewSkin || command == SkinCommand::RemoveSkin ||
         command == SkinCommand::Refresh || command == SkinCommand::Repaint ||
         command == SkinCommand::IsSkinned;
}

bool AsksForRepaint(UINT msg) {
  return msg == WM_SETFONT || msg == CM_VISIBLECHANGED || msg == CM_ENABLEDCHANGED || msg == CM_TEXTCHANGED;
}

}  // namespace

TsSkinnedControl::TsSkinnedControl(TControl* control, TsControlKind kind, TsCacheBitmap cache)
    : FControl(control), FSkinData(control, cache) {
  FSkinData.SetControlKind(kind);
}

TsSkinnedControl::~TsSkinnedControl() = default;

void TsSkinnedControl::SetDisabledKind(TsDisabledKind kind) {
  if (kind == FDisabledKind) return;
  FDisabledKind = kind;
  FSkinData.RequestRepaint();
}

bool TsSkinnedControl::IsSkinned() const {
  return ControlUsable(FControl) && FSkinData.HasSkin();
}

void TsSkinnedControl::SkinnedWndProc(TMessage& message) {
  if (message.Msg == RE_ROVADUZI && IsStandingCommand(SkinCommandOf(message.WParam))) {
    SkinCommand(message);
    return;
  }
  if (IsSkinned()) {
    if (SkinnedMessage(message)) return;
    const bool wasHot = FSkinData.IsHot();
    if (!SkinControlMessage(message, &FSkinData)) InheritedWndProc(message);
    if (AsksForRepaint(message.Msg)) FSkinData.RequestRepaint();
    if (FSkinData.IsHot() != wasHot) HotChanged();
  } else {
    InheritedWndProc(message);
  }
  if (TsBoundLabel* label = BoundLabel()) label->FollowControl(message);
}

void TsSkinnedControl::SkinCommand(TMessage& message) {
  auto* win = dynamic_cast<TWinControl*>(FControl);
  switch (SkinCommandOf(message.WParam)) {
    case SkinCommand::NewSkin:
      // The children take the new skin before the control repaints over them.
      BroadcastToChildren(win, message);
      SkinControlMessage(message, &FSkinData);
      break;
    case SkinCommand::RemoveSkin:
      SkinControlMessage(message, &FSkinData);
      FControl->Repaint();
      BroadcastToChildren(win, message);
      break;
    case SkinCommand::Refresh:
      SkinControlMessage(message, &FSkinData);
      BroadcastToChildren(win, message);
      FControl->Repaint();
      break;
    case SkinCommand::Repaint:
      FControl->Repaint();
      break;
    case SkinCommand::IsSkinned:
      message.LParam = 1;
      break;
    default:
      break;
  }
}

bool TsSkinnedControl::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      // A graphic control paints only on the DC its parent hands it.
      if (message.WParam == 0 && !dynamic_cast<TWinControl*>(FControl)) return false;
      PaintMessage(message);
      return true;
    case WM_NCPAINT:
      return dynamic_cast<TWinControl*>(FControl) && PaintBorder();
    case WM_ERASEBKGND:
      return true;
    default:
      return false;
  }
}

void TsSkinnedControl::HotChanged() {
  FSkinData.SetRepaintNeeded(true);
  FControl->Repaint();
}

void TsSkinnedControl::PaintMessage(TMessage& message) {
  auto* win = dynamic_cast<TWinControl*>(FControl);
  const TPaintDC dc(win ? win->Handle() : nullptr, reinterpret_cast<HDC>(message.WParam));
  {
    const TSaveDC saved(dc.Handle());
    PaintClient(dc.Handle());
  }
  if (win) {
    win->PaintControls(dc.Handle(), nullptr);
    PaintBorder();
  }
  message.Result = 0;
}

void TsSkinnedControl::PaintClient(HDC dc) {
  if (FSkinData.BackgroundChanged()) return;
  auto* win = dynamic_cast<TWinControl*>(FControl);
  if (win) {
    TWinControl* parent = FControl->Parent();
    if (FSkinData.ChildrenDirty() || AskChildrenDirty(parent)) FSkinData.SetRepaintNeeded(true);
    // Scrolled out of its parent, the control repaints its cache when it shows again.
    const RECT client = parent->ClientRect();
    FSkinData.SetChildrenDirty(!PtInRect(&client, POINT{FControl->Left(), FControl->Top()}));
  }
  if (FSkinData.RepaintNeeded() && !FSkinData.Updating()) PaintSkin();
  if (!FSkinData.CacheBitmap()) return;
  const RECT all{0, 0, FControl->Width(), FControl->Height()};
  if (win)
    CopyCacheToDC(win, &FSkinData, POINT{0, 0}, dc, all);
  else
    FSkinData.CopyFromCache(dc, 0, 0, all.right, all.bottom);
}

void TsSkinnedControl::PaintSkin() {
  FSkinData.PrepareCache();
  TBitmap* cache = FSkinData.CacheBitmap();
  const POINT at{FControl->Left(), FControl->Top()};
  const RECT all{0, 0, FControl->Width(), FControl->Height()};
  TsCacheInfo ci;
  QueryParentCache(&FSkinData, ci);
  PaintSectionByData(&FSkinData, ci, true, cache, at, all, SkinState());
  PaintText();
  if (!FControl->Enabled()) {
    QueryParentCache(&FSkinData, ci);
    ApplyDisabledKind(cache, FDisabledKind, FControl, at, ci);
  }
  FSkinData.SetRepaintNeeded(false);
}

TsSkinState TsSkinnedControl::SkinState() const {
  return FSkinData.IsHot() ? TsSkinState::Hot : TsSkinState::Normal;
}

bool TsSkinnedControl::PaintGraphicChildOverSkin(TWinControl* parent, HDC dc, TControl* child) {
  auto* layer = dynamic_cast<TsSkinnedControl*>(parent);
  if (!layer || !layer->IsSkinned()) return false;
  if (child->IsDestroying()) return true;
  const TsCacheInfo ci = AskCache(parent);
  const TPaintCopy paintCopy(parent, child);
  if ((child->ControlStyle() & csOpaque) || !ci.Valid || !ci.Bitmap) {
    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    return true;
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
  return true;
}
