#include "skin/windows/TsProviderFrame.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/engine/SkinRegionTemplate.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/MaskCornerRuns.h"
#include "skin/engine/core/SectionPainting.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/controls/TsMDIForm.h"
#include "skin/windows/TsCaptionButtons.h"
#include "skin/windows/TsMenuBand.h"
#include "skin/windows/TsProviderHost.h"
#include "skin/windows/TsTitleButtons.h"

namespace {

void CopyTop(TBitmap* dst, TBitmap* src, int w, int h) {
  if (w <= 0 || h <= 0) return;
  dst->Canvas()->CopyRect(RECT{0, 0, w, h}, src->Canvas(), RECT{0, 0, w, h});
}

}  // namespace

TsProviderFrame::TsProviderFrame(TsProviderHost& provider, TsCaptionButtons& buttons, TsMenuBand& band)
    : FProvider(provider), FButtons(buttons), FBand(band) {}

TsProviderFrame::~TsProviderFrame() = default;

void TsProviderFrame::Reset() {
  FPainted = false;
  FTitleBitmap.reset();
}

void TsProviderFrame::Finished() {
  FPainted = true;
  FProvider.SkinData()->SetRepaintNeeded(false);
  FProvider.SkinData()->SetBackgroundDirty(false);
}

// The skin may ask to keep the background under the title: then only the title repaints.
bool TsProviderFrame::PaintFromTitleCache(TBitmap* cache, const TsFrameFacts& f, TsSkinState state) {
  if (FMenuChanged || !FTitleBitmap || FTitleBitmap->Width() != f.Width || cache->Width() != f.Width ||
      cache->Height() != f.Height)
    return false;
  ++FPaints;
  CopyTop(cache, FTitleBitmap.get(), f.Width, FTitleBitmap->Height());
  PaintTitle(cache, f, state);
  Finished();
  return true;
}

void TsProviderFrame::KeepTitle(TBitmap* cache, const TsFrameFacts& f, int titleHeight) {
  if (FTitleBitmap && FTitleBitmap->Width() == f.Width) return;
  FTitleBitmap = std::make_unique<TBitmap>();
  FTitleBitmap->SetPixelFormat(TPixelFormat::Bit24);
  FTitleBitmap->SetSize(f.Width, std::min(titleHeight, f.Height));
  CopyTop(FTitleBitmap.get(), cache, f.Width, FTitleBitmap->Height());
}

void TsProviderFrame::Paint() {
  TCustomForm* form = FProvider.Form();
  TsCommonData* data = FProvider.SkinData();
  if (!form || (form->ControlState() & csCreating) || !data->RepaintNeeded()) return;
  TBitmap* cache = data->CacheBitmap();
  const TsFrameFacts f = FProvider.FrameFacts();
  const TsSystemSizes& s = FProvider.FrameSizes();
  const bool valid = SectionIndexValid(data->SkinIndex());
  // A skin's own look is the active window's; its hot fields (paler title, no pattern) the inactive.
  const TsSkinState state = FProvider.FormActive() ? TsSkinState::Normal : TsSkinState::Hot;
  const bool bordered = form->BorderStyle() != bsNone;
  const int titleHeight = ::TitleBarHeight(f, s) + ::FrameBorderHeight(f, s);
  const bool titleCache =
      valid && bordered && ActiveSkin().SkinSectionData[static_cast<std::size_t>(data->SkinIndex())].ReservedBoolean;
  if (titleCache && PaintFromTitleCache(cache, f, state)) return;
  FRegionPending = true;
  cache->SetPixelFormat(TPixelFormat::Bit24);
  if (cache->Width() != f.Width || cache->Height() != f.Height) cache->SetSize(f.Width, f.Height);
  if (!valid) return;
  ++FPaints;
  RECT r{0, 0, f.Width, f.Height};
  if (f.Window.Iconic) r.bottom = std::min<LONG>(f.Height, titleHeight + 1);
  if (bordered)
    PaintSectionByData(ActiveSkin(), data, EmptyCacheInfo, true, cache, POINT{0, 0}, r, state);
  else
    PaintBackgroundByIndex(ActiveSkin(), data->SkinIndex(), data->SkinSection(), EmptyCacheInfo, cache, POINT{0, 0}, r, state);
  if (f.GripShown) {
    const TRect g = GripRect(f, s);
    PaintMaskedGlyph(ActiveSkin(), cache, POINT{g.Left, g.Top}, TsSkinState::Normal, FProvider.Masks().Grip, TsGlyphShade::Normal);
  }
  if (titleCache) KeepTitle(cache, f, titleHeight);
  if (bordered) {
    if (HasMenuBand(f)) FBand.Paint(cache, f);
    PaintTitle(cache, f, state);
  }
  PaintMDIArea(cache, state);
  FMenuChanged = false;
  Finished();
}

