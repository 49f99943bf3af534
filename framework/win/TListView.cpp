#include "framework/win/TListView.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/win/TImageList.h"

namespace {

UINT ViewStyleBits(TViewStyle style) {
  switch (style) {
    case vsSmallIcon: return LVS_SMALLICON;
    case vsList: return LVS_LIST;
    case vsReport: return LVS_REPORT;
    default: return LVS_ICON;
  }
}

}  // namespace

TListView::TListView(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csCaptureMouse | csClickEvents | csDoubleClicks);
  SetTabStop(true);
  SetBounds(0, 0, 250, 150);
}

TListView::~TListView() = default;

void TListView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, WC_LISTVIEWA);
  params.Style |= LVS_OWNERDATA | LVS_SHAREIMAGELISTS | ViewStyleBits(FViewStyle);
  params.ExStyle |= WS_EX_CLIENTEDGE;
  if (!FReadOnly) params.Style |= LVS_EDITLABELS;
  if (!FMultiSelect) params.Style |= LVS_SINGLESEL;
  if (!FHideSelection) params.Style |= LVS_SHOWSELALWAYS;
  if (!FShowColumnHeaders) params.Style |= LVS_NOCOLUMNHEADER;
  params.Style |= LVS_AUTOARRANGE;
}

void TListView::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyExtendedStyle();
  ApplyColumns();
  ApplyImages();
  UpdateCount();
  HWND h = Handle();
  for (int index : FSavedSelection) {
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageA(h, LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&item));
  }
  if (FSavedFocus >= 0 && FSavedFocus < ItemCount()) Items(FSavedFocus)->SetFocused(true);
  FSavedSelection.clear();
  FSavedFocus = -1;
}

void TListView::DestroyWnd() {
  FSavedSelection.clear();
  for (TListItem* item = GetNextSelected(nullptr); item != nullptr; item = GetNextSelected(item))
    FSavedSelection.push_back(item->Index());
  TListItem* focused = ItemFocused();
  FSavedFocus = focused != nullptr ? focused->Index() : -1;
  for (size_t i = 0; i < FColumns.size(); ++i) FColumns[i].Width = ColumnWidth(int(i));
  TWinControl::DestroyWnd();
}

void TListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FSmallImages) SetSmallImages(nullptr);
  if (component == FLargeImages) SetLargeImages(nullptr);
}

void TListView::ApplyExtendedStyle() {
  if (!HandleAllocated()) return;
  DWORD ex = FRowSelect ? LVS_EX_FULLROWSELECT : 0;
  SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, ex);
}

void TListView::ApplyColumns() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  while (SendMessageA(h, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (size_t i = 0; i < FColumns.size(); ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = FColumns[i].Alignment == 1 ? LVCFMT_RIGHT : FColumns[i].Alignment == 2 ? LVCFMT_CENTER : LVCFMT_LEFT;
    column.cx = FColumns[i].Width;
    column.pszText = const_cast<char*>(FColumns[i].Caption.c_str());
    column.iSubItem = int(i);
    if (FColumns[i].ImageIndex >= 0) {
      column.mask |= LVCF_IMAGE;
      column.fmt |= LVCFMT_IMAGE;
      column.iImage = FColumns[i].ImageIndex;
    }
    SendMessageA(h, LVM_INSERTCOLUMNA, WPARAM(i), reinterpret_cast<LPARAM>(&column));
  }
}

void TListView::ApplyImages() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessageA(h, LVM_SETIMAGELIST, LVSIL_SMALL,
               reinterpret_cast<LPARAM>(FSmallImages != nullptr ? FSmallImages->Handle() : nullptr));
  SendMessageA(h, LVM_SETIMAGELIST, LVSIL_NORMAL,
               reinterpret_cast<LPARAM>(FLargeImages != nullptr ? FLargeImages->Handle() : nullptr));
}

void TListView::UpdateCount() {
  if (!HandleAllocated() || FUpdateCount > 0) return;
  SendMessageA(Handle(), LVM_SETITEMCOUNT, WPARAM(FItems.size()), LVSICF_NOSCROLL);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TListView::Renumber(size_t from) {
  for (size_t i = from; i < FItems.size(); ++i) FItems[i]->FIndex = int(i);
}

void TListView::ItemChanged(const TListItem* item) {
  if (!HandleAllocated() || FUpdateCount > 0) return;
  SendMessageA(Handle(), LVM_REDRAWITEMS, WPARAM(item->Index()), LPARAM(item->Index()));
}

TListItem* TListView::AddItem() { return InsertItem(ItemCount()); }

TListItem* TListView::InsertItem(int index) {
  index = std::clamp(index, 0, ItemCount());
  FItems.insert(FItems.begin() + index, std::make_unique<TListItem>(this, index));
  Renumber(size_t(index));
  UpdateCount();
  return FItems[size_t(index)].get();
}

void TListView::DeleteItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  // The native list moves the selection states of the later rows up by itself.
  if (HandleAllocated()) SendMessageA(Handle(), LVM_DELETEITEM, WPARAM(index), 0);
  FItems.erase(FItems.begin() + index);
  Renumber(size_t(index));
  UpdateCount();
}

