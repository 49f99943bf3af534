#include "skin/windows/TsSystemMenu.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMenuItem.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsProviderHost.h"

namespace {

constexpr const char* kSkinsItemName = "SkinSelectItem";

}  // namespace

TsSystemMenu::TsSystemMenu(TComponent* owner) : TPopupMenu(owner), FProvider(dynamic_cast<TsProviderHost*>(owner)) {
  SetAutoPopup(false);
  FItemRestore = NewItem("ItemRestore", "Restore", &TsSystemMenu::RestoreClick);
  FItemMove = NewItem("ItemMove", "Move", &TsSystemMenu::MoveClick);
  FItemSize = NewItem("ItemSize", "Size", &TsSystemMenu::SizeClick);
  FItemMinimize = NewItem("ItemMinimize", "Minimize", &TsSystemMenu::MinimizeClick);
  FItemMaximize = NewItem("ItemMaximize", "Maximize", &TsSystemMenu::MaximizeClick);
  TMenuItem* line = NewComponent<TMenuItem>(this);
  line->SetCaption("-");
  Items()->Add(line);
  FItemClose = NewItem("ItemClose", "Close", &TsSystemMenu::CloseClick);
  FItemClose->SetShortCut(ShortCut(VK_F4, ssAlt));
}

TMenuItem* TsSystemMenu::NewItem(const char* name, const char* caption, void (TsSystemMenu::*click)(TObject*)) {
  TMenuItem* item = NewComponent<TMenuItem>(this);
  item->SetName(name);
  item->SetCaption(caption);
  item->SetOnClick(TNotifyEvent(this, click));
  Items()->Add(item);
  return item;
}

void TsSystemMenu::SendCommand(unsigned command) {
  if (FForm && FForm->HandleAllocated()) SendMessageA(FForm->Handle(), WM_SYSCOMMAND, command, 0);
}

void TsSystemMenu::RestoreClick(TObject*) {
  SendCommand(SC_RESTORE);
  UpdateItems();
}
void TsSystemMenu::MoveClick(TObject*) { SendCommand(SC_MOVE); }
void TsSystemMenu::SizeClick(TObject*) { SendCommand(SC_SIZE); }
void TsSystemMenu::MinimizeClick(TObject*) {
  if (Application && FForm && Application->MainForm() == FForm)
    Application->Minimize();
  else
    SendCommand(SC_MINIMIZE);
  UpdateItems();
}
void TsSystemMenu::MaximizeClick(TObject*) {
  SendCommand(SC_MAXIMIZE);
  UpdateItems();
}
void TsSystemMenu::CloseClick(TObject*) { SendCommand(SC_CLOSE); }

void TsSystemMenu::UpdateItems() {
  if (!FForm || !FProvider) return;
  const TsWindowFacts f = FProvider->WindowFacts();
  FItemRestore->SetVisible(RestoreVisible(f));
  FItemMove->SetVisible(true);
  FItemSize->SetVisible(SizeVisible(f));
  FItemMinimize->SetVisible(MinimizeVisible(f));
  FItemMaximize->SetVisible(MaximizeVisible(f));
  FItemClose->SetVisible(CloseVisible(f));
  FItemRestore->SetEnabled(RestoreEnabled(f));
  FItemMove->SetEnabled(MoveEnabled(f));
  FItemSize->SetEnabled(SizeEnabled(f));
  FItemMinimize->SetEnabled(MinimizeEnabled(f));
  FItemMaximize->SetEnabled(MaximizeEnabled(f));
  FItemClose->SetEnabled(true);
}

void TsSystemMenu::RemoveSkinsSubmenu() {
  TMenuItem* root = Items();
  if (root->Count() == 0 || root->Items(0)->Name() != kSkinsItemName) return;
  TMenuItem* skins = root->Items(0);
  // The separator that follows the submenu goes with it.
  TMenuItem* line = root->Count() > 1 && root->Items(1)->IsLine() ? root->Items(1) : nullptr;
  skins->Clear();
  skins->Free();
  if (line) line->Free();
}

void TsSystemMenu::MakeSkinsSubmenu() {
  RemoveSkinsSubmenu();
  TsSkinManager* manager = FProvider ? FProvider->SkinManager() : nullptr;
  if (!manager) return;
  std::vector<std::string> names;
  std::string first;
  manager->ListSkins(names, first);
  if (names.empty()) return;
  TMenuItem* skins = NewComponent<TMenuItem>(this);
  skins->SetName(kSkinsItemName);
  skins->SetCaption("Available skins");
  Items()->Insert(0, skins);
  TMenuItem* line = NewComponent<TMenuItem>(this);
  line->SetCaption("-");
  Items()->Insert(1, line);
  for (std::size_t i = 0; i < names.size(); ++i) {
    TMenuItem* item = NewComponent<TMenuItem>(this);
    item->SetName(kSkinsItemName + std::to_string(i));
    item->SetCaption(names[i]);
    item->SetChecked(names[i] == manager->SkinName());
    item->SetOnClick(TNotifyEvent(this, &TsSystemMenu::SkinClick));
    skins->Add(item);
  }
  // The new items are this menu's own, which no skin manager hears of: the menu painter takes the
  // menu again, or the platform's plain drawing would show them among the skin's.
  TsSkinManager* main = SkinData().DefaultManager;
  if (SkinData().Active && main != nullptr && main->MenuSkinner() != nullptr) main->MenuSkinner()->HookItem(this);
}

void TsSystemMenu::SkinClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  TsSkinManager* manager = FProvider ? FProvider->SkinManager() : nullptr;
  if (!item || !manager) return;
  std::string name = item->Caption();
  name.erase(std::remove(name.begin(), name.end(), '&'), name.end());
  const std::string previous = manager->SkinName();
  const bool wasActive = manager->Active();
  try {
    manager->SetSkinName(name);
  } catch (const std::exception& e) {
    // A refused skin leaves the one before, or none when that cannot be loaded either, and is said.
    const std::string reason = e.what();
    manager->RestoreSkin(previous, wasActive);
    ShowErrorBox("The skin \"" + name + "\" cannot be loaded: " + reason);
  }
}
