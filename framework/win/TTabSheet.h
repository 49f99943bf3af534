#pragma once

#include "framework/win/TWinControl.h"

class TPageControl;

// One page of a page control. A page whose tab is not visible keeps its place among the pages
// but has no tab (TabIndex -1).
class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* owner);
  void BeforeDestruction() override;

  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* control);
  void SetParent(TWinControl* parent) override;
  int PageIndex() const;
  void SetPageIndex(int value);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool value);
  // The index of the page's tab among the visible tabs, -1 when it has none.
  int TabIndex() const;
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);

  const TNotifyEvent& OnShow() const { return FOnShow; }
  void SetOnShow(const TNotifyEvent& e) { FOnShow = e; }
  const TNotifyEvent& OnHide() const { return FOnHide; }
  void SetOnHide(const TNotifyEvent& e) { FOnHide = e; }

  void Dispatch(TMessage& message) override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
  int FImageIndex = -1;
  TNotifyEvent FOnShow, FOnHide;
};
