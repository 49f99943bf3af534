#include "skin/windows/TsCtrlAdapter.h"

#include <algorithm>

#include "framework/win/AllocateHWnd.h"
#include "framework/win/TCustomForm.h"

namespace {

constexpr UINT WM_TAKE_PENDING = WM_APP + 0x119;

}  // namespace

TsCtrlAdapter::TsCtrlAdapter(TComponent* owner) : TComponent(owner) {}

TsCtrlAdapter::~TsCtrlAdapter() {
  if (FPendingWindow != nullptr) DeallocateHWnd(FPendingWindow);
}

void TsCtrlAdapter::BeforeDestruction() {
  if (!IsDestroying()) Destroying();
  FPending.clear();
  // Bounded by the count: an item that cannot go would otherwise hold the loop.
  for (int left = Count(); left > 0 && Count() > 0; --left) RemoveItem(0);
  TComponent::BeforeDestruction();
}

TCustomForm* TsCtrlAdapter::Form() const {
  for (TComponent* c = Owner(); c != nullptr; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
  return nullptr;
}

void TsCtrlAdapter::Loaded() {
  TComponent::Loaded();
  if (FAutoSearch) {
    AddAll();
    return;
  }
  TCustomForm* form = Form();
  if (form == nullptr) return;
  for (int i = 0; i < Count(); ++i) {
    const std::string name = ItemControlName(i);
    if (name.empty()) break;
    if (auto* control = dynamic_cast<TControl*>(form->FindComponent(name))) BindItem(i, control);
  }
}

void TsCtrlAdapter::SetAutoSearch(bool value) {
  if (value == FAutoSearch) return;
  FAutoSearch = value;
  if (value && !IsLoading()) AddAll();
}

void TsCtrlAdapter::AddAll() {
  TCustomForm* form = Form();
  if (form == nullptr) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    if (Adapts(c)) AddControl(dynamic_cast<TControl*>(c));
  }
}

int TsCtrlAdapter::IndexOfRemoved(TComponent* component) const { return IndexOf(component->Name()); }

void TsCtrlAdapter::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (component == this || component == nullptr) return;
  if (operation == TOperation::Insert) {
    if (!FAutoSearch || IsDestroying() || IsLoading()) return;
    FPending.push_back(component);
    if (FPendingWindow == nullptr) FPendingWindow = AllocateHWnd(TWndMethod(this, &TsCtrlAdapter::PendingWndProc));
    if (!FPendingPosted) FPendingPosted = PostMessageA(FPendingWindow, WM_TAKE_PENDING, 0, 0) != 0;
    return;
  }
  FPending.erase(std::remove(FPending.begin(), FPending.end(), component), FPending.end());
  if (IsDestroying()) {
    ForgetRemoved(component);
    return;
  }
  const int index = IndexOfRemoved(component);
  if (index >= 0) RemoveItem(index);
}

void TsCtrlAdapter::PendingWndProc(TMessage& message) {
  if (message.Msg == WM_TAKE_PENDING) {
    FPendingPosted = false;
    TakePending();
    return;
  }
  message.Result = DefWindowProcA(FPendingWindow, message.Msg, message.WParam, message.LParam);
}

void TsCtrlAdapter::TakePending() {
  std::vector<TComponent*> pending;
  pending.swap(FPending);
  if (!FAutoSearch || IsDestroying()) return;
  for (TComponent* c : pending)
    if (Adapts(c)) AddControl(dynamic_cast<TControl*>(c));
}
