#include "app/TfmMain.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "app/TfmAbout.h"
#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmRAWBounds.h"
#include "app/TfmView.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/base/AnsiStrings.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/base/TIniFile.h"
#include "framework/win/SystemPaths.h"
#include "framework/win/TApplication.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"
#include "framework/win/TTimer.h"
#include "phone/TfmFlash.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsGroupBox.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinObserver.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsGridAdapter.h"
#include "skin/windows/TsHintManager.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsSkinProvider.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/FileFilters.h"
#include "workbench/core/FileHelpers.h"
#include "workbench/core/Hex.h"
#include "workbench/core/Messages.h"
#include "workbench/core/SmallDialogRules.h"
#include "workbench/core/TCodeGroupTable.h"
#include "workbench/core/TProject.h"
#include "workbench/core/TSuperfileCombiner.h"
#include "workbench/core/TSuperfileSplitter.h"

TfmMain* fmMain = nullptr;

namespace {

constexpr const char* kEnvironment = "Environment";
constexpr int kSourceHelpContext = 11;

}  // namespace

// A split or a combine: the jobs' controls are off while it runs; a close asked for meanwhile
// happens at its end. The control that had the focus when it began, in this window or in the
// editor that asked for the job, has it again at its end.
class TfmMain::TJob {
public:
  explicit TJob(TfmMain& form) : FForm(form), FFocus(GetFocus()) {
    FForm.FBusy = true;
    FForm.SetJobControlsEnabled(false);
    FForm.sStatusBar1->SetTextHeld(true);
    FForm.sGauge1->SetProgressHeld(true);
    FForm.FLastJobFrame = FForm.JobClock();
  }
  ~TJob() {
    FForm.FBusy = false;
    // The last values are painted now, whether or not a frame was due.
    {
      const TsInPlacePaints inPlace;
      FForm.sStatusBar1->SetTextHeld(false);
      FForm.sGauge1->SetProgressHeld(false);
    }
    FForm.sGauge1->Update();
    FForm.sStatusBar1->Update();
    // The focus comes back while the controls change, so that its look is painted with theirs.
    FForm.SetJobControlsEnabled(true, [this] {
      if (!FForm.FCloseWhenIdle) RestoreFocus();
    });
    if (FForm.FCloseWhenIdle) PostMessageA(FForm.Handle(), WM_CLOSE, 0, 0);
  }
  TJob(const TJob&) = delete;
  TJob& operator=(const TJob&) = delete;

private:
  // Turning the focused control off left the focus nowhere, and a dialog of the job may have moved
  // it. It goes back to that control, or to the next one of its window's Tab order that can take
  // it. While the program is not in front (the user went to another one meanwhile) the window only
  // notes it, for its next activation.
  void RestoreFocus() {
    TWinControl* control = FindControl(FFocus);  // none when it went away
    TCustomForm* form = control != nullptr ? GetParentForm(control) : nullptr;
    if (form == nullptr || !form->HandleAllocated() || !IsWindowVisible(form->Handle())) return;
    TWinControl* target = control->CanFocus() ? control : form->FindNextControl(control, true, true, false);
    if (target == nullptr) return;
    const HWND active = GetActiveWindow();
    if (active != nullptr && active != form->Handle() && form->Enabled()) SetActiveWindow(form->Handle());
    form->FocusControl(target);
  }

  TfmMain& FForm;
  const HWND FFocus;
};

TfmMain::TfmMain(TComponent* owner) : TForm(owner) {
  SetName("fmMain");
  SetCaption("Tarvex");
  SetPosition(poScreenCenter);
  SetBounds(0, 0, 760, 520);
  SetConstraints(TSizeConstraints{600, 445, 0, 0});
  SetShowHint(true);
  BuildComponents();
  BuildMenu();
  SetOnCreate(TNotifyEvent(this, &TfmMain::FormCreate));
  SetOnDestroy(TNotifyEvent(this, &TfmMain::FormDestroy));
  SetOnCloseQuery(TCloseQueryEvent(this, &TfmMain::FormCloseQuery));
  SetEditorMainLink(this);
}

// The data source lets go of the table before the components go; the table outlives them.
void TfmMain::BeforeDestruction() {
  if (DataSource1 != nullptr) DataSource1->SetDataSet(nullptr);
  DataSource1 = nullptr;
  TForm::BeforeDestruction();
}

TfmMain::~TfmMain() {
  if (EditorMainLink() == this) SetEditorMainLink(nullptr);
  // Deleted without Free: the components are still there.
  if (DataSource1 != nullptr) DataSource1->SetDataSet(nullptr);
}

