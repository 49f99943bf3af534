#include "skin/controls/TsPageControl.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TFont.h"
#include "framework/win/TImageList.h"
#include "skin/controls/TsUpDown.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinTables.h"

namespace {

TRect ToTRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

const TsCommonSection& TabSection(TTabSide side) {
  const TsSidedSections& tabs = ActiveSkin().SkinCommonIndexes.Tabs;
  switch (side) {
    case TTabSide::Bottom: return tabs.Bottom;
    case TTabSide::Left: return tabs.Left;
    case TTabSide::Right: return tabs.Right;
    default: return tabs.Top;
  }
}

// Asks for the scroller to follow the tabs once a run of tab changes is over.
constexpr UINT ScrollerUpdateMessage = WM_APP + 0x138;

bool IsTabNotification(const TMessage& message) {
  if (message.Msg != CN_NOTIFY || message.LParam == 0) return false;
  const UINT code = reinterpret_cast<const NMHDR*>(message.LParam)->code;
  return code == TCN_SELCHANGING || code == TCN_SELCHANGE;
}

// Copies src (a bitmap of r's size) to the cache at r, inside clip only.
void CopyInto(TBitmap* cache, const RECT& r, TBitmap& src, const RECT& clip) {
  RECT part;
  if (!IntersectRect(&part, &r, &clip)) return;
  BitBlt(cache->Canvas()->Handle(), part.left, part.top, part.right - part.left, part.bottom - part.top,
         src.Canvas()->Handle(), part.left - r.left, part.top - r.top, SRCCOPY);
}

}  // namespace

TsPageControl::TsPageControl(TComponent* owner)
    : TsSkinned(TsControlKind::PageControl, TsCacheBitmap::Own, owner) {}

TsPageControl::~TsPageControl() {
  if (FTabScroller) std::exchange(FTabScroller, nullptr)->Free();
}

void TsPageControl::Notification(TComponent* component, TOperation operation) {
  TsSkinned::Notification(component, operation);
  // The scroller goes with its parent's children when the control is freed.
  if (operation == TOperation::Remove && component == FTabScroller) FTabScroller = nullptr;
}

TTabSide TsPageControl::Side() const {
  switch (TabPosition()) {
    case tpBottom: return TTabSide::Bottom;
    case tpLeft: return TTabSide::Left;
    case tpRight: return TTabSide::Right;
    default: return TTabSide::Top;
  }
}

TTabFrame TsPageControl::Frame() {
  TTabFrame f;
  f.Side = Side();
  f.Width = Width();
  f.Height = Height();
  f.Display = ToTRect(DisplayRect());
  f.HasTabs = HandleAllocated() && SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0) > 0;
  return f;
}

RECT TsPageControl::TabsArea() { return ToRECT(::TabsArea(Frame())); }

RECT TsPageControl::BodyArea() { return ToRECT(::BodyArea(Frame())); }

std::vector<TRect> TsPageControl::NativeTabRects() {
  std::vector<TRect> rects;
  if (!HandleAllocated()) return rects;
  const int count = int(SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    // The answer is false for a tab scrolled out of view, whose rectangle is still laid out.
    RECT r{};
    SendMessageA(Handle(), TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    rects.push_back(ToTRect(r));
  }
  return rects;
}

RECT TsPageControl::SkinTabRect(int pageIndex, bool active) {
  if (!ActivePage() || pageIndex < 0 || pageIndex >= PageCount()) return RECT{};
  // Pages whose tab is hidden have none: the native control counts only the visible tabs.
  const int tab = TabIndexOf(Pages(pageIndex));
  const std::vector<TRect> natives = NativeTabRects();
  if (tab < 0 || tab >= int(natives.size())) return RECT{};
  return ToRECT(::SkinTabRect(Side(), natives[std::size_t(tab)], active));
}

int TsPageControl::TabRow(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= PageCount()) return 0;
  const int tab = TabIndexOf(Pages(pageIndex));
  const std::vector<TRect> natives = NativeTabRects();
  if (tab < 0 || tab >= int(natives.size())) return 0;
  const int rows = int(SendMessageA(Handle(), TCM_GETROWCOUNT, 0, 0));
  return ::TabRow(Side(), natives[std::size_t(tab)], ::TabsArea(Frame()), rows);
}

int TsPageControl::HiddenTabCount() {
  if (!IsSkinned()) return 0;
  return ::HiddenTabCount(NativeTabRects(), Width(), FTabScroller ? FTabScroller->Width() : 0);
}

