#pragma once

#include <string>
#include <vector>

#include "framework/win/TPageControl.h"
#include "framework/win/TTabSheet.h"
#include "skin/controls/core/TabGeometry.h"
#include "skin/engine/TsSkinned.h"

class TBitmap;
class TsUpDown;

// The page control that paints its body and tabs from the skin. The native tab control keeps the
// layout (tab rectangles, rows, display rectangle, hit tests, selection); the skin replaces every
// pixel it draws: the tabs row by row from the farthest, the body, and the active tab last over
// the body's edge. Tabs that do not fit on one row are scrolled with a skinned up-down in place of
// the native one. The body's section is SkinSection ("PAGECONTROL") for top tabs and that name
// followed by "BOTTOM", "LEFT" or "RIGHT" for the other positions.
class TsPageControl : public TsSkinned<TPageControl> {
public:
  explicit TsPageControl(TComponent* owner);
  ~TsPageControl() override;

  // Control coordinates. With no tabs both areas are the whole control.
  RECT TabsArea();
  RECT BodyArea();
  // The painted rectangle of page pageIndex's tab; empty for a page without a tab, and while no
  // page is active.
  RECT SkinTabRect(int pageIndex, bool active);
  // The row of page pageIndex's tab (1 farthest from the body); 0 when it has no tab.
  int TabRow(int pageIndex);
  // Tabs scrolled out of a single row of top or bottom tabs.
  int HiddenTabCount();
  // The section the body paints with.
  std::string BodySectionName() const;
  // The up-down that scrolls the tabs, while some are hidden.
  TsUpDown* TabScroller() const { return FTabScroller; }
  // A tab switch is being handled: the body is not repainted meanwhile.
  bool TabChanging() const { return FTabChanging; }

  // Also while a tab switch is handled, for the pages' children.
  bool SkinBackgroundChanged() override;

protected:
  void StandingCommand(::SkinCommand command) override;
  bool SkinnedMessage(TMessage& message) override;
  void PaintSkin() override;
  void CacheShown(bool rebuilt) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TTabSide Side() const;
  TTabFrame Frame();
  // The native rectangles of the visible tabs, by tab index.
  std::vector<TRect> NativeTabRects();
  void PaintTabs(const TsCacheInfo& ci, const std::vector<TRect>& natives, int activeTab);
  void PaintTab(int tabIndex, const TRect& native, bool active, const RECT& clip);
  void PaintTabContent(TBitmap* target, int tabIndex, const RECT& r, int section, bool active);
  void PaintCaption(TBitmap* target, const std::string& caption, const RECT& r, int section, bool active);
  void UpdateTabScroller();
  void PostScrollerUpdate();
  void DestroyNativeScroller();
  void ScrollerClicked(TObject* sender, TUDBtnType button);
  // The strip and body show again after a switch or a refused one.
  void EndTabChange();

  TsUpDown* FTabScroller = nullptr;
  bool FTabChanging = false;
  bool FScrollerUpdatePosted = false;
};

// A page of a skinned page control: it shows the page control's cache through itself so that it
// looks like part of the body, and answers its children's questions about the background for it.
// Its skin object has no section of its own; graphic children are drawn over the page control's
// cache, which the sheet shows.
class TsTabSheet : public TsSkinned<TTabSheet> {
public:
  explicit TsTabSheet(TComponent* owner);

  // The page control's answers, for the sheet's place in its body.
  TsCacheInfo SkinCache() override;
  TColor SkinBackgroundColor() override;
  bool SkinBackgroundChanged() override;
  bool SkinHasPaintedBackground() override;
  // Of the commands, only the standing ones concern the sheet.
  void SkinCommand(::SkinCommand command) override;

protected:
  // Skinned while its page control is.
  bool SkinResolved() const override;
  // The sheet only passes a skin change on to its children, and repaints when the skin goes.
  void StandingCommand(::SkinCommand command) override;
  // A painting into a given DC is the standard one.
  bool SkinnedMessage(TMessage& message) override;
  void PaintClient(HDC dc) override;

private:
  // The skinned page control the sheet lies on, skinned or not.
  TsPageControl* Pages() const;
};
