#include "editors/TEditorWindowHost.h"

#include "editors/TEditorMainLink.h"
#include "framework/win/TComponent.h"
#include "phone/TfmFlash.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsMessageDlg.h"

namespace {

std::string Run(TOpenDialog* dialog) { return dialog->Execute() ? dialog->FileName() : std::string(); }

TEditorMainLink& Main() {
  TEditorMainLink* link = EditorMainLink();
  if (!link) throw Exception("The main window is not there");
  return *link;
}

}  // namespace

TEditorWindowHost::TEditorWindowHost(TComponent* owner, TMsgDlgType infoType)
    : FInfoType(infoType),
      FOpen(NewComponent<TsOpenDialog>(owner)),
      FSave(NewComponent<TsSaveDialog>(owner)),
      FOpenPicture(NewComponent<TsOpenPictureDialog>(owner)),
      FSavePicture(NewComponent<TsSavePictureDialog>(owner)) {}

std::string TEditorWindowHost::Message(TMsgId id) { return Msgs[id]; }

bool TEditorWindowHost::AskYesNo(const std::string& text) { return ::AskYesNo(text); }

void TEditorWindowHost::ShowInfo(const std::string& text) { SkinMessageDlg(text, FInfoType, mbOK, 0); }

void TEditorWindowHost::ShowError(const std::string& text) {
  SkinMessageDlg(text, TMsgDlgType::mtError, mbCancel, 0);
}

void TEditorWindowHost::SetStatus(const std::string& text) { Main().SetStatus(text); }

void TEditorWindowHost::SetProgress(int position, int maximum) { Main().SetProgress(position, maximum); }

std::string TEditorWindowHost::OpenFileName(TFilterKind filter) {
  FOpen->SetFilter(GetFilter(filter));
  return Run(FOpen);
}

std::string TEditorWindowHost::OpenFileNameWithLastFilter() { return Run(FOpen); }

std::string TEditorWindowHost::OpenPictureFileName() { return Run(FOpenPicture); }

std::string TEditorWindowHost::SaveFileName(TFilterKind filter, const std::string& proposed) {
  FSave->SetFilter(GetFilter(filter));
  FSave->SetFileName(proposed);
  return Run(FSave);
}

std::string TEditorWindowHost::SaveFileNameUnfiltered(const std::string& proposed) {
  FSave->SetFilter("");
  FSave->SetFileName(proposed);
  return Run(FSave);
}

std::string TEditorWindowHost::SavePictureFileName(const std::string& proposed) {
  FSavePicture->SetFileName(proposed);
  return Run(FSavePicture);
}

std::pair<int, int> TEditorWindowHost::AskRawBounds(int width, int height) {
  return Main().AskRawBounds(width, height);
}

std::optional<TGridRow> TEditorWindowHost::GridRow(int cg) { return Main().GridRow(cg); }

void TEditorWindowHost::CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) {
  Main().CombineSingleCG(cg, fileName, address, size);
}

void TEditorWindowHost::SendToFlasher(const std::optional<TFlasherRow>& row, bool show) {
  if (!fmFlash || fmFlash->Running()) return;
  Main().FillFlasherLoader();
  fmFlash->ResetList();
  if (row) {
    const std::optional<int32_t> cg = row->CG < 0 ? std::nullopt : std::optional<int32_t>(row->CG);
    fmFlash->AppendRow(cg, row->Name, row->Type, row->A1, row->Size);
  }
  if (show) fmFlash->Show();
}