std::string TsPageControl::BodySectionName() const {
  std::string name = SkinData().SkinSection();
  if (name.empty()) name = DefaultSectionOfKind(TsControlKind::PageControl);
  switch (TabPosition()) {
    case tpBottom: return name + "BOTTOM";
    case tpLeft: return name + "LEFT";
    case tpRight: return name + "RIGHT";
    default: return name;
  }
}

void TsPageControl::StandingCommand(::SkinCommand command) {
  switch (command) {
    case SkinCommand::RemoveSkin:
      SkinData().Command(command);
      UpdateTabScroller();
      if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      BroadcastToChildren(this, command);
      break;
    case SkinCommand::Refresh:
      SkinData().Command(command);
      if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      UpdateTabScroller();
      if (FTabScroller) FTabScroller->Repaint();
      PassOnToChildren(this, command);
      break;
    case SkinCommand::Repaint:
      if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      break;
    default:
      TsSkinned::StandingCommand(command);
      break;
  }
}

bool TsPageControl::SkinBackgroundChanged() {
  return IsSkinned() && (SkinData().BackgroundChangedBelow() || FTabChanging);
}

void TsPageControl::EndTabChange() {
  FTabChanging = false;
  SkinData().SetRepaintNeeded(true);
  Invalidate();
}

bool TsPageControl::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT:
      message.Result = 1;
      return true;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
    case WM_HSCROLL:
    case WM_SETFONT:
      SkinData().SetRepaintNeeded(true);
      return false;
    case TCM_SETITEMSIZE:
      // The strip is laid out anew: held while the native control does it, shown right after.
      FTabChanging = true;
      InheritedWndProc(message);
      EndTabChange();
      PostScrollerUpdate();
      return true;
    case TCM_SETCURSEL:
    case TCM_INSERTITEMA:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
    case TCM_SETITEMA:
      InheritedWndProc(message);
      SkinData().SetRepaintNeeded(true);
      Invalidate();
      if (message.Msg != TCM_SETCURSEL) PostScrollerUpdate();
      return true;
    case ScrollerUpdateMessage:
      FScrollerUpdatePosted = false;
      UpdateTabScroller();
      return true;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: {
      const std::shared_ptr<bool> alive = Alive();
      if (!SkinControlMessage(message, &SkinData())) InheritedWndProc(message);
      if (!*alive) return true;
      // The native strip is laid out anew for the new size: the scroller follows it.
      SkinData().SetRepaintNeeded(true);
      UpdateTabScroller();
      return true;
    }
    default:
      break;
  }
  if (IsTabNotification(message)) {
    // Whether the switch is refused or made, the strip is shown again once it is handled: a flag
    // left set would keep every later paint blank.
    FTabChanging = true;
    const std::shared_ptr<bool> alive = Alive();
    InheritedWndProc(message);
    if (*alive) EndTabChange();
    return true;
  }
  return TsSkinned::SkinnedMessage(message);
}

void TsPageControl::PaintSkin() {
  TBitmap* cache = SkinData().CacheBitmap();
  TsCacheInfo ci;
  QueryParentCache(&SkinData(), ci);
  const TTabFrame frame = Frame();
  const std::vector<TRect> natives = NativeTabRects();
  const int activeTab = TabIndexOf(ActivePage());
  if (frame.HasTabs) PaintTabs(ci, natives, activeTab);

  int body = FindSectionIndex(BodySectionName());
  if (!SectionIndexValid(body)) body = SkinData().SkinIndex();
  const TRect b = ::BodyArea(frame);
  {
    const TsPaintColorsScope colors(
        ActiveSkin(),
        Parent() ? std::optional<TColor>(static_cast<TColor>(ColorToRGB(Parent()->Color()))) : std::nullopt,
        std::nullopt);
    PaintSectionByIndex(ActiveSkin(), body, BodySectionName(), ci, cache,
                        POINT{Left() + b.Left, Top() + b.Top}, ToRECT(b), TsSkinState::Normal, true);
  }

  // The active tab last, over the body's edge.
  if (activeTab >= 0 && activeTab < int(natives.size()))
    PaintTab(activeTab, natives[std::size_t(activeTab)], true, RECT{0, 0, Width(), Height()});
  if (!Enabled()) {
    QueryParentCache(&SkinData(), ci);
    ApplyDisabledKind(ActiveSkin(), cache, DisabledKind(), this, POINT{Left(), Top()}, ci);
  }
}

