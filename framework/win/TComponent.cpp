#include "framework/win/TComponent.h"

#include <algorithm>

#include "framework/base/AnsiStrings.h"

namespace {

// Set by TComponent::TCreation, taken by the next component constructor on the thread.
thread_local bool gCreationFinishes = false;

}  // namespace

TComponent::TCreation::TCreation() { gCreationFinishes = true; }

// Also when the allocation failed and no constructor took the mark.
TComponent::TCreation::~TCreation() { gCreationFinishes = false; }

TComponent::TComponent(TComponent* owner) {
  bool finishes = std::exchange(gCreationFinishes, false);
  if (finishes || (owner != nullptr && owner->IsLoading())) Include(csLoading | csReading);
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() { TearDown(); }

void TComponent::Free() {
  BeforeDestruction();
  delete this;
}

void TComponent::BeforeDestruction() {
  if (!IsDestroying()) Destroying();
  TearDown();
}

// Tells the components that asked, frees what this one owns and leaves the owner. Runs once: from
// BeforeDestruction while the object is whole, or from the destructor for one that was deleted.
void TComponent::TearDown() {
  if (FTornDown) return;
  FTornDown = true;
  if (!IsDestroying()) Destroying();
  // A notified component may drop its own links to this one meanwhile; bound the loop by taking
  // one entry at a time.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& back = other->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    other->Notification(this, TOperation::Remove);
  }
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EComponentError("List index out of bounds (" + IntToStr(index) + ")");
  return FComponents[size_t(index)];
}

int TComponent::ComponentIndex() const {
  if (FOwner == nullptr) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TComponent::SetName(const std::string& name) {
  if (name == FName) return;
  if (!name.empty() && FOwner != nullptr) {
    TComponent* other = FOwner->FindComponent(name);
    if (other != nullptr && other != this)
      throw EComponentError("A component named " + name + " already exists");
  }
  FName = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr || component->FOwner == this) return;
  if (component->FOwner != nullptr) component->FOwner->RemoveComponent(component);
  if (!component->FName.empty() && FindComponent(component->FName) != nullptr)
    throw EComponentError("A component named " + component->FName + " already exists");
  Insert(component);
  Notification(component, TOperation::Insert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->FOwner != this) return;
  Notification(component, TOperation::Remove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
}

void TComponent::Remove(TComponent* component) {
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
  component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  // Siblings hear of each one first, so none keeps a link to a freed one while it goes itself.
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    RemoveComponent(last);
    last->Free();
  }
}

void TComponent::Destroying() {
  if (IsDestroying()) return;
  Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::BeginLoading() {
  Include(csLoading | csReading);
  for (TComponent* c : FComponents) c->BeginLoading();
}

void TComponent::CompleteConstruction() {
  if (!FConstructed) {
    FConstructed = true;
    AfterConstruction();
  }
}

void TComponent::FinishCreation() {
  CompleteConstruction();
  // A form ends its loading in AfterConstruction.
  if (FLoadedOnce) return;
  if (FOwner == nullptr || !FOwner->IsLoading()) EndLoading();
}

void TComponent::EndLoading() {
  CompleteConstruction();
  if (IsLoading() || !FLoadedOnce) {
    FLoadedOnce = true;
    Loaded();
  }
  // By index: a Loaded may make more components (they join the end and are completed here too) or
  // free some.
  for (size_t i = 0; i < FComponents.size(); ++i) FComponents[i]->EndLoading();
}

void TComponent::Loaded() { Exclude(csLoading | csReading); }

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
    FFreeNotifies.push_back(component);
  auto& back = component->FFreeNotifies;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
  Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  RemoveNotification(component);
  component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component), FFreeNotifies.end());
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::Remove && component != nullptr) RemoveNotification(component);
  // Copy: a notified component may free others of this owner.
  std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned)
    if (std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end()) c->Notification(component, operation);
}
