#include "skin/windows/TsFileDialogs.h"

#include <windows.h>

#include <functional>
#include <string>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "framework/win/SystemPaths.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCheckBox.h"
#include "framework/win/TComboBox.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsFilterComboBox.h"
#include "skin/windows/TsOpenDialogForm.h"

namespace {

std::string CurrentFolder() {
  try {
    return CurrentDirectory();
  } catch (const EInOutError&) {
    return std::string();  // the dialog then starts in the system's choice of folder
  }
}

// The one form of the dialog window, freed however Execute ends.
struct TFormScope {
  TsOpenDialogForm* Form;
  ~TFormScope() { Form->Free(); }
};

bool RunSkinned(TOpenDialog* dialog, TsFileDialogKind kind, const TNotifyEvent& previewClick) {
  TFormScope scope{NewComponent<TsOpenDialogForm>(Application)};
  TsOpenDialogForm* form = scope.Form;
  if (kind == TsFileDialogKind::OpenPicture || kind == TsFileDialogKind::SavePicture) {
    form->AddPicturePanel();
    form->SetOnPreviewClick(previewClick);
  }
  form->Prepare(dialog, kind);
  if (form->ShowModal() != mrOk) return false;
  dialog->SetFileName(form->ResultFileName());
  // As the platform's dialog: the chosen file's folder becomes the current one, also for a name
  // typed with a folder other than the list's (the options may put the old one back after).
  if (const std::string folder = ExtractFilePath(dialog->FileName()); !folder.empty())
    SetCurrentDirectoryA(folder.c_str());
  TStringList& files = dialog->Files();
  files.Clear();
  for (const std::string& name : form->ResultFiles()) files.Add(name);
  dialog->SetFilterIndex(form->FileTypeBox()->ItemIndex() + 1);
  if (form->CheckBoxReadOnly()->Visible()) {
    const TOpenOptions options = dialog->Options();
    dialog->SetOptions(form->CheckBoxReadOnly()->Checked() ? options | ofReadOnly : options & ~ofReadOnly);
  }
  return true;
}

// Runs the skinned window or, without a skin, the platform's dialog (inherited), and puts the
// folder that was current back as the options and the answer say.
bool ExecuteDialog(TOpenDialog* dialog, TsFileDialogKind kind, const std::function<bool()>& inherited,
                   const TNotifyEvent& previewClick = {}) {
  const std::string folder = CurrentFolder();
  struct TRestore {
    const std::string& Folder;
    bool Accepted = false;
    bool NoChangeDir;
    ~TRestore() {
      if (!Folder.empty() && RestoresCurrentFolder(Accepted, NoChangeDir)) SetCurrentDirectoryA(Folder.c_str());
    }
  } restore{folder, false, (dialog->Options() & ofNoChangeDir) != 0};
  restore.Accepted = SkinData().Active ? RunSkinned(dialog, kind, previewClick) : inherited();
  return restore.Accepted;
}

// The preview of the window whose button or paint box was clicked.
void ShowSenderPreview(TObject* sender) {
  auto* component = dynamic_cast<TComponent*>(sender);
  if (auto* form = dynamic_cast<TsOpenDialogForm*>(component != nullptr ? component->Owner() : nullptr))
    ShowPicturePreview(form->PreviewPicture());
}

}  // namespace

TsOpenDialog::TsOpenDialog(TComponent* owner) : TOpenDialog(owner) {}

bool TsOpenDialog::Execute() {
  return ExecuteDialog(this, TsFileDialogKind::Open, [this] { return TOpenDialog::Execute(); });
}

TsSaveDialog::TsSaveDialog(TComponent* owner) : TSaveDialog(owner) {}

bool TsSaveDialog::Execute() {
  return ExecuteDialog(this, TsFileDialogKind::Save, [this] { return TSaveDialog::Execute(); });
}

TsOpenPictureDialog::TsOpenPictureDialog(TComponent* owner) : TOpenPictureDialog(owner) {}

bool TsOpenPictureDialog::Execute() {
  return ExecuteDialog(this, TsFileDialogKind::OpenPicture, [this] { return TOpenPictureDialog::Execute(); },
                       TNotifyEvent(this, &TsOpenPictureDialog::PreviewClick));
}

void TsOpenPictureDialog::PreviewClick(TObject* sender) {
  ShowSenderPreview(sender);
}

TsSavePictureDialog::TsSavePictureDialog(TComponent* owner) : TSavePictureDialog(owner) {}

bool TsSavePictureDialog::Execute() {
  return ExecuteDialog(this, TsFileDialogKind::SavePicture, [this] { return TSavePictureDialog::Execute(); },
                       TNotifyEvent(this, &TsSavePictureDialog::PreviewClick));
}

void TsSavePictureDialog::PreviewClick(TObject* sender) {
  ShowSenderPreview(sender);
}