void TfmMain::BuildComponents() {
  SkinManager = NewComponent<TsSkinManager>(this);
  SkinManager->SetName("SkinManager");
  sSkinProvider1 = NewComponent<TsSkinProvider>(this);
  sSkinProvider1->SkinData()->SetSkinSection("FORM");
  sSkinProvider1->SetCaptionAlignment(taCenter);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SetResizeMode(TsResizeMode::rmBorder);
  sSkinProvider1->SetScreenSnap(true);
  sSkinProvider1->SetSnapBuffer(1);

  HintManager = NewComponent<TsHintManager>(this);
  TsHintKind* kind = HintManager->HintKind();
  kind->SetStyle(TsHintStyle::hsSimply);
  kind->SetBevelWidth(0);
  kind->SetBlur(15);
  kind->SetGradientPercent(100);
  kind->SetBevel(1);
  kind->SetColor(static_cast<TColor>(11992314));
  kind->SetColorBorderTop(clWhite);
  kind->SetColorBorderBottom(clOlive);
  kind->SetTransparency(15);
  kind->SetShadowEnabled(true);
  kind->SetShadowBlur(30);
  kind->SetShadowColor(clBlack);
  kind->SetShadowOffset(15);
  kind->SetShadowTransparency(70);
  kind->SetMarginH(24);
  kind->SetMarginV(20);
  kind->SetMaxWidth(240);
  kind->Font()->SetName("MS Sans Serif");
  kind->Font()->SetHeight(-11);
  HintManager->SetHTMLMode(true);
  HintManager->SetPredefinitions(TsHintsPredefinitions::shTransparent);
  HintManager->SetOnShowHint(TShowHintEvent(this, &TfmMain::HintManagerShowHint));

  sOpenDialog1 = NewComponent<TsOpenDialog>(this);
  sSaveDialog1 = NewComponent<TsSaveDialog>(this);

  // From the bottom up: gauge, status line; then the upper panel, the buttons and the grid.
  sGauge1 = NewControl<TsGauge>(this, this, RECT{0, 0, 600, 16});
  sGauge1->SetAlign(alBottom);
  sGauge1->SkinData().SetSkinSection("GAUGE");
  sGauge1->SetProgressSkin("PANEL_LOW");
  sGauge1->SetProgress(0);
  sGauge1->SetSuffix("%");
  sStatusBar1 = NewControl<TsStatusBar>(this, this);
  sStatusBar1->SkinData().SetSkinSection("STATUSBAR");
  sStatusBar1->SetSimplePanel(true);

  sPanel1 = NewControl<TsPanel>(this, this, RECT{0, 0, 600, 84});
  sPanel1->SetAlign(alTop);
  sPanel1->SkinData().SetSkinSection("PANEL");
  sFilenameEdit1 = NewControl<TsFilenameEdit>(this, sPanel1, RECT{120, 12, 430, 33});
  sFilenameEdit1->SetName("sFilenameEdit1");
  sFilenameEdit1->SkinData().SetSkinSection("EDIT");
  sFilenameEdit1->SetMaxLength(255);
  sFilenameEdit1->SetHelpContext(kSourceHelpContext);
  sFilenameEdit1->BoundLabel()->SetCaption("Source SHX File");
  sFilenameEdit1->BoundLabel()->SetActive(true);
  sFilenameEdit1->SetFilter(GetFilter(TFilterKind::Superfiles));
  sFilenameEdit1->SetOnButtonClick(TNotifyEvent(this, &TfmMain::sFilenameEdit1ButtonClick));
  sSpinEdit1 = NewControl<TsSpinEdit>(this, sPanel1, RECT{120, 48, 200, 69});
  sSpinEdit1->SetName("sSpinEdit1");
  sSpinEdit1->SkinData().SetSkinSection("EDIT");
  sSpinEdit1->SetValue(512);
  sSpinEdit1->BoundLabel()->SetCaption("I/0 buffer size (kB)");
  sSpinEdit1->BoundLabel()->SetActive(true);
  sCheckBox1 = NewControl<TsCheckBox>(this, sPanel1, RECT{220, 49, 420, 68});
  sCheckBox1->SkinData().SetSkinSection("CHECKBOX");
  sCheckBox1->SetCaption("Separate [memory map]");
  sRadioGroup1 = NewControl<TsRadioGroup>(this, sPanel1, RECT{442, 4, 592, 78});
  sRadioGroup1->SkinData().SetSkinSection("GROUPBOX");
  sRadioGroup1->SetCaption("Show ordered by");
  sRadioGroup1->Items().Add("Code Group");
  sRadioGroup1->Items().Add("Start address");
  sRadioGroup1->SetItemIndex(0);
  sRadioGroup1->SetOnClick(TNotifyEvent(this, &TfmMain::sRadioGroup1Click));

  sPanel2 = NewControl<TsPanel>(this, this, RECT{0, 84, 600, 150});
  sPanel2->SetAlign(alTop);
  sPanel2->SkinData().SetSkinSection("TOOLBAR");
  auto button = [this](TsButton*& field, const char* name, const char* caption, RECT r, void (TfmMain::*click)(TObject*)) {
    field = NewControl<TsButton>(this, sPanel2, r);
    field->SetName(name);
    field->SkinData().SetSkinSection("BUTTON");
    field->SetCaption(caption);
    if (click != nullptr) field->SetOnClick(TNotifyEvent(this, click));
  };
  // Row one: the superfile and the project; row two: the rows.
  button(sButton1, "sButton1", "Open project", RECT{8, 6, 108, 31}, &TfmMain::sButton1Click);
  button(sButton2, "sButton2", "Save project", RECT{114, 6, 214, 31}, &TfmMain::sButton2Click);
  button(sButton11, "sButton11", "Split file", RECT{220, 6, 320, 31}, &TfmMain::sButton11Click);
  button(sButton10, "sButton10", "Combine files to *.shx", RECT{326, 6, 486, 31}, &TfmMain::sButton10Click);
  button(sButton3, "sButton3", "Add", RECT{8, 36, 84, 61}, &TfmMain::sButton3Click);
  sButton3->SetHint("Add code group to project");
  button(sButton4, "sButton4", "Delete", RECT{88, 36, 164, 61}, &TfmMain::sButton4Click);
  button(sButton7, "sButton7", "Replace", RECT{168, 36, 244, 61}, &TfmMain::sButton7Click);
  button(sButton9, "sButton9", "Clear All", RECT{248, 36, 324, 61}, &TfmMain::sButton9Click);
  button(sButton5, "sButton5", "Open by", RECT{328, 36, 404, 61}, &TfmMain::sButton5Click);
  sButton5->SetHint("Open code group</b><br>by external program");
  button(sButton6, "sButton6", "Edit", RECT{408, 36, 484, 61}, &TfmMain::sButton6Click);
  button(sButton8, "sButton8", "Flash", RECT{488, 36, 564, 61}, &TfmMain::Flash1Click);

  FCDS = std::make_unique<TClientDataSet>();
  CDS = FCDS.get();
  FRows = std::make_unique<TCodeGroupTable>(*CDS);
  FRows->OnWarning = [this](const std::string& text) { ShowWarning(text, false); };
  DataSource1 = NewComponent<TDataSource>(this);
  DataSource1->SetDataSet(CDS);
  DBGrid1 = NewControl<TDBGrid>(this, this, RECT{0, 150, 600, 300});
  DBGrid1->SetName("DBGrid1");
  DBGrid1->SetAlign(alClient);
  DBGrid1->SetDataSource(DataSource1);
  DBGrid1->AddColumn("CG", "CG", 36);
  DBGrid1->AddColumn("Name", "Name", 320);
  DBGrid1->AddColumn("Type", "Type", 110);
  DBGrid1->AddColumn("A1Str", "Start addr", 72);
  DBGrid1->AddColumn("A2Str", "End addr", 72);
  DBGrid1->AddColumn("size", "Size", 72);
  DBGrid1->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgRowSelect |
                      dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit | dgMultiSelect);
  DBGrid1->SetReadOnly(true);
  DBGrid1->SetShowHint(false);
  DBGrid1->SetParentShowHint(false);
  DBGrid1->SetOnDblClick(TNotifyEvent(this, &TfmMain::sButton6Click));
  DBGrid1->SetOnKeyDown(TKeyEvent(this, &TfmMain::DBGrid1KeyDown));
  sGridAdapter1 = NewComponent<TsGridAdapter>(this);

  FSkinObserver = std::make_unique<TsSkinObserver>([this] {
    if (!IsDestroying()) SkinChanged();
  });
  FSkinObserver->SetManager(SkinManager);

  FFlashCloseTimer = NewComponent<TTimer>(this);
  FFlashCloseTimer->SetEnabled(false);
  FFlashCloseTimer->SetInterval(250);
  FFlashCloseTimer->SetOnTimer(TNotifyEvent(this, &TfmMain::FlashCloseTimer));
}

