#include "skin/windows/TsFileNameEdit.h"

#include <shellapi.h>

#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/core/SkinUtils.h"

TsFileDirEdit::TsFileDirEdit(TComponent* owner) : TsCustomComboEdit(owner) { SetMaxLength(255); }

void TsFileDirEdit::SetAcceptFiles(bool value) {
  if (FAcceptFiles == value) return;
  FAcceptFiles = value;
  if (HandleAllocated()) DragAcceptFiles(Handle(), value);
}

TsFilenameEdit::TsFilenameEdit(TComponent* owner) : TsFileDirEdit(owner) {
  SetDefaultGlyphKind("BTN_OPENFILE");
  MakeDialog(FDialogKind);
}

void TsFilenameEdit::MakeDialog(TDialogKind kind) {
  TOpenDialog* old = FDialog;
  if (kind == dkOpen)
    FDialog = new TsOpenDialog(this);
  else
    FDialog = new TsSaveDialog(this);
  if (!old) {
    FDialog->SetTitle("File open");
    FDialog->SetFilter("All files (*.*)|*.*");
    FDialog->SetOptions(ofHideReadOnly | ofEnableSizing);
    return;
  }
  FDialog->SetDefaultExt(old->DefaultExt());
  FDialog->SetFileName(old->FileName());
  FDialog->SetFilter(old->Filter());
  FDialog->SetFilterIndex(old->FilterIndex());
  FDialog->SetInitialDir(old->InitialDir());
  FDialog->HistoryList() = old->HistoryList();
  FDialog->SetOptions(old->Options());
  FDialog->SetTitle(old->Title());
  delete old;
}

void TsFilenameEdit::SetDialogKind(TDialogKind value) {
  if (FDialogKind == value) return;
  FDialogKind = value;
  MakeDialog(value);
}

void TsFilenameEdit::SetFileName(const std::string& value) {
  if (!value.empty() && !IsValidFileName(value)) throw EComboEditError("Invalid file name");
  SetText(value);
  ClearFileList();
}

void TsFilenameEdit::SetDialogOptions(TOpenOptions value) {
  if (FDialog->Options() == value) return;
  FDialog->SetOptions(value);
  SetMultipleFiles((value & ofAllowMultiSelect) != 0);
  if (!MultipleFiles()) ClearFileList();
}

std::string TsFilenameEdit::LongName() { return LongFileName(FileName()); }

std::string TsFilenameEdit::ShortName() { return ShortFileName(FileName()); }

void TsFilenameEdit::ReceptFileDir(const std::string& name) {
  if (!MultipleFiles()) {
    SetFileName(name);
    return;
  }
  if (FDialog->Files().Count() == 0) SetFileName(name);
}

void TsFilenameEdit::ClearFileList() {}

void TsFilenameEdit::ShowPopup() {
  std::string name = Text();
  if (IsValidFileName(name)) {
    const std::string folder = FolderOf(name);
    if (!folder.empty() && DirectoryExists(folder)) FDialog->SetInitialDir(folder);
    if (!IsValidFileName(name.substr(folder.size()))) name.clear();
    FDialog->SetFileName(name);
  } else {
    FDialog->SetFileName("");
  }
  FDialog->SetHelpContext(HelpContext());
  const bool accepted = FDialog->Execute();
  if (CanFocus()) SetFocus();
  if (!accepted) return;
  SetText(FDialog->FileName());
  FDialog->SetInitialDir(FolderOf(FDialog->FileName()));
}