void TsPageControl::PaintTabs(const TsCacheInfo& ci, const std::vector<TRect>& natives, int activeTab) {
  TBitmap* cache = SkinData().CacheBitmap();
  const TTabFrame frame = Frame();
  const RECT strip = ToRECT(::TabsArea(frame));
  HDC dc = cache->Canvas()->Handle();
  if (ci.Valid && ci.Bitmap) {
    BitBlt(dc, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
           ci.Bitmap->Canvas()->Handle(), ci.X + Left() + strip.left, ci.Y + Top() + strip.top, SRCCOPY);
  } else {
    RECT around = strip;
    InflateRect(&around, 4, 4);
    const TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Parent() ? Parent()->Color() : Color())));
    FillRect(dc, &around, brush.Handle());
  }
  const int rows = int(SendMessageA(Handle(), TCM_GETROWCOUNT, 0, 0));
  for (int tab : TabPaintOrder(frame.Side, natives, ::TabsArea(frame), rows))
    if (tab != activeTab) PaintTab(tab, natives[std::size_t(tab)], false, strip);
}

void TsPageControl::PaintTab(int tabIndex, const TRect& native, bool active, const RECT& clip) {
  const RECT r = ToRECT(::SkinTabRect(Side(), native, active));
  const int w = r.right - r.left, h = r.bottom - r.top;
  // Empty, or scrolled out of the strip to the left.
  if (w <= 0 || h <= 0 || r.right <= 0) return;
  const TsCommonSection& section = TabSection(Side());
  const bool skinnedTab = section.Section >= 0 && MaskIndexValid(section.BordersMask);
  TBitmap* cache = SkinData().CacheBitmap();
  TBitmap tab;
  tab.SetPixelFormat(TPixelFormat::Bit24);
  tab.SetSize(w, h);
  if (skinnedTab) {
    // What lies below the tab (strip, body edge, the parent) shows through its rounded corners.
    const std::string name = ActiveSkin().SkinSectionData[std::size_t(section.Section)].SectionName;
    PaintSectionByIndex(ActiveSkin(), section.Section, name, TsCacheInfo{cache, 0, 0, true}, &tab,
                        POINT{r.left, r.top}, RECT{0, 0, w, h},
                        active ? TsSkinState::Pressed : TsSkinState::Normal, true);
  } else {
    // No tab look in the skin: the content over what the strip shows.
    BitBlt(tab.Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), r.left, r.top, SRCCOPY);
  }
  // The content in the part of the tab that shows: the body hides the lower edge of an inactive one.
  RECT shown{};
  if (!IntersectRect(&shown, &r, &clip)) return;
  OffsetRect(&shown, -r.left, -r.top);
  PaintTabContent(&tab, tabIndex, shown, skinnedTab ? section.Section : SkinData().SkinIndex(), active);
  if (active && Focused()) {
    RECT focus{3, 3, w - 3, h - 3};
    DrawFocusRect(tab.Canvas()->Handle(), &focus);
  }
  // An inactive tab never covers the body.
  CopyInto(cache, r, tab, clip);
}

// The owner's drawing, or the page's image and caption side by side along the tab.
void TsPageControl::PaintTabContent(TBitmap* target, int tabIndex, const RECT& r, int section, bool active) {
  if (OwnerDraw()) {
    if (!OnDrawTab()) return;
    TCanvasDC bound(*Canvas(), target->Canvas()->Handle());
    Canvas()->SetFont(Font());
    OnDrawTab()(this, tabIndex, r, active);
    return;
  }
  TTabSheet* page = PageForTab(tabIndex);
  if (!page) return;
  RECT text = r;
  TImageList* images = Images();
  if (images && page->ImageIndex() >= 0 && page->ImageIndex() < images->Count()) {
    TCanvas* canvas = target->Canvas();
    canvas->SetFont(Font());
    const int captionWidth = page->Caption().empty() ? 0 : canvas->TextWidth(page->Caption());
    const int iw = images->Width(), ih = images->Height();
    POINT at{};
    switch (Side()) {
      case TTabSide::Top:
      case TTabSide::Bottom:
        at = {r.left + (r.right - r.left - (captionWidth + iw + 8)) / 2, r.top + (r.bottom - r.top - ih) / 2};
        text.left = at.x + iw + 8;
        break;
      case TTabSide::Left: {
        // Read upwards: the image at the lower end.
        const int start = r.top + (r.bottom - r.top - (captionWidth + ih + 8)) / 2;
        at = {r.left + (r.right - r.left - iw) / 2, start + captionWidth + 8};
        text.bottom = at.y - 8;
        text.top = text.bottom - captionWidth;
        break;
      }
      case TTabSide::Right: {
        const int start = r.top + (r.bottom - r.top - (captionWidth + ih + 8)) / 2;
        at = {r.left + (r.right - r.left - iw) / 2, start};
        text.top = at.y + ih + 8;
        text.bottom = text.top + captionWidth;
        break;
      }
    }
    images->Draw(canvas, at.x, at.y, page->ImageIndex(), Enabled());
    if (Side() == TTabSide::Top || Side() == TTabSide::Bottom) {
      canvas->Brush()->SetStyle(TBrushStyle::Clear);
      DrawSkinTextByIndex(ActiveSkin(), canvas, page->Caption(), Enabled(), text,
                          DT_LEFT | DT_VCENTER | DT_SINGLELINE, section, active);
      return;
    }
  }
  PaintCaption(target, page->Caption(), text, section, active);
}

