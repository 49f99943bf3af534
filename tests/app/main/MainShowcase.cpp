// The program as it starts, with a superfile split into the grid, for a look by eye:
//   wine app_main_showcase.exe SHX-FILE [box|max]
// The skin is the one the ini beside the program names; "box" also shows the editors' message
// over the window; "max" shows the window maximized.
#include <windows.h>

#include <string>

#include "app/ProgramStart.h"
#include "app/TfmMain.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "skin/windows/TsFileNameEdit.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  StartProgram();
  fmMain->Show();
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
  // An empty file name: the window as it starts, with an empty grid.
  if (argv[1][0] != 0) {
    fmMain->sFilenameEdit1->SetText(argv[1]);
    fmMain->SplitFile(argv[1]);
    fmMain->CDS->First();
  }
  if (argc > 2 && std::string(argv[2]) == "box") fmMain->sButton6Click(nullptr);
  if (argc > 2 && std::string(argv[2]) == "max") SendMessageA(fmMain->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Application->Run();
  return 0;
}
