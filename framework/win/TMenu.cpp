#include "framework/win/TMenu.h"

#include <algorithm>

#include "framework/win/TCustomForm.h"
#include "framework/win/TImageList.h"
#include "framework/win/TWinControl.h"

TMenu::TMenu(TComponent* owner) : TComponent(owner) {
  FItems = NewComponent<TMenuItem>(this);
  FItems->FMenu = this;
}

TMenu::~TMenu() {
  if (FMergedInto != nullptr) FMergedInto->Unmerge(this);
  if (FMerged != nullptr) FMerged->FMergedInto = nullptr;
  if (FItems != nullptr) FItems->FMenu = nullptr;
  DestroyMenuHandle();
}

void TMenu::DestroyMenuHandle() {
  if (FHandle == nullptr) return;
  if (FItems != nullptr) FItems->FreeHandles();
  if (FMerged != nullptr && FMerged->FItems != nullptr) FMerged->FItems->FreeHandles();
  DestroyMenu(FHandle);
  FHandle = nullptr;
}

HMENU TMenu::CreateMenuHandle() { return CreatePopupMenu(); }

HMENU TMenu::Handle() {
  if (FHandle == nullptr || FDirty) {
    HMENU old = FHandle;
    if (FItems != nullptr) FItems->FreeHandles();
    if (FMerged != nullptr && FMerged->FItems != nullptr) FMerged->FItems->FreeHandles();
    FHandle = CreateMenuHandle();
    if (FHandle == nullptr) throw EOutOfResources("Cannot create a menu");
    for (TMenuItem* item : ShownItems()) item->AppendSelf(FHandle, FOwnerDraw);
    FDirty = false;
    // The window may still show the old menu: it takes the new one on CM_MENUCHANGED, after
    // which the old one can go.
    if (old != nullptr) {
      if (FWindowHandle != nullptr && GetMenu(FWindowHandle) == old) ShowInWindow();
      DestroyMenu(old);
    }
  }
  return FHandle;
}

void TMenu::ShowInWindow() {
  // An MDI frame's client moves what it added for a maximized child (the child's system menu and
  // its buttons) from the old menu to the new one; the old one then holds only our items.
  auto* form = dynamic_cast<TCustomForm*>(FindControl(FWindowHandle));
  if (form != nullptr && form->ClientHandle() != nullptr && GetParent(form->ClientHandle()) == FWindowHandle) {
    SendMessageA(form->ClientHandle(), WM_MDISETMENU, reinterpret_cast<WPARAM>(FHandle), 0);
    DrawMenuBar(FWindowHandle);
  } else {
    SetMenu(FWindowHandle, FHandle);
  }
}

void TMenu::SetOwnerDraw(bool ownerDraw) {
  if (ownerDraw == FOwnerDraw) return;
  FOwnerDraw = ownerDraw;
  MenuChanged(nullptr, true);
}

void TMenu::SetImages(TImageList* images) {
  if (images == FImages) return;
  if (FImages != nullptr) FImages->RemoveFreeNotification(this);
  FImages = images;
  if (FImages != nullptr) FImages->FreeNotification(this);
  MenuChanged(nullptr, true);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::Remove && component == FImages) {
    FImages = nullptr;
    MenuChanged(nullptr, true);
  }
}

void TMenu::Merge(TMenu* menu) {
  if (menu == FMerged || menu == this) return;
  if (FMerged != nullptr) {
    if (FMerged->FItems != nullptr) FMerged->FItems->FreeHandles();
    FMerged->FMergedInto = nullptr;
  }
  if (menu != nullptr && menu->FMergedInto != nullptr) menu->FMergedInto->Unmerge(menu);
  FMerged = menu;
  if (menu != nullptr) menu->FMergedInto = this;
  MenuChanged(nullptr, true);
}

void TMenu::Unmerge(TMenu* menu) {
  if (menu != nullptr && menu == FMerged) Merge(nullptr);
}

std::vector<TMenuItem*> TMenu::ShownItems() const {
  std::vector<TMenuItem*> shown;
  if (FItems == nullptr) return shown;
  std::vector<TMenuItem*> merged;
  if (FMerged != nullptr && FMerged->FItems != nullptr) merged = FMerged->FItems->FItems;
  std::size_t next = 0;
  for (TMenuItem* item : FItems->FItems) {
    const uint8_t group = item->GroupIndex();
    while (next < merged.size() && merged[next]->GroupIndex() <= group) shown.push_back(merged[next++]);
    const bool replaced = std::any_of(merged.begin(), merged.end(), [group](TMenuItem* m) { return m->GroupIndex() == group; });
    if (!replaced) shown.push_back(item);
  }
  shown.insert(shown.end(), merged.begin() + std::ptrdiff_t(next), merged.end());
  return shown;
}

void TMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  if (IsDestroying()) return;
  if (FMergedInto != nullptr) FMergedInto->MenuChanged(source, rebuild);
  FDirty = true;
  if (FOnChange) FOnChange(this, source, rebuild);
  if (FWindowHandle != nullptr) {
    if (TWinControl* control = FindControl(FWindowHandle)) control->Perform(CM_MENUCHANGED, 0, 0);
  }
}

void TMenu::ItemEnabledChanged(TMenuItem* item) {
  if (IsDestroying()) return;
  // Merged, the items are shown in the other menu's handle.
  TMenu* shown = FMergedInto != nullptr ? FMergedInto : this;
  if (shown->FHandle == nullptr || shown->FDirty || shown->IsDestroying()) {
    MenuChanged(item, false);
    return;
  }
  EnableMenuItem(shown->FHandle, item->Command(), MF_BYCOMMAND | (item->Enabled() ? MF_ENABLED : MF_GRAYED));
  if (FOnChange) FOnChange(this, item, false);
  if (shown != this && shown->FOnChange) shown->FOnChange(shown, item, false);
  const bool onBar = item->Parent() == FItems;
  if (onBar && shown->FWindowHandle != nullptr) {
    if (TWinControl* control = FindControl(shown->FWindowHandle)) control->Perform(CM_MENUCHANGED, 0, 0);
  }
}

namespace {

TMenuItem* FindShortCut(TMenuItem* parent, TShortCut sc) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (!item->Visible() || !item->Enabled()) continue;
    if (item->ShortCut() == sc) return item;
    if (TMenuItem* found = FindShortCut(item, sc)) return found;
  }
  return nullptr;
}

TMenuItem* FindCommand(TMenuItem* parent, UINT command) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (item->Command() == command) return item;
    if (TMenuItem* found = FindCommand(item, command)) return found;
  }
  return nullptr;
}

}  // namespace

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  TShortCut sc = ShortCut(key, shift);
  if (sc == scNone || FItems == nullptr) return false;
  TMenuItem* item = FindShortCut(FItems, sc);
  if (item == nullptr) return false;
  item->Click();
  return true;
}

TMenuItem* TMenu::FindItem(UINT command) const { return FItems != nullptr ? FindCommand(FItems, command) : nullptr; }
