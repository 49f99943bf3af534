#include "skin/windows/TsPathComboBox.h"

#include <windows.h>

#include <shellapi.h>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "framework/win/SystemPaths.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/windows/TsShellImages.h"
#include "skin/windows/core/FileComboRules.h"

namespace {

TShellName AskShell(const std::string& path) {
  SHFILEINFOA info{};
  if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info,
                      SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME))
    return TShellName{};
  return TShellName{info.szDisplayName, info.iIcon};
}

}  // namespace

TsPathComboBox::TsPathComboBox(TComponent* owner) : TsCustomComboBoxEx(owner) {
  // The shown texts (display names) and the items (folders) are filled side by side.
  ItemsEx().Detach();
  try {
    const std::string current = CurrentDirectory();
    if (!current.empty() && current[0] != '\\') FDrive = DriveLetterOf(current);
  } catch (const EInOutError&) {
    // no current folder: the box starts without a drive
  }
}

// The shared images belong to the application: the box only lets go of them.
TsPathComboBox::~TsPathComboBox() { SetImages(nullptr); }

void TsPathComboBox::Loaded() {
  TsCustomComboBoxEx::Loaded();
  if (Images() == nullptr) SetImages(SmallSystemImages());
}

void TsPathComboBox::SetDirectory(const std::string& value) {
  const std::string directory = WithTrailingBackslash(value);
  if (SameText(directory, FDirectory)) return;
  FDirectory = directory;
  if (FDirectory.empty()) {
    SetItemIndex(-1);
    return;
  }
  FDrive = DriveLetterOf(FDirectory);
  BuildItems();
}

void TsPathComboBox::BuildItems() {
  const std::vector<TPathItem> items = BuildPathItems(GetLogicalDrives(), FDirectory, AskShell);
  const bool images = Images() != nullptr;
  ClearItems();
  ItemsEx().Clear();
  for (const TPathItem& p : items) {
    AddItem(p.Text);
    TsComboItem& item = ItemsEx().Add();
    item.Caption = p.Caption;
    item.Indend = p.Indend;
    if (images) item.ImageIndex = p.ImageIndex;
  }
  SetItemIndex(FindPathItem(items, FDirectory));
}

void TsPathComboBox::Select() {
  const std::shared_ptr<bool> alive = Alive();
  FUpdating = true;
  TsCustomComboBoxEx::Select();
  if (!*alive) return;
  if (const TsComboItem* item = ItemsEx().Find(ItemIndex())) SetDirectory(item->Caption);
  FUpdating = false;
}
