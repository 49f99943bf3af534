#pragma once

#include <memory>
#include <vector>

#include "framework/win/StdControlTypes.h"
#include "framework/win/TListItem.h"
#include "framework/win/TWinControl.h"

class TImageList;

using TLVCompareEvent = TDelegate<void(TObject* Sender, TListItem* Item1, TListItem* Item2, intptr_t Data, int& Compare)>;
using TLVColumnClickEvent = TDelegate<void(TObject* Sender, int Column)>;
using TLVEditingEvent = TDelegate<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = TDelegate<void(TObject* Sender, TListItem* Item, std::string& S)>;
using TLVSelectItemEvent = TDelegate<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVCompare = int (*)(TListItem* Item1, TListItem* Item2, intptr_t Data);

// The native list view in icon, small icon, list and report views. The items live here and the
// native control asks for their texts and images (a virtual list), so filling and sorting cost
// no platform calls per item.
class TListView : public TWinControl {
public:
  explicit TListView(TComponent* owner);
  ~TListView() override;

  // Items.
  int ItemCount() const { return int(FItems.size()); }
  TListItem* Items(int index) const { return FItems.at(size_t(index)).get(); }
  TListItem* AddItem();
  TListItem* InsertItem(int index);
  void DeleteItem(int index);
  void ClearItems();
  void BeginUpdate();
  void EndUpdate();

  // Columns of the report view.
  int ColumnCount() const { return int(FColumns.size()); }
  const TListColumn& Columns(int index) const { return FColumns.at(size_t(index)); }
  void AddColumn(const std::string& caption, int width, int alignment = 0);
  void SetColumn(int index, const TListColumn& column);
  void ClearColumns();
  // The width the platform now shows (the user may have dragged it).
  int ColumnWidth(int index);

  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle value);
  TImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TImageList* images);
  TImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TImageList* images);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  bool ShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool value);

  // Selection.
  TListItem* Selected();
  void SetSelected(TListItem* item);
  int ItemIndex();
  void SetItemIndex(int value);
  int SelCount();
  TListItem* ItemFocused();
  void ClearSelection();
  void SelectAll();
  TListItem* GetNextSelected(TListItem* after);

  // Sorting: AlphaSort by caption, or with OnCompare; CustomSort with a function.
  bool AlphaSort();
  bool CustomSort(TLVCompare compare, intptr_t data);
  // Makes item visible, scrolling when needed.
  void MakeVisible(TListItem* item);
  TListItem* TopItem();

  const TLVCompareEvent& OnCompare() const { return FOnCompare; }
  void SetOnCompare(const TLVCompareEvent& e) { FOnCompare = e; }
  const TLVColumnClickEvent& OnColumnClick() const { return FOnColumnClick; }
  void SetOnColumnClick(const TLVColumnClickEvent& e) { FOnColumnClick = e; }
  const TLVEditingEvent& OnEditing() const { return FOnEditing; }
  void SetOnEditing(const TLVEditingEvent& e) { FOnEditing = e; }
  const TLVEditedEvent& OnEdited() const { return FOnEdited; }
  void SetOnEdited(const TLVEditedEvent& e) { FOnEdited = e; }
  const TLVSelectItemEvent& OnSelectItem() const { return FOnSelectItem; }
  void SetOnSelectItem(const TLVSelectItemEvent& e) { FOnSelectItem = e; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TListItem;
  void ItemChanged(const TListItem* item);
  void Renumber(size_t from);
  void UpdateCount();
  void ApplyColumns();
  void ApplyImages();
  void ApplyExtendedStyle();
  // Sorts with less, keeping the same items selected and focused.
  template <typename Less>
  void SortBy(Less less);
  void HandleNotify(NMHDR& header, LRESULT& result);
  void SelectionChanged(int index, bool selected);
  bool ItemSelectedNative(int index);

  std::vector<std::unique_ptr<TListItem>> FItems;
  std::vector<TListColumn> FColumns;
  std::vector<int> FSavedSelection;
  int FSavedFocus = -1;
  int FUpdateCount = 0;
  TViewStyle FViewStyle = vsIcon;
  TImageList* FSmallImages = nullptr;
  TImageList* FLargeImages = nullptr;
  bool FReadOnly = false;
  bool FRowSelect = false;
  bool FMultiSelect = false;
  bool FHideSelection = true;
  bool FShowColumnHeaders = true;
  TLVCompareEvent FOnCompare;
  TLVColumnClickEvent FOnColumnClick;
  TLVEditingEvent FOnEditing;
  TLVEditedEvent FOnEdited;
  TLVSelectItemEvent FOnSelectItem;
  TNotifyEvent FOnChange;
};
