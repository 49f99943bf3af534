#include "skin/controls/TsListView.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TImageList.h"
#include "skin/controls/TsEditSkin.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/controls/core/ListViewBars.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinTables.h"

namespace {

// Asks for the bars to follow the list's scroll state once a run of changes is over.
constexpr UINT BarsUpdateMessage = WM_APP + 0x131;

TNativeScroll NativeScroll(HWND window, int bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(window, bar, &si)) return TNativeScroll{};
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  const bool shown = (style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
  return TNativeScroll{true, shown, si.nMin, si.nMax, si.nPage, si.nPos};
}

// The header's sections in display order: their rectangles, indexed by section.
std::vector<TRect> HeaderSections(HWND header) {
  const int count = std::max(0, int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)));
  std::vector<TRect> rects(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (SendMessageA(header, HDM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)))
      rects[std::size_t(i)] = TRect{r.left, r.top, r.right, r.bottom};
  }
  return rects;
}

int ColumnSectionIndex() {
  const int section = FindSectionIndex("COLHEADER");
  return SectionIndexValid(section) ? section : FindSectionIndex("BUTTON");
}

// Sets a flag for a scope and puts back what it was.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
  ~TFlagScope() { FFlag = FOld; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& FFlag;
  bool FOld;
};

}  // namespace

TsCustomListView::TsCustomListView(TComponent* owner)
    : TsSkinned(TsControlKind::ListView, TsCacheBitmap::Own, owner),
      FHeaderHook(TWndMethod(this, &TsCustomListView::HeaderProc), this) {
  InstallEditLabelFactory();
  if (SkinData().SkinSection().empty()) SkinData().SetSkinSection("EDIT");
  FBoundLabel = std::make_unique<TsBoundLabel>(&SkinData());
}

TsCustomListView::~TsCustomListView() {
  FreeBars();
  // The last messages of the window come while the hook, the label and the skin object are whole.
  if (HandleAllocated()) DestroyHandle();
  FHeaderHook.Unhook();
}

void TsCustomListView::Notification(TComponent* component, TOperation operation) {
  TsSkinned::Notification(component, operation);
  // The bars are the parent's children: they may go with it first.
  if (operation != TOperation::Remove) return;
  if (component == FVScrollBar) FVScrollBar = nullptr;
  if (component == FHScrollBar) FHScrollBar = nullptr;
}

void TsCustomListView::FreeBars() {
  if (FVScrollBar) std::exchange(FVScrollBar, nullptr)->Free();
  if (FHScrollBar) std::exchange(FHScrollBar, nullptr)->Free();
}

TsScrollBar* TsCustomListView::MakeBar(bool vertical) {
  auto* bar = NewComponent<TsScrollBar>(this);
  bar->SetVisible(false);
  bar->SetLinkedControl(this);
  bar->SetHostNotify(vertical ? TScrollBarHostNotify(this, &TsCustomListView::VerticalBarChanged)
                              : TScrollBarHostNotify(this, &TsCustomListView::HorizontalBarChanged));
  bar->SetTabStop(false);
  if (vertical) {
    bar->SetKind(sbVertical);
    bar->SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), bar->Height());
  } else {
    bar->SetKind(sbHorizontal);
    bar->SetBounds(0, 0, bar->Width(), GetSystemMetrics(SM_CYHSCROLL));
  }
  bar->SetSmooth(true);
  bar->SetParent(Parent());
  return bar;
}

void TsCustomListView::HookHeader() {
  if (!HandleAllocated()) return;
  // The platform may make the header only when it is asked for.
  HWND header = reinterpret_cast<HWND>(AskNative(LVM_GETHEADER));
  if (header && header != FHeaderHook.Window()) FHeaderHook.Hook(header);
}

