#pragma once

#include <array>
#include <vector>

#include "framework/win/TCustomForm.h"
#include "skin/controls/core/CalcEngine.h"

class TMenuItem;
class TPopupMenu;
class TsDragBar;
class TsPanel;
class TsSpeedButton;

// The pocket calculator: a drag bar with minimize and close, a display, a memory mark and a pad of
// small speed buttons over a key processor (TCalcEngine). Typed keys and the pad's buttons go to
// the processor; OK and Cancel sit on a bottom panel that a pop-up use hides.
class TsCalcForm : public TForm {
public:
  explicit TsCalcForm(TComponent* owner);
  ~TsCalcForm() override;

  TCalcEngine& Engine() { return FEngine; }
  // Without the bottom panel, for use below an edit.
  void SetPopupLook(bool popup);
  bool PopupLook() const { return FPopupLook; }
  // The pad's button showing caption, nullptr when none does.
  TsSpeedButton* PadButton(const std::string& caption) const;
  TsPanel* DisplayPanel() const { return FDisplay; }
  TsPanel* MemoryPanel() const { return FMemoryPanel; }

protected:
  void KeyPress(char& key) override;
  void DoShow() override;
  void Resize() override;

private:
  enum TAction : int { KeyAction = 0, MemoryClear = 256, MemoryRecall, MemoryStore, MemoryAdd, Ok, Cancel };

  TsSpeedButton* AddButton(TWinControl* parent, const std::string& caption, int action, const std::string& hint);
  void ButtonClick(TObject* sender);
  void MenuClick(TObject* sender);
  void MenuPopup(TObject* sender);
  void MinimizeClick(TObject* sender);
  void CloseClick(TObject* sender);
  void DisplayChanged();
  void LayOut();

  TCalcEngine FEngine;
  TsPanel* FMain = nullptr;
  TsDragBar* FBar = nullptr;
  TsPanel* FDisplay = nullptr;
  TsPanel* FMemoryPanel = nullptr;
  TsPanel* FBottom = nullptr;
  std::vector<TsSpeedButton*> FPad;  // row by row, as laid out
  TPopupMenu* FMenu = nullptr;
  TMenuItem* FPasteItem = nullptr;
  bool FPopupLook = false;
};