void TListView::ClearItems() {
  if (HandleAllocated()) SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
  FItems.clear();
  UpdateCount();
}

void TListView::BeginUpdate() {
  if (FUpdateCount++ == 0 && HandleAllocated()) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0) return;
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
  UpdateCount();
}

void TListView::AddColumn(const std::string& caption, int width, int alignment) {
  FColumns.push_back(TListColumn{caption, width, alignment});
  ApplyColumns();
}

void TListView::SetColumn(int index, const TListColumn& column) {
  FColumns.at(size_t(index)) = column;
  ApplyColumns();
}

void TListView::ClearColumns() {
  FColumns.clear();
  ApplyColumns();
}

int TListView::ColumnWidth(int index) {
  if (index < 0 || index >= ColumnCount()) return 0;
  if (!HandleAllocated()) return FColumns[size_t(index)].Width;
  return int(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, WPARAM(index), 0));
}

void TListView::SetViewStyle(TViewStyle value) {
  if (value == FViewStyle) return;
  FViewStyle = value;
  if (HandleAllocated()) {
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE, (style & ~LONG_PTR(LVS_TYPEMASK)) | ViewStyleBits(value));
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TListView::SetSmallImages(TImageList* images) {
  if (images == FSmallImages) return;
  if (FSmallImages != nullptr) FSmallImages->RemoveFreeNotification(this);
  FSmallImages = images;
  if (images != nullptr) images->FreeNotification(this);
  ApplyImages();
}

void TListView::SetLargeImages(TImageList* images) {
  if (images == FLargeImages) return;
  if (FLargeImages != nullptr) FLargeImages->RemoveFreeNotification(this);
  FLargeImages = images;
  if (images != nullptr) images->FreeNotification(this);
  ApplyImages();
}

void TListView::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  RecreateWnd();
}

void TListView::SetRowSelect(bool value) {
  if (value == FRowSelect) return;
  FRowSelect = value;
  ApplyExtendedStyle();
}

void TListView::SetMultiSelect(bool value) {
  if (value == FMultiSelect) return;
  FMultiSelect = value;
  RecreateWnd();
}

void TListView::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  RecreateWnd();
}

void TListView::SetShowColumnHeaders(bool value) {
  if (value == FShowColumnHeaders) return;
  FShowColumnHeaders = value;
  RecreateWnd();
}

