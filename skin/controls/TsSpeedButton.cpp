#include "skin/controls/TsSpeedButton.h"

#include <algorithm>
#include <set>

#include "framework/win/AllocateHWnd.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TImageList.h"
#include "framework/win/TPopupMenu.h"
#include "framework/win/TWinControl.h"
#include "skin/controls/core/ButtonCaptionLayout.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/TsAnimTimer.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/SkinTables.h"

namespace {

// One drop-down menu of these buttons shows at a time.
bool MenuShowing = false;

// A drop-down asked for by a press runs once the press's message has returned: the menu may run
// user code that frees the button, which must not happen under the button's own message handling.
constexpr UINT WM_DROPDOWN = WM_APP + 0x2F2;
HWND DropDownWindow = nullptr;

std::set<TsSpeedButton*>& PendingDropDowns() {
  static std::set<TsSpeedButton*> buttons;
  return buttons;
}

void DropDownWndProc(TMessage& message) {
  if (message.Msg == WM_DROPDOWN) {
    auto* button = reinterpret_cast<TsSpeedButton*>(message.LParam);
    if (PendingDropDowns().erase(button)) button->DropDown();
    return;
  }
  message.Result = DefWindowProcA(DropDownWindow, message.Msg, message.WParam, message.LParam);
}

}  // namespace

TsSpeedButton::TsSpeedButton(TComponent* owner) : TsSkinned(TsControlKind::SpeedButton, TsCacheBitmap::Own, owner) {}

TsSpeedButton::~TsSpeedButton() {
  MarkDead();
  PendingDropDowns().erase(this);
  FFade.reset();
}

void TsSpeedButton::SetButtonStyle(TsToolButtonStyle value) {
  if (value == FButtonStyle) return;
  if (!IsLoading()) {
    if (value == tbsDropDown) SetWidth(Width() + ArrowWidth);
    else if (FButtonStyle == tbsDropDown) SetWidth(Width() - ArrowWidth);
  }
  FButtonStyle = value;
  SkinData().RequestRepaint();
}

void TsSpeedButton::SetDropdownMenu(TPopupMenu* menu) {
  if (menu == FDropdownMenu) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = menu;
  if (menu) menu->FreeNotification(this);
}

void TsSpeedButton::SetLook(const TsButtonLook& look) {
  ChangeButtonLook(this, FLook, look);
  SkinData().RequestRepaint();
}

void TsSpeedButton::Notification(TComponent* component, TOperation operation) {
  TsSkinned::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FLook.Images) FLook.Images = nullptr;
  if (component == FDropdownMenu) FDropdownMenu = nullptr;
}

TsSkinState TsSpeedButton::SkinState() const {
  if (State() == bsDown || State() == bsExclusive) return TsSkinState::Pressed;
  return SkinData().IsHot() ? TsSkinState::Hot : TsSkinState::Normal;
}

void TsSpeedButton::PaintParentBackground(TBitmap* cache) {
  TsCacheInfo ci;
  QueryParentCache(&SkinData(), ci);
  if (ci.Valid && ci.Bitmap) {
    BitBlt(cache->Canvas()->Handle(), 0, 0, Width(), Height(), ci.Bitmap->Canvas()->Handle(), ci.X + Left(),
           ci.Y + Top(), SRCCOPY);
    return;
  }
  cache->Canvas()->Brush()->SetStyle(TBrushStyle::Solid);
  cache->Canvas()->Brush()->SetColor(Parent() ? Parent()->Color() : Color());
  cache->Canvas()->FillRect(RECT{0, 0, Width(), Height()});
}

void TsSpeedButton::PaintDivider(TBitmap* cache) {
  const int section = FindSectionIndex("DIVIDER");
  const int mask = section < 0 ? -1 : FindMaskIndex(section, "DIVIDER", "BORDERSMASK");
  if (!MaskIndexValid(mask)) return;
  const int w = MaskFrameSize(mask).Width;
  const int x = (Width() - w) / 2;
  PaintNinePartImage(ActiveSkin(), cache, RECT{x, 1, x + w, Height() - 2}, true, TsSkinState::Normal, mask,
                     EmptyCacheInfo);
}

