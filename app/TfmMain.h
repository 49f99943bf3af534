#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "editors/TEditorMainLink.h"
#include "framework/win/TCustomForm.h"
#include "workbench/core/JobCommands.h"
#include "workbench/core/TSuperfileHost.h"

class TClientDataSet;
class TControl;
class TCodeGroupTable;
class TDataSource;
class TDBGrid;
class TIniFile;
class TMainMenu;
class TMenuItem;
class TTimer;
class TsButton;
class TsCheckBox;
class TsFilenameEdit;
class TsGauge;
class TsGridAdapter;
class TsHintManager;
class TsOpenDialog;
class TsPanel;
class TsRadioGroup;
class TsSaveDialog;
class TsSkinManager;
class TsSkinObserver;
class TsSkinProvider;
class TsSpinEdit;
class TsStatusBar;
struct THintInfo;

// The main window: the source superfile, the grid of code-group rows, the status line and gauge,
// and the buttons that start every job. It owns the program's ini file.
class TfmMain : public TForm, public TSuperfileHost, public TEditorMainLink {
public:
  explicit TfmMain(TComponent* owner);
  ~TfmMain() override;
  void BeforeDestruction() override;

  TsSkinManager* SkinManager = nullptr;
  TsOpenDialog* sOpenDialog1 = nullptr;
  TsSaveDialog* sSaveDialog1 = nullptr;

  // The window's components.
  TsSkinProvider* sSkinProvider1 = nullptr;
  TsHintManager* HintManager = nullptr;
  TsGridAdapter* sGridAdapter1 = nullptr;
  TsPanel* sPanel1 = nullptr;  // the upper panel
  TsPanel* sPanel2 = nullptr;  // the button panel
  TsFilenameEdit* sFilenameEdit1 = nullptr;
  TsSpinEdit* sSpinEdit1 = nullptr;
  TsRadioGroup* sRadioGroup1 = nullptr;
  TsCheckBox* sCheckBox1 = nullptr;
  TsButton* sButton1 = nullptr;   // "Open project"
  TsButton* sButton2 = nullptr;   // "Save project"
  TsButton* sButton3 = nullptr;   // "Add"
  TsButton* sButton4 = nullptr;   // "Delete"
  TsButton* sButton5 = nullptr;   // "Open by"
  TsButton* sButton6 = nullptr;   // "Edit"
  TsButton* sButton7 = nullptr;   // "Replace"
  TsButton* sButton8 = nullptr;   // "Flash"
  TsButton* sButton9 = nullptr;   // "Clear All"
  TsButton* sButton10 = nullptr;  // "Combine files to *.shx"
  TsButton* sButton11 = nullptr;  // "Split file"
  TDBGrid* DBGrid1 = nullptr;
  TClientDataSet* CDS = nullptr;
  TDataSource* DataSource1 = nullptr;
  TsStatusBar* sStatusBar1 = nullptr;
  TsGauge* sGauge1 = nullptr;
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* OpenAndSplit1 = nullptr;
  TMenuItem* Exit1 = nullptr;
  TMenuItem* LangpackEditor1 = nullptr;
  TMenuItem* DRMEditor1 = nullptr;
  TMenuItem* FlexEditor1 = nullptr;
  TMenuItem* Flasher1 = nullptr;
  TMenuItem* Environment1 = nullptr;
  TMenuItem* Help1 = nullptr;
  TMenuItem* About1 = nullptr;

  // Settings the environment options read and change.
  const std::string& AppDir() const { return FAppDir; }
  const std::string& LangDir() const { return FLangDir; }
  const std::string& Language() const { return FLanguage; }
  bool ShowHints() const { return FShowHints; }
  void SetShowHints(bool value) { FShowHints = value; }
  // The user switched the skin on or off in the options: "Skined" is written as the skin is then.
  void SkinSwitchedByUser() { FKeepSkined = false; }
  // The Name of the grid's current row; empty when the grid is closed or empty.
  std::string CurrentRowName();
  // The program's ini file (the executable's name with ".ini").
  std::string IniFileName() const;
  TCodeGroupTable& Rows() { return *FRows; }
  // A split or combine is running: the jobs' controls are disabled and a close waits for its end.
  bool Busy() const { return FBusy; }

  // The jobs.
  void SplitFile(const std::string& fileName);
  void CombineToSHX(const std::string& fileName);
  void SaveProject(const std::string& fileName);
  void OpenProject(const std::string& fileName);

