// One of the program's small dialogs with sample values, skinned or not, left on the screen a few
// seconds for a screen grab (not a test):
//   wine app_dialogs_showcase.exe SKINS-FOLDER SKIN|none add|addbox|view|options|bounds|about
#include <windows.h>

#include <string>

#include "app/TfmAbout.h"
#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmRAWBounds.h"
#include "app/TfmView.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsMessageDlg.h"

namespace {

class TShowcaseEnvironment : public TEnvironmentLink {
public:
  TsSkinManager* Manager = nullptr;
  TsSkinManager* SkinManager() override { return Manager; }
  std::string LangDir() override { return ""; }
  std::string Language() override { return "English"; }
  bool ShowHints() override { return true; }
  void SetShowHints(bool) override {}
};

void PumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (GetTickCount() < end) {
    Application->ProcessMessages();
    Sleep(10);
  }
}

void CALLBACK EndBox(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostQuitMessage(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string folder = argv[1], skin = argv[2], which = argv[3];
  Application->Initialize();
  auto* manager = NewComponent<TsSkinManager>(nullptr);
  manager->SetSkinDirectory(folder);
  if (skin != "none") {
    manager->SetSkinName(skin);
    manager->SetActive(true);
  }
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  TShowcaseEnvironment env;
  env.Manager = manager;

  TForm* form = nullptr;
  if (which == "add" || which == "addbox") {
    auto* add = NewComponent<TfmAdd>(nullptr);
    form = add;
    add->Show();
    add->sFilenameEdit1->SetText("C:\\Firmware\\V3i\\phone_CG4.smg");
    add->sEdit1->SetText("4");
    add->sEdit2->SetText("11200000");
  } else if (which == "view") {
    auto* view = NewComponent<TfmView>(nullptr, std::string(temp) + "tarvex_showcase");
    CreateDirectoryA((std::string(temp) + "tarvex_showcase").c_str(), nullptr);
    view->SetCurrentNameSource([] { return std::string("C:\\Firmware\\V3i\\phone_CG4.smg"); });
    if (view->CDS1->IsEmpty()) {
      view->CDS1->AppendRecord({"C:\\Tools\\HexView\\hexview.exe", "-r"});
      view->CDS1->AppendRecord({"C:\\Windows\\notepad.exe", ""});
    }
    form = view;
  } else if (which == "options") {
    auto* options = NewComponent<TfmEnvOpt>(nullptr);
    options->SetEnvironmentLink(&env);
    form = options;
  } else if (which == "bounds") {
    auto* bounds = NewComponent<TfmRAWBounds>(nullptr);
    bounds->sSpinEdit1->SetValue(176);
    bounds->sSpinEdit2->SetValue(220);
    form = bounds;
  } else if (which == "about") {
    form = NewComponent<TfmAbout>(nullptr);
  } else {
    return 2;
  }
  form->SetPosition(poDesigned);
  form->SetBounds(20, 20, form->Width(), form->Height());
  form->Show();
  if (which == "addbox") {
    SetTimer(nullptr, 0, 6000, EndBox);
    SkinMessageDlgPos("Incorrect data!", mtError, mbCancel, 0, 60, 200);
  } else {
    PumpFor(6000);
  }
  form->Free();
  manager->Free();
  return 0;
}
