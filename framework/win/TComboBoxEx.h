#pragma once

#include <vector>

#include "framework/win/TComboBox.h"

class TImageList;

// One item of an image combo box.
struct TComboExItem {
  std::string Caption;
  int ImageIndex = -1;
  // Steps of ten pixels the item is moved right in the list.
  int Indent = 0;
};

// A list-only combo box whose items show an image of Images before their caption.
class TComboBoxEx : public TComboBox {
public:
  explicit TComboBoxEx(TComponent* owner);

  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  int ItemsExCount() const { return int(FItemsEx.size()); }
  const TComboExItem& ItemsEx(int index) const { return FItemsEx.at(size_t(index)); }
  int AddItemEx(const TComboExItem& item);
  void ClearItemsEx();

protected:
  void DrawItem(int index, RECT rect, TOwnerDrawState state) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  static constexpr int kIndentStep = 10;
  TImageList* FImages = nullptr;
  std::vector<TComboExItem> FItemsEx;
};
