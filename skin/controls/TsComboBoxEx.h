#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "skin/controls/TsCommonCombo.h"

class TImageList;

// One item of an image combo: its caption, images and indentation in the list (steps of 16 pixels).
struct TsComboItem {
  std::string Caption;
  int ImageIndex = -1;
  int SelectedImageIndex = -1;
  int OverlayImageIndex = -1;
  int Indend = -1;
  // The caption when there is one.
  std::string DisplayName() const { return Caption; }
};

// The items of an image combo. Until the combo's first window is made each item added also adds its
// caption to the shown strings (so an item index can be set before); afterwards the two lists are
// independent (a caption and the shown text may differ).
class TsComboItems {
public:
  using TAdded = std::function<void(const std::string& caption)>;
  explicit TsComboItems(TAdded added = {}) : FAdded(std::move(added)) {}
  // Items added from now on no longer reach the shown strings.
  void Detach() { FAdded = nullptr; }

  int Count() const { return int(FItems.size()); }
  TsComboItem& Add();
  TsComboItem& Add(const TsComboItem& item);
  // Throws EStringListError for an index outside the collection.
  TsComboItem& Items(int index);
  const TsComboItem& Items(int index) const;
  // nullptr for an index outside the collection.
  const TsComboItem* Find(int index) const;
  void Clear() { FItems.clear(); }
  void Delete(int index);

private:
  std::vector<TsComboItem> FItems;
  TAdded FAdded;
};

// A list-only combo whose items show an image of Images before their caption. Skinned, its face and
// list are drawn from the skin; unskinned, by its own owner-draw painters.
class TsCustomComboBoxEx : public TsCommonComboBox {
public:
  explicit TsCustomComboBoxEx(TComponent* owner);
  ~TsCustomComboBoxEx() override;

  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  TsComboItems& ItemsEx() { return FItemsEx; }

  // Where the item's image goes: vertically centred in the control (or in a list item of the given
  // top and bottom), shifted right by Indend x 16 in the list; empty without Images.
  RECT ImageRect(const TsComboItem* item, bool listItem) const;

protected:
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void DrawItem(int index, RECT rect, TOwnerDrawState state) override;
  int PaintFaceImage(TCanvas* canvas, int index) override;
  void DrawSkinnedItem(TMessage& message) override;

private:
  void ImagesChanged(TObject* sender);
  void DrawImage(TCanvas* canvas, const TsComboItem& item, const RECT& r, bool selected, bool face);

  TImageList* FImages = nullptr;
  TsComboItems FItemsEx{[this](const std::string& caption) { AddItem(caption); }};
};

class TsComboBoxEx : public TsCustomComboBoxEx {
public:
  using TsCustomComboBoxEx::TsCustomComboBoxEx;
};
