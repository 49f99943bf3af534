#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/Exception.h"
#include "framework/win/TPersistent.h"

enum class TOperation { Insert, Remove };

// Component state flags (a set). Designing is never set: forms are built in code.
using TComponentState = uint32_t;
constexpr TComponentState csLoading = 1, csReading = 2, csWriting = 4, csDestroying = 8, csDesigning = 16,
                          csAncestor = 32, csUpdating = 64, csFixups = 128, csFreeNotification = 256;

class EComponentError : public Exception {
public:
  using Exception::Exception;
};

// A named part of a form. Its owner frees it; components that refer to each other learn through
// Notification when one of them goes away.
//
// Creating: make a component with NewComponent<T>(owner, ...), a form with NewComponent or
// Application->CreateForm. Such a component is loading while its constructors run; once the most
// derived one is done it gets AfterConstruction, then Loaded, each exactly once:
//  - made while its owner is loading (in a form's or another component's constructor), it is
//    loading too: AfterConstruction runs at once and Loaded when the owner ends its loading phase,
//    in creation order, each component's own components after it;
//  - made at any other time, it gets both at once.
// Inside a loading owner's constructor a plain `new T(this)` works as well: the owner's loading end
// completes it (AfterConstruction, then Loaded). Elsewhere a plain `new` completes nothing until a
// control made so gets a parent (TControl::SetParent completes it); the framework itself always uses
// NewComponent, and controls are placed with NewControl (TControl.h).
//
// Freeing: Free() (or the owner's freeing it) runs BeforeDestruction while the whole object is still
// alive.
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  // Runs BeforeDestruction, then deletes the component.
  void Free();
  virtual void AfterConstruction() {}
  virtual void BeforeDestruction();
  // Completes a component whose most derived constructor is done: AfterConstruction, then (unless
  // its owner is loading and will do it, or AfterConstruction ended the loading) EndLoading.
  // NewComponent and CreateForm call this.
  void FinishCreation();
  // A component made with a plain new outside a loading owner: not completed yet.
  bool IsIncomplete() const { return !FConstructed && !IsLoading(); }
  // Held around the `new` of NewComponent and CreateForm: the component constructed next on this
  // thread is one that FinishCreation will complete, so it starts loading.
  class TCreation {
  public:
    TCreation();
    ~TCreation();
    TCreation(const TCreation&) = delete;
    TCreation& operator=(const TCreation&) = delete;
  };

  const std::string& Name() const { return FName; }
  // Raises EComponentError when another component of the same owner has the name.
  virtual void SetName(const std::string& name);
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t tag) { FTag = tag; }
  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  // An owned component by name, without regard to case; nullptr when none.
  TComponent* FindComponent(const std::string& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, newest first.
  void DestroyComponents();

  TComponentState ComponentState() const { return FComponentState; }
  bool IsLoading() const { return (FComponentState & csLoading) != 0; }
  bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }
  // Marks this component and everything it owns as being destroyed.
  void Destroying();
  // Starts the loading phase (csLoading and csReading) of this component and what it owns.
  void BeginLoading();
  // Ends the loading phase of this component and what it owns, this one first and then the owned ones
  // in creation order: completes the construction of any made with a plain new, then calls Loaded on
  // each one that is loading or has never been loaded.
  void EndLoading();
  // Called when loading is done: clears csLoading and csReading. An override that acts on what the
  // loading phase set calls this first.
  virtual void Loaded();

  // component will call Notification on this one when it is freed (and this on it).
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

protected:
  // Tells this component that component was inserted into or removed from its owner's list, or
  // is being freed; the default passes it on to every owned component.
  virtual void Notification(TComponent* component, TOperation operation);
  void SetComponentState(TComponentState state) { FComponentState = state; }
  void Include(TComponentState flags) { FComponentState |= flags; }
  void Exclude(TComponentState flags) { FComponentState &= ~flags; }

private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void RemoveNotification(TComponent* component);
  void TearDown();
  // AfterConstruction, the first time only.
  void CompleteConstruction();

  TComponent* FOwner = nullptr;
  std::string FName;
  intptr_t FTag = 0;
  TComponentState FComponentState = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  bool FTornDown = false;
  bool FConstructed = false;
  bool FLoadedOnce = false;
};

// Makes a component and completes it (FinishCreation). A component that fails to complete is freed.
template <typename T, typename... Args>
T* NewComponent(Args&&... args) {
  T* component;
  {
    TComponent::TCreation creation;
    component = new T(std::forward<Args>(args)...);
  }
  try {
    component->FinishCreation();
  } catch (...) {
    component->Free();
    throw;
  }
  return component;
}