void TsSpeedButton::PaintArrow(TBitmap* cache, const TsCacheInfo& ci) {
  const bool pressed = (FMenuOpen && FDropdownMenu) || Down() || State() == bsDown || State() == bsExclusive;
  const TsSkinState state = pressed ? TsSkinState::Pressed : SkinData().IsHot() ? TsSkinState::Hot : TsSkinState::Normal;
  const RECT part{Width() - ArrowWidth, 0, Width(), Height()};
  PaintSectionByData(ActiveSkin(), &SkinData(), ci, true, cache, POINT{Left(), Top()}, part, state);
  const int section = FindSectionIndex("SCROLLBTNBOTTOM");
  const int glyph = section < 0 ? -1 : FindMaskIndex(section, "SCROLLBTNBOTTOM", "GLYPHMASK");
  if (!MaskIndexValid(glyph)) return;
  const TsFrameSize size = MaskFrameSize(glyph);
  const POINT at{Width() - ArrowWidth + (ArrowWidth - size.Width) / 2 + 1, (Height() - size.Height) / 2};
  PaintMaskedGlyph(ActiveSkin(), cache, at, state, glyph, TsGlyphShade::Normal);
}

void TsSpeedButton::PaintFace(TBitmap* cache, TsSkinState state, const TsCacheInfo& ci) {
  const int arrow = FButtonStyle == tbsDropDown ? ArrowWidth : 0;
  const RECT r{0, 0, Width() - arrow, Height()};
  const POINT at{Left(), Top()};
  if (FLook.DrawOverBorder)
    PaintSectionByData(ActiveSkin(), &SkinData(), ci, true, cache, at, r, state);
  else
    PaintBackgroundByData(ActiveSkin(), &SkinData(), ci, state, cache, at, r);
  TsButtonLayoutInput in;
  in.Width = Width();
  in.Height = Height();
  in.ArrowWidth = arrow;
  in.Margin = Margin();
  in.Spacing = Spacing();
  in.Place = GlyphPlaceOf(Layout());
  in.Pressed = state == TsSkinState::Pressed;
  TsButtonGlyphSource glyph;
  glyph.Glyph = const_cast<TsSpeedButton*>(this)->Glyph();
  glyph.NumGlyphs = NumGlyphs();
  glyph.Images = FLook.Images;
  glyph.ImageIndex = FLook.ImageIndex;
  glyph.Look.Hot = SkinData().IsHot();
  PaintButtonFace(this, &SkinData(), in, FLook, glyph, state != TsSkinState::Normal);
  if (!FLook.DrawOverBorder) {
    const int mask = FindMaskIndex(SkinData().SkinIndex(), SkinData().SkinSection(), "BORDERSMASK");
    if (MaskIndexValid(mask)) PaintNinePartImage(ActiveSkin(), cache, r, false, state, mask, ci);
  }
  if (arrow) PaintArrow(cache, ci);
}

void TsSpeedButton::PaintSkin() {
  TBitmap* cache = SkinData().CacheBitmap();
  cache->Canvas()->SetFont(Font());
  if (FButtonStyle == tbsSeparator || FButtonStyle == tbsDivider) {
    PaintParentBackground(cache);
    if (FButtonStyle == tbsDivider) PaintDivider(cache);
    return;
  }
  TsCacheInfo ci;
  QueryParentCache(&SkinData(), ci);
  PaintFace(cache, SkinState(), ci);
  if (!Enabled()) {
    QueryParentCache(&SkinData(), ci);
    ApplyDisabledKind(ActiveSkin(), cache, DisabledKind(), this, POINT{Left(), Top()}, ci);
  }
  if (FOnPaint) FOnPaint(this, cache);
}

