#pragma once

#include "framework/win/TPopupMenu.h"

class TCustomForm;
class TMenuItem;
class TsProviderHost;

// The window menu of a skinned form: the usual window commands, shown and enabled by the same rules
// as the caption buttons, and optionally a submenu for choosing the skin.
class TsSystemMenu : public TPopupMenu {
public:
  explicit TsSystemMenu(TComponent* owner);

  TsProviderHost* Provider() const { return FProvider; }
  TCustomForm* Form() const { return FForm; }
  void SetForm(TCustomForm* form) { FForm = form; }

  // Applies the rules to the items' visibility and enabling (nothing before the form is set).
  void UpdateItems();
  // Takes out the skins submenu and its separator, and puts a fresh one in when there are skins.
  void MakeSkinsSubmenu();
  void RemoveSkinsSubmenu();

  TMenuItem* ItemRestore() const { return FItemRestore; }
  TMenuItem* ItemMove() const { return FItemMove; }
  TMenuItem* ItemSize() const { return FItemSize; }
  TMenuItem* ItemMinimize() const { return FItemMinimize; }
  TMenuItem* ItemMaximize() const { return FItemMaximize; }
  TMenuItem* ItemClose() const { return FItemClose; }

private:
  TMenuItem* NewItem(const char* name, const char* caption, void (TsSystemMenu::*click)(TObject*));
  void SendCommand(unsigned command);
  void RestoreClick(TObject*);
  void MoveClick(TObject*);
  void SizeClick(TObject*);
  void MinimizeClick(TObject*);
  void MaximizeClick(TObject*);
  void CloseClick(TObject*);
  void SkinClick(TObject* sender);

  TsProviderHost* FProvider;
  TCustomForm* FForm = nullptr;
  TMenuItem *FItemRestore, *FItemMove, *FItemSize, *FItemMinimize, *FItemMaximize, *FItemClose;
};