void TfmMain::BuildMenu() {
  MainMenu1 = NewComponent<TMainMenu>(this);
  auto add = [this](TMenuItem* parent, const char* caption, TShortCut shortCut, void (TfmMain::*click)(TObject*)) {
    auto* item = NewComponent<TMenuItem>(this);
    item->SetCaption(caption);
    if (shortCut != 0) item->SetShortCut(shortCut);
    if (click != nullptr) item->SetOnClick(TNotifyEvent(this, click));
    parent->Add(item);
    return item;
  };
  TMenuItem* root = MainMenu1->Items();
  TMenuItem* file = add(root, "File", 0, nullptr);
  OpenAndSplit1 = add(file, "Open and split...", ShortCut(VK_F3, 0), nullptr);
  add(file, "-", 0, nullptr);
  Exit1 = add(file, "E&xit", 0, &TfmMain::Exit1Click);
  TMenuItem* utilities = add(root, "&Utilites", 0, nullptr);
  LangpackEditor1 = add(utilities, "Langpack editor", ShortCut(VK_F4, 0), &TfmMain::LangpackEditor1Click);
  DRMEditor1 = add(utilities, "DRM editor", ShortCut(VK_F5, 0), &TfmMain::DRMEditor1Click);
  FlexEditor1 = add(utilities, "Flex editor", ShortCut(VK_F6, 0), &TfmMain::FlexEditor1Click);
  add(utilities, "-", 0, nullptr);
  Flasher1 = add(utilities, "Flasher", ShortCut(VK_F9, 0), &TfmMain::Flash1Click);
  TMenuItem* options = add(root, "Options", 0, nullptr);
  Environment1 = add(options, "Environment", 0, &TfmMain::Environment1Click);
  TMenuItem* help = add(root, "?", 0, nullptr);
  Help1 = add(help, "Help", ShortCut(VK_F1, 0), &TfmMain::Help1Click);
  add(help, "-", 0, nullptr);
  About1 = add(help, "About", 0, &TfmMain::About1Click);
  SetMenu(MainMenu1);
}

