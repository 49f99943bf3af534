#include "skin/windows/TsGridAdapter.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "framework/win/GdiScopes.h"
#include "framework/win/Messages.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TDBGrid.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinKinds.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

// The grid's window procedure while it is adapted. It belongs to the grid (freed with it), so a
// component that took the procedure over after it keeps a valid one to call: once its item lets
// go, it only passes messages on to the procedure it replaced.
class TsGridHook : public TComponent {
public:
  TsGridHook(TComponent* grid, TsGridItem* item, TWndMethod saved)
      : TComponent(grid), FGrid(static_cast<TControl*>(grid)), FItem(item), FSaved(std::move(saved)) {}
  ~TsGridHook() override {
    // Freed with the grid: the grid must not call back into a freed hook.
    if (FGrid->WindowProc() == Method()) FGrid->SetWindowProc(FSaved);
    if (FItem != nullptr) FItem->FHook = nullptr;
  }
  TWndMethod Method() { return TWndMethod(this, &TsGridHook::WndProc); }
  const TWndMethod& Saved() const { return FSaved; }
  void Detach() { FItem = nullptr; }
  void CallSaved(TMessage& message) {
    if (TWndMethod saved = FSaved) saved(message);
  }

private:
  void WndProc(TMessage& message) {
    if (FItem != nullptr) FItem->WndProc(message);
    else CallSaved(message);
  }

  TControl* FGrid;
  TsGridItem* FItem;
  TWndMethod FSaved;
};

namespace {

enum { Horz = 0, Vert = 1 };

bool SkinActive() { return SkinData().Active; }

bool HasVertical(TScrollStyle s) { return s == ssVertical || s == ssBoth; }
bool HasHorizontal(TScrollStyle s) { return s == ssHorizontal || s == ssBoth; }

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

void CopyRectFrom(HDC dc, HDC src, int x, int y, int w, int h) {
  if (w > 0 && h > 0) BitBlt(dc, x, y, w, h, src, x, y, SRCCOPY);
}

// The text colour of the skin's global section; the grid's own without one.
TColor GlobalFontColor() {
  const std::int16_t global = ActiveSkin().SkinCommonIndexes.GlobalInfo;
  if (!SectionIndexValid(global)) return clDefault;
  const TColor color = ActiveSkin().SkinSectionData[std::size_t(global)].FontColor[0];
  return color < 0 ? clDefault : TColor(ColorToRGB(color));
}

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return s;
}

}  // namespace

// ---- TsGridItem

TsGridItem::TsGridItem(TsGridAdapter* adapter)
    : FAdapter(adapter), FSkinData(std::make_unique<TsCommonData>(nullptr, TsCacheBitmap::Own)) {
  FSkinData->SetControlKind(TsControlKind::GridItem);
}

TsGridItem::~TsGridItem() { Unbind(); }

int TsGridItem::FrameWidth() const { return FGrid != nullptr && FGrid->BorderStyle() == bsSingle ? 2 : 0; }

bool TsGridItem::Visible() const {
  return FGrid != nullptr && (FGrid->IsShowing() || Designing(FGrid));
}

void TsGridItem::Bind(TDBGrid* grid) {
  if (grid == FGrid) return;
  Unbind();
  FCtrlName = grid->Name();
  // The skin object takes the grid as its control; the section stays.
  std::string section = FSkinData->SkinSection();
  if (section.empty() || section == "UNKNOWN") section = FAdapter->DefaultSection();
  FSkinData = std::make_unique<TsCommonData>(grid, TsCacheBitmap::Own);
  FSkinData->SetControlKind(TsControlKind::GridItem);
  FSkinData->SetSkinSection(section);
  FSkinData->ResolveIndexes();

  FGrid = grid;
  FHook = NewComponent<TsGridHook>(grid, this, grid->WindowProc());
  grid->SetWindowProc(FHook->Method());
  RegisterSkinPeer(grid, this);

  FFrameDirty = true;
  if (grid->HandleAllocated()) SendMessageA(grid->Handle(), WM_NCPAINT, 1, 0);
  UpdateBars();
}