void TsCustomListView::UpdateScrollBars() {
  // Not while a bar scrolls the list: the bar has its position already.
  if (FBarsUpdating || FUpdating || !HandleAllocated() || IsLoading() || IsDestroying() || (ControlState() & csCreating))
    return;
  const TFlagScope running(FBarsUpdating);
  FBarsUpdatePosted = false;
  const bool skinned = IsSkinned();
  if (skinned) HookHeader();
  if (!skinned && !FVScrollBar && !FHScrollBar) return;

  TListViewScrollState state;
  state.Skinned = skinned && Visible();
  state.Enabled = Enabled();
  state.Report = ViewStyle() == vsReport;
  state.ItemCount = ItemCount();
  state.Vertical = NativeScroll(Handle(), SB_VERT);
  state.Horizontal = NativeScroll(Handle(), SB_HORZ);
  state.Width = Width();
  state.VerticalBarWidth = GetSystemMetrics(SM_CXVSCROLL);
  if (state.Report && FHeaderHook.Window())
    for (const TRect& r : HeaderSections(FHeaderHook.Window())) state.HeaderWidth = std::max(state.HeaderWidth, int(r.Right));
  const TListViewBars plan = PlanListViewBars(state);

  if (plan.Vertical.Shown && !FVScrollBar) FVScrollBar = MakeBar(true);
  if (plan.Horizontal.Shown && !FHScrollBar) FHScrollBar = MakeBar(false);
  const int vw = GetSystemMetrics(SM_CXVSCROLL), hh = GetSystemMetrics(SM_CYHSCROLL);
  if (FVScrollBar)
    FVScrollBar->SetBounds(Left() + Width() - vw - 2, Top() + 2, vw,
                           std::max(0, Height() - (plan.Horizontal.Shown ? hh : 0) - 4));
  if (FHScrollBar)
    FHScrollBar->SetBounds(Left() + 2, Top() + Height() - hh - 2,
                           std::max(0, Width() - (plan.Vertical.Shown ? vw : 0) - 4), hh);

  const std::shared_ptr<bool> alive = Alive();
  const TFlagScope filling(FUpdating);
  const std::pair<TsScrollBar*, const TListViewBarFill*> bars[] = {{FVScrollBar, &plan.Vertical},
                                                                   {FHScrollBar, &plan.Horizontal}};
  for (const auto& [bar, fill] : bars) {
    if (!bar) continue;
    if (!fill->Shown) {
      bar->SetVisible(false);
      continue;
    }
    if (!bar->Parent()) bar->SetParent(Parent());
    // A validated fill: a range with nothing to scroll gives a disabled bar, never an error box.
    bar->FillFromScrollInfo(fill->Info);
    if (!*alive) return;
    bar->SetSmallChange(fill->SmallChange);
  }
  // The corner between the bars is the frame's.
  if (skinned && plan.Vertical.Shown && plan.Horizontal.Shown) {
    const TWindowDC dc(Handle(), TWindowDC::Whole);
    PaintBorder(dc.Handle());
  }
}

void TsCustomListView::VerticalBarChanged(TObject*, int oldPosition) {
  if (FUpdating || !FVScrollBar) return;
  const TFlagScope scrolling(FUpdating);
  int step = 1;
  if (ViewStyle() == vsReport && ItemCount() > 0) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (SendMessageA(Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r))) step = r.bottom - r.top;
  }
  SendMessageA(Handle(), LVM_SCROLL, 0, LPARAM(step * (FVScrollBar->Position() - oldPosition)));
}

void TsCustomListView::HorizontalBarChanged(TObject*, int oldPosition) {
  if (FUpdating || !FHScrollBar) return;
  const TFlagScope scrolling(FUpdating);
  int step = 1;
  if (ViewStyle() == vsList && ItemCount() > 0) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (SendMessageA(Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r))) step = r.right - r.left;
  }
  SendMessageA(Handle(), LVM_SCROLL, WPARAM(step * (FHScrollBar->Position() - oldPosition)), 0);
}

bool TsCustomListView::PaintBorder(HDC windowDC) {
  TsCommonData& skin = SkinData();
  if (!EditSkin::FramePaintable(this, skin)) return true;
  if (skin.RepaintNeeded() && !skin.Updating()) BuildCache();
  if (skin.RepaintNeeded()) return true;
  EditSkin::CopyFrame(windowDC, skin.CacheBitmap(), Width(), Height());
  // The corner between two bars.
  if (FVScrollBar && FHScrollBar && FVScrollBar->Visible() && FHScrollBar->Visible()) {
    const int x = FVScrollBar->Left() - Left(), y = FHScrollBar->Top() - Top();
    BitBlt(windowDC, x, y, FVScrollBar->Width(), FHScrollBar->Height(), skin.CacheBitmap()->Canvas()->Handle(), x, y,
           SRCCOPY);
  }
  return true;
}

void TsCustomListView::StandingCommand(::SkinCommand command) {
  switch (command) {
    case SkinCommand::RemoveSkin:
      SkinData().Command(command);
      FreeBars();
      SetHotSection(-2);
      if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
      break;
    case SkinCommand::Refresh:
      SkinData().Command(command);
      if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      UpdateScrollBars();
      break;
    case SkinCommand::Repaint:
      if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      break;
    default:
      TsSkinned::StandingCommand(command);
      break;
  }
}

