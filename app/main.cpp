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
#include "framework/win/TApplication.h"
#include "gif/TGIFImage.h"
#include "phone/TfmFlash.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterGIFImage();  // pictures loaded by file name may be GIF files
  Application->Initialize();
  Application->SetTitle("Tarvex");
  Application->CreateForm(fmMain);
  Application->CreateForm(fmAbout);
  Application->CreateForm(fmAdd);
  Application->CreateForm(fmView);
  Application->CreateForm(fmDRMEditor);
  Application->CreateForm(fmLPEditor);
  Application->CreateForm(fmFlash);
  Application->CreateForm(fmRAWBounds);
  Application->CreateForm(fmFlexEditor);
  Application->CreateForm(fmEnvOpt);
  Application->Run();
  Application->DestroyComponents();
  return 0;
}