void TsGridItem::Unbind() {
  if (FGrid == nullptr) return;
  TDBGrid* grid = FGrid;
  UnregisterSkinPeer(grid, this);
  const bool gridGoing = grid->IsDestroying();
  TWinControl* parent = grid->Parent();
  if (parent == nullptr || !parent->IsDestroying()) FreeBars();
  if (FHook != nullptr) {
    TsGridHook* hook = std::exchange(FHook, nullptr);
    if (grid->WindowProc() == hook->Method()) {
      grid->SetWindowProc(hook->Saved());
      hook->Detach();
      if (!gridGoing) hook->Free();
    } else {
      // Another component put its procedure over ours since and calls the hook: the hook stays
      // with the grid, passing messages on.
      hook->Detach();
    }
  }
  FGrid = nullptr;
  if (gridGoing) return;
  grid->SetFixedColor(clBtnFace);
  grid->SetFixedFontColor(clDefault);
  if (grid->HandleAllocated())
    RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void TsGridItem::Forget() {
  UnregisterSkinPeer(FGrid, this);
  if (FHook != nullptr) FHook->Detach();
  FHook = nullptr;
  FGrid = nullptr;
  FBars[0] = FBars[1] = nullptr;
}

void TsGridItem::BarGone(TComponent* bar) {
  for (TsScrollBar*& b : FBars)
    if (b == bar) b = nullptr;
}

void TsGridItem::FreeBars() {
  for (TsScrollBar*& b : FBars)
    if (TsScrollBar* bar = std::exchange(b, nullptr)) bar->Free();
}

void TsGridItem::CallSaved(TMessage& message) {
  if (FHook != nullptr) FHook->CallSaved(message);
}

void TsGridItem::SetFixedColorFromSkin() {
  if (FGrid == nullptr) return;
  const TColor color = GlobalSectionColor();
  if (FGrid->FixedColor() != color) FGrid->SetFixedColor(color);
  // The titles' text in the skin's text colour, readable on the skin's colour.
  FGrid->SetFixedFontColor(GlobalFontColor());
}

// After the skin went: the grid's own look again.
void TsGridItem::RefreshAfterSkin() {
  FreeBars();
  if (FGrid == nullptr || FGrid->IsDestroying()) return;
  FFrameDirty = true;
  FGrid->SetFixedColor(clBtnFace);
  FGrid->SetFixedFontColor(clDefault);
  if (FGrid->HandleAllocated())
    RedrawWindow(FGrid->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

TsCacheInfo TsGridItem::SkinCache() {
  return EmptyCacheInfo;
}

void TsGridItem::SkinRefresh(const TsRefresh& refresh) {
  Refresh(&refresh);
}

void TsGridItem::Refresh(const TsRefresh* refresh) {
  if (FGrid == nullptr || !SkinActive() || !FSkinData->HasSkin()) return;
  FFrameDirty = true;
  // A form the refresh invalidates whole gets its children's frames invalidated with it: the
  // frame is painted once, with the client (or when the form shows, if it is hidden).
  if (FGrid->HandleAllocated() && !(refresh && refresh->InvalidatesWhole(FGrid))) {
    SendMessageA(FGrid->Handle(), WM_NCPAINT, 1, 0);
    FGrid->Invalidate();
  }
  UpdateBars();
}

void TsGridItem::SkinCommand(::SkinCommand command) {
  if (FGrid == nullptr) return;
  const bool skinned = SkinActive() && FSkinData->HasSkin();
  switch (command) {
    case SkinCommand::NewSkin:
      FFrameDirty = true;
      FSkinData->ResolveIndexes();
      break;
    case SkinCommand::RemoveSkin:
      RefreshAfterSkin();
      break;
    case SkinCommand::Refresh:
      Refresh(nullptr);
      break;
    case SkinCommand::Repaint:
      if (skinned && Visible() && FGrid->HandleAllocated()) SendMessageA(FGrid->Handle(), WM_NCPAINT, 1, 0);
      break;
    default:
      break;
  }
}

void TsGridItem::WndProc(TMessage& message) {
  // The item may be unbound by what a message does: keep what is needed on the stack.
  TDBGrid* grid = FGrid;
  if (grid == nullptr) return;
  if (DispatchSkinMessage(*this, message)) return;
  const bool skinned = SkinActive() && FSkinData->HasSkin();
  if (!skinned) {
    CallSaved(message);
    return;
  }
  HandleSkinned(grid, message);
}

void TsGridItem::HandleSkinned(TDBGrid* grid, TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      if (Visible()) FFrameDirty = true;
      CallSaved(message);
      if (FGrid == grid && Visible()) UpdateBars();
      return;
    case WM_WINDOWPOSCHANGED:
    case WM_EXITSIZEMOVE:
      FFrameDirty = true;
      CallSaved(message);
      if (FGrid == grid) UpdateBars();
      return;
    case WM_ENABLE:
      CallSaved(message);
      if (FGrid != grid) return;
      grid->Invalidate();
      UpdateBars();
      return;
    case CM_SHOWINGCHANGED:
      CallSaved(message);
      if (FGrid == grid) UpdateBars();
      return;
    case WM_PAINT:
      CallSaved(message);
      if (FGrid == grid && !FSkinData->Updating()) UpdateBars();
      return;
    case WM_NCPAINT:
      CallSaved(message);
      if (FGrid == grid && !FSkinData->Updating() && Visible()) PaintFrame();
      return;
    case WM_HSCROLL:
    case WM_VSCROLL: {
      const bool was = std::exchange(FUpdating, true);
      CallSaved(message);
      FUpdating = was;
      if (FGrid == grid && message.Msg == WM_VSCROLL) UpdateBars();
      return;
    }
    case WM_LBUTTONDOWN:
      CallSaved(message);
      FButtonDown = true;
      return;
    case WM_LBUTTONUP:
      CallSaved(message);
      if (FGrid == grid && std::exchange(FButtonDown, false)) UpdateBars();
      return;
    default:
      CallSaved(message);
      return;
  }
}

// The frame is painted at the window's place and size as the platform has them: a WM_NCPAINT
// within a resize comes before the grid's bounds hear of the new size, and a frame of the old size
// would leave the new edges unpainted.
void TsGridItem::PaintFrame() {
  if (!FGrid->HandleAllocated()) return;
  RECT r;
  GetWindowRect(FGrid->Handle(), &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  TBitmap* cache = FSkinData->CacheBitmap();
  if (FFrameDirty || cache == nullptr || cache->Width() != w || cache->Height() != h) {
    POINT at{r.left, r.top};
    if (TWinControl* parent = FGrid->Parent(); parent != nullptr && parent->HandleAllocated())
      ScreenToClient(parent->Handle(), &at);
    else
      at = POINT{FGrid->Left(), FGrid->Top()};
    FSkinData->PrepareCache();
    cache = FSkinData->CacheBitmap();
    if (cache->Width() != w || cache->Height() != h) cache->SetSize(w, h);
    TsCacheInfo ci;
    QueryParentCache(FSkinData.get(), ci);
    PaintSectionByData(ActiveSkin(), FSkinData.get(), ci, true, cache, at, RECT{0, 0, w, h},
                       TsSkinState::Normal);
    FFrameDirty = false;
  }
  SetFixedColorFromSkin();
  const TWindowDC dc(FGrid->Handle(), TWindowDC::Whole);
  HDC src = cache->Canvas()->Handle();
  const int f = FrameWidth();
  const bool both = FBars[Horz] != nullptr && FBars[Horz]->Visible() && FBars[Vert] != nullptr && FBars[Vert]->Visible();
  if (f > 0) {
    CopyRectFrom(dc.Handle(), src, 0, 0, w, f);              // top
    CopyRectFrom(dc.Handle(), src, 0, f, f, h - f);          // left
    CopyRectFrom(dc.Handle(), src, f, h - f, w - 2 * f, f);  // bottom
    CopyRectFrom(dc.Handle(), src, w - f, f, f, h - f);      // right
  }
  if (both) {
    // The square between the two bars.
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    BitBlt(dc.Handle(), w - f - cx, h - f - cy, cx, cy, src, w - f - cx, h - f - cy, SRCCOPY);
  }
}

TGridRecordView TsGridItem::RecordView() const {
  TGridRecordView v;
  TClientDataSet* table = FGrid->DataSet();
  v.RecordCount = FGrid->RowCount();
  v.RecNo = v.RecordCount > 0 ? table->RecNo() : 0;
  v.Bof = v.RecordCount == 0 || table->Bof();
  v.Eof = v.RecordCount == 0 || table->Eof();
  v.VisibleRows = FGrid->VisibleRowCount();
  // The record table numbers its records in every order.
  v.RecordNumbers = true;
  return v;
}

TsScrollBar* TsGridItem::NeedBar(int which) {
  if (FBars[which] != nullptr) return FBars[which];
  auto* bar = NewComponent<TsScrollBar>(nullptr);
  bar->SetVisible(false);
  bar->SetTabStop(false);
  bar->SetKind(which == Vert ? sbVertical : sbHorizontal);
  bar->SetLinkedControl(FGrid);
  bar->SetOnScroll(which == Vert ? TScrollEvent(this, &TsGridItem::VertScroll)
                                 : TScrollEvent(this, &TsGridItem::HorzScroll));
  bar->FreeNotification(FAdapter);
  bar->SetParent(FGrid->Parent());
  FBars[which] = bar;
  return bar;
}

bool TsGridItem::PlaceBar(int which, bool wanted, const TGridBarParams& p, const RECT& r) {
  if (!wanted) {
    if (FBars[which] != nullptr && FBars[which]->Visible()) FBars[which]->SetVisible(false);
    return false;
  }
  TsScrollBar* bar = NeedBar(which);
  bar->SetEventsSuspended(true);
  bar->SetParams(p.Position, p.Min, p.Max);
  bar->SetPageSize(p.Page);
  bar->SetSmallChange(1);
  bar->SetLargeChange(p.Page);
  bar->SetEventsSuspended(false);
  if (bar->Left() != r.left || bar->Top() != r.top || bar->Width() != r.right - r.left ||
      bar->Height() != r.bottom - r.top)
    bar->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (bar->Enabled() != FGrid->Enabled()) bar->SetEnabled(FGrid->Enabled());
  if (bar->Visible()) return false;
  bar->SetVisible(true);
  bar->BringToFront();
  return true;
}

void TsGridItem::UpdateBars() {
  if (FGrid == nullptr || FUpdating) return;
  TWinControl* parent = FGrid->Parent();
  const bool shown = SkinActive() && FSkinData->HasSkin() && parent != nullptr && FGrid->IsShowing() &&
                     FGrid->HandleAllocated();
  if (!shown) {
    if (Designing(FGrid)) FreeBars();
    for (TsScrollBar* bar : FBars)
      if (bar != nullptr && bar->Visible()) bar->SetVisible(false);
    return;
  }
  if (FBars[0] != nullptr && FBars[0]->Parent() != parent) FreeBars();
  if (FBars[1] != nullptr && FBars[1]->Parent() != parent) FreeBars();
  const TScrollStyle style = FGrid->ScrollBars();
  const int visibleRows = FGrid->VisibleRowCount();
  const bool vert = HasVertical(style) && GridBarWanted(FGrid->RowCount(), 0, visibleRows);
  const int visibleCols = FGrid->VisibleColCount();
  const bool horz = HasHorizontal(style) && (GridBarWanted(FGrid->ColumnCount(), 0, visibleCols) || FGrid->LeftCol() > 0);
  const int f = FrameWidth();
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const int left = FGrid->Left(), top = FGrid->Top(), w = FGrid->Width(), h = FGrid->Height();

  TGridBarParams vp;
  if (vert) {
    if (FGrid->DataSet() != nullptr && FGrid->DataSet()->Active()) vp = RecordBarParams(RecordView());
    else vp = LineBarParams(1, FGrid->RowCount(), visibleRows, FGrid->TopRow());
  }
  bool shownNow = PlaceBar(Vert, vert, vp, RECT{left + w - f - cx, top + f, left + w - f, top + h - f - (horz ? cy : 0)});
  TGridBarParams hp;
  if (horz) hp = LineBarParams(0, FGrid->ColumnCount() - 1, 1, FGrid->LeftCol());
  shownNow |= PlaceBar(Horz, horz, hp, RECT{left + f, top + h - f - cy, left + w - f - (vert ? cx : 0), top + h - f});
  // A bar that came leaves the native square between the bars, or the native bar's ends, to us.
  if (shownNow && !FSkinData->Updating()) PaintFrame();
}

void TsGridItem::VertScroll(TObject*, TScrollCode code, int& position) {
  if (FGrid == nullptr || FUpdating || code == scEndScroll) return;
  TDBGrid* grid = FGrid;
  TClientDataSet* table = grid->DataSet();
  FUpdating = true;
  try {
    if (table != nullptr && table->Active()) {
      const TGridRecordView view = RecordView();
      const TsScrollBar* bar = FBars[Vert];
      const TGridBarParams shown{bar->Min(), bar->Max(), bar->PageSize(), bar->Position()};
      const TGridMove move = RecordMoveForBar(view, shown, position);
      switch (move.Kind) {
        case TGridMoveKind::First: table->First(); break;
        case TGridMoveKind::Last: table->Last(); break;
        case TGridMoveKind::GoTo: table->SetRecNo(move.Value); break;
        case TGridMoveKind::MoveBy: table->MoveBy(move.Value); break;
        case TGridMoveKind::None: break;
      }
    } else {
      grid->SetTopRow(position);
    }
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
  if (FGrid == grid) UpdateBars();
}

void TsGridItem::HorzScroll(TObject*, TScrollCode code, int& position) {
  if (FGrid == nullptr || FUpdating || code == scEndScroll) return;
  TDBGrid* grid = FGrid;
  FUpdating = true;
  grid->SetLeftCol(position);
  FUpdating = false;
  if (FGrid == grid) UpdateBars();
}

// ---- TsGridItems

TsGridItem* TsGridItems::Add() {
  FItems.push_back(std::make_unique<TsGridItem>(FAdapter));
  return FItems.back().get();
}

void TsGridItems::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  // Out of the list first: unbinding may send messages that look the item up.
  std::unique_ptr<TsGridItem> item = std::move(FItems[std::size_t(index)]);
  FItems.erase(FItems.begin() + index);
  item.reset();
}

// ---- TsGridAdapter

TsGridAdapter::TsGridAdapter(TComponent* owner) : TsCtrlAdapter(owner), FControls(this) {
  SetDefaultSection("EDIT");
}

TsGridAdapter::~TsGridAdapter() {
  while (FControls.Count() > 0) FControls.Delete(0);
}

bool TsGridAdapter::Adapts(TComponent* component) const { return dynamic_cast<TDBGrid*>(component) != nullptr; }

void TsGridAdapter::BindItem(int index, TControl* control) {
  auto* grid = dynamic_cast<TDBGrid*>(control);
  if (grid == nullptr || index < 0 || index >= Count()) return;
  // A grid of this class needs support of its own, which is not built in.
  if (Upper(grid->ClassName()) == "TDBGRIDEH") return;
  if (IndexOfGrid(grid) >= 0 && IndexOfGrid(grid) != index) return;
  if (FControls.Items(index)->Grid() != grid && AskControl(grid, SkinCommand::IsSkinned)) return;
  TsGridItem* item = FControls.Items(index);
  item->SetFrameDirty();
  item->Bind(grid);
}

void* TsGridAdapter::GetItem(int index) {
  return index >= 0 && index < Count() ? FControls.Items(index) : nullptr;
}

TsCommonData* TsGridAdapter::ItemSkinData(int index) {
  return index >= 0 && index < Count() ? FControls.Items(index)->SkinData() : nullptr;
}

int TsGridAdapter::IndexOf(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (Upper(FControls.Items(i)->CtrlName()) == Upper(name)) return i;
  return -1;
}

int TsGridAdapter::IndexOfGrid(const TControl* grid) const {
  for (int i = 0; i < Count(); ++i)
    if (FControls.Items(i)->Grid() == grid) return i;
  return -1;
}

std::string TsGridAdapter::ItemControlName(int index) const { return FControls.Items(index)->CtrlName(); }

int TsGridAdapter::IndexOfRemoved(TComponent* component) const {
  // Compared as components: a grid freed by a plain delete is no longer a control here.
  for (int i = 0; i < Count(); ++i)
    if (FControls.Items(i)->Grid() != nullptr && static_cast<TComponent*>(FControls.Items(i)->Grid()) == component)
      return i;
  return -1;
}

void TsGridAdapter::ForgetRemoved(TComponent* component) {
  for (int i = 0; i < Count(); ++i) {
    TsGridItem* item = FControls.Items(i);
    if (item->Grid() != nullptr && static_cast<TComponent*>(item->Grid()) == component) item->Forget();
    item->BarGone(component);
  }
}

void TsGridAdapter::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::Remove)
    for (int i = 0; i < Count(); ++i) FControls.Items(i)->BarGone(component);
  TsCtrlAdapter::Notification(component, operation);
}

void TsGridAdapter::AddControl(TControl* control) {
  if (control == nullptr || IndexOfGrid(control) >= 0 || AskControl(control, SkinCommand::IsSkinned)) return;
  AddItem(control, DefaultSection());
}

void TsGridAdapter::AddItem(TControl* control, const std::string& section) {
  auto* grid = dynamic_cast<TDBGrid*>(control);
  if (grid == nullptr || IndexOfGrid(grid) >= 0 || AskControl(grid, SkinCommand::IsSkinned)) return;
  if (Upper(grid->ClassName()) == "TDBGRIDEH") return;
  TsGridItem* item = FControls.Add();
  item->SkinData()->SetSkinSection(section.empty() ? DefaultSection() : section);
  BindItem(Count() - 1, grid);
}

void TsGridAdapter::RemoveItem(int index) { FControls.Delete(index); }
