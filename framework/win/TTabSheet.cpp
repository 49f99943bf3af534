#include "framework/win/TTabSheet.h"

#include "framework/win/TPageControl.h"

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csAcceptsControls | csClickEvents | csSetCaption | csDoubleClicks);
  SetVisible(false);
  SetColor(clBtnFace);
  SetAlign(alClient);
}

void TTabSheet::BeforeDestruction() {
  if (FPageControl != nullptr) FPageControl->RemovePage(this);
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (FPageControl != nullptr) FPageControl->RemovePage(this);
  TWinControl::SetParent(parent);
  if (auto* pages = dynamic_cast<TPageControl*>(parent)) pages->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* control) { SetParent(control); }

int TTabSheet::PageIndex() const {
  if (FPageControl == nullptr) return -1;
  for (int i = 0; i < FPageControl->PageCount(); ++i)
    if (FPageControl->Pages(i) == this) return i;
  return -1;
}

void TTabSheet::SetPageIndex(int value) {
  if (FPageControl != nullptr) FPageControl->MovePage(this, value);
}

int TTabSheet::TabIndex() const { return FPageControl != nullptr ? FPageControl->TabIndexOf(this) : -1; }

void TTabSheet::SetTabVisible(bool value) {
  if (value == FTabVisible) return;
  FTabVisible = value;
  if (FPageControl != nullptr) FPageControl->UpdateTabs();
}

void TTabSheet::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  if (FPageControl != nullptr) FPageControl->UpdateTab(this);
}

void TTabSheet::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
      if (FPageControl != nullptr) FPageControl->UpdateTab(this);
      break;
    case CM_VISIBLECHANGED:
      TWinControl::Dispatch(message);
      if (Visible() && FOnShow) FOnShow(this);
      if (!Visible() && FOnHide) FOnHide(this);
      return;
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
