#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/win/Messages.h"
#include "framework/win/TComponent.h"

class TControl;
class TCustomForm;
class TsCommonData;

// Skins controls that have no skinned counterpart of their own. An adapter lies on a form and
// adapts the controls of its kind found there (AutoSearch), or those its items name. Subclasses
// say which controls they take and keep one item per adapted control.
class TsCtrlAdapter : public TComponent {
public:
  explicit TsCtrlAdapter(TComponent* owner);
  ~TsCtrlAdapter() override;
  void BeforeDestruction() override;
  void Loaded() override;

  // Adapt every control of the adapted kind on the form, those placed later included.
  bool AutoSearch() const { return FAutoSearch; }
  void SetAutoSearch(bool value);
  // The form the adapter works on: the first form among its owners.
  TCustomForm* Form() const;
  const std::string& DefaultSection() const { return FDefaultSection; }

  virtual int Count() const { return 0; }
  virtual void BindItem(int /*index*/, TControl* /*control*/) {}
  virtual void* GetItem(int /*index*/) { return nullptr; }
  virtual TsCommonData* ItemSkinData(int /*index*/) { return nullptr; }
  // The item adapting the control of that name; -1 when none.
  virtual int IndexOf(const std::string& /*name*/) const { return -1; }
  virtual void AddControl(TControl* /*control*/) {}
  virtual void AddItem(TControl* /*control*/, const std::string& /*section*/) {}
  virtual void RemoveItem(int /*index*/) {}

protected:
  void Notification(TComponent* component, TOperation operation) override;
  void SetDefaultSection(const std::string& section) { FDefaultSection = section; }
  // The component is of the kind this adapter adapts.
  virtual bool Adapts(TComponent* /*component*/) const { return false; }
  // The control name an item is bound to by name; empty ends the list.
  virtual std::string ItemControlName(int /*index*/) const { return std::string(); }
  // The item that adapts a component being removed; by its name here.
  virtual int IndexOfRemoved(TComponent* component) const;
  // A component going away whose item must be dropped without touching it (the adapter is being
  // destroyed).
  virtual void ForgetRemoved(TComponent* /*component*/) {}
  // AddControl for every adapted component of the form.
  void AddAll();

private:
  void PendingWndProc(TMessage& message);
  void TakePending();

  bool FAutoSearch = true;
  std::string FDefaultSection;
  // Components inserted on the form, looked at once their construction is over (an insertion is
  // told from inside the new component's constructor, before its kind is known).
  std::vector<TComponent*> FPending;
  HWND FPendingWindow = nullptr;
  bool FPendingPosted = false;
};
