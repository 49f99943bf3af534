#include "skin/controls/TsPushButton.h"

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinRegionTemplate.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsFadeTimer.h"
#include "skin/engine/core/SkinTables.h"

void TsHintPause::Pause() {
  if (FPaused || !Application) return;
  FSaved = Application->ShowHint();
  Application->SetShowHint(false);
  FPaused = true;
}

void TsHintPause::Resume() {
  if (!FPaused) return;
  FPaused = false;
  if (Application) Application->SetShowHint(FSaved);
}

bool FireHover(const TMessage& message, TControl* control, const TNotifyEvent& onEnter, const TNotifyEvent& onLeave,
               const std::shared_ptr<bool>& alive) {
  if ((message.Msg != CM_MOUSEENTER && message.Msg != CM_MOUSELEAVE) || !control->Enabled()) return true;
  const TNotifyEvent& e = message.Msg == CM_MOUSEENTER ? onEnter : onLeave;
  const std::shared_ptr<bool> keep = alive;
  if (e) e(control);
  return *keep;
}

TsPushButtonParts::TsPushButtonParts(TWinControl* control, TsCommonData* skinData)
    : FControl(control), FSkinData(skinData) {}

TsPushButtonParts::~TsPushButtonParts() = default;

bool TsPushButtonParts::Message(TMessage& message, bool isDefault) {
  // Only the mouse entering or leaving fades; focus changes switch at once.
  FHoverChange = message.Msg == CM_MOUSEENTER || message.Msg == CM_MOUSELEAVE;
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      StopFade();
      FHints.Pause();
      return false;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      FHints.Resume();
      return false;
    case WM_KILLFOCUS:
      StopFade();
      return false;
    case WM_SIZE:
      // The region follows the new size at the next painting.
      FSkinData->SetRepaintNeeded(true);
      return false;
    case CM_FOCUSCHANGED:
      if (DefaultLook(isDefault) != FDefaultLook) FSkinData->RequestRepaint();
      return false;
    case CN_DRAWITEM:
      // An owner-drawn button: the skin draws it.
      message.Result = 1;
      return true;
    default:
      return false;
  }
}

bool TsPushButtonParts::DefaultLook(bool isDefault) const {
  // The default button stands for the form while Return presses it.
  const auto* button = dynamic_cast<const TButton*>(FControl);
  return isDefault && button != nullptr && button->PressedByReturn();
}

namespace {

// The region's data, as the window server keeps it; empty when it cannot be read.
std::vector<char> RegionData(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<char> data(size);
  if (size == 0 || GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())) != size) data.clear();
  return data;
}

}  // namespace

void TsPushButtonParts::DropRegion() {
  if (!FControl->HandleAllocated()) return;
  const bool dropped = SetWindowRgn(FControl->Handle(), nullptr, TRUE) != 0;
  FRegionWindow = dropped ? FControl->Handle() : nullptr;
  FRegionData.clear();
}

void TsPushButtonParts::CurrentRegion(HWND window, HRGN current, const RECT& whole) const {
  if (window != FRegionWindow) {
    ReadWindowRegion(window, current, &whole);
  } else if (FRegionData.empty()) {
    SetRectRgn(current, whole.left, whole.top, whole.right, whole.bottom);
  } else {
    const TGdiObject<HRGN> kept(ExtCreateRegion(nullptr, DWORD(FRegionData.size()),
                                                reinterpret_cast<const RGNDATA*>(FRegionData.data())));
    if (kept.Handle())
      CombineRgn(current, kept.Handle(), nullptr, RGN_COPY);
    else
      ReadWindowRegion(window, current, &whole);
  }
}

void TsPushButtonParts::CutRegionAhead(const TsRefresh* refresh, TsSkinState state, bool drawOverBorder) {
  // A button no one sees takes its new region when it is painted.
  if (!refresh || !FControl->HandleAllocated() || !IsWindowVisible(FControl->Handle()) || Fading() ||
      refresh->LeavesUnseen(FControl))
    return;
  const int w = FControl->Width(), h = FControl->Height();
  if (w <= 0 || h <= 0) return;
  TGdiObject<HRGN> region(CreateRectRgn(0, 0, w, h));
  CutSkinTemplateRgn(ActiveSkin(), w, h, region.Handle(), drawOverBorder, state, FSkinData->BorderIndex());
  ApplyRegion(region, refresh);
}