// An MDI main form's client window shows this part of the image (the skin's MDI area).
void TsProviderFrame::PaintMDIArea(TBitmap* cache, TsSkinState state) {
  TsMDIForm* mdi = FProvider.MDIForm();
  const int index = FindSectionIndex("MDIAREA");
  if (!mdi || !SectionIndexValid(index)) return;
  const int left = mdi->ClientAreaLeft(), top = mdi->ClientAreaTop();
  const RECT area{left, top, left + mdi->ClientAreaWidth(), top + mdi->ClientAreaHeight()};
  PaintSectionByIndex(ActiveSkin(), index, "MDIAREA", TsCacheInfo{cache, 0, 0, true}, cache, POINT{0, 0}, area, state, true);
}

void TsProviderFrame::PaintTitleBar(TBitmap* cache, const TsFrameFacts& f, TsSkinState state, int titleHeight) {
  const int systemCount = SystemButtonCount(f.Window);
  const int mask = FProvider.Masks().TitleBar;
  if (systemCount <= 0 || !MaskIndexValid(mask)) return;
  const int corner = MaskFrameSize(mask).Width / 3;
  const int partWidth = 2 * corner + systemCount * ButtonSize(f).Width;
  PaintNinePartImage(ActiveSkin(), cache, RECT{f.Width - partWidth, 0, f.Width, titleHeight}, true, state, mask,
                     TsCacheInfo{cache, 0, 0, true});
}

void TsProviderFrame::PaintTitle(TBitmap* cache, const TsFrameFacts& f, TsSkinState state) {
  const TsSystemSizes& s = FProvider.FrameSizes();
  const int titleHeight = ::TitleBarHeight(f, s) + ::FrameBorderHeight(f, s);
  const int title = FindSectionIndex("FORMTITLE");
  const RECT tr{0, 0, f.Width, f.Window.Iconic ? std::min(f.Height, titleHeight + 1) : titleHeight};
  if (title >= 0)
    PaintSectionByIndex(ActiveSkin(), title, "FORMTITLE", TsCacheInfo{cache, 0, 0, true}, cache, POINT{0, 0}, tr, state, true);
  PaintIcon(cache, f);
  PaintTitleBar(cache, f, state, titleHeight);
  const std::vector<TsCaptionSlot> slots = ::CaptionSlots(f, s);
  std::vector<TsCaptionSlot> buttons = slots;
  for (const TsCaptionSlot& child : ChildButtonSlots(f, s)) buttons.push_back(child);
  FButtons.PaintAll(cache, buttons, f.Width, std::max(TopBandHeight(f, s), titleHeight));
  PaintCaptionText(cache, f, slots);
}

void TsProviderFrame::PaintIcon(TBitmap* cache, const TsFrameFacts& f) {
  if (!IconShown(f)) return;
  const TRect ir = IconRect(f, FProvider.FrameSizes());
  if (ir.Width() <= 0 || ir.Height() <= 0) return;
  HDC dc = cache->Canvas()->Handle();
  TsTitleIcon* titleIcon = FProvider.TitleIcon();
  if (!titleIcon->Glyph()->Empty()) {
    TBitmap* g = titleIcon->Glyph();
    g->SetTransparent(true);
    g->SetTransparentColor(static_cast<TColor>(SkinKeyColor));
    cache->Canvas()->StretchDraw(RECT{ir.Left, ir.Top, ir.Right, ir.Bottom}, g);
    return;
  }
  TCustomForm* form = FProvider.Form();
  HICON icon = nullptr;
  if (!form->Icon()->Empty())
    icon = form->Icon()->Handle();
  else if (TIcon* large = AppLargeIcon(); large && ir.Height() > 16)
    icon = large->Handle();  // sharper than the small one stretched
  else if (TIcon* small = AppSmallIcon())
    icon = small->Handle();
  if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
  DrawIconEx(dc, ir.Left, ir.Top, icon, ir.Width(), ir.Height(), 0, nullptr, DI_NORMAL);
}

void TsProviderFrame::PaintCaptionText(TBitmap* cache, const TsFrameFacts& f, const std::vector<TsCaptionSlot>& slots) {
  const std::string text = FProvider.ShownCaption();
  if (text.empty()) return;
  TCustomForm* form = FProvider.Form();
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(form->Font());
  canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
  const TRect tr = CaptionTextRect(f, FProvider.FrameSizes(), static_cast<int>(slots.size()));
  RECT r{tr.Left, tr.Top, tr.Right, tr.Bottom};
  const std::string shown = EllipsizeText(canvas, text, tr.Width());
  const int title = FindSectionIndex("FORMTITLE");
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  DrawSkinTextByIndex(ActiveSkin(), canvas, shown, form->Enabled(), r,
                      CaptionTextFlags(form, FProvider.CaptionAlignment()) | DT_SINGLELINE | DT_VCENTER,
                      title >= 0 ? title : FProvider.SkinData()->SkinIndex(), FProvider.FormActive());
}

