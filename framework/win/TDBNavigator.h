#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/NavigatorModel.h"

#include "framework/win/TCustomControl.h"
#include "framework/win/TDataLink.h"
#include "framework/win/TSpeedButton.h"

class TClientDataSet;
class TDataSource;
class TTimer;

enum class TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
using enum TNavigateBtn;
using TButtonSet = uint16_t;
constexpr TButtonSet NavButton(TNavigateBtn b) { return TButtonSet(1u << static_cast<unsigned>(b)); }
constexpr TButtonSet nbAllButtons = 0x3FF;
using ENavClick = TDelegate<void(TObject* Sender, TNavigateBtn Button)>;

class TDBNavigator;

// A button of the navigator; Prior and Next repeat while held (TDBNavigator::StartRepeat).
class TNavButton : public TSpeedButton {
public:
  TNavButton(TDBNavigator* navigator, TNavigateBtn index);
  TNavigateBtn Index() const { return FIndex; }
  bool Repeats() const { return FIndex == nbPrior || FIndex == nbNext; }
  // Moves the repeat on by one tick (the timer's work; tests call it directly).
  void RepeatTick();

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  TDBNavigator* FNavigator;
  TNavigateBtn FIndex;
};

// A row of buttons that move through and edit a table through a data source. The buttons are
// laid out, enabled and stepped by NavigatorModel; a navigator of other buttons (a skinned one)
// makes them itself with MakeButtons and states its differences in the hooks below.
class TDBNavigator : public TCustomControl {
public:
  explicit TDBNavigator(TComponent* owner);
  ~TDBNavigator() override;

  TDataSource* DataSource() const { return FLink.DataSource(); }
  void SetDataSource(TDataSource* source);
  TButtonSet VisibleButtons() const { return FVisibleButtons; }
  void SetVisibleButtons(TButtonSet value);
  bool ConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(bool value) { FConfirmDelete = value; }
  // The framework's button at index; nullptr in a navigator with other buttons.
  TNavButton* Buttons(TNavigateBtn index) const { return dynamic_cast<TNavButton*>(Button(index)); }
  // The button Space presses; Left and Right move it among the visible buttons.
  TNavigateBtn FocusedButton() const { return FFocusedButton; }
  void SetFocusedButton(TNavigateBtn index);
  // Custom hints, one per button in order; an empty line keeps the default.
  const std::vector<std::string>& Hints() const { return FHints; }
  void SetHints(const std::vector<std::string>& hints);

  // Runs the action of button index (as its click does).
  void BtnClick(TNavigateBtn index);

  // The left button pressed button (Prior or Next): it clicks again while held, after 400 ms and
  // then every 100 ms, until StopRepeat.
  void StartRepeat(TSpeedButton* button);
  void StopRepeat();
  // One tick of the repeat: a click while the button is held down with the mouse over it.
  void RepeatTick();

  const ENavClick& BeforeAction() const { return FBeforeAction; }
  void SetBeforeAction(const ENavClick& e) { FBeforeAction = e; }
  const ENavClick& OnNavClick() const { return FOnNavClick; }
  void SetOnNavClick(const ENavClick& e) { FOnNavClick = e; }

  void Dispatch(TMessage& message) override;
  // Enables the buttons for the state reached while loading.
  void Loaded() override;

protected:
  struct TNoButtons {};
  // A navigator whose buttons the derived class makes (MakeButtons).
  TDBNavigator(TComponent* owner, TNoButtons);
  // Makes the ten buttons with make, gives them their hints and clicks, and lays them out.
  void MakeButtons(const std::function<TSpeedButton*(TNavigateBtn)>& make);
  TSpeedButton* Button(TNavigateBtn index) const { return FButtons[size_t(index)]; }

  // Where the buttons go: by default over the whole control, to its bottom edge.
  virtual NavigatorModel::TLayout ButtonLayout() const;
  // The focus look of button index changed.
  virtual void FocusLookChanged(TNavigateBtn index);
  // Asked before a record is deleted while ConfirmDelete; true deletes it.
  virtual bool ConfirmDeletion();
  // Reread the table for the Refresh button; by default an in-memory table has nothing to reread.
  virtual void RefreshData(TClientDataSet* /*table*/) {}
  // Places the buttons as ButtonLayout says, the navigator's width included.
  void Layout();
  void UpdateButtons();

  void Paint() override;
  void Resize() override;
  void KeyDown(WORD& key, TShiftState shift) override;

private:
  class TNavLink : public TDataLink {
  public:
    explicit TNavLink(TDBNavigator* navigator) : FNavigator(navigator) {}

  protected:
    void DataEvent(TDataEvent event) override;
    void ActiveChanged() override { FNavigator->UpdateButtons(); }

  private:
    TDBNavigator* FNavigator;
  };

  void ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  TNavLink FLink;
  std::array<TSpeedButton*, 10> FButtons{};
  TButtonSet FVisibleButtons = nbAllButtons;
  std::vector<std::string> FHints;
  bool FConfirmDelete = true;
  TNavigateBtn FFocusedButton = nbFirst;
  ENavClick FBeforeAction, FOnNavClick;
  TTimer* FRepeatTimer = nullptr;
  TSpeedButton* FHeldButton = nullptr;
  // False once the navigator is gone: a handler run from BtnClick may free it.
  std::shared_ptr<bool> FExists = std::make_shared<bool>(true);
};
