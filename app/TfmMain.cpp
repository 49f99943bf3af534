#include "app/TfmMain.h"

#include "framework/win/TApplication.h"

TfmMain* fmMain = nullptr;

TfmMain::TfmMain(TComponent* owner) : TForm(owner) {
  SetName("fmMain");
  SetCaption("Tarvex");
  SetPosition(poScreenCenter);
  SetBounds(0, 0, 640, 480);
  SetEditorMainLink(this);
}

TfmMain::~TfmMain() {
  if (EditorMainLink() == this) SetEditorMainLink(nullptr);
}

std::string TfmMain::CurrentRowName() { return ""; }
void TfmMain::FillFlasherLoader() {}
void TfmMain::CopySelectionToFlasher() {}
std::optional<TGridRow> TfmMain::GridRow(int) { return std::nullopt; }
void TfmMain::CombineSingleCG(int, const std::string&, int32_t, int32_t) {}
void TfmMain::SetProgress(int, int) {}
std::pair<int, int> TfmMain::AskRawBounds(int width, int height) { return {width, height}; }
void TfmMain::ResetRows() {}
void TfmMain::AddRow(const TCodeGroupRow&) {}
void TfmMain::SelectLastRow() {}
void TfmMain::SetStatus(const std::string&) {}
void TfmMain::SetGaugeRange(int64_t, int64_t) {}
void TfmMain::SetGaugeProgress(int64_t) {}
void TfmMain::ShowError(const std::string&) {}
void TfmMain::BringToFront() {}
bool TfmMain::AskSaveFileName(const std::string&, std::string&) { return false; }
void TfmMain::SetBusyCursor(bool) {}
void TfmMain::ProcessMessages() { Application->ProcessMessages(); }
