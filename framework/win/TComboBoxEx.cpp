#include "framework/win/TComboBoxEx.h"

#include <algorithm>

#include "framework/win/TImageList.h"

TComboBoxEx::TComboBoxEx(TComponent* owner) : TComboBox(owner) {
  SetStyle(csOwnerDrawFixed);
  SetItemHeight(18);
}

void TComboBoxEx::SetImages(TImageList* images) {
  if (images == FImages) return;
  if (FImages != nullptr) FImages->RemoveFreeNotification(this);
  FImages = images;
  if (images != nullptr) {
    images->FreeNotification(this);
    SetItemHeight(std::max(ItemHeight(), images->Height() + 2));
  }
  Invalidate();
}

void TComboBoxEx::Notification(TComponent* component, TOperation operation) {
  TComboBox::Notification(component, operation);
  if (operation == TOperation::Remove && component == FImages) FImages = nullptr;
}

int TComboBoxEx::AddItemEx(const TComboExItem& item) {
  // Kept in step with the string items: sorting would separate them.
  SetSorted(false);
  FItemsEx.push_back(item);
  return AddItem(item.Caption);
}

void TComboBoxEx::ClearItemsEx() {
  FItemsEx.clear();
  ClearItems();
}

void TComboBoxEx::DrawItem(int index, RECT rect, TOwnerDrawState state) {
  if (OnDrawItem()) {
    TComboBox::DrawItem(index, rect, state);
    return;
  }
  TCanvas* canvas = Canvas();
  canvas->FillRect(rect);
  if (index < 0 || index >= ItemsExCount()) return;
  const TComboExItem& item = FItemsEx[size_t(index)];
  int x = rect.left + 2;
  // The edit part shows the item without its indent.
  if ((state & odComboBoxEdit) == 0) x += std::clamp(item.Indent, 0, 100) * kIndentStep;
  if (FImages != nullptr && item.ImageIndex >= 0 && item.ImageIndex < FImages->Count()) {
    FImages->Draw(canvas, x, rect.top + (rect.bottom - rect.top - FImages->Height()) / 2, item.ImageIndex,
                  (state & odDisabled) == 0);
    x += FImages->Width() + 4;
  }
  int textY = rect.top + (rect.bottom - rect.top - canvas->TextHeight("0")) / 2;
  canvas->TextOut(x, textY, item.Caption);
}
