#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "framework/win/TDBNavigator.h"
#include "framework/win/TDataLink.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsSpeedButton.h"
#include "framework/base/NavigatorModel.h"

class TImageList;
class TTimer;
class TsDBNavigator;

// A button of the skinned navigator ("TOOLBUTTON"); Prior and Next repeat while held (after
// 400 ms, every 100 ms). The navigator's focused button shows hot while the navigator has the focus.
class TsNavButton : public TsSpeedButton {
public:
  TsNavButton(TsDBNavigator* navigator, TNavigateBtn index);

  TNavigateBtn Index() const { return FIndex; }
  bool Repeats() const { return FIndex == nbPrior || FIndex == nbNext; }
  // Moves the repeat on by one tick (the timer's work).
  void RepeatTick();

protected:
  TsSkinState SkinState() const override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  void TimerExpired(TObject* sender);
  bool ShowsFocus() const;

  TsDBNavigator* FNavigator;
  TNavigateBtn FIndex;
  TTimer* FRepeatTimer = nullptr;
};

// What the navigator follows of its table.
class TsNavDataLink : public TDataLink {
public:
  explicit TsNavDataLink(TsDBNavigator* navigator) : FNavigator(navigator) {}

protected:
  void DataEvent(TDataEvent event) override;
  void ActiveChanged() override;

private:
  TsDBNavigator* FNavigator;
};

// Asked before a record is deleted; true deletes it. Replaceable (tests, another dialog); by
// default a plain OK/Cancel question.
using TsNavDeleteConfirmation = std::function<bool(TsDBNavigator* navigator)>;
TsNavDeleteConfirmation& NavigatorDeleteConfirmation();

// The skinned row of ten table buttons ("TOOLBAR"): First, Prior, Next, Last, Insert, Delete, Edit,
// Post, Cancel, Refresh. Each button is at least NavigatorModel::MinButtonWidth x MinButtonHeight.
class TsDBNavigator : public TsPanel {
public:
  explicit TsDBNavigator(TComponent* owner);
  ~TsDBNavigator() override;

  TDataSource* DataSource() const { return FLink.DataSource(); }
  void SetDataSource(TDataSource* source);
  TButtonSet VisibleButtons() const { return FVisibleButtons; }
  void SetVisibleButtons(TButtonSet value);
  // One line per button in button order; an empty line keeps the default hint.
  const std::vector<std::string>& Hints() const { return FHints; }
  void SetHints(const std::vector<std::string>& hints);
  bool ConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(bool value) { FConfirmDelete = value; }
  // Glyphs from an image list, FirstImageIndex for First and on; without one, the built-in glyphs.
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  int FirstImageIndex() const { return FFirstImageIndex; }
  void SetFirstImageIndex(int value);

  TsNavButton* Buttons(TNavigateBtn index) const { return FButtons[size_t(index)]; }
  // The button Space presses; Left and Right move it among the visible buttons.
  TNavigateBtn FocusedButton() const { return FFocusedButton; }
  void SetFocusedButton(TNavigateBtn index);

  // The action of a button, as its click runs it.
  void BtnClick(TNavigateBtn index);

  const ENavClick& BeforeAction() const { return FBeforeAction; }
  void SetBeforeAction(const ENavClick& e) { FBeforeAction = e; }
  const ENavClick& OnNavClick() const { return FOnNavClick; }
  void SetOnNavClick(const ENavClick& e) { FOnNavClick = e; }

  // Never smaller than the visible buttons at their minimum size.
  void SetBounds(int left, int top, int width, int height) override;
  void Dispatch(TMessage& message) override;
  void Loaded() override;

protected:
  void Resize() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TsNavDataLink;
  void UpdateEnabling();
  void LayOut();
  int BorderSize() const;
  void UpdateGlyphs();
  void RepaintButton(TNavigateBtn index);

  TsNavDataLink FLink;
  std::array<TsNavButton*, 10> FButtons{};
  TButtonSet FVisibleButtons = nbAllButtons;
  std::vector<std::string> FHints;
  bool FConfirmDelete = true;
  TImageList* FImages = nullptr;  // not owned
  int FFirstImageIndex = 0;
  TNavigateBtn FFocusedButton = nbFirst;
  ENavClick FBeforeAction, FOnNavClick;
};
