// The language-pack editor with a parsed CJK language, or the flex editor, over a scripted main
// window, for a look by eye (not a test). It stays until closed:
//   wine editors_lpflex_showcase.exe SKINS-FOLDER SKIN|none lp|flex
#include <windows.h>

#include <string>

#include "EditorWindowTestSupport.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/windows/TsFileNameEdit.h"
#include "tests/editors/generators/LangPackGenerator.h"
#include "tests/skin/controls/ShowcaseForm.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string folder = argv[1], skin = argv[2], scene = argv[3];
  Application->Initialize();
  TForm* main = NewComponent<TForm>(Application);
  main->SetCaption("Tarvex");
  main->SetBounds(0, 0, 820, 600);
  ShowcaseSkinManager(folder, skin);
  TScriptedEditorWorld world;
  world.Main.Form = main;

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  if (scene == "lp") {
    const std::string name = std::string(temp) + "showcase_{@0x10A40000}CG4.smg";
    WriteBytes(name, GenerateLangPack(SmallLangPackPlan(7, 3)).Image);
    world.Main.Grid[4] = TGridRow{name, 0x10A40000, "10A40000"};
    auto* form = NewComponent<TfmLPEditor>(Application);
    form->Show();
    form->cds1->Last();
    SendMessageA(form->sButton4->Handle(), BM_CLICK, 0, 0);
    form->cdsStr->SetRecNo(3);
    form->sEdit1->SetText("3");
  } else {
    const std::string name = std::string(temp) + "showcase_{@0x10F40000}CG2.smg";
    WriteBytes(name, std::vector<uint8_t>(4096, 0));
    world.Main.Grid[2] = TGridRow{name, 0x10F40000, "10F40000"};
    NewComponent<TfmFlexEditor>(Application)->Show();
  }
  Application->Run();
  return 0;
}