// --- start and end ---------------------------------------------------------------------------

std::string TfmMain::IniFileName() const {
  return ChangeFileExt(ModuleFileName(), ".ini");
}

void TfmMain::FormCreate(TObject*) {
  FAppDir = ExtractFilePath(ModuleFileName());
  SkinManager->SetSkinDirectory(FAppDir + "Skins\\");
  FLangDir = FAppDir + "Langs\\";
  FIni = std::make_unique<TIniFile>(IniFileName());
  FLanguage = FIni->ReadString(kEnvironment, "Language", "English");
  FSkinedRead = FIni->ReadBool(kEnvironment, "Skined", true);
  const std::string skinName = FIni->ReadString(kEnvironment, "SkinName", "Desert");
  FShowHints = FIni->ReadBool(kEnvironment, "ShowHints", true);
  LoadSkinAtStart(FSkinedRead, skinName);
  UpdateLabelColors();
  // Too large to read: the defaults are in force, and the file is never written over.
  if (!FIni->LoadError().empty())
    ShowError(FIni->LoadError() + "\rTarvex starts with the default settings and leaves the file as it is.");
}

// The skin is loaded once, with the ini's name. One that cannot be loaded leaves the program
// unskinned, said once; "Skined" keeps its value, so that the next start tries the skin again.
void TfmMain::LoadSkinAtStart(bool active, const std::string& name) {
  if (!active) {
    SkinManager->SetActive(false);
    SkinManager->SetSkinName(name);
    return;
  }
  std::vector<std::string> skins;
  std::string first;
  SkinManager->ListSkins(skins, first);
  const bool known = std::any_of(skins.begin(), skins.end(), [&name](const std::string& skin) {
    return SameText(skin, name);
  });
  std::string failure;
  if (!known) {
    failure = "The skin \"" + name + "\" was not found in " + SkinManager->ResolvedSkinDirectory() + ".";
  } else {
    try {
      SkinManager->SetSkinName(name);
    } catch (const std::exception& e) {
      failure = "The skin \"" + name + "\" cannot be loaded: " + e.what();
    }
  }
  if (failure.empty()) return;
  SkinManager->SetActive(false);
  SkinManager->SetSkinName(name);
  FKeepSkined = true;
  SkinMessageDlg(failure + "\rTarvex runs without a skin.", TMsgDlgType::mtWarning, mbOK, 0);
}

void TfmMain::SkinChanged() {
  // A refused load is told to the windows too, with empty tables.
  if (SkinManager->Active() && SkinData().Active && !ActiveSkin().SkinSectionData.empty()) FKeepSkined = false;
  UpdateLabelColors();
}

// Labels paint with their own font: the edits' captions take the panel's text colour of the skin,
// so that they stay readable on a dark skin.
void TfmMain::UpdateLabelColors() {
  TColor color = clWindowText;
  if (SkinData().Active) {
    const int32_t section = FindSectionIndex("PANEL");
    if (SectionIndexValid(section))
      color = ActiveSkin().SkinSectionData[static_cast<size_t>(section)].FontColor[0];
  }
  for (TsBoundLabel* label : {sFilenameEdit1->BoundLabel(), sSpinEdit1->BoundLabel()}) {
    label->Font()->SetColor(color);
    if (label->Label() != nullptr) label->Label()->Control()->Invalidate();
  }
}

void TfmMain::SaveEnvironment() {
  FIni->WriteString(kEnvironment, "Language", FLanguage);
  FIni->WriteBool(kEnvironment, "Skined", FKeepSkined ? FSkinedRead : SkinManager->Active());
  FIni->WriteString(kEnvironment, "SkinName", SkinManager->SkinName());
  FIni->WriteBool(kEnvironment, "ShowHints", FShowHints);
}

// The settings reach the ini file here only; a file that cannot be written is reported, the old
// one stays whole.
void TfmMain::FormDestroy(TObject*) {
  if (!FIni) return;
  // A file refused at start was said then; it is left as it is.
  if (!FIni->LoadError().empty()) {
    FIni.reset();
    return;
  }
  try {
    SaveEnvironment();
    FIni->UpdateFile();
  } catch (const std::exception& e) {
    SkinMessageDlg(std::string("The settings could not be saved: ") + e.what(), TMsgDlgType::mtWarning, mbOK, 0);
  }
  FIni.reset();
}

void TfmMain::FormCloseQuery(TObject*, bool& canClose) {
  if (FBusy) {
    FCloseWhenIdle = true;
    canClose = false;
    return;
  }
  if (fmFlash != nullptr && fmFlash->Running()) {
    FCloseWhenIdle = true;
    canClose = false;
    SetStatus("Tarvex closes when the flash run has ended.");
    FFlashCloseTimer->SetEnabled(true);
    return;
  }
  FCloseWhenIdle = false;
  // The language-pack editor is asked as its own close asks: its unsaved edits end with the program
  // only when the user lets them go or they are saved.
  if (fmLPEditor != nullptr && fmLPEditor->Visible() && !fmLPEditor->CloseQuery()) canClose = false;
}

