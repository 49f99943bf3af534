#pragma once

#include <windows.h>

#include <memory>

#include "framework/base/Delegate.h"
#include "framework/win/Controls.h"
#include "framework/win/TPersistent.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/core/MenuItemRules.h"

class TBitmap;
class TCanvas;
class TComponent;
class TFont;
class TMenu;
class TMenuItem;
class TsFormFrameLink;

using TsMenuManagerDrawItemEvent = TDelegate<void(TObject* Sender, TCanvas* ACanvas, RECT ARect,
                                                  TOwnerDrawState State, TsMenuItemType ItemType)>;

// Paints menus from the skin without replacing them: a hooked menu is owner-drawn and its items'
// OnMeasureItem and OnAdvancedDrawItem hold the painter's handlers, set only where the application
// left them empty and cleared only where they are still the painter's. Top-level items of a main
// menu are drawn into the menu band of the form's skin provider; popup items over one skin
// background per popup, kept in the hooked-menu list until ClearMenuList.
//
// The default skin manager makes one (SetMenuSkinnerFactory, installed by this unit); it follows
// the global skin data on every skin change.
class TsSkinableMenus : public TPersistent, public TsMenuSkinnerLink {
public:
  explicit TsSkinableMenus(TsSkinManager* owner);
  ~TsSkinableMenus() override;

  int Margin() const { return FMargin; }
  void SetMargin(int value) { FMargin = value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value) { FAlignment = value; }
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int value) { FBevelWidth = value; }
  // The horizontal inset of separators.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int value) { FBorderWidth = value; }
  TFont* CaptionFont() { return FCaptionFont.get(); }
  void SetCaptionFont(const TFont* font);
  // Called after each item is painted, on the canvas it was painted on.
  const TsMenuManagerDrawItemEvent& OnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(const TsMenuManagerDrawItemEvent& e) { FOnDrawItem = e; }

  TsSkinManager* Manager() const { return FManager; }
  // The menus are hooked.
  bool Active() const { return FActive; }
  void SetActive(bool value);
  void UpdateAllMenus(bool enable);
  void HookComponent(TComponent* component, bool enable);
  void HookMenuBarItems(TMenu* menu, bool enable);
  void HookMenu(TMenu* menu, bool enable);
  void HookItems(TMenuItem* item, bool enable);
  void HookItem(TMenuItem* item, bool enable);

  // The skinner's side of the default manager.
  void HookItem(TComponent* menuOrItem) override;
  void UnhookItem(TComponent* menuOrItem) override;
  void RehookAll() override;
  void UpdateFromManager() override;

  // The handlers of popup items.
  void DrawItem(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State);
  void MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  // The handlers of the top-level items of main menus. ARect lies in the coordinates of the
  // form's window, as the provider's window image has them (the menu band starts below the
  // title bar and the frame's border).
  void BarDrawItem(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State);
  void BarMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);

private:
  bool SkinnedPopups() const;
  void SetPopupHandlers(TMenuItem* item, bool enable);
  void SetBarHandlers(TMenuItem* item, bool enable);
  TsMenuSize PopupItemSize(TMenuItem* item, TCanvas* canvas);
  // The steps of painting a popup item.
  TBitmap* PopupBackgroundOf(TMenuItem* item, TCanvas* canvas, const RECT& ARect);
  void DrawSeparatorItem(TCanvas* ACanvas, TBitmap& background, const RECT& ARect);
  void DrawItemGlyph(TMenuItem* item, TBitmap& work, const TsMenuItemLayout& layout, const TsMenuSize& glyph,
                     TOwnerDrawState State);
  void DrawItemText(TMenuItem* item, TCanvas* canvas, const TsMenuItemLayout& layout, const RECT& area,
                    TsSkinState itemState, TOwnerDrawState State);

  TsSkinManager* FManager;
  int FMargin = 4;
  TAlignment FAlignment = taLeftJustify;
  int FBevelWidth = 0;
  int FBorderWidth = 0;
  std::unique_ptr<TFont> FCaptionFont;
  TsMenuManagerDrawItemEvent FOnDrawItem;
  bool FActive = false;
};

// Makes the default skin manager create its menu painter as a TsSkinableMenus (done once this unit
// is linked; a program that uses nothing else of it calls this before its first manager).
void InstallSkinableMenus();

// The hooked-menu list: one skin background per popup, keyed by the popup's first item.
// Free = true frees every background and empties the list (false changes nothing).
void ClearMenuList(bool free);
// How many popup backgrounds the list holds.
int MenuListCount();

// The platform's menu loop of a form's menu band starts (entered) or ends: while it runs, a press
// on a title opens that title's drop-down and the release keeps it open, after Escape too.
void BandMenuLoop(HWND form, bool entered);

// Paints the named menu section over r of bmp (parent: the image below it, offset: r's place in
// it). A skin without the section gives the standard menu's face colour, or the highlight when
// state is not normal.
void PaintMenuSection(const char* section, const TsCacheInfo& parent, TBitmap* bmp, POINT offset, const RECT& r,
                      TsSkinState state);
// The section whose colours menu text takes (-1 when the skin has none); without one the canvas'
// font gets the standard menu text colour, or the highlighted text colour when state is not normal.
int MenuTextSection(TCanvas* canvas, const char* section, TsSkinState state);

// The active MDI child of the MDI main form is maximized and has an icon.
bool MDIChildIconVisible();
