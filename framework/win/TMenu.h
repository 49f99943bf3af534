#pragma once

#include <vector>

#include "framework/win/TMenuItem.h"

class TImageList;

using TMenuChangeEvent = TDelegate<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

// A tree of menu items under Items(), built into a platform menu on demand.
class TMenu : public TComponent {
public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  TMenuItem* Items() { return FItems; }
  // The platform menu, built now when the items changed since the last build.
  HMENU Handle();
  // The window that shows this menu; it gets CM_MENUCHANGED after every change.
  HWND WindowHandle() const { return FWindowHandle; }
  void SetWindowHandle(HWND window) { FWindowHandle = window; }
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool ownerDraw);
  // The images an owner-drawn item shows by its ImageIndex (not owned).
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  // Clicks the enabled, visible item with this shortcut; false when there is none.
  bool IsShortCut(WORD key, TShiftState shift);
  TMenuItem* FindItem(UINT command) const;
  // Another menu's top-level items shown among this menu's (an active MDI child's menu in its
  // frame's): each replaces this menu's items of its GroupIndex and stands before those of a higher
  // one. One menu at a time; nullptr ends the merge.
  void Merge(TMenu* menu);
  void Unmerge(TMenu* menu);
  TMenu* Merged() const { return FMerged; }
  // The top-level items in the order they are shown, hidden ones included.
  std::vector<TMenuItem*> ShownItems() const;
  const TMenuChangeEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TMenuChangeEvent& e) { FOnChange = e; }

protected:
  friend class TMenuItem;
  virtual HMENU CreateMenuHandle();
  virtual void MenuChanged(TMenuItem* source, bool rebuild);
  // An item turned on or off: the built menu takes it in place, and only an item of the menu bar
  // asks the window to show it (CM_MENUCHANGED).
  void ItemEnabledChanged(TMenuItem* item);
  void DestroyMenuHandle();
  // Puts the freshly built menu into the window that showed the old one.
  void ShowInWindow();
  void Notification(TComponent* component, TOperation operation) override;

private:
  TMenuItem* FItems;
  HMENU FHandle = nullptr;
  bool FDirty = true;
  HWND FWindowHandle = nullptr;
  bool FOwnerDraw = false;
  TImageList* FImages = nullptr;
  TMenuChangeEvent FOnChange;
  TMenu* FMerged = nullptr;
  TMenu* FMergedInto = nullptr;
};
