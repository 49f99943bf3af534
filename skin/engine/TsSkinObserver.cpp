#include "skin/engine/TsSkinObserver.h"

#include <utility>

#include "skin/engine/TsSkinManager.h"

TsSkinObserver::TsSkinObserver(std::function<void()> onChange) : FOnChange(std::move(onChange)) {}

TsSkinObserver::~TsSkinObserver() {
  SetManager(nullptr);
}

void TsSkinObserver::SetManager(TsSkinManager* manager) {
  if (manager == FManager) return;
  if (FManager) FManager->RemoveObserver(this);
  FManager = manager;
  if (FManager) FManager->AddObserver(this);
}
