#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/TComponent.h"

class TBitmap;
class TCanvas;
class TMenu;

// A key with its shift state: the virtual key in the low byte, scShift, scCtrl and scAlt above.
using TShortCut = uint16_t;
constexpr TShortCut scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+S", "Shift+Alt+F4", "Del"; "" for none.
std::string ShortCutToText(TShortCut shortCut);

using TMenuMeasureItemEvent = TDelegate<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = TDelegate<void(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TDelegate<void(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State)>;

// One entry of a menu, and the sub-menu of its own items. Every change tells the menu it belongs
// to, which rebuilds its platform menu and sends CM_MENUCHANGED to its window; turning an item on
// or off changes the built menu in place.
class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  void BeforeDestruction() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut shortCut);
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  uint8_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(uint8_t index);
  // Checking a radio item unchecks the other radio items of its group.
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool radio);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  TBitmap* Bitmap();
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }
  bool IsLine() const { return FCaption == "-"; }

  // The item tree.
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return FParent; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Delete(int index) { Remove(Items(index)); }
  // Frees every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  int MenuIndex() const { return FParent != nullptr ? FParent->IndexOf(this) : -1; }
  TMenuItem* Find(const std::string& caption) const;
  TMenu* GetParentMenu() const;

  // The platform's id for this item in WM_COMMAND.
  UINT Command() const { return FCommand; }
  // The sub-menu while the menu is built, nullptr otherwise.
  HMENU Handle() const { return FHandle; }

  virtual void Click();
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& e) { FOnClick = e; }
  const TMenuMeasureItemEvent& OnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(const TMenuMeasureItemEvent& e);
  const TMenuDrawItemEvent& OnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(const TMenuDrawItemEvent& e);
  const TAdvancedMenuDrawItemEvent& OnAdvancedDrawItem() const { return FOnAdvancedDrawItem; }
  void SetOnAdvancedDrawItem(const TAdvancedMenuDrawItemEvent& e);

  // Routing of the platform's menu messages to the items they concern; false when none does.
  static bool DispatchCommand(UINT command);
  static bool DispatchPopup(HMENU menu);
  static bool DispatchMeasureItem(MEASUREITEMSTRUCT& mis);
  static bool DispatchDrawItem(DRAWITEMSTRUCT& dis);
  // The live item with this address, nullptr when it was freed.
  static TMenuItem* FromData(ULONG_PTR data);

protected:
  void MenuChanged(bool rebuild);
  virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
  virtual void AdvancedDrawItem(TCanvas* canvas, const RECT& r, TOwnerDrawState state);

private:
  friend class TMenu;
  // Appends the visible sub-items to menu, making sub-menus for items that have items.
  void AppendTo(HMENU menu, bool ownerDraw);
  // Appends this item when it is visible.
  void AppendSelf(HMENU menu, bool ownerDraw);
  void FreeHandles();
  void TurnSiblingsOff();

  std::string FCaption;
  TShortCut FShortCut = scNone;
  bool FChecked = false, FEnabled = true, FVisible = true, FDefault = false, FRadioItem = false;
  uint8_t FGroupIndex = 0;
  int FImageIndex = -1;
  std::unique_ptr<TBitmap> FBitmap;
  std::string FHint;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item of a menu
  UINT FCommand = 0;
  HMENU FHandle = nullptr;
  TNotifyEvent FOnClick;
  TMenuMeasureItemEvent FOnMeasureItem;
  TMenuDrawItemEvent FOnDrawItem;
  TAdvancedMenuDrawItemEvent FOnAdvancedDrawItem;
};
