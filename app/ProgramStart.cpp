#include "app/ProgramStart.h"

#include <windows.h>

#include "app/TfmAbout.h"
#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmMain.h"
#include "app/TfmRAWBounds.h"
#include "app/TfmView.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/base/AnsiStrings.h"
#include "framework/win/SystemPaths.h"
#include "framework/win/TApplication.h"
#include "gif/TGIFImage.h"
#include "phone/TfmFlash.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsSkinableMenus.h"

void StartProgram() {
  RegisterGIFImage();  // pictures loaded by file name may be GIF files
  InstallSkinableMenus();
  InstallSkinMessageBoxHandler();
  Application->Initialize();
  Application->SetTitle("Tarvex");
  Application->SetHelpFile(ExtractFilePath(ModuleFileName()) + "Tarvex.hlp");
  Application->CreateForm(fmMain);
  Application->CreateForm(fmAbout);
  Application->CreateForm(fmAdd);
  Application->CreateForm(fmView);
  Application->CreateForm(fmDRMEditor);
  Application->CreateForm(fmLPEditor);
  Application->CreateForm(fmFlash);
  fmFlash->SetAddBinDialog(fmMain->sOpenDialog1);
  Application->CreateForm(fmRAWBounds);
  Application->CreateForm(fmFlexEditor);
  Application->CreateForm(fmEnvOpt);
}