void TsPageControl::PaintCaption(TBitmap* target, const std::string& caption, const RECT& r, int section,
                                 bool active) {
  if (caption.empty()) return;
  TCanvas* canvas = target->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  const TTabSide side = Side();
  if (side == TTabSide::Top || side == TTabSide::Bottom) {
    RECT text = r;
    DrawSkinTextByIndex(ActiveSkin(), canvas, caption, Enabled(), text,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE, section, active);
    return;
  }
  // Side tabs: the caption turned along the tab, reading upwards on the left, downwards on the right.
  LOGFONTA lf{};
  GetObjectA(Font()->Handle(), sizeof(lf), &lf);
  lf.lfWeight = FW_NORMAL;
  lf.lfEscapement = lf.lfOrientation = side == TTabSide::Left ? 900 : 2700;
  lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  const TGdiObject<HFONT> font(CreateFontIndirectA(&lf));
  HDC dc = canvas->Handle();
  const TSaveDC saved(dc);
  const TSelectObject selected(dc, font.Handle());
  SIZE extent{};
  GetTextExtentPoint32A(dc, caption.c_str(), int(caption.size()), &extent);
  const TColor color = !Enabled()                                ? clGrayText
                       : !ActiveSkin().SectionIndexValid(section) ? Font()->Color()
                       : active ? ActiveSkin().SkinSectionData[std::size_t(section)].HotFontColor[0]
                                : ActiveSkin().SkinSectionData[std::size_t(section)].FontColor[0];
  SetTextColor(dc, ColorToRGB(color));
  SetBkMode(dc, TRANSPARENT);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  if (side == TTabSide::Left)
    TextOutA(dc, cx - extent.cy / 2, cy + extent.cx / 2, caption.c_str(), int(caption.size()));
  else
    TextOutA(dc, cx + extent.cy / 2, cy - extent.cx / 2, caption.c_str(), int(caption.size()));
}

void TsPageControl::CacheShown(bool rebuilt) {
  if (!rebuilt) return;
  // What shows the body through itself shows the new one.
  if (FTabScroller) FTabScroller->Invalidate();
  if (TTabSheet* page = ActivePage()) {
    page->Invalidate();
    RefreshChildren(page);
  }
}

void TsPageControl::DestroyNativeScroller() {
  HWND child = nullptr;
  // Bounded by the children there are: each pass destroys one or ends.
  while ((child = FindWindowExA(Handle(), child, UPDOWN_CLASSA, nullptr)) != nullptr) {
    if (FTabScroller && FTabScroller->HandleAllocated() && child == FTabScroller->Handle()) continue;
    HWND next = child;
    child = nullptr;
    DestroyWindow(next);
  }
}

