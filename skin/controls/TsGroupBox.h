#pragma once

#include <string>
#include <vector>

#include "framework/base/TStringList.h"
#include "framework/win/TGroupBox.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/core/GroupLayout.h"
#include "skin/engine/TsSkinned.h"

// The skinned frame ("GROUPBOX") with its caption on a plate (CaptionSkin, "CHECKBOX" when empty).
class TsGroupBox : public TsSkinned<TGroupBox> {
public:
  explicit TsGroupBox(TComponent* owner);

  TsGroupCaptionLayout CaptionLayout() const { return FCaptionLayout; }
  void SetCaptionLayout(TsGroupCaptionLayout value);
  int CaptionYOffset() const { return FCaptionYOffset; }
  void SetCaptionYOffset(int value);
  const std::string& CaptionSkin() const { return FCaptionSkin; }
  void SetCaptionSkin(const std::string& value);

protected:
  void PaintSkin() override;
  void CacheShown(bool rebuilt) override;
  bool PaintsWholeClient() const override { return true; }
  TsSkinState SkinState() const override { return TsSkinState::Normal; }
  TGroupRect CaptionRect();

private:
  void CaptionChanged();

  TsGroupCaptionLayout FCaptionLayout = TsGroupCaptionLayout::clTopLeft;
  int FCaptionYOffset = 0;
  std::string FCaptionSkin;
};

class TsRadioGroup;

// A radio button of a radio group ("RADIOBUTTON"), made and placed by its group. Its clicks and its
// accelerator check it only while the group can be modified; the keys typed on it reach the
// group's key events too.
class TsGroupButton : public TsRadioButton {
public:
  explicit TsGroupButton(TsRadioGroup* group);
  ~TsGroupButton() override;

  void Dispatch(TMessage& message) override;

protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void AccelPressed() override;

private:
  TsRadioGroup* FGroup;
  bool FInClick = false;
};

// A group box whose Items are shown as radio buttons in Columns; ItemIndex is the checked one
// (-1 none). A click on a button sets ItemIndex, then clicks the group.
class TsRadioGroup : public TsGroupBox {
public:
  explicit TsRadioGroup(TComponent* owner);
  ~TsRadioGroup() override;

  TStringList& Items() { return FItems; }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int value);
  int Columns() const { return FColumns; }
  void SetColumns(int value);
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TsGroupButton* Buttons(int index) const { return FButtons.at(static_cast<std::size_t>(index)); }

  void Loaded() override;
  void Dispatch(TMessage& message) override;

protected:
  void Resize() override;
  // The user may change the checked button; a group that says no keeps it against clicks, the
  // arrows and Space.
  virtual bool CanModify() const { return true; }

private:
  friend class TsGroupButton;
  void ItemsChanged(TObject* sender);
  void UpdateButtons();
  void ArrangeButtons();
  void UpdateTabStops();
  void ButtonClick(TObject* sender);

  TStringList FItems;
  std::vector<TsGroupButton*> FButtons;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FUpdating = false;
};