void TsPushButtonParts::PaintSkin(TsSkinState state, bool drawOverBorder, TsDisabledKind disabledKind,
                                  const std::function<void()>& paintContent) {
  TBitmap* cache = FSkinData->CacheBitmap();
  const POINT at{FControl->Left(), FControl->Top()};
  const int w = FControl->Width(), h = FControl->Height();
  TsCacheInfo ci;
  QueryParentCache(FSkinData, ci);
  PaintBackgroundByData(ActiveSkin(), FSkinData, ci, state, cache, at, RECT{0, 0, w, h});
  // The content is the caller's painting and may raise: the region is freed then too.
  TGdiObject<HRGN> region(CreateRectRgn(0, 0, w, h));
  const int mask = FSkinData->BorderIndex();
  if (drawOverBorder) PaintSkinTemplateRgn(ActiveSkin(), cache, region.Handle(), true, state, mask);
  paintContent();
  if (!drawOverBorder) PaintSkinTemplateRgn(ActiveSkin(), cache, region.Handle(), false, state, mask);
  ApplyRegion(region);
  if (!FControl->Enabled()) {
    QueryParentCache(FSkinData, ci);
    ApplyDisabledKind(ActiveSkin(), cache, disabledKind, FControl, at, ci);
  }
}

void TsPushButtonParts::ApplyRegion(TGdiObject<HRGN>& region, const TsRefresh* refresh) {
  // The window keeps the region it has when the new one is the same: no redraw, nothing to give.
  if (!FControl->HandleAllocated()) return;
  HWND window = FControl->Handle();
  const TGdiObject<HRGN> current(CreateRectRgn(0, 0, 0, 0));
  const RECT whole{0, 0, FControl->Width(), FControl->Height()};
  CurrentRegion(window, current.Handle(), whole);
  if (EqualRgn(current.Handle(), region.Handle())) return;
  // The button shows its new cache right after this (a redraw of it would paint it twice); only
  // the parent repaints, and only where the button gives way. The platform's own redraw would
  // repaint the parent under the whole button, and the button again after it.
  const TGdiObject<HRGN> freed(CreateRectRgn(0, 0, 0, 0));
  const bool givesWay = CombineRgn(freed.Handle(), current.Handle(), region.Handle(), RGN_DIFF) != NULLREGION;
  // Kept as data: the window owns a region given to it (one it refused is freed with the scope).
  std::vector<char> data = RegionData(region.Handle());
  const bool given = SetWindowRgn(window, region.Handle(), FALSE) != 0;
  FRegionWindow = given && !data.empty() ? window : nullptr;
  FRegionData = std::move(data);
  if (!given) return;
  region.Release();
  // A refresh that invalidates the whole form paints the corners too.
  if (!givesWay || (refresh && refresh->InvalidatesWhole(FControl))) return;
  if (HWND parent = GetParent(window)) {
    // A region is relative to the window's corner, the parent's repaint to its client area.
    RECT bounds;
    GetWindowRect(window, &bounds);
    POINT origin{bounds.left, bounds.top};
    ScreenToClient(parent, &origin);
    OffsetRgn(freed.Handle(), origin.x, origin.y);
    RedrawWindow(parent, nullptr, freed.Handle(), RDW_INVALIDATE | RDW_ERASE);
  }
}

bool TsPushButtonParts::Fading() const { return FFade && FFade->Enabled(); }

bool TsPushButtonParts::FadeTo(bool hot, bool pressed, const std::function<void()>& buildCache) {
  const bool hover = FHoverChange;
  FHoverChange = false;
  if (!hover || pressed) {
    StopFade();
    return false;
  }
  const int section = FSkinData->SkinIndex();
  if (!SectionIndexValid(section) || !ActiveSkin().SkinSectionData[std::size_t(section)].FadingEnabled)
    return false;
  if (!FControl->HandleAllocated() || !IsWindowVisible(FControl->Handle())) return false;
  // The timer stays between fades, so that leaving fades out from where entering got to; a new
  // one starts entering at its first step and leaving at its last.
  if (!FFade) {
    FFade = std::make_unique<TsFadeTimer>(nullptr);
    FFade->SetCounter(hot ? 1 : 0);
  }
  FFade->StartFor(FSkinData);  // the look shown until now
  buildCache();
  FFade->SetActive(hot ? TsFadeDirection::In : TsFadeDirection::Out);
  return true;
}

bool TsPushButtonParts::StopFade() {
  if (!FFade) return false;
  FFade.reset();
  return true;
}
