#pragma once

#include "framework/base/TStringList.h"
#include "framework/win/StdControlTypes.h"
#include "framework/win/TControlCanvas.h"
#include "framework/win/TWinControl.h"
#include "framework/win/TWindowHook.h"

// The native combo box in every style. Its edit child is subclassed so that keys typed into it
// reach the combo box's key events; owner-drawn styles draw through DrawItem (OnDrawItem).
class TComboBox : public TWinControl {
public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle value);
  const TStringList& Items() const { return FItems; }
  void SetItems(const TStringList& items);
  int AddItem(const std::string& item);
  // At index (clamped); a sorted list puts it in its place. Returns where it went.
  int InsertItem(int index, const std::string& item);
  void DeleteItem(int index);
  void ClearItems();
  int ItemIndex();
  void SetItemIndex(int value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  bool Sorted() const { return FItems.Sorted(); }
  void SetSorted(bool value);
  bool DroppedDown();
  void SetDroppedDown(bool value);
  void SelectAll();
  TCanvas* Canvas() { return &FCanvas; }
  // The hooked edit child, nullptr for the list-only and owner-drawn styles.
  HWND EditHandle() const { return FEditHook.Window(); }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  const TNotifyEvent& OnSelect() const { return FOnSelect; }
  void SetOnSelect(const TNotifyEvent& e) { FOnSelect = e; }
  const TNotifyEvent& OnDropDown() const { return FOnDropDown; }
  void SetOnDropDown(const TNotifyEvent& e) { FOnDropDown = e; }
  const TNotifyEvent& OnCloseUp() const { return FOnCloseUp; }
  void SetOnCloseUp(const TNotifyEvent& e) { FOnCloseUp = e; }
  const TDrawItemEvent& OnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(const TDrawItemEvent& e) { FOnDrawItem = e; }
  const TMeasureItemEvent& OnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(const TMeasureItemEvent& e) { FOnMeasureItem = e; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void SaveNativeState() override {}  // the item list and index are kept by the control itself
  void RestoreNativeState() override {}
  virtual void DrawItem(int index, RECT rect, TOwnerDrawState state);
  virtual void Change();
  virtual void Select();
  // OnDropDown, as the list is about to show.
  virtual void DropDown();
  // Sizes the list before it shows; the native size by default.
  virtual void AdjustDropDown() {}

private:
  void EditWndProc(TMessage& message);
  bool DialogKey(WORD key, LPARAM keyData);
  void DropDownNotified();

  TComboBoxStyle FStyle = csDropDown;
  TStringList FItems;
  int FItemIndex = -1;
  int FDropDownCount = 8;
  int FItemHeight = 16;
  int FMaxLength = 0;
  // A CBN_SETFOCUS or CBN_KILLFOCUS came since the last drop-down began.
  bool FFocusChanged = false;
  TWindowHook FEditHook;
  TControlCanvas FCanvas;
  TNotifyEvent FOnChange, FOnSelect, FOnDropDown, FOnCloseUp;
  TDrawItemEvent FOnDrawItem;
  TMeasureItemEvent FOnMeasureItem;
};