bool TListView::ItemSelectedNative(int index) {
  return (SendMessageA(Handle(), LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

TListItem* TListView::GetNextSelected(TListItem* after) {
  if (!HandleAllocated()) return nullptr;
  int start = after != nullptr ? after->Index() : -1;
  int index = int(SendMessageA(Handle(), LVM_GETNEXTITEM, WPARAM(start), MAKELPARAM(LVNI_SELECTED, 0)));
  return index >= 0 && index < ItemCount() ? Items(index) : nullptr;
}

TListItem* TListView::Selected() { return GetNextSelected(nullptr); }

void TListView::SetSelected(TListItem* item) {
  ClearSelection();
  if (item == nullptr) return;
  item->SetSelected(true);
  item->SetFocused(true);
}

int TListView::ItemIndex() {
  TListItem* item = Selected();
  return item != nullptr ? item->Index() : -1;
}

void TListView::SetItemIndex(int value) {
  SetSelected(value >= 0 && value < ItemCount() ? Items(value) : nullptr);
}

int TListView::SelCount() {
  return HandleAllocated() ? int(SendMessageA(Handle(), LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

TListItem* TListView::ItemFocused() {
  if (!HandleAllocated()) return nullptr;
  int index = int(SendMessageA(Handle(), LVM_GETNEXTITEM, WPARAM(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
  return index >= 0 && index < ItemCount() ? Items(index) : nullptr;
}

void TListView::ClearSelection() {
  if (!HandleAllocated()) return;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  SendMessageA(Handle(), LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&item));
}

void TListView::SelectAll() {
  if (!HandleAllocated() || !FMultiSelect) return;
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED;
  SendMessageA(Handle(), LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&item));
}

template <typename Less>
void TListView::SortBy(Less less) {
  std::vector<TListItem*> selected;
  TListItem* focused = nullptr;
  if (HandleAllocated()) {
    for (TListItem* item = GetNextSelected(nullptr); item != nullptr; item = GetNextSelected(item))
      selected.push_back(item);
    focused = ItemFocused();
    ClearSelection();
  }
  std::stable_sort(FItems.begin(), FItems.end(), [&](const auto& a, const auto& b) { return less(a.get(), b.get()); });
  Renumber(0);
  if (!HandleAllocated()) return;
  for (TListItem* item : selected) item->SetSelected(true);
  if (focused != nullptr) focused->SetFocused(true);
  InvalidateRect(Handle(), nullptr, TRUE);
}

bool TListView::AlphaSort() {
  if (FOnCompare) {
    SortBy([this](TListItem* a, TListItem* b) {
      int compare = 0;
      FOnCompare(this, a, b, 0, compare);
      return compare < 0;
    });
  } else {
    SortBy([](TListItem* a, TListItem* b) { return lstrcmpiA(a->Caption().c_str(), b->Caption().c_str()) < 0; });
  }
  return true;
}

bool TListView::CustomSort(TLVCompare compare, intptr_t data) {
  if (compare == nullptr) return AlphaSort();
  SortBy([compare, data](TListItem* a, TListItem* b) { return compare(a, b, data) < 0; });
  return true;
}

void TListView::MakeVisible(TListItem* item) {
  if (item != nullptr && HandleAllocated()) SendMessageA(Handle(), LVM_ENSUREVISIBLE, WPARAM(item->Index()), FALSE);
}

TListItem* TListView::TopItem() {
  if (!HandleAllocated()) return nullptr;
  int index = int(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0));
  return index >= 0 && index < ItemCount() ? Items(index) : nullptr;
}

void TListView::SelectionChanged(int index, bool selected) {
  if (FOnSelectItem) FOnSelectItem(this, index >= 0 && index < ItemCount() ? Items(index) : nullptr, selected);
  if (FOnChange) FOnChange(this);
}

void TListView::HandleNotify(NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case LVN_GETDISPINFOA: {
      LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
      if (item.iItem < 0 || item.iItem >= ItemCount()) return;
      const TListItem& source = *FItems[size_t(item.iItem)];
      if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
        const std::string* text = nullptr;
        if (item.iSubItem == 0) text = &source.FCaption;
        else if (size_t(item.iSubItem - 1) < source.FSubItems.size()) text = &source.FSubItems[size_t(item.iSubItem - 1)];
        lstrcpynA(item.pszText, text != nullptr ? text->c_str() : "", item.cchTextMax);
      }
      if (item.mask & LVIF_IMAGE) item.iImage = source.FImageIndex;
      return;
    }
    case LVN_ITEMCHANGED: {
      auto& change = reinterpret_cast<NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
        SelectionChanged(change.iItem, (change.uNewState & LVIS_SELECTED) != 0);
      return;
    }
    case LVN_ODSTATECHANGED: {
      auto& change = reinterpret_cast<NMLVODSTATECHANGE&>(header);
      if ((change.uOldState ^ change.uNewState) & LVIS_SELECTED)
        SelectionChanged(change.iFrom, (change.uNewState & LVIS_SELECTED) != 0);
      return;
    }
    case LVN_COLUMNCLICK:
      if (FOnColumnClick) FOnColumnClick(this, reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
      return;
    case LVN_BEGINLABELEDITA: {
      int index = reinterpret_cast<NMLVDISPINFOA&>(header).item.iItem;
      bool allow = !FReadOnly && index >= 0 && index < ItemCount();
      if (allow && FOnEditing) FOnEditing(this, Items(index), allow);
      result = allow ? FALSE : TRUE;
      return;
    }
    case LVN_ENDLABELEDITA: {
      LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
      // No text: the edit was cancelled.
      if (item.pszText == nullptr || item.iItem < 0 || item.iItem >= ItemCount()) return;
      std::string text = item.pszText;
      TListItem* target = Items(item.iItem);
      if (FOnEdited) FOnEdited(this, target, text);
      target->SetCaption(text);
      result = TRUE;
      return;
    }
    case NM_DBLCLK:
      DblClick();
      return;
    case NM_CLICK:
      Click();
      return;
    default:
      return;
  }
}

void TListView::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_NOTIFY:
      if (message.LParam != 0) HandleNotify(*reinterpret_cast<NMHDR*>(message.LParam), message.Result);
      return;
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
      // Clicks come as notifications; the native control keeps the mouse until the button goes up.
      DefaultHandler(message);
      return;
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