void TsSpeedButton::PaintClient(HDC dc) {
  // While a fade runs, the parent paints its frames.
  if (Fading() && FFade->Frame() && FFade->Frame()->Width() > 0) {
    BitBlt(dc, 0, 0, Width(), Height(), FFade->Frame()->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  TsSkinned::PaintClient(dc);
}

void TsSpeedButton::SkinCommand(::SkinCommand command) {
  if (command != ::SkinCommand::StopFading) return TsSkinned::SkinCommand(command);
  if (IsSkinned() && StopFade()) Repaint();
}

bool TsSpeedButton::SkinnedMessage(TMessage& message) {
  if (!FireHover(message, this, FOnMouseEnter, FOnMouseLeave, Alive())) return true;
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      StopFade();
      SkinData().SetRepaintNeeded(true);
      break;
    case CM_TEXTCHANGED:
      if (FLook.ShowCaption) SkinData().RequestRepaint();
      return true;
    default:
      break;
  }
  return TsSkinned::SkinnedMessage(message);
}

void TsSpeedButton::HotChanged() {
  const int section = SkinData().SkinIndex();
  const bool fades = SectionIndexValid(section) &&
                     ActiveSkin().SkinSectionData[std::size_t(section)].FadingEnabled && Parent() &&
                     Parent()->HandleAllocated() && Visible() && !FMenuOpen;
  if (!fades) {
    StopFade();
    TsSkinned::HotChanged();
    return;
  }
  // Kept between fades, as a push button's.
  if (!FFade) {
    FFade = std::make_unique<TsAnimTimer>(nullptr);
    FFade->SetCounter(SkinData().IsHot() ? 1 : 0);
  }
  FFade->StartFor(&SkinData());  // the look shown until now
  BuildCache();
  FFade->SetActive(SkinData().IsHot() ? TsFadeDirection::In : TsFadeDirection::Out);
}

bool TsSpeedButton::Fading() const { return FFade && FFade->Enabled(); }

bool TsSpeedButton::StopFade() {
  if (!FFade) return false;
  FFade.reset();
  SkinData().SetRepaintNeeded(true);
  return true;
}

void TsSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled() && FButtonStyle == tbsDropDown && FDropdownMenu && x > Width() - ArrowWidth) {
    FHints.Pause();
    StopFade();
    FMenuOpen = true;
    SkinData().RequestRepaint();
    if (!DropDownWindow) DropDownWindow = AllocateHWnd(TWndMethod(&DropDownWndProc));
    if (PendingDropDowns().insert(this).second)
      PostMessageA(DropDownWindow, WM_DROPDOWN, 0, reinterpret_cast<LPARAM>(this));
    return;
  }
  TsSkinned::MouseDown(button, shift, x, y);
}

bool TsSpeedButton::DropDown() {
  if (MenuShowing || !FDropdownMenu) {
    FMenuOpen = false;
    FHints.Resume();
    SkinData().RequestRepaint();
    return true;
  }
  // The menu's commands run user code that may free this button.
  const std::shared_ptr<bool> alive = Alive();
  MenuShowing = true;
  FMenuOpen = true;
  SkinData().RequestRepaint();
  FDropdownMenu->SetPopupComponent(this);
  const POINT at = ClientToScreen(POINT{0, Height() + 1});
  FDropdownMenu->Popup(at.x, at.y);
  MenuShowing = false;
  if (!*alive) return false;
  FMenuOpen = false;
  // The menu loop ate the release: the press ends here.
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  POINT cursor;
  GetCursorPos(&cursor);
  const POINT local = ScreenToClient(cursor);
  if (local.x < 0 || local.y < 0 || local.x >= Width() || local.y >= Height()) SkinData().SetMouseOver(false);
  FHints.Resume();
  SkinData().RequestRepaint();
  return true;
}
