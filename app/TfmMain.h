#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "app/core/TSuperfileHost.h"
#include "editors/TEditorMainLink.h"
#include "framework/win/TCustomForm.h"

class TsOpenDialog;
class TsSaveDialog;
class TsSkinManager;

// The main window: the source superfile, the grid of code-group rows, the status line and gauge,
// and the buttons that start every job. It owns the program's ini file.
class TfmMain : public TForm, public TSuperfileHost, public TEditorMainLink {
public:
  explicit TfmMain(TComponent* owner);
  ~TfmMain() override;

  TsSkinManager* SkinManager = nullptr;
  TsOpenDialog* sOpenDialog1 = nullptr;
  TsSaveDialog* sSaveDialog1 = nullptr;

  // Settings the environment options read and change.
  const std::string& AppDir() const { return FAppDir; }
  const std::string& LangDir() const { return FLangDir; }
  const std::string& Language() const { return FLanguage; }
  bool ShowHints() const { return FShowHints; }
  void SetShowHints(bool value) { FShowHints = value; }
  // The Name of the grid's current row; empty when the grid is closed or empty.
  std::string CurrentRowName();

  // Hand-off to the flasher.
  void FillFlasherLoader() override;
  void CopySelectionToFlasher();

  // TEditorMainLink
  TCustomForm* MainForm() override { return this; }
  std::optional<TGridRow> GridRow(int cg) override;
  void CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) override;
  void SetProgress(int position, int maximum) override;
  std::pair<int, int> AskRawBounds(int width, int height) override;

  // TSuperfileHost
  void ResetRows() override;
  void AddRow(const TCodeGroupRow& row) override;
  void SelectLastRow() override;
  void SetStatus(const std::string& text) override;
  void SetGaugeRange(int64_t max, int64_t progress) override;
  void SetGaugeProgress(int64_t progress) override;
  void ShowError(const std::string& text) override;
  void BringToFront() override;
  bool AskSaveFileName(const std::string& filter, std::string& fileName) override;
  void SetBusyCursor(bool busy) override;
  void ProcessMessages() override;

private:
  std::string FAppDir;
  std::string FLangDir;
  std::string FLanguage = "English";
  bool FShowHints = true;
};

extern TfmMain* fmMain;
