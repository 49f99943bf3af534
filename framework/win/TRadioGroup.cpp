#include "framework/win/TRadioGroup.h"

#include <algorithm>

#include "framework/win/TRadioButton.h"

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner) {
  SetControlStyle(ControlStyle() & ~csAcceptsControls);
}

void TRadioGroup::SetItems(const TStringList& items) {
  FItems = items;
  if (FItemIndex >= FItems.Count()) FItemIndex = -1;
  UpdateButtons();
}

void TRadioGroup::AddItem(const std::string& item) {
  FItems.Add(item);
  UpdateButtons();
}

void TRadioGroup::SetItemIndex(int value) {
  if (value < -1 || value >= FItems.Count()) value = -1;
  if (value == FItemIndex) return;
  FItemIndex = value;
  FUpdating = true;
  if (value >= 0) {
    FButtons[size_t(value)]->SetChecked(true);
  } else {
    for (TRadioButton* b : FButtons) b->SetChecked(false);
  }
  FUpdating = false;
  Click();
}

void TRadioGroup::SetColumns(int value) {
  value = std::clamp(value, 1, 16);
  if (value == FColumns) return;
  FColumns = value;
  ArrangeButtons();
}

void TRadioGroup::UpdateButtons() {
  FUpdating = true;
  while (int(FButtons.size()) > FItems.Count()) {
    FButtons.back()->Free();
    FButtons.pop_back();
  }
  while (int(FButtons.size()) < FItems.Count()) {
    auto* b = NewComponent<TRadioButton>(this);
    b->SetOnClick(TNotifyEvent(this, &TRadioGroup::ButtonClick));
    b->SetParent(this);
    FButtons.push_back(b);
  }
  for (size_t i = 0; i < FButtons.size(); ++i) {
    FButtons[i]->SetCaption(FItems[int(i)]);
    FButtons[i]->SetChecked(int(i) == FItemIndex);
  }
  FUpdating = false;
  ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
  if (FButtons.empty()) return;
  RECT r = ClientRect();
  AdjustClientRect(r);
  int rows = (int(FButtons.size()) + FColumns - 1) / FColumns;
  int columnWidth = (r.right - r.left - 8) / FColumns;
  int rowHeight = std::max(1, int(r.bottom - r.top) / rows);
  int buttonHeight = std::min(rowHeight, CaptionHeight() + 4);
  for (size_t i = 0; i < FButtons.size(); ++i) {
    int column = int(i) / rows, row = int(i) % rows;
    int top = r.top + row * rowHeight + (rowHeight - buttonHeight) / 2;
    FButtons[i]->SetBounds(r.left + 8 + column * columnWidth, top, columnWidth, buttonHeight);
  }
}

void TRadioGroup::Resize() {
  ArrangeButtons();
  TGroupBox::Resize();
}

void TRadioGroup::ButtonClick(TObject* sender) {
  if (FUpdating) return;
  auto it = std::find(FButtons.begin(), FButtons.end(), sender);
  if (it == FButtons.end()) return;
  FItemIndex = int(it - FButtons.begin());
  Click();
}

void TRadioGroup::Dispatch(TMessage& message) {
  if (message.Msg == CM_FONTCHANGED || message.Msg == CM_TEXTCHANGED) {
    TGroupBox::Dispatch(message);
    ArrangeButtons();
    return;
  }
  TGroupBox::Dispatch(message);
}
