#pragma once

#include <vector>

#include "framework/win/StdControlTypes.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TWinControl.h"

class TImageList;
class TPageControl;
class TTabSheet;

// An owner-drawn tab: Control->Canvas() draws into Rect.
using TDrawTabEvent = TDelegate<void(TPageControl* Control, int TabIndex, const RECT& Rect, bool Active)>;

// The native tab control holding pages (TTabSheet); the active page fills the display area.
// OnChanging may refuse a switch the user asks for; OnChange follows every switch the user makes.
class TPageControl : public TWinControl {
public:
  explicit TPageControl(TComponent* owner);
  void BeforeDestruction() override;

  int PageCount() const { return int(FPages.size()); }
  TTabSheet* Pages(int index) const { return FPages.at(size_t(index)); }
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int value);
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value);
  // The page of visible tab tabIndex, nullptr when out of range; and back.
  TTabSheet* PageForTab(int tabIndex) const;
  int TabIndexOf(const TTabSheet* page) const;
  // The next page with a visible tab after current (or before it), wrapping; nullptr when none.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  void SelectNextPage(bool goForward);
  RECT DisplayRect();
  // The tabs' images, by each page's ImageIndex (not owned).
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  // The tabs are drawn by OnDrawTab on Canvas.
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool value);
  TCanvas* Canvas() { return &FCanvas; }
  const TDrawTabEvent& OnDrawTab() const { return FOnDrawTab; }
  void SetOnDrawTab(const TDrawTabEvent& e) { FOnDrawTab = e; }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  const TTabChangingEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(const TTabChangingEvent& e) { FOnChanging = e; }

  void AdjustClientRect(RECT& r) override;
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void AlignControls(TControl* control, RECT& r) override;
  virtual bool CanChange();
  virtual void Change();

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  void UpdateTabs();
  void UpdateTab(TTabSheet* page);
  void ShowActive();
  void ApplyImages();

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  TTabPosition FTabPosition = tpTop;
  bool FMultiLine = false;
  TImageList* FImages = nullptr;
  bool FOwnerDraw = false;
  TCanvas FCanvas;
  TDrawTabEvent FOnDrawTab;
  TNotifyEvent FOnChange;
  TTabChangingEvent FOnChanging;
};
