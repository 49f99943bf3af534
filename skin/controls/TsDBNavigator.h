#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "framework/win/TDBNavigator.h"
#include "skin/controls/TsSpeedButton.h"
#include "framework/base/NavigatorModel.h"
#include "skin/engine/TsSkinned.h"

class TImageList;
class TsDBNavigator;

// A button of the skinned navigator ("TOOLBUTTON"); Prior and Next repeat while held
// (TDBNavigator::StartRepeat). The navigator's focused button shows hot while the navigator has the
// focus.
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
  bool ShowsFocus() const;

  TsDBNavigator* FNavigator;
  TNavigateBtn FIndex;
};

// Asked before a record is deleted; true deletes it. Replaceable (tests, another dialog); by
// default a plain OK/Cancel question.
using TsNavDeleteConfirmation = std::function<bool(TsDBNavigator* navigator)>;
TsNavDeleteConfirmation& NavigatorDeleteConfirmation();

// The skinned row of ten table buttons ("TOOLBAR"): First, Prior, Next, Last, Insert, Delete, Edit,
// Post, Cancel, Refresh. Each button is at least NavigatorModel::MinButtonWidth x MinButtonHeight.
class TsDBNavigator : public TsSkinned<TDBNavigator> {
public:
  explicit TsDBNavigator(TComponent* owner);
  ~TsDBNavigator() override;

  // Glyphs from an image list, FirstImageIndex for First and on; without one, the built-in glyphs.
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  int FirstImageIndex() const { return FFirstImageIndex; }
  void SetFirstImageIndex(int value);

  TsNavButton* Buttons(TNavigateBtn index) const { return static_cast<TsNavButton*>(Button(index)); }

  // Never smaller than the visible buttons at their minimum size.
  void SetBounds(int left, int top, int width, int height) override;

protected:
  NavigatorModel::TLayout ButtonLayout() const override;
  void FocusLookChanged(TNavigateBtn index) override;
  bool ConfirmDeletion() override;
  void RefreshData(TClientDataSet* table) override;
  void Resize() override;
  void Notification(TComponent* component, TOperation operation) override;
  bool SkinnedMessage(TMessage& message) override;
  void CacheShown(bool rebuilt) override;

private:
  void UpdateGlyphs();

  TImageList* FImages = nullptr;  // not owned
  int FFirstImageIndex = 0;
};