  // Hand-off to the flasher.
  void FillFlasherLoader() override;
  void CopySelectionToFlasher();

  // TEditorMainLink
  TCustomForm* MainForm() override { return this; }
  std::optional<TGridRow> GridRow(int cg) override;
  void CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) override;
  void SetProgress(int position, int maximum) override;
  std::pair<int, int> AskRawBounds(int width, int height) override;
  bool JobRunning() override { return Busy(); }

  // TSuperfileHost
  void ResetRows() override;
  void AddRow(const TCodeGroupRow& row) override;
  void SelectLastRow() override;
  void SetStatus(const std::string& text) override;
  void SetGaugeRange(int64_t max, int64_t progress) override;
  void SetGaugeProgress(int64_t progress) override;
  void ShowError(const std::string& text) override;
  void ShowWarning(const std::string& text) override;
  void BringToFront() override;
  bool AskSaveFileName(const std::string& filter, std::string& fileName) override;
  void SetBusyCursor(bool busy) override;
  void ProcessMessages() override;

  // During a job the gauge and the status follow every step, but the window is painted and its
  // messages handled only when a frame is due: at most once per kJobFrameMs.
  static constexpr uint64_t kJobFrameMs = 33;
  // The clock of the job's frames, in ms.
  virtual uint64_t JobClock();

  // Event handlers (public so that tests can drive them as the user does).
  void FormCreate(TObject* sender);
  void FormDestroy(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void HintManagerShowHint(std::string& hintStr, bool& canShow, THintInfo& hintInfo);
  void sFilenameEdit1ButtonClick(TObject* sender);
  void sRadioGroup1Click(TObject* sender);
  void sButton1Click(TObject* sender);   // "Open project"
  void sButton2Click(TObject* sender);   // "Save project"
  void sButton3Click(TObject* sender);   // "Add"
  void sButton4Click(TObject* sender);   // "Delete"
  void sButton5Click(TObject* sender);   // "Open by"
  void sButton6Click(TObject* sender);   // "Edit", the grid's double-click
  void sButton7Click(TObject* sender);   // "Replace"
  void sButton9Click(TObject* sender);   // "Clear All"
  void sButton10Click(TObject* sender);  // "Combine files to *.shx"
  void sButton11Click(TObject* sender);  // "Split file"
  void Flash1Click(TObject* sender);     // "Flash", "Flasher"
  void Help1Click(TObject* sender);
  void About1Click(TObject* sender);
  void Environment1Click(TObject* sender);
  void Exit1Click(TObject* sender);
  void LangpackEditor1Click(TObject* sender);
  void DRMEditor1Click(TObject* sender);
  void FlexEditor1Click(TObject* sender);

private:
  class TJob;
  void BuildComponents();
  void BuildMenu();
  void LoadSkinAtStart(bool active, const std::string& name);
  void SkinChanged();
  void SaveEnvironment();
  void UpdateLabelColors();
  // thenInScope runs once the controls have changed, before they are painted.
  void SetJobControlsEnabled(bool enabled, const std::function<void()>& thenInScope = {});
  void SetJobMenuEnabled(bool enabled);
  void JobFrame();
  void RunCombine(const std::string& initialName);
  // The control or menu item of a command; nullptr for the other kind.
  TControl* CommandControl(TWorkbenchCommand command) const;
  TMenuItem* CommandMenuItem(TWorkbenchCommand command) const;
  void DBGrid1KeyDown(TObject* sender, uint16_t& key, uint8_t shift);
  void FlashCloseTimer(TObject* sender);
  bool GridHasRows() const;
  void ShowWarning(const std::string& text, bool cancelOnly);

  std::string FAppDir;
  std::string FLangDir;
  std::string FLanguage = "English";
  bool FShowHints = true;
  // The skin named at start was refused: "Skined" is written back as it was read (FSkinedRead),
  // so that a repaired skin is used again, until the user switches the skin or a skin loads.
  bool FKeepSkined = false;
  bool FSkinedRead = true;
  std::unique_ptr<TIniFile> FIni;
  std::unique_ptr<TClientDataSet> FCDS;
  std::unique_ptr<TCodeGroupTable> FRows;
  bool FBusy = false;
  bool FCloseWhenIdle = false;
  TTimer* FFlashCloseTimer = nullptr;
  std::unique_ptr<TsSkinObserver> FSkinObserver;
  int FGaugeShift = 0;
  uint64_t FLastJobFrame = 0;
};

extern TfmMain* fmMain;
