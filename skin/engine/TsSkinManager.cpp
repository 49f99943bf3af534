#include "skin/engine/TsSkinManager.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "framework/win/Graphics.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinRefresh.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/TsSkinObserver.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinFolders.h"
#include "skin/engine/core/SkinSwitch.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

TsMenuSkinnerFactory MenuSkinnerFactory = nullptr;

TColor ResolveColor(TColor c) {
  return static_cast<TColor>(ColorToRGB(c));
}

bool IsMenuComponent(TComponent* c) {
  return dynamic_cast<TMenuItem*>(c) != nullptr || dynamic_cast<TMainMenu*>(c) != nullptr;
}

}  // namespace

void SetMenuSkinnerFactory(TsMenuSkinnerFactory factory) {
  MenuSkinnerFactory = factory;
}

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner) {
  if (!SkinData().DefaultManager) {
    if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
    FActive = true;
    if (MenuSkinnerFactory) FMenuSkinner = MenuSkinnerFactory(this);
    SkinData().DefaultManager = this;
  }
}

TsSkinManager::~TsSkinManager() {
  for (TsSkinObserver* observer : FObservers) observer->FManager = nullptr;
  FObservers.clear();
  // Reached without BeforeDestruction (a plain delete): forget the tables without telling windows.
  if (IsDefaultManager()) {
    ReleaseSkinGlobals();
    SkinData().DefaultManager = nullptr;
  }
}

void TsSkinManager::BeforeDestruction() {
  if (IsDefaultManager()) {
    ReleaseSkin();
    SkinData().DefaultManager = nullptr;
  }
  TComponent::BeforeDestruction();
}

bool TsSkinManager::IsDefaultManager() const {
  return SkinData().DefaultManager == this;
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (IsDefaultManager() && FActive && !FSkinName.empty()) LoadAndBroadcast();
}

void TsSkinManager::LoadAndBroadcast() {
  TsSkinRequest request;
  request.SkinDirectory = FSkinDirectory;
  request.SkinName = FSkinName;
  request.AppFolder = AppFolder();
  const std::vector<TsInternalSkin> internal = FInternalSkins.ToInternalSkins();
  request.InternalSkins = &internal;
  request.CommonSections = FCommonSections;
  request.ColorToRGB = &ResolveColor;
  try {
    FSkinName = LoadSkinIntoGlobals(request);
  } catch (...) {
    // The tables are empty by now; the controls must drop their indexes before the error goes on.
    BroadcastSkinChange();
    throw;
  }
  BroadcastSkinChange();
}

// Every call runs the whole sequence, the name the manager holds included: a skin edited on disk
// and named again is read again.
void TsSkinManager::SetSkinName(const std::string& name) {
  FSkinName = name;
  if (!FActive || !IsDefaultManager()) return;
  if (FOnBeforeChange) FOnBeforeChange(this);
  if (name.empty()) FSkinDirectory.clear();
  if (IsLoading()) {
    // Loaded performs the first load once the whole form is there.
    SkinData().Active = false;
    return;
  }
  LoadAndBroadcast();
  if (FOnAfterChange) FOnAfterChange(this);
}

void TsSkinManager::RestoreSkin(const std::string& name, bool active) {
  try {
    SetActive(false);
    SetSkinName(name);
    SetActive(active);
  } catch (const std::exception&) {
    SetActive(false);
  }
}

void TsSkinManager::SetSkinDirectory(const std::string& directory) {
  if (directory == FSkinDirectory) return;
  FSkinDirectory = directory;
  SkinData().SkinPath = ResolvedSkinDirectory();
}

void TsSkinManager::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  if (!value) {
    if (!IsLoading()) ReleaseSkin();
    ResolveCommonIndexes();
  } else {
    SetSkinName(FSkinName);
  }
}

void TsSkinManager::SetCommonSections(const std::vector<std::string>& lines) {
  FCommonSections = NormalizeCommonSections(lines);
  SetSkinName(FSkinName);
}

void TsSkinManager::SetSkinnedPopups(bool value) {
  if (value == FSkinnedPopups) return;
  FSkinnedPopups = value;
  if (FMenuSkinner) FMenuSkinner->RehookAll();
}

std::string TsSkinManager::ResolvedSkinDirectory() const {
  return ResolveSkinDirectory(FSkinDirectory, AppFolder());
}

void TsSkinManager::ListSkinFolders(std::vector<std::string>& list, std::string& first) const {
  TsSkinList l = ::ListSkins({}, ResolvedSkinDirectory());
  list = std::move(l.Names);
  first = std::move(l.First);
}

void TsSkinManager::ListSkins(std::vector<std::string>& list, std::string& first) const {
  std::vector<std::string> internal;
  for (int i = 0; i < FInternalSkins.Count(); ++i) internal.push_back(FInternalSkins.Items(i)->Name);
  TsSkinList l = ::ListSkins(internal, ResolvedSkinDirectory());
  list = std::move(l.Names);
  first = std::move(l.First);
}

void TsSkinManager::BroadcastSkinChange() {
  TsSkinData& data = SkinData();
  data.Active = false;
  SkinChanging = true;
  BroadcastToApplication(SkinCommand::NewSkin, reinterpret_cast<LPARAM>(this));
  ResolveCommonIndexes();
  SkinChanging = false;
  data.Active = true;
  if (FMenuSkinner) FMenuSkinner->UpdateFromManager();
  RefreshApplication(reinterpret_cast<LPARAM>(this));
  NotifyObservers();
}

void TsSkinManager::ReleaseSkin() {
  SkinData().Active = false;
  BroadcastToApplication(SkinCommand::RemoveSkin, reinterpret_cast<LPARAM>(this));
  if (FMenuSkinner) FMenuSkinner->UpdateFromManager();
  NotifyObservers();
  ReleaseSkinGlobals();
}

// The observer's side of the pair: it joins and leaves the manager's list.
TsSkinObserver::TsSkinObserver(std::function<void()> onChange) : FOnChange(std::move(onChange)) {}

TsSkinObserver::~TsSkinObserver() { SetManager(nullptr); }

void TsSkinObserver::SetManager(TsSkinManager* manager) {
  if (manager == FManager) return;
  if (FManager) FManager->RemoveObserver(this);
  FManager = manager;
  if (FManager) FManager->AddObserver(this);
}

void TsSkinManager::AddObserver(TsSkinObserver* observer) {
  if (std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end()) FObservers.push_back(observer);
}

void TsSkinManager::RemoveObserver(TsSkinObserver* observer) {
  std::erase(FObservers, observer);
}

void TsSkinManager::NotifyObservers() {
  // An observer may leave, or free another one, while it hears: each is looked up again first.
  const std::vector<TsSkinObserver*> observers = FObservers;
  for (TsSkinObserver* observer : observers)
    if (std::find(FObservers.begin(), FObservers.end(), observer) != FObservers.end()) observer->FOnChange();
}

void TsSkinManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (!FMenuSkinner || !SkinData().Active || !component || !IsMenuComponent(component)) return;
  if (operation == TOperation::Insert)
    FMenuSkinner->HookItem(component);
  else
    FMenuSkinner->UnhookItem(component);
}

TColor GlobalSectionColor() {
  const std::int16_t global = ActiveSkin().SkinCommonIndexes.GlobalInfo;
  if (SectionIndexValid(global))
    return static_cast<TColor>(
        ColorToRGB(ActiveSkin().SkinSectionData[static_cast<std::size_t>(global)].Color));
  return static_cast<TColor>(ColorToRGB(clBtnFace));
}
