#include "skin/windows/TsFilterComboBox.h"

TsFilterComboBox::TsFilterComboBox(TComponent* owner) : TsCustomComboBox(owner) {
  SetStyle(csDropDownList);
  BuildItems();
}

void TsFilterComboBox::SetFilter(const std::string& value) {
  if (value == FFilter) return;
  FFilter = value;
  // The items follow at once, window or not, so that GetMask answers before the box is shown.
  BuildItems();
  Change();
}

void TsFilterComboBox::BuildItems() {
  FEntries = ParseFilter(FFilter);
  ClearItems();
  for (const TFilterEntry& e : FEntries) AddItem(e.Description);
  SetItemIndex(FEntries.empty() ? -1 : 0);
}

std::string TsFilterComboBox::GetMask() {
  if (ItemIndex() < 0) SetItemIndex(Items().Count() - 1);
  return FilterMask(FEntries, ItemIndex());
}
