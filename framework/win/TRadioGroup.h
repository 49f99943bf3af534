#pragma once

#include <vector>

#include "framework/base/TStringList.h"
#include "framework/win/TGroupBox.h"

class TRadioButton;

// A group box with one radio button per item, laid out in Columns; ItemIndex is the checked one
// (-1 none) and every change of it fires OnClick.
class TRadioGroup : public TGroupBox {
public:
  explicit TRadioGroup(TComponent* owner);

  const TStringList& Items() const { return FItems; }
  void SetItems(const TStringList& items);
  void AddItem(const std::string& item);
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int value);
  int Columns() const { return FColumns; }
  void SetColumns(int value);
  TRadioButton* Buttons(int index) const { return FButtons.at(size_t(index)); }

  void Dispatch(TMessage& message) override;

protected:
  void Resize() override;

private:
  void UpdateButtons();
  void ArrangeButtons();
  void ButtonClick(TObject* sender);

  TStringList FItems;
  std::vector<TRadioButton*> FButtons;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FUpdating = false;
};
