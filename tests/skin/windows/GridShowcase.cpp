// A form with a data grid skinned by the grid adapter (frame, fixed cells and scroll bars) beside a
// few skinned controls, for a look by eye. It writes READY-FILE once painted and stays a few
// seconds for a screen grab:
//   wine grid_showcase.exe SKINS-FOLDER SKIN|none READY-FILE
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsGridAdapter.h"
#include "tests/skin/controls/ShowcaseForm.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string folder = argv[1], skin = argv[2], ready = argv[3];
  Application->Initialize();
  TForm* form = NewComponent<TForm>(Application);
  form->SetCaption("Tarvex code groups");
  form->SetBounds(40, 40, 640, 420);
  auto* manager = NewComponent<TsSkinManager>(form);
  manager->SetSkinDirectory(folder);
  if (skin != "none") {
    manager->SetSkinName(skin);
    manager->SetActive(true);
  }

  TClientDataSet table;
  table.AddIntegerField("No");
  table.AddStringField("Group", 40);
  table.AddStringField("Address", 20);
  table.AddStringField("File", 80);
  table.CreateDataSet();
  table.DisableControls();
  for (int i = 1; i <= 10000; ++i) {
    char address[16];
    std::snprintf(address, sizeof address, "%08X", 0x10000000u + unsigned(i) * 0x400u);
    table.AppendRecord({i, "Code group " + std::to_string(i), std::string(address), "C:\\firmware\\part" + std::to_string(i) + ".smg"});
  }
  table.EnableControls();
  table.SetRecNo(3);
  auto* source = NewComponent<TDataSource>(form);
  source->SetDataSet(&table);

  auto* edit = NewControl<TsEdit>(form, form, RECT{10, 10, 330, 34});
  edit->SetText("C:\\firmware\\phone.shx");
  auto* open = NewControl<TsButton>(form, form, RECT{340, 8, 440, 36});
  open->SetCaption("Open");
  auto* grid = NewControl<TDBGrid>(form, form, RECT{10, 46, 610, 360});
  grid->SetName("DBGrid1");
  grid->SetDataSource(source);
  grid->AddColumn("No", "No", 60);
  grid->AddColumn("Group", "Group", 200);
  grid->AddColumn("Address", "Address", 110);
  grid->AddColumn("File", "File", 320);
  NewComponent<TsGridAdapter>(form);

  form->Show();
  ShowcasePump(500);
  if (FILE* f = std::fopen(ready.c_str(), "w")) std::fclose(f);
  ShowcasePump(4000);
  source->SetDataSet(nullptr);
  form->Free();
  return 0;
}
