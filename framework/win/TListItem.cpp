#include "framework/win/TListItem.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/win/TListView.h"

void TListItem::Changed() {
  if (FOwner != nullptr) FOwner->ItemChanged(this);
}

void TListItem::SetCaption(const std::string& value) {
  if (value == FCaption) return;
  FCaption = value;
  Changed();
}

void TListItem::SetSubItems(const std::vector<std::string>& value) {
  FSubItems = value;
  Changed();
}

void TListItem::AddSubItem(const std::string& value) {
  FSubItems.push_back(value);
  Changed();
}

void TListItem::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  Changed();
}

bool TListItem::Selected() const { return FOwner->ItemSelectedNative(FIndex); }

void TListItem::SetSelected(bool value) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = value ? LVIS_SELECTED : 0;
  SendMessageA(FOwner->Handle(), LVM_SETITEMSTATE, WPARAM(FIndex), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Focused() const {
  return (SendMessageA(FOwner->Handle(), LVM_GETITEMSTATE, WPARAM(FIndex), LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool value) {
  LVITEMA item{};
  item.stateMask = LVIS_FOCUSED;
  item.state = value ? LVIS_FOCUSED : 0;
  SendMessageA(FOwner->Handle(), LVM_SETITEMSTATE, WPARAM(FIndex), reinterpret_cast<LPARAM>(&item));
}

void TListItem::EditCaption() {
  HWND h = FOwner->Handle();
  ::SetFocus(h);
  SendMessageA(h, LVM_EDITLABELA, WPARAM(FIndex), 0);
}
