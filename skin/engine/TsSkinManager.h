#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/base/Delegate.h"
#include "framework/win/TComponent.h"
#include "skin/engine/TsStoredSkins.h"

class TObject;
class TsSkinObserver;
using TsNotifyEvent = TDelegate<void(TObject* Sender)>;

// What the default manager's menu skinner offers (implemented by the menu skinning).
class TsMenuSkinnerLink {
public:
  virtual ~TsMenuSkinnerLink() = default;
  virtual void HookItem(TComponent* menuOrItem) = 0;
  virtual void UnhookItem(TComponent* menuOrItem) = 0;
  virtual void RehookAll() = 0;
  // A skin was loaded or released: the skinner follows the global skin data.
  virtual void UpdateFromManager() {}
};
using TsMenuSkinnerFactory = std::unique_ptr<TsMenuSkinnerLink> (*)(TComponent* manager);
// Installed by the menu skinning; the default manager creates its skinner through it.
void SetMenuSkinnerFactory(TsMenuSkinnerFactory factory);

// Names the skin folder and skin, loads the skin into the program's active skin (ActiveSkin()) and
// tells every window.
// The first manager created is the default manager; only it loads skins.
class TsSkinManager : public TComponent {
public:
  explicit TsSkinManager(TComponent* owner);
  ~TsSkinManager() override;
  void BeforeDestruction() override;
  void Loaded() override;

  bool Active() const { return FActive; }
  void SetActive(bool value);
  const std::vector<std::string>& CommonSections() const { return FCommonSections; }
  void SetCommonSections(const std::vector<std::string>& lines);
  // Skins kept in the program itself, used when the folder has no skin of the name.
  TsStoredSkins* InternalSkins() { return &FInternalSkins; }
  void SetInternalSkins(const TsStoredSkins& skins) { FInternalSkins.Assign(skins); }
  const std::string& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const std::string& directory);
  const std::string& SkinName() const { return FSkinName; }
  // Stores the name and, on the default active manager, runs the load sequence: OnBeforeChange,
  // the skin read from its folder again (even when it is the one loaded), the broadcast,
  // OnAfterChange. A skin that cannot be loaded raises after the windows were told.
  void SetSkinName(const std::string& name);
  // After a skin that could not be loaded: the skin named before, active as it was, or none when
  // that cannot be loaded either.
  void RestoreSkin(const std::string& name, bool active);
  bool SkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool value);
  const TsNotifyEvent& OnAfterChange() const { return FOnAfterChange; }
  void SetOnAfterChange(const TsNotifyEvent& e) { FOnAfterChange = e; }
  const TsNotifyEvent& OnBeforeChange() const { return FOnBeforeChange; }
  void SetOnBeforeChange(const TsNotifyEvent& e) { FOnBeforeChange = e; }

  std::string ResolvedSkinDirectory() const;
  // Sub-folders of the skin directory, sorted; first is the first one found.
  void ListSkinFolders(std::vector<std::string>& list, std::string& first) const;
  // Internal skin names and sub-folders, sorted together.
  void ListSkins(std::vector<std::string>& list, std::string& first) const;

  // The default manager's menu skinner; nullptr on other managers.
  TsMenuSkinnerLink* MenuSkinner() const { return FMenuSkinner.get(); }

  // Each tells the windows, then the observers.
  void BroadcastSkinChange();
  void ReleaseSkin();
  bool IsDefaultManager() const;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TsSkinObserver;

  void AddObserver(TsSkinObserver* observer);
  void RemoveObserver(TsSkinObserver* observer);
  void NotifyObservers();
  void LoadAndBroadcast();

  bool FActive = false;
  std::vector<std::string> FCommonSections;
  TsStoredSkins FInternalSkins;
  std::string FSkinDirectory;
  std::string FSkinName;
  bool FSkinnedPopups = true;
  TsNotifyEvent FOnAfterChange, FOnBeforeChange;
  std::unique_ptr<TsMenuSkinnerLink> FMenuSkinner;
  std::vector<TsSkinObserver*> FObservers;
};

// ColorToRGB of the section COLOR of GLOBALINFO, or of the button face without it.
TColor GlobalSectionColor();
