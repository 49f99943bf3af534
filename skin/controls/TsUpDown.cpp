#include "skin/controls/TsUpDown.h"

#include <commctrl.h>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

const TsCommonSection& ArrowSection(bool vertical, bool first) {
  const auto& buttons = ActiveSkin().SkinCommonIndexes.ScrollButtons;
  if (vertical) return first ? buttons.Top : buttons.Bottom;
  return first ? buttons.Left : buttons.Right;
}

}  // namespace

TsUpDown::TsUpDown(TComponent* owner) : TsSkinned(TsControlKind::MaskEdit, TsCacheBitmap::None, owner) {
  SetControlStyle(ControlStyle() & ~csDoubleClicks);
}

void TsUpDown::SetShowInaccessibility(bool value) {
  if (value == FModel.ShowInaccessibility) return;
  FModel.ShowInaccessibility = value;
  Repaint();
}

void TsUpDown::SetDisabledKind(TsDisabledKind value) {
  if (value == FDisabledKind) return;
  FDisabledKind = value;
  Repaint();
}

bool TsUpDown::SkinResolved() const {
  const bool vertical = Orientation() == udVertical;
  return ::SkinData().Active && ArrowSection(vertical, true).Section >= 0 && ArrowSection(vertical, false).Section >= 0;
}

void TsUpDown::SyncModel() {
  FModel.Vertical = Orientation() == udVertical;
  FModel.Min = Min();
  FModel.Max = Max();
  FModel.Position = Position();
}

RECT TsUpDown::FirstArrowRect() const {
  return Orientation() == udVertical ? RECT{0, 0, Width(), Height() / 2} : RECT{0, 0, Width() / 2, Height()};
}

void TsUpDown::PaintArrow(TBitmap& bmp, TArrow arrow, POINT at) {
  const bool first = arrow == TArrow::First;
  const TsCommonSection& section = ArrowSection(FModel.Vertical, first);
  const int w = bmp.Width(), h = bmp.Height();
  const auto state = static_cast<TsSkinState>(FModel.PaintState(arrow));
  TsCacheInfo ci = Parent() ? AskCache(Parent()) : TsCacheInfo{};
  PaintSectionWithMask(ActiveSkin(), section.Section, section.BordersMask, section.Pattern, &bmp, at,
                       RECT{0, 0, w, h}, state, true, ci,
                       ActiveSkin().SkinSectionData[static_cast<std::size_t>(section.Section)].SectionName,
                       section.HotPattern);
  if (section.GlyphMask >= 0) {
    const TsFrameSize frame = MaskFrameSize(section.GlyphMask);
    const int x = (w - frame.Width) / 2, y = (h - frame.Height) / 2;
    // A glyph larger than the arrow: neither glyph nor disabled look.
    if (x < 0 || y < 0) return;
    PaintMaskedGlyph(ActiveSkin(), &bmp, POINT{x, y}, state, section.GlyphMask, TsGlyphShade::Normal);
  }
  if (!FModel.Dimmed(arrow, Enabled())) return;
  ci = Parent() ? AskCache(Parent()) : TsCacheInfo{};
  if (ci.Valid && ci.Bitmap)
    ApplyDisabledKind(ActiveSkin(), &bmp, FDisabledKind, this, at, ci);
  else
    BlendRoundRectColor(&bmp, RECT{0, 0, w + 1, h + 1}, 60, 0, 0,
                        Parent() ? static_cast<TColor>(ColorToRGB(Parent()->Color())) : clBtnFace);
}

void TsUpDown::PaintArrows(HDC dc) {
  SyncModel();
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  const bool vertical = FModel.Vertical;
  const int w = Width(), h = Height();
  bmp.SetSize(vertical ? w : w / 2, vertical ? h / 2 : h);
  PaintArrow(bmp, TArrow::First, POINT{Left(), Top()});
  BitBlt(dc, 0, 0, bmp.Width(), bmp.Height(), bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
  bmp.SetSize(vertical ? w : w - w / 2, vertical ? h - h / 2 : h);
  const POINT second = vertical ? POINT{Left(), Top() + h - bmp.Height()} : POINT{Left() + w - bmp.Width(), Top()};
  PaintArrow(bmp, TArrow::Second, second);
  BitBlt(dc, vertical ? 0 : w / 2, vertical ? h / 2 : 0, bmp.Width(), bmp.Height(), bmp.Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

void TsUpDown::WndProc(TMessage& message) {
  // Hovering and painting cannot move the position; any other message may.
  if (message.Msg != WM_NCHITTEST && message.Msg != WM_SETCURSOR && message.Msg != WM_MOUSEMOVE &&
      message.Msg != WM_PAINT)
    FPositionKnown = false;
  const std::shared_ptr<bool> alive = Alive();
  TsSkinned::WndProc(message);
  if (*alive) FollowArrows(message);
}

void TsUpDown::FollowArrows(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST: {
      if (!FPositionKnown) SyncModel();
      FPositionKnown = true;
      POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
      ::ScreenToClient(Handle(), &p);
      const RECT first = FirstArrowRect();
      if (FModel.MouseOver(PtInRect(&first, p) ? TArrow::First : TArrow::Second) && IsSkinned()) Repaint();
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
      SyncModel();
      FModel.Press();
      if (message.Msg == WM_LBUTTONDOWN) message.Result = 1;
      break;
    case WM_LBUTTONUP:
      SyncModel();
      if (!FModel.Release()) return;
      message.Result = 1;
      break;
    case UDM_SETPOS:
    case UDM_SETPOS32:
    case UDM_SETRANGE:
    case UDM_SETRANGE32:
      // An arrow may reach or leave its bound: its look changes.
      break;
    case CM_MOUSELEAVE:
      FModel.Leave();
      break;
    default:
      return;
  }
  if (IsSkinned()) Invalidate();
}