void TfmMain::FlashCloseTimer(TObject*) {
  if (fmFlash != nullptr && fmFlash->Running()) return;
  FFlashCloseTimer->SetEnabled(false);
  if (FCloseWhenIdle) Close();
}

void TfmMain::HintManagerShowHint(std::string& hintStr, bool& canShow, THintInfo& hintInfo) {
  canShow = FShowHints;
  if (!canShow) return;
  TControl* control = hintInfo.HintControl;
  hintStr = control != nullptr && control->ShowHint() ? control->Hint() : std::string();
}

// --- the host of the split and the combine ----------------------------------------------------

void TfmMain::ResetRows() {
  DBGrid1->ClearSelection();
  FRows->Reset();
}

void TfmMain::AddRow(const TCodeGroupRow& row) { FRows->AddRow(row); }

void TfmMain::SelectLastRow() { FRows->SelectLast(); }

void TfmMain::SetStatus(const std::string& text) {
  sStatusBar1->SetSimpleText(text);
  if (FBusy)
    JobFrame();
  else
    sStatusBar1->Update();
}

// The gauge holds 32-bit values: larger ranges are scaled down by a power of two.
void TfmMain::SetGaugeRange(int64_t max, int64_t progress) {
  FGaugeShift = 0;
  while ((max >> FGaugeShift) > INT32_MAX) ++FGaugeShift;
  sGauge1->SetMinValue(0);
  sGauge1->SetMaxValue(static_cast<int32_t>(max >> FGaugeShift));
  SetGaugeProgress(progress);
}

void TfmMain::SetGaugeProgress(int64_t progress) {
  sGauge1->SetProgress(static_cast<int32_t>(progress >> FGaugeShift));
  if (FBusy) JobFrame();
}

void TfmMain::ShowError(const std::string& text) { SkinMessageDlg(text, TMsgDlgType::mtError, mbCancel, 0); }

void TfmMain::ShowWarning(const std::string& text) { ShowWarning(text, true); }

void TfmMain::ShowWarning(const std::string& text, bool cancelOnly) {
  SkinMessageDlg(text, TMsgDlgType::mtWarning, cancelOnly ? mbCancel : mbOK, 0);
}

void TfmMain::BringToFront() {
  TForm::BringToFront();
  if (HandleAllocated()) SetForegroundWindow(Handle());
}

bool TfmMain::AskSaveFileName(const std::string& filter, std::string& fileName) {
  sSaveDialog1->SetFilter(filter);
  sSaveDialog1->SetFileName(fileName);
  if (!sSaveDialog1->Execute()) return false;
  fileName = sSaveDialog1->FileName();
  return true;
}

void TfmMain::SetBusyCursor(bool busy) { Screen->SetCursor(busy ? crHourGlass : crDefault); }

void TfmMain::ProcessMessages() {
  if (FBusy)
    JobFrame();
  else
    Application->ProcessMessages();
}

uint64_t TfmMain::JobClock() { return GetTickCount64(); }

// What changed since the last frame is painted: the gauge and the status in place, new rows by the
// messages' WM_PAINT.
void TfmMain::JobFrame() {
  const uint64_t now = JobClock();
  if (now - FLastJobFrame < kJobFrameMs) return;
  FLastJobFrame = now;
  {
    const TsInPlacePaints inPlace;
    sStatusBar1->ShowHeldText();
    sGauge1->ShowHeldProgress();
  }
  Application->ProcessMessages();
}

// --- jobs ----------------------------------------------------------------------------------------