void TsProviderFrame::Output(HDC dc) {
  Paint();
  TBitmap* cache = FProvider.SkinData()->CacheBitmap();
  if (!cache || cache->Width() == 0) return;
  const TsFrameFacts f = FProvider.FrameFacts();
  const TsSystemSizes& s = FProvider.FrameSizes();
  HDC src = cache->Canvas()->Handle();
  const int cw = cache->Width(), ch = cache->Height();
  if (BorderlessSizingFrame(f)) {
    // Four strips as wide as the window's frame (and the form's border within it).
    const int b = ClientOffsetX(f);
    BitBlt(dc, 0, 0, f.Width, b, src, 0, 0, SRCCOPY);
    BitBlt(dc, 0, b, b, ch - b, src, 0, b, SRCCOPY);
    BitBlt(dc, f.Width - b, b, b, f.Height - b, src, f.Width - b, b, SRCCOPY);
    BitBlt(dc, b, ch - b, cw - b, b, src, b, ch - b, SRCCOPY);
    return;
  }
  const int fbw = ::FrameBorderWidth(f, s), fbh = ::FrameBorderHeight(f, s), b = f.BorderWidth;
  // The top band down to the client area, whatever rows the platform's menu bar takes.
  const int t = std::max(FrameTopHeight(f, s), ClientOffsetY(f, s)) + b;
  BitBlt(dc, 0, 0, f.Width, t, src, 0, 0, SRCCOPY);
  BitBlt(dc, 0, t, fbw + b, ch - t, src, 0, t, SRCCOPY);
  BitBlt(dc, fbw + b, f.Height - fbh - b, f.Width - 2 * (fbw + b), fbh + b, src, fbw + b, f.Height - fbh - b, SRCCOPY);
  BitBlt(dc, cw - fbw - b, t, fbw + b, ch - t, src, cw - fbw - b, t, SRCCOPY);
}

void TsProviderFrame::UpdateRegion() {
  if (!FInRegionUpdate && FRegionPending && HasSkinFrame(FProvider.WindowFacts())) ApplyRegion();
}

void TsProviderFrame::DropRegion(HWND h) {
  if (h && FRegionApplied) {
    SetWindowRgn(h, nullptr, TRUE);
    FRegionApplied = false;
  }
  FRegionPending = true;
}

void TsProviderFrame::ApplyRegion() {
  FRegionPending = false;
  const TsFrameFacts f = FProvider.FrameFacts();
  std::vector<TsRect> rects;
  auto collect = [&](int mask, bool bottom) {
    if (!MaskIndexValid(mask)) return;
    const int cornerHeight = MaskFrameSize(mask).Height / 3;
    CollectMaskCornerRects(rects, f.Width, MaskImageOf(ActiveSkin(), mask), bottom ? TsCornerRow::Bottom : TsCornerRow::Top,
                           bottom ? f.Height - cornerHeight : 0);
  };
  const int border = FProvider.SkinData()->BorderIndex();
  collect(border, false);
  if (f.Window.State != TsShowState::Minimized) collect(border, true);
  collect(SectionImagesOf(FindSectionIndex("FORMTITLE")).BordersMask, false);
  HWND h = FProvider.Form()->Handle();
  const TsRect bounds{0, 0, f.Width, f.Height};
  if (FRegionApplied && !rects.empty() && h == FRegionWindow && bounds == FRegionBounds && rects == FRegionCuts) return;
  if (rects.empty()) {
    if (FRegionApplied) {
      SetRegion(h, nullptr);
      FRegionApplied = false;
    }
    return;
  }
  TGdiObject<HRGN> rgn(CreateRectRgn(0, 0, f.Width, f.Height));
  for (const TsRect& r : rects) {
    HRGN cut = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
    CombineRgn(rgn.Handle(), rgn.Handle(), cut, RGN_DIFF);
    DeleteObject(cut);
  }
  // The window keeps a region that is the same (a frame repainted for its activation, a skin with
  // the same corners): setting it again would lay out and repaint the window for nothing.
  if (FRegionApplied) {
    const TGdiObject<HRGN> current(CreateRectRgn(0, 0, 0, 0));
    if (WindowHasRegion(h, rgn.Handle(), current.Handle())) return;
  }
  SetRegion(h, rgn.Release());
  FRegionApplied = true;
  FRegionWindow = h;
  FRegionBounds = bounds;
  FRegionCuts = std::move(rects);
}

// The platform repositions and repaints the window within the call: a frame painted meanwhile
// (nested) leaves the region alone, and the position change it reports is not a new size.
void TsProviderFrame::SetRegion(HWND h, HRGN rgn) {
  FInRegionUpdate = true;
  // The window owns the region from here on.
  if (!SetWindowRgn(h, rgn, TRUE) && rgn) DeleteObject(rgn);
  FInRegionUpdate = false;
}
