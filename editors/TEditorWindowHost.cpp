#include "editors/TEditorWindowHost.h"

#include "editors/TEditorFlasher.h"
#include "editors/TEditorMainLink.h"
#include "framework/win/TComponent.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsMessageDlg.h"

namespace {

constexpr std::chrono::milliseconds kGaugeInterval{30};

std::string Run(TOpenDialog* dialog) { return dialog->Execute() ? dialog->FileName() : std::string(); }

TEditorMainLink& Main() {
  TEditorMainLink* link = EditorMainLink();
  if (!link) throw Exception("The main window is not there");
  return *link;
}

}  // namespace

const char* const TEditorWindowHost::BusyText =
    "A job of the main window or a flash run is in progress; try again when it has ended.";

TEditorWindowHost::TEditorWindowHost(TComponent* owner, TMsgDlgType infoType)
    : FInfoType(infoType),
      FOpen(NewComponent<TsOpenDialog>(owner)),
      FSave(NewComponent<TsSaveDialog>(owner)),
      FOpenPicture(NewComponent<TsOpenPictureDialog>(owner)),
      FSavePicture(NewComponent<TsSavePictureDialog>(owner)) {}

void TEditorWindowHost::Guarded(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
}

std::string TEditorWindowHost::Message(TMsgId id) { return Msgs[id]; }

bool TEditorWindowHost::AskYesNo(const std::string& text) { return ::AskYesNo(text); }

void TEditorWindowHost::ShowInfo(const std::string& text) { SkinMessageDlg(text, FInfoType, mbOK, 0); }

void TEditorWindowHost::ShowError(const std::string& text) {
  SkinMessageDlg(text, TMsgDlgType::mtError, mbCancel, 0);
}

void TEditorWindowHost::ShowWarning(const std::string& text) {
  SkinMessageDlg(text, TMsgDlgType::mtWarning, mbCancel, 0);
}

TSaveAnswer TEditorWindowHost::AskSaveChanges(const std::string& text) {
  switch (SkinMessageDlgCaptions(text, TMsgDlgType::mtConfirmation, mbYesNoCancel,
                                 {{mbYes, "&Save"}, {mbNo, "&Don't save"}})) {
    case mrYes: return TSaveAnswer::Save;
    case mrNo: return TSaveAnswer::Discard;
    default: return TSaveAnswer::Cancel;
  }
}

void TEditorWindowHost::SetStatus(const std::string& text) { Main().SetStatus(text); }

void TEditorWindowHost::SetProgress(int position, int maximum) {
  // The codecs report every string; a repaint per string would cost more than the decoding.
  const auto now = std::chrono::steady_clock::now();
  const bool edge = position <= 0 || position >= maximum || maximum != FProgressMaximum;
  if (!edge && now - FProgressShown < kGaugeInterval) return;
  FProgressShown = now;
  FProgressMaximum = maximum;
  Main().SetProgress(position, maximum);
}

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

bool TEditorWindowHost::HandOffRefused() {
  TEditorMainLink* link = EditorMainLink();
  TEditorFlasher* flasher = EditorFlasher();
  if ((link == nullptr || !link->JobRunning()) && (flasher == nullptr || !flasher->Running())) return false;
  ShowError(BusyText);
  return true;
}

void TEditorWindowHost::CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) {
  if (HandOffRefused()) return;
  Main().CombineSingleCG(cg, fileName, address, size);
}

void TEditorWindowHost::SendToFlasher(const std::optional<TFlasherRow>& row, bool show) {
  TEditorFlasher* flasher = EditorFlasher();
  // The program creates the flasher at start; before that there is nothing to hand over to.
  if (flasher == nullptr) return;
  if (HandOffRefused()) return;
  Main().FillFlasherLoader();
  flasher->ResetList();
  if (row) flasher->AppendRow(*row);
  if (show) flasher->Show();
}