// Each control that changes is painted once, all of them at the end, in the look the user then
// sees (the job's start shows them off before any work).
void TfmMain::SetJobControlsEnabled(bool enabled, const std::function<void()>& thenInScope) {
  std::vector<TControl*> controls;
  for (TWorkbenchCommand command : CommandsOffDuringJob())
    if (TControl* control = CommandControl(command); control != nullptr && control->Enabled() != enabled)
      controls.push_back(control);
  // The control with the focus goes last: the focus then moves once, to the first that stays on,
  // instead of from each control turned off to the next.
  if (HWND focus = GetFocus(); focus != nullptr)
    std::stable_partition(controls.begin(), controls.end(), [focus](TControl* control) {
      auto* window = dynamic_cast<TWinControl*>(control);
      return window == nullptr || !window->HandleAllocated() ||
             (window->Handle() != focus && !IsChild(window->Handle(), focus));
    });
  // The windows that hold them are painted once all have changed.
  std::vector<TWinControl*> holders;
  for (TControl* control : controls)
    if (TWinControl* parent = control->Parent(); parent != nullptr && parent->HandleAllocated() &&
                                                 IsWindowVisible(parent->Handle()) &&
                                                 std::find(holders.begin(), holders.end(), parent) == holders.end())
      holders.push_back(parent);
  {
    // Controls that paint from the skin alone are painted in place when all have changed, the rest
    // (what follows a control, its label, its buttons, leaves its change invalidated) by WM_PAINT.
    const TsInPlacePaints inPlace;
    const TUpdatesHeld held;
    for (TControl* control : controls) control->SetEnabled(enabled);
    if (thenInScope) thenInScope();
  }
  for (TWinControl* holder : holders)
    RedrawWindow(holder->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  SetJobMenuEnabled(enabled);
}

// The menu shown takes the items' new states in place.
void TfmMain::SetJobMenuEnabled(bool enabled) {
  for (TWorkbenchCommand command : CommandsOffDuringJob())
    if (TMenuItem* item = CommandMenuItem(command)) item->SetEnabled(enabled);
}

TControl* TfmMain::CommandControl(TWorkbenchCommand command) const {
  using C = TWorkbenchCommand;
  switch (command) {
    case C::OpenProject: return sButton1;
    case C::SaveProject: return sButton2;
    case C::Add: return sButton3;
    case C::Delete: return sButton4;
    case C::OpenBy: return sButton5;
    case C::Edit: return sButton6;
    case C::Replace: return sButton7;
    case C::Flash: return sButton8;
    case C::ClearAll: return sButton9;
    case C::Combine: return sButton10;
    case C::Split: return sButton11;
    case C::SuperfileName: return sFilenameEdit1;
    case C::BufferSize: return sSpinEdit1;
    case C::SeparateMemoryMap: return sCheckBox1;
    case C::ShowOrderedBy: return sRadioGroup1;
    default: return nullptr;
  }
}

TMenuItem* TfmMain::CommandMenuItem(TWorkbenchCommand command) const {
  using C = TWorkbenchCommand;
  switch (command) {
    case C::OpenAndSplitMenu: return OpenAndSplit1;
    case C::FlasherMenu: return Flasher1;
    case C::LangpackEditorMenu: return LangpackEditor1;
    case C::DRMEditorMenu: return DRMEditor1;
    case C::FlexEditorMenu: return FlexEditor1;
    case C::EnvironmentMenu: return Environment1;
    case C::ExitMenu: return Exit1;
    case C::HelpMenu: return Help1;
    case C::AboutMenu: return About1;
    default: return nullptr;
  }
}

void TfmMain::SplitFile(const std::string& fileName) {
  if (FBusy) return;
  TJob job(*this);
  TSplitOptions options;
  options.BufferKB = sSpinEdit1->Value();
  options.SeparateMemoryMap = sCheckBox1->Checked();
  // The images go to the current folder; their rows keep full paths, which a later change of the
  // current folder (a file dialog's) does not alter.
  options.OutputDir = CurrentDirectory();
  DBGrid1->ClearSelection();
  TSuperfileSplitter(*this).Split(fileName, options);
}

void TfmMain::CombineToSHX(const std::string& fileName) {
  if (FBusy || !CDS->Active()) return;
  TJob job(*this);
  RunCombine(fileName);
}

// The gauge starts empty, so that a combine refused or cancelled does not show the last run's end.
void TfmMain::RunCombine(const std::string& initialName) {
  SetGaugeProgress(0);
  TSuperfileCombiner(*this).Combine(FRows->RowsByCG(), initialName, sSpinEdit1->Value());
}

namespace {

// The temporary folder, with a name short enough for GetTempFileNameA, which adds up to 14
// characters within MAX_PATH.
std::string TempFolderForCombine() {
  constexpr size_t kLongest = MAX_PATH - 14;
  std::string folder(MAX_PATH, '\0');
  DWORD length = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
  // Longer than the buffer: the platform asks for more room, or refuses it as too long.
  const bool tooLong =
      length > folder.size() || (length == 0 && GetLastError() == ERROR_FILENAME_EXCED_RANGE);
  if (length > folder.size()) {
    folder.assign(length, '\0');
    length = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
    if (length >= folder.size()) length = 0;
  }
  folder.resize(length);
  if (tooLong || folder.size() > kLongest)
    throw Exception("No temporary file can be created for the combine: the path of the temporary folder " +
                    (folder.empty() ? std::string() : "(" + folder + ") ") + "is too long; at most " +
                    std::to_string(kLongest) +
                    " characters are possible. Set TMP and TEMP to a shorter one.");
  if (folder.empty())
    throw Exception("No temporary file can be created for the combine: there is no temporary folder.");
  return folder;
}

}  // namespace

// The grid is kept in a file of its own in the temporary folder while the single group is
// combined, and removed afterwards.
void TfmMain::CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) {
  if (FBusy) {
    ShowError("A split or combine is running; try again when it has ended.");
    return;
  }
  const std::string folder = TempFolderForCombine();
  char temp[MAX_PATH] = {};
  if (GetTempFileNameA(folder.c_str(), "tvx", 0, temp) == 0)
    throw Exception("No temporary file can be created for the combine in " + folder + ".");
  struct TRemove {
    const char* Name;
    ~TRemove() { DeleteFileA(Name); }
  } remove{temp};
  TJob job(*this);
  DBGrid1->ClearSelection();
  FRows->CombineSingleCG(
      cg, fileName, static_cast<uint32_t>(address), size,
      [this](const std::string& initialName) { RunCombine(initialName); }, temp);
}

// --- grid -------------------------------------------------------------------------------------------