bool TsCustomListView::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT: {
      // The native frame and bars first; the skinned frame and the bar pair lie over them.
      InheritedWndProc(message);
      if (!HandleAllocated()) return true;
      const TWindowDC dc(Handle(), TWindowDC::Whole);
      PaintBorder(dc.Handle());
      return true;
    }
    case WM_PAINT:
    case WM_ERASEBKGND:
      // The native list paints its items.
      InheritedWndProc(message);
      return true;
    default:
      return TsSkinned::SkinnedMessage(message);
  }
}

bool TsCustomListView::FollowsScrollState(UINT msg) const {
  switch (msg) {
    case WM_PAINT:
    case WM_SIZE:
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
    case WM_STYLECHANGED:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case LVM_SETITEMCOUNT:
    case LVM_INSERTCOLUMNA:
    case LVM_DELETECOLUMN:
    case LVM_SETCOLUMNA:
    case LVM_SETCOLUMNWIDTH:
    case LVM_SCROLL:
    case LVM_ENSUREVISIBLE:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      return true;
    default:
      return false;
  }
}

void TsCustomListView::WndProc(TMessage& message) {
  const std::shared_ptr<bool> alive = Alive();
  // A column without an image (-1) reaches the list without the image flag; the caller's own
  // record stays as it was.
  LVCOLUMNA column;
  if ((message.Msg == LVM_SETCOLUMNA || message.Msg == LVM_INSERTCOLUMNA) && message.LParam) {
    column = *reinterpret_cast<const LVCOLUMNA*>(message.LParam);
    if ((column.mask & LVCF_IMAGE) && column.iImage == -1) {
      column.mask &= ~UINT(LVCF_IMAGE);
      message.LParam = reinterpret_cast<LPARAM>(&column);
    }
  }
  TsSkinned::WndProc(message);
  if (!*alive || IsDestroying()) return;
  const UINT msg = message.Msg;
  // A follow-up posted to a window that is gone (the list recreated) never comes.
  if (msg == WM_NCDESTROY) FBarsUpdatePosted = false;
  if (msg == WM_PARENTNOTIFY && LOWORD(message.WParam) == WM_CREATE && IsSkinned()) HookHeader();
  if (msg == WM_NCHITTEST || msg == CM_MOUSELEAVE) SetHotSection(-2);
  if (msg == BarsUpdateMessage) {
    FBarsUpdatePosted = false;
    UpdateScrollBars();
  } else if (FollowsScrollState(msg) && (IsSkinned() || FVScrollBar || FHScrollBar)) {
    // A run of changes (columns, items, a paint) is followed once, after it.
    if (!FBarsUpdatePosted && HandleAllocated())
      FBarsUpdatePosted = PostMessageA(Handle(), BarsUpdateMessage, 0, 0) != FALSE;
  }
}

void TsCustomListView::SetHotSection(int section) {
  if (section == FHotSection) return;
  FHotSection = section;
  RepaintHeader();
}

void TsCustomListView::RepaintHeader() {
  if (HWND header = FHeaderHook.Window()) RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TsCustomListView::HeaderProc(TMessage& message) {
  HWND header = FHeaderHook.Window();
  if (!IsSkinned() || ViewStyle() != vsReport) {
    FHeaderHook.CallDefault(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT: {
      const TPaintDC dc(header, reinterpret_cast<HDC>(message.WParam));
      PaintHeader(dc.Handle());
      message.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCDESTROY:
      FHeaderTracking = false;
      FHotSection = -2;
      FPressedSection = -1;
      break;
    default:
      if (HeaderMouse(header, message)) return;
      break;
  }
  FHeaderHook.CallDefault(message);
}

bool TsCustomListView::HeaderMouse(HWND header, TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST: {
      FHeaderHook.CallDefault(message);
      POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
      ::ScreenToClient(header, &p);
      SetHotSection(HeaderSectionAt(HeaderSections(header), p.x, p.y));
      return true;
    }
    case WM_MOUSEMOVE:
      if (!FHeaderTracking) {
        // The mouse really is over the header: hear when it leaves.
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, header, 0};
        FHeaderTracking = TrackMouseEvent(&track) != FALSE;
      }
      return false;
    case WM_MOUSELEAVE:
      FHeaderTracking = false;
      FHeaderHook.CallDefault(message);
      SetHotSection(-2);
      return true;
    case WM_LBUTTONDOWN: {
      HDHITTESTINFO hit{};
      hit.pt = POINT{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
      SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      FPressedSection = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : hit.iItem;
      RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE);
      return false;
    }
    case WM_LBUTTONUP: {
      FPressedSection = -1;
      RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE);
      const std::shared_ptr<bool> alive = Alive();
      FHeaderHook.CallDefault(message);
      // A divider dragged to a new width changes the horizontal range.
      if (*alive) UpdateScrollBars();
      return true;
    }
    default:
      return false;
  }
}

