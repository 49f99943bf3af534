#include "skin/controls/TsStatusBar.h"

#include <commctrl.h>

#include <utility>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/core/SkinTables.h"

TsStatusBar::TsStatusBar(TComponent* owner) : TsSkinned(TsControlKind::StatusBar, TsCacheBitmap::Own, owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
}

void TsStatusBar::WndProc(TMessage& message) {
  if (message.Msg == SB_SETTEXTA && LOBYTE(message.WParam) == 255 && FTextShowing.Hold()) {
    message.Result = TRUE;
    return;
  }
  TsSkinned::WndProc(message);
}

void TsStatusBar::SendSimpleText() {
  if (SimplePanel() && HandleAllocated())
    SendMessageA(Handle(), SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(SimpleText().c_str()));
}

bool TsStatusBar::SkinnedMessage(TMessage& message) {
  // New texts, parts or the simple mode: the cache shows them.
  if (message.Msg == SB_SETTEXTA || message.Msg == SB_SETPARTS || message.Msg == SB_SIMPLE)
    SkinData().SetRepaintNeeded(true);
  return TsSkinned::SkinnedMessage(message);
}

// The native bar draws its parts on these without waiting for WM_PAINT.
bool TsStatusBar::NativePaintsAfter(const TMessage& message) const {
  switch (message.Msg) {
    case SB_SETTEXTA:
    case SB_SETPARTS:
    case SB_SIMPLE:
    case SB_SETMINHEIGHT:
    case WM_SETTEXT:
    case WM_SIZE:
      return true;
    default:
      return false;
  }
}

void TsStatusBar::StandingCommand(::SkinCommand command) {
  // Whatever the command, the skin may be another one now.
  FMasksResolved = false;
  TsSkinned::StandingCommand(command);
}

void TsStatusBar::ResolveMasks() {
  const int section = SkinData().SkinIndex();
  if (FMasksResolved && FResolvedSection == section) return;
  const std::string& name = ActiveSkin().SkinSectionData[static_cast<std::size_t>(section)].SectionName;
  FPanelMask = FindMaskIndex(section, name, "STATUSPANELMASK");
  FGripMask = FindMaskIndex(section, name, "GRIPIMAGE");
  FDividerMask = FindMaskIndex(FindSectionIndex("DIVIDER"), "DIVIDER", "BORDERSMASK");
  FResolvedSection = section;
  FMasksResolved = true;
}

void TsStatusBar::PaintPanel(RECT r, const std::string& text, TAlignment alignment, bool last) {
  TBitmap* cache = SkinData().CacheBitmap();
  InflateRect(&r, -1, -1);
  if (MaskIndexValid(FPanelMask)) {
    PaintNinePartImage(ActiveSkin(), cache, SimplePanel() ? RECT{0, 0, Width(), Height()} : r, true,
                       TsSkinState::Normal, FPanelMask, TsCacheInfo{cache, 0, 0, true});
  } else if (!last && MaskIndexValid(FDividerMask)) {
    const int width = MaskFrameSize(FDividerMask).Width;
    PaintNinePartImage(ActiveSkin(), cache, RECT{r.right - width, 1, r.right, Height() - 2}, true,
                       TsSkinState::Normal, FDividerMask, TsCacheInfo{cache, 0, 0, true});
  }
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  RECT t{r.left + 2, r.top, r.right - 4, r.bottom - 1};
  const std::string shown = EllipsizeText(canvas, text, t.right - t.left);
  DrawSkinTextByData(ActiveSkin(), canvas, shown, Enabled(), t,
                     CaptionTextFlags(this, alignment) | DT_SINGLELINE | DT_NOPREFIX, &SkinData(),
                     SkinData().IsHot());
}

void TsStatusBar::PaintSkin() {
  ResolveMasks();
  TBitmap* cache = SkinData().CacheBitmap();
  TsCacheInfo ci;
  QueryParentCache(&SkinData(), ci);
  PaintSectionByData(ActiveSkin(), &SkinData(), ci, true, cache, POINT{Left(), Top()},
                     RECT{0, 0, Width(), Height()}, TsSkinState::Normal);
  if (SimplePanel()) {
    PaintPanel(RECT{0, 1, Width() - 1, Height() - 1}, SimpleText(), taLeftJustify, true);
  } else {
    int left = 0;
    for (int i = 0; i < PanelCount(); ++i) {
      const TStatusPanel& panel = Panels(i);
      const bool last = i == PanelCount() - 1;
      const RECT r{left, 0, last ? Width() : left + panel.Width + 1, Height()};
      if (panel.Style == psOwnerDraw && OnDrawPanel()) {
        // The handler draws on the bar's canvas, here the cache's.
        const TCanvasDC bound(*Canvas(), cache->Canvas()->Handle());
        RECT inner = r;
        InflateRect(&inner, -1, -1);
        OnDrawPanel()(this, i, inner);
      }
      PaintPanel(r, panel.Text, panel.Alignment, last);
      left += panel.Width + 1;
    }
  }
  // As the native bar: no grip while the window it would size is maximized.
  const bool parentZoomed = HandleAllocated() && IsZoomed(GetParent(Handle()));
  if (SizeGrip() && !parentZoomed) {
    const TsFrameSize size = MaskFrameSize(FGripMask);
    if (MaskIndexValid(FGripMask))
      PaintMaskedGlyph(ActiveSkin(), cache, POINT{Width() - size.Width - 1, Height() - size.Height - 1},
                       TsSkinState::Normal, FGripMask, TsGlyphShade::Normal);
  }
}