bool TfmMain::GridHasRows() const { return CDS->Active() && !CDS->IsEmpty(); }

std::string TfmMain::CurrentRowName() {
  if (!GridHasRows()) return "";
  return CDS->FieldByName("Name")->AsString();
}

std::optional<TGridRow> TfmMain::GridRow(int cg) {
  if (!GridHasRows()) return std::nullopt;
  TBookmark here = CDS->GetBookmark();
  std::optional<TGridRow> row;
  const TControlsDisabled quiet(*CDS);
  if (CDS->Locate("cg", TVariant(cg))) {
    row = TGridRow{CDS->FieldByName("Name")->AsString(), CDS->FieldByName("A1")->AsInteger(),
                   CDS->FieldByName("A1Str")->AsString()};
  }
  if (CDS->BookmarkValid(here)) CDS->GotoBookmark(here);
  CDS->FreeBookmark(here);
  return row;
}

void TfmMain::SetProgress(int position, int maximum) {
  FGaugeShift = 0;
  sGauge1->SetMaxValue(maximum);
  sGauge1->SetProgress(position);
}

std::pair<int, int> TfmMain::AskRawBounds(int width, int height) {
  fmRAWBounds->sSpinEdit1->SetValue(width);
  fmRAWBounds->sSpinEdit2->SetValue(height);
  fmRAWBounds->ShowModal();
  return {fmRAWBounds->sSpinEdit1->Value(), fmRAWBounds->sSpinEdit2->Value()};
}

void TfmMain::FillFlasherLoader() {
  if (!CDS->Active() || fmFlash == nullptr || fmFlash->Running()) return;
  TBookmark here = CDS->GetBookmark();
  const TControlsDisabled quiet(*CDS);
  if (CDS->Locate("Type", TVariant(std::string(kRamDownloaderType)))) {
    TFlasherHandOff& flasher = *fmFlash;
    flasher.SetRamDownloader(CDS->FieldByName("Name")->AsString(), CDS->FieldByName("A1Str")->AsString());
  }
  if (CDS->BookmarkValid(here)) CDS->GotoBookmark(here);
  CDS->FreeBookmark(here);
}

// The rows selected in the grid, in the order they were selected.
void TfmMain::CopySelectionToFlasher() {
  if (!CDS->Active() || fmFlash == nullptr || fmFlash->Running()) return;
  TBookmark here = CDS->GetBookmark();
  const std::vector<TBookmark> selected = DBGrid1->SelectedRows();
  const TControlsDisabled quiet(*CDS);
  try {
    for (const TBookmark& b : selected) {
      if (!CDS->BookmarkValid(b)) continue;
      CDS->GotoBookmark(b);
      const TField* cg = CDS->FieldByName("CG");
      fmFlash->AppendRow(cg->IsNull() ? std::nullopt : std::optional<int32_t>(cg->AsInteger()),
                         CDS->FieldByName("Name")->AsString(), CDS->FieldByName("Type")->AsString(),
                         CDS->FieldByName("A1")->AsInteger(), CDS->FieldByName("size")->AsInteger());
    }
  } catch (...) {
    if (CDS->BookmarkValid(here)) CDS->GotoBookmark(here);
    throw;
  }
  if (CDS->BookmarkValid(here)) CDS->GotoBookmark(here);
  CDS->FreeBookmark(here);
}

// --- handlers ---------------------------------------------------------------------------------------

void TfmMain::sFilenameEdit1ButtonClick(TObject*) {
  sFilenameEdit1->SetFilter(GetFilter(TFilterKind::Superfiles));
}

void TfmMain::sRadioGroup1Click(TObject*) {
  FRows->SetOrder(sRadioGroup1->ItemIndex());
}

void TfmMain::sButton11Click(TObject*) {
  if (FBusy) return;
  if (sFilenameEdit1->Text().empty()) {
    sOpenDialog1->SetFilter(GetFilter(TFilterKind::Superfiles));
    sOpenDialog1->SetFileName("");
    if (!sOpenDialog1->Execute()) return;
    sFilenameEdit1->SetText(sOpenDialog1->FileName());
  }
  SplitFile(sFilenameEdit1->Text());
}

void TfmMain::sButton10Click(TObject*) { CombineToSHX(""); }

void TfmMain::sButton3Click(TObject*) {
  if (FBusy || fmAdd->ShowModal() != mrOk) return;
  // The dialog checks its edits; a row the grid cannot hold is refused here too.
  if (FRows->AddImage(fmAdd->sFilenameEdit1->Text(), Trim(fmAdd->sEdit1->Text()), Trim(fmAdd->sEdit2->Text())) ==
      TCodeGroupTable::TAddOutcome::Invalid)
    ShowError(Msgs[TMsgId::IncorrectData]);
}

void TfmMain::sButton4Click(TObject*) {
  if (FBusy || !GridHasRows()) return;
  if (!FRows->CanDeleteCurrent()) {
    ShowWarning(Msgs[TMsgId::CannotDeleteLoader], true);
    return;
  }
  if (AskYesNo(Msgs[TMsgId::AreYouSure]) && GridHasRows()) CDS->Delete();
}