void TsCustomListView::PaintHeader(HDC dc) {
  HWND header = FHeaderHook.Window();
  RECT client{};
  GetClientRect(header, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  if (!FHeaderImage) FHeaderImage = std::make_unique<TBitmap>();
  TBitmap& image = *FHeaderImage;
  image.SetPixelFormat(TPixelFormat::Bit24);
  image.SetSize(client.right, client.bottom);

  const int section = ColumnSectionIndex();
  const std::vector<TRect> sections = HeaderSections(header);
  int right = 0;
  for (const TRect& r : sections) right = std::max(right, int(r.Right));
  // Right of the last section: the buttons' colour.
  const TColor rest =
      SectionIndexValid(section) ? ActiveSkin().SkinSectionData[std::size_t(section)].Color : clBtnFace;
  {
    const TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(rest)));
    const RECT r{right, 0, client.right, client.bottom};
    FillRect(image.Canvas()->Handle(), &r, brush.Handle());
  }
  for (int i = 0; i < int(sections.size()); ++i) {
    const TRect& t = sections[std::size_t(i)];
    if (t.Right > t.Left && t.Bottom > t.Top) PaintHeaderSection(image, i, RECT{t.Left, t.Top, t.Right, t.Bottom});
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, image.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsCustomListView::PaintHeaderSection(TBitmap& image, int index, const RECT& r) {
  HWND header = FHeaderHook.Window();
  const int section = ColumnSectionIndex();
  const int state = HeaderSectionState(index, FHotSection, FPressedSection);
  // The list's cache lies below the header: where the header is in the list's window.
  RECT inList{};
  GetWindowRect(header, &inList);
  RECT list{};
  GetWindowRect(Handle(), &list);
  const POINT at{inList.left - list.left + r.left, inList.top - list.top + r.top};
  TBitmap* cache = SkinData().CacheBitmap();
  const TsCacheInfo ci = cache ? TsCacheInfo{cache, 0, 0, true} : TsCacheInfo{};
  if (SectionIndexValid(section)) {
    // Whole, then cut by the header's edge: the last section often reaches beyond it.
    const int w = r.right - r.left, h = r.bottom - r.top;
    TBitmap button;
    button.SetPixelFormat(TPixelFormat::Bit24);
    button.SetSize(w, h);
    PaintSectionByIndex(ActiveSkin(), section, ActiveSkin().SkinSectionData[std::size_t(section)].SectionName,
                        ci, &button, at, RECT{0, 0, w, h}, static_cast<TsSkinState>(state), true);
    BitBlt(image.Canvas()->Handle(), r.left, r.top, w, h, button.Canvas()->Handle(), 0, 0, SRCCOPY);
  }

  char text[256] = {};
  HDITEMA item{};
  item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  if (!SendMessageA(header, HDM_GETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item))) return;
  RECT caption{r.left + 4, r.top, r.right - 4, r.bottom};
  if (state == 2) OffsetRect(&caption, 1, 1);
  // The column's image, then the caption beside it.
  if ((item.fmt & HDF_IMAGE) && item.iImage >= 0 && SmallImages() && item.iImage < SmallImages()->Count()) {
    TImageList* images = SmallImages();
    const TSaveDC saved(image.Canvas()->Handle());
    IntersectClipRect(image.Canvas()->Handle(), r.left, r.top, r.right, r.bottom);
    images->Draw(image.Canvas(), caption.left, caption.top + (caption.bottom - caption.top - images->Height()) / 2,
                 item.iImage, Enabled());
    caption.left += images->Width() + 4;
  }
  if (!text[0]) return;
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) flags |= DT_RIGHT;
  else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) flags |= DT_CENTER;
  TCanvas* canvas = image.Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  const TSaveDC saved(canvas->Handle());
  IntersectClipRect(canvas->Handle(), r.left, r.top, r.right, r.bottom);
  DrawSkinTextByIndex(ActiveSkin(), canvas, text, Enabled(), caption, flags, section, state != 0);
}
