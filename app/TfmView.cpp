#include "app/TfmView.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "app/DialogUnits.h"
#include "app/ShellOpen.h"
#include "app/TfmMain.h"
#include "framework/base/FileSize.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TLoadBudget.h"
#include "framework/win/SystemPaths.h"
#include "framework/win/TApplication.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "skin/controls/TsButton.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsGridAdapter.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsSkinProvider.h"
#include "workbench/core/Messages.h"
#include "workbench/core/SmallDialogRules.h"

TfmView* fmView = nullptr;

namespace {

constexpr int kProgramSize = 128;
constexpr int kParametersSize = 20;

std::string ExecutableFolder() {
  const std::string folder = ModuleFileName();
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

bool FileExists(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Renames a file that cannot be read as the list to a free name beside it, the suffix saying why;
// that name, or empty when it could not be moved.
std::string MoveAside(const std::string& name, const std::string& suffix) {
  for (int i = 0; i < 100; ++i) {
    const std::string aside = name + (i == 0 ? suffix : suffix + std::to_string(i));
    if (MoveFileExA(name.c_str(), aside.c_str(), 0)) return aside;
    if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return {};
}

// An error box with only Cancel; also while the program ends, when the list is saved.
void ShowError(const std::string& text) { SkinMessageDlg(text, mtError, mbCancel, 0); }

}  // namespace

TfmView::TfmView(TComponent* owner, std::string folder) : TForm(owner), CDS1(std::make_unique<TClientDataSet>()) {
  SetName("fmView");
  SetCaption("External view");
  SetPosition(poScreenCenter);
  FListFileName = WithBackslash(folder.empty() ? ExecutableFolder() : folder) + ListName;
  sSkinProvider1 = NewComponent<TsSkinProvider>(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SetResizeMode(TsResizeMode::rmBorder);
  sSkinProvider1->SetMakeSkinMenu(false);
  sSkinProvider1->SetShowAppIcon(false);

  CDS1->AddStringField("Program", kProgramSize);
  CDS1->AddStringField("Parameters", kParametersSize);
  DataSource1 = NewComponent<TDataSource>(this);
  DataSource1->SetName("DataSource1");
  DataSource1->SetDataSet(CDS1.get());
  OpenDialog1 = NewComponent<TsOpenDialog>(this);
  OpenDialog1->SetName("OpenDialog1");
  OpenDialog1->SetOptions(ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing);

  // The grid fills the window above a row of buttons: "Add external viewer" left, Ok and Cancel
  // right; the grid and the buttons follow the window's size.
  const TDialogUnits du(this);
  const int margin = du.X(6);
  const int programWidth = du.X(190), parametersWidth = du.X(70);
  const int buttonWidth = du.ButtonWidth({"Ok", "Cancel"});
  const int addWidth = du.ButtonWidth({"Add external viewer"});
  const int clientWidth =
      std::max(programWidth + parametersWidth + du.X(24), addWidth + 2 * buttonWidth + du.X(12)) + 2 * margin;
  const int gridHeight = du.Y(110);
  const int top = margin + gridHeight + du.Y(6);
  // The size first: the anchors keep the distances to the edges the controls are placed with.
  SetClientSize(clientWidth, top + du.ButtonHeight() + margin);

  DBGrid1 = NewControl<TDBGrid>(this, this, RECT{margin, margin, clientWidth - margin, margin + gridHeight});
  DBGrid1->SetName("DBGrid1");
  DBGrid1->SetDataSource(DataSource1);
  DBGrid1->SetOptions(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                      dgConfirmDelete | dgCancelOnExit);
  DBGrid1->AddColumn("Program", "Program", programWidth);
  DBGrid1->AddColumn("Parameters", "Parameters", parametersWidth);
  DBGrid1->SetAnchors(akLeft | akTop | akRight | akBottom);

  const auto button = [&](const char* name, const char* caption, int left, int width) {
    TsButton* b = NewDialogButton(this, du, name, caption, left, top, width);
    b->SetAnchors(akLeft | akBottom);
    return b;
  };
  sButton3 = button("sButton3", "Add external viewer", margin, addWidth);
  sButton3->SetOnClick(TNotifyEvent(this, &TfmView::sButton3Click));
  sButton2 = button("sButton2", "Cancel", clientWidth - margin - buttonWidth, buttonWidth);
  sButton2->SetAnchors(akRight | akBottom);
  sButton2->SetOnClick(TNotifyEvent(this, &TfmView::sButton2Click));
  sButton1 = button("sButton1", "Ok", sButton2->Left() - du.X(4) - buttonWidth, buttonWidth);
  sButton1->SetAnchors(akRight | akBottom);
  sButton1->SetOnClick(TNotifyEvent(this, &TfmView::sButton1Click));
  sGridAdapter1 = NewComponent<TsGridAdapter>(this);
  sGridAdapter1->SetName("sGridAdapter1");

  SetOnCreate(TNotifyEvent(this, &TfmView::FormCreate));
  SetOnDestroy(TNotifyEvent(this, &TfmView::FormDestroy));
  SetOnShow(TNotifyEvent(this, &TfmView::FormShow));
}

TfmView::~TfmView() {
  // The grid and its source go before the table they show. Free has freed them already; a form
  // deleted directly frees them here, while the table still exists.
  DestroyComponents();
}

void TfmView::FormCreate(TObject*) {
  CDS1->SetFileName(FListFileName);
  LoadList();
  CDS1->SetLogChanges(false);
}

void TfmView::LoadList() {
  if (!FileExists(FListFileName)) {
    CDS1->CreateDataSet();
    return;
  }
  try {
    CDS1->LoadFromFile(FListFileName);
    return;
  } catch (const std::exception& e) {
    // A damaged or foreign file is kept for the user under another name; the list starts empty
    // and is written anew at the end. When it cannot be moved it is not overwritten either.
    CDS1->CreateDataSet();
    // A file refused for its size alone is not damaged; its name says what was wrong with it.
    const int64_t size = FileSizeOf(FListFileName);
    const bool tooLarge = size >= 0 && !TLoadBudget(static_cast<size_t>(size)).FileFits();
    const std::string aside = MoveAside(FListFileName, tooLarge ? ".too-large" : ".damaged");
    FSaveList = !aside.empty();
    ShowError(std::string(e.what()) + "\r\n" +
              (aside.empty() ? "The viewer list starts empty; the file is left as it is and not written."
                             : "The viewer list starts empty; the file was kept as \"" + aside + "\"."));
  }
}

void TfmView::FormDestroy(TObject*) {
  if (!CDS1->Active()) return;
  if (FSaveList) {
    try {
      PostPendingEdit();
      CDS1->SaveToFile(FListFileName);
    } catch (const std::exception& e) {
      // The file keeps its old content: the write goes to a new file renamed only when complete.
      ShowError("The viewer list cannot be saved: " + std::string(e.what()));
    }
  }
  CDS1->Close();
}

void TfmView::FormShow(TObject*) {
  const std::string name = CurrentName();
  SetCaption(name.empty() ? Msgs[TMsgId::ShellOpenVerb] : Msgs[TMsgId::ShellOpenVerb] + " - " + name);
}

std::string TfmView::CurrentName() {
  if (FCurrentName) return FCurrentName();
  return fmMain != nullptr ? fmMain->CurrentRowName() : std::string();
}

void TfmView::PostPendingEdit() {
  if (DBGrid1->EditorMode()) DBGrid1->SetEditorMode(false);
  if (CDS1->State() == TDataSetState::dsEdit || CDS1->State() == TDataSetState::dsInsert) CDS1->Post();
}

void TfmView::sButton1Click(TObject*) {
  if (!CDS1->Active()) return;
  PostPendingEdit();
  std::string program, parameters, name;
  if (!CDS1->IsEmpty()) {
    program = CDS1->FieldByName("Program")->AsString();
    parameters = CDS1->FieldByName("Parameters")->AsString();
    name = CurrentName();
  }
  const std::intptr_t result = ShellOpen(program, ViewerArguments(parameters, name));
  if (result > 32) return;
  const int message = ShellErrorMessage(result);
  if (message >= 0) ShowError(Msgs[message]);
}

void TfmView::sButton2Click(TObject*) { Close(); }

void TfmView::sButton3Click(TObject*) {
  if (!OpenDialog1->Execute()) return;
  const std::string program = OpenDialog1->FileName();
  if (program.size() > kProgramSize) {
    ShowError("The viewer's path is longer than " + std::to_string(kProgramSize) + " characters:\r\n" + program);
    return;
  }
  PostPendingEdit();
  CDS1->AppendRecord({program, std::string()});
}