// The grid's own Ctrl+Delete follows the "Delete" button's rule.
void TfmMain::DBGrid1KeyDown(TObject*, uint16_t& key, uint8_t shift) {
  if (key == VK_DELETE && (shift & ssCtrl) != 0) {
    key = 0;
    sButton4Click(DBGrid1);
  }
}

void TfmMain::sButton7Click(TObject*) {
  if (FBusy || !GridHasRows()) return;
  sOpenDialog1->SetFilter(GetFilter(TFilterKind::CodeGroupImages));
  sOpenDialog1->SetFileName("");
  if (!sOpenDialog1->Execute()) return;
  const std::string fileName = sOpenDialog1->FileName();
  if (!AskYesNo(Msgs[TMsgId::ReplaceCG] + ": " + fileName + "\r" + Msgs[TMsgId::Continue])) return;
  if (!GridHasRows()) return;
  const std::string error = FRows->ReplaceCurrentImage(fileName);
  if (!error.empty()) ShowError(error);
}

void TfmMain::sButton9Click(TObject*) {
  if (FBusy) return;
  DBGrid1->ClearSelection();
  CDS->Close();
}

void TfmMain::sButton5Click(TObject*) { fmView->Show(); }

void TfmMain::sButton6Click(TObject*) {
  if (!GridHasRows()) return;
  const TField* field = CDS->FieldByName("CG");
  const int cg = field->IsNull() ? 0 : field->AsInteger();
  switch (cg) {
    case 2: fmFlexEditor->Show(); break;
    case 4: fmLPEditor->Show(); break;
    case 15: fmDRMEditor->Show(); break;
    default: ShowWarning(Msgs[TMsgId::OnlyEditorsImplemented], true); break;
  }
}

void TfmMain::Flash1Click(TObject*) {
  if (FBusy || fmFlash == nullptr) return;
  if (fmFlash->Running()) {
    ShowWarning("A flash run is in progress; its list cannot change now.", false);
    return;
  }
  fmFlash->SetAddBinDialog(sOpenDialog1);
  fmFlash->ResetList();
  FillFlasherLoader();
  CopySelectionToFlasher();
  fmFlash->Show();
}

void TfmMain::sButton1Click(TObject*) {
  if (FBusy) return;
  sOpenDialog1->SetFilter(GetFilter(TFilterKind::Projects));
  sOpenDialog1->SetFileName(sFilenameEdit1->Text());
  if (sOpenDialog1->Execute()) OpenProject(sOpenDialog1->FileName());
}

void TfmMain::sButton2Click(TObject*) {
  if (FBusy) return;
  sSaveDialog1->SetFilter(GetFilter(TFilterKind::Projects));
  const std::string source = sFilenameEdit1->Text();
  sSaveDialog1->SetFileName(source.empty() ? std::string() : ChangeFileExt(source, ".scp"));
  if (sSaveDialog1->Execute()) SaveProject(sSaveDialog1->FileName());
}

void TfmMain::SaveProject(const std::string& fileName) {
  const std::string tableFile = Project::TableFileName(fileName);
  TProjectOptions options;
  options.Name = sFilenameEdit1->Text();
  options.IOBufferSizeKB = sSpinEdit1->Value();
  options.SeparateMemoryMap = sCheckBox1->Checked();
  options.Order = sRadioGroup1->ItemIndex();
  Project::Save(*CDS, tableFile, options);
  SkinMessageDlg(Msgs[TMsgId::ProjectSaved] + ": \r" + tableFile + "\r(+ *.cfg)", TMsgDlgType::mtInformation, mbOK,
                 0);
}

void TfmMain::OpenProject(const std::string& fileName) {
  if (FBusy) return;
  DBGrid1->ClearSelection();
  std::string unreadable;
  const TProjectOptions options = Project::Open(*CDS, fileName, &unreadable);
  sFilenameEdit1->SetText(options.Name);
  sSpinEdit1->SetValue(options.IOBufferSizeKB);
  sCheckBox1->SetChecked(options.SeparateMemoryMap);
  sRadioGroup1->SetItemIndex(options.Order);
  FRows->SetOrder(options.Order);
  // A missing options file gives the defaults silently; one that is there but unreadable is said.
  if (!unreadable.empty())
    ShowWarning(unreadable + "\rThe rows are loaded; the options take their defaults.");
}

void TfmMain::Help1Click(TObject*) {
  TWinControl* focused = ActiveControl();
  if (focused != nullptr && focused->HelpContext() != 0) {
    Application->HelpContext(focused->HelpContext());
    return;
  }
  Application->HelpCommand(HELP_FINDER, 0);
}

void TfmMain::About1Click(TObject*) { fmAbout->ShowModal(); }
void TfmMain::Environment1Click(TObject*) { fmEnvOpt->Show(); }
void TfmMain::Exit1Click(TObject*) { Close(); }
void TfmMain::LangpackEditor1Click(TObject*) { fmLPEditor->Show(); }
void TfmMain::DRMEditor1Click(TObject*) { fmDRMEditor->Show(); }
void TfmMain::FlexEditor1Click(TObject*) { fmFlexEditor->Show(); }
