#include "skin/windows/TsFileNameEdit.h"

#include <shellapi.h>

#include "framework/base/AnsiStrings.h"
#include "framework/win/TBitmap.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/windows/core/FileNameEditRules.h"

namespace {

constexpr const char* FileGlyphKind = "BTN_OPENFILE";

// Ends a shell drop on every way out of its handling.
class TDropScope {
public:
  explicit TDropScope(HDROP drop) : FDrop(drop) {}
  ~TDropScope() { DragFinish(FDrop); }
  TDropScope(const TDropScope&) = delete;
  TDropScope& operator=(const TDropScope&) = delete;

private:
  HDROP FDrop;
};

std::string DroppedName(HDROP drop, UINT index) {
  const UINT length = DragQueryFileA(drop, index, nullptr, 0);
  std::string name(length + 1, '\0');
  name.resize(DragQueryFileA(drop, index, name.data(), length + 1));
  return name;
}

}  // namespace

// ---- TsFileDirEdit ----

TsFileDirEdit::TsFileDirEdit(TComponent* owner) : TsCustomComboEdit(owner) {
  SetMaxLength(255);
  SetDefaultGlyphKind(FileGlyphKind);
}

void TsFileDirEdit::CreateParams(TCreateParams& params) {
  TsCustomComboEdit::CreateParams(params);
  params.Style |= ES_OEMCONVERT;
}

void TsFileDirEdit::CreateWnd() {
  TsCustomComboEdit::CreateWnd();
  if (FAcceptFiles) DragAcceptFiles(Handle(), TRUE);
}

void TsFileDirEdit::SetAcceptFiles(bool value) {
  if (FAcceptFiles == value) return;
  FAcceptFiles = value;
  if (HandleAllocated()) DragAcceptFiles(Handle(), value);
}

void TsFileDirEdit::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_DROPFILES:
      DropFiles(message.WParam);
      message.Result = 0;
      return;
    case WM_DESTROY:
      // The shell lets go of the window before it goes, on every way of destroying it.
      if (FAcceptFiles && HandleAllocated()) DragAcceptFiles(Handle(), FALSE);
      break;
    default:
      break;
  }
  TsCustomComboEdit::WndProc(message);
}

void TsFileDirEdit::DropFiles(WPARAM dropHandle) {
  const auto drop = reinterpret_cast<HDROP>(dropHandle);
  if (drop == nullptr) return;
  TDropScope scope(drop);
  const std::shared_ptr<bool> alive = Alive();
  ClearFileList();
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // The name reaches OnChange, whose handler may free the edit.
    ReceptFileDir(DroppedName(drop, i));
    if (!*alive) return;
    if (!FMultipleFiles) break;
  }
  if (FOnDropFiles) FOnDropFiles(this);
}

// ---- TsFilenameEdit ----

TsFilenameEdit::TsFilenameEdit(TComponent* owner) : TsFileDirEdit(owner) {
  // The program's own open-file glyph; the built-in one of the kind when it is missing.
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (FindResourceA(module, FileGlyphKind, MAKEINTRESOURCEA(2) /* RT_BITMAP */)) {
    TBitmap glyph;
    glyph.LoadFromResourceName(module, FileGlyphKind);
    glyph.SetPixelFormat(TPixelFormat::Bit24);
    GlyphMode()->SetGlyph(&glyph);
  }
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
  FDialog->Files() = old->Files();
  old->Free();
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
  FDialog->Files().Add(name);
}

void TsFilenameEdit::ClearFileList() { FDialog->Files().Clear(); }

void TsFilenameEdit::ShowPopup() {
  const TDialogPriming priming = PrimeFileDialog(Text(), [](const std::string& folder) { return DirectoryExists(folder); });
  if (priming.InitialDir) FDialog->SetInitialDir(*priming.InitialDir);
  FDialog->SetFileName(priming.FileName);
  FDialog->SetHelpContext(HelpContext());
  // The dialog's modal loop may free the edit.
  const std::shared_ptr<bool> alive = Alive();
  const bool accepted = FDialog->Execute();
  if (!*alive) return;
  if (CanFocus()) SetFocus();
  if (!accepted) return;
  SetText(FDialog->FileName());
  FDialog->SetInitialDir(ExtractFilePath(FDialog->FileName()));
}