void TsPageControl::UpdateTabScroller() {
  FScrollerUpdatePosted = false;
  if (IsLoading() || IsDestroying() || !HandleAllocated()) return;
  if (!IsSkinned()) {
    if (FTabScroller) std::exchange(FTabScroller, nullptr)->Free();
    return;
  }
  DestroyNativeScroller();
  const bool sideways = TabPosition() == tpLeft || TabPosition() == tpRight;
  const int hidden = sideways ? 0 : HiddenTabCount();
  if (hidden < 1 || MultiLine()) {
    if (FTabScroller) std::exchange(FTabScroller, nullptr)->Free();
    return;
  }
  const int w = 2 * GetSystemMetrics(SM_CXHSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
  if (!FTabScroller) {
    FTabScroller = new TsUpDown(this);
    FTabScroller->SetVisible(false);
    FTabScroller->SetOrientation(udHorizontal);
    FTabScroller->SetShowInaccessibility(false);
    FTabScroller->SetBounds(Width() - w, TabPosition() == tpBottom ? Height() - h : 0, w, h);
    FTabScroller->SetParent(this);
    FTabScroller->SetMin(0);
    FTabScroller->SetIncrement(1);
    FTabScroller->SetOnClickButton(TUDClickEvent(this, &TsPageControl::ScrollerClicked));
  }
  // Counted again beside the scroller, which covers the end of the strip.
  FTabScroller->SetMax(std::max(1, HiddenTabCount()));
  FTabScroller->SetBounds(Width() - w, TabPosition() == tpBottom ? Height() - h : 0, w, h);
  FTabScroller->SetVisible(true);
  FTabScroller->BringToFront();
}

void TsPageControl::PostScrollerUpdate() {
  // Pages are added one by one, each re-making every tab: the scroller follows the last of them.
  if (FScrollerUpdatePosted || !HandleAllocated()) return;
  FScrollerUpdatePosted = PostMessageA(Handle(), ScrollerUpdateMessage, 0, 0) != FALSE;
}

void TsPageControl::ScrollerClicked(TObject*, TUDBtnType) {
  // The up-down's own value: without a buddy the platform flags every answer as an error, which
  // TUpDown::Position takes for no answer.
  const int first = int(SendMessageA(FTabScroller->Handle(), UDM_GETPOS32, 0, 0));
  // The native strip scrolls to the first visible tab it is told.
  SendMessageA(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, first), 0);
  SkinData().SetRepaintNeeded(true);
  Invalidate();
}

TsTabSheet::TsTabSheet(TComponent* owner) : TsSkinned(TsControlKind::MaskEdit, TsCacheBitmap::None, owner) {}

bool TsTabSheet::SkinResolved() const {
  TsPageControl* pages = Pages();
  return pages && pages->IsSkinned();
}

TsPageControl* TsTabSheet::Pages() const {
  return dynamic_cast<TsPageControl*>(PageControl());
}

TsCacheInfo TsTabSheet::SkinCache() {
  TsPageControl* pages = Pages();
  const TsCacheInfo ci = pages && pages->IsSkinned() ? AskCache(pages) : TsCacheInfo{};
  return ci.Valid ? TsCacheInfo{ci.Bitmap, ci.X + Left(), ci.Y + Top(), true} : TsCacheInfo{};
}

TColor TsTabSheet::SkinBackgroundColor() {
  TsPageControl* pages = Pages();
  return pages ? AskBackgroundColor(pages) : SkinKeyColor;
}

bool TsTabSheet::SkinBackgroundChanged() {
  TsPageControl* pages = Pages();
  return pages && (pages->SkinData().BackgroundChangedBelow() || pages->TabChanging());
}

bool TsTabSheet::SkinHasPaintedBackground() {
  TsPageControl* pages = Pages();
  if (!pages) return false;
  // A page control without a section has no percentages to read.
  const int section = pages->SkinData().SkinIndex();
  const bool painted = SectionIndexValid(section) && ActiveSkin().SkinSectionData[std::size_t(section)].GradientPercent +
                                                             ActiveSkin().SkinSectionData[std::size_t(section)].ImagePercent >= 1;
  return painted || pages->SkinData().NeedsParentBackground();
}

void TsTabSheet::SkinCommand(::SkinCommand command) {
  if (command == SkinCommand::NewSkin || command == SkinCommand::RemoveSkin || command == SkinCommand::Refresh)
    TsSkinned::SkinCommand(command);
}

void TsTabSheet::StandingCommand(::SkinCommand command) {
  switch (command) {
    case SkinCommand::NewSkin:
      BroadcastToChildren(this, command);
      break;
    case SkinCommand::RemoveSkin:
      Repaint();
      BroadcastToChildren(this, command);
      break;
    case SkinCommand::Refresh:
      if (Visible()) {
        if (const TsRefresh* refresh = RefreshGoingOn())
          refresh->Invalidate(this);
        else
          Repaint();
      }
      PassOnToChildren(this, command);
      break;
    default:
      break;
  }
}

bool TsTabSheet::SkinnedMessage(TMessage& message) {
  if (message.Msg == WM_PAINT && message.WParam != 0) return false;
  if (message.Msg == WM_ERASEBKGND) message.Result = 1;
  return TsSkinned::SkinnedMessage(message);
}

void TsTabSheet::PaintClient(HDC dc) {
  TsPageControl* pages = Pages();
  if (pages->SkinData().BackgroundChanged() || !pages->SkinData().CacheBitmap()) return;
  CopyCacheToDC(this, &pages->SkinData(), POINT{Left(), Top()}, dc, ClientRect());
}
