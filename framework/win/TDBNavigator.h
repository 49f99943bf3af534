#pragma once

#include <array>
#include <string>

#include "framework/win/TCustomControl.h"
#include "framework/win/TDataLink.h"
#include "framework/win/TSpeedButton.h"

class TDataSource;
class TTimer;

enum class TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
using enum TNavigateBtn;
using TButtonSet = uint16_t;
constexpr TButtonSet NavButton(TNavigateBtn b) { return TButtonSet(1u << static_cast<unsigned>(b)); }
constexpr TButtonSet nbAllButtons = 0x3FF;
using ENavClick = TDelegate<void(TObject* Sender, TNavigateBtn Button)>;

class TDBNavigator;

// A button of the navigator; Prior and Next repeat while held (after 400 ms, every 100 ms).
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
  void TimerExpired(TObject* sender);

  TNavigateBtn FIndex;
  TTimer* FRepeatTimer = nullptr;
};

// A row of buttons that move through and edit a table through a data source.
class TDBNavigator : public TCustomControl {
public:
  explicit TDBNavigator(TComponent* owner);
  ~TDBNavigator() override;

  TDataSource* DataSource() const { return FLink.DataSource(); }
  void SetDataSource(TDataSource* source) { FLink.SetDataSource(source); }
  TButtonSet VisibleButtons() const { return FVisibleButtons; }
  void SetVisibleButtons(TButtonSet value);
  bool ConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(bool value) { FConfirmDelete = value; }
  TNavButton* Buttons(TNavigateBtn index) const { return FButtons[size_t(index)]; }
  // The button Space presses; Left and Right move it among the visible buttons.
  TNavigateBtn FocusedButton() const { return FFocusedButton; }
  // Custom hints, one per button in order; an empty line keeps the default.
  void SetHints(const std::vector<std::string>& hints);

  // Runs the action of button index (as its click does).
  void BtnClick(TNavigateBtn index);

  const ENavClick& BeforeAction() const { return FBeforeAction; }
  void SetBeforeAction(const ENavClick& e) { FBeforeAction = e; }
  const ENavClick& OnNavClick() const { return FOnNavClick; }
  void SetOnNavClick(const ENavClick& e) { FOnNavClick = e; }

  void Dispatch(TMessage& message) override;
  // Enables the buttons for the state reached while loading.
  void Loaded() override;

protected:
  void Paint() override;
  void Resize() override;
  void KeyDown(WORD& key, TShiftState shift) override;

private:
  class TNavLink : public TDataLink {
  public:
    explicit TNavLink(TDBNavigator* navigator) : FNavigator(navigator) {}

  protected:
    void DataEvent(TDataEvent) override { FNavigator->UpdateButtons(); }
    void ActiveChanged() override { FNavigator->UpdateButtons(); }

  private:
    TDBNavigator* FNavigator;
  };

  void ButtonClick(TObject* sender);
  void ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void UpdateButtons();
  void Layout();

  TNavLink FLink;
  std::array<TNavButton*, 10> FButtons{};
  TButtonSet FVisibleButtons = nbAllButtons;
  bool FConfirmDelete = true;
  TNavigateBtn FFocusedButton = nbFirst;
  ENavClick FBeforeAction, FOnNavClick;
};
