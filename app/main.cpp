#include <windows.h>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "gif/TGIFImage.h"

namespace {

// The main window until the program's own windows take its place.
class TfmMain : public TForm {
public:
  explicit TfmMain(TComponent* owner) : TForm(owner) {
    SetName("fmMain");
    SetCaption("Tarvex");
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 640, 480);
  }
};

TfmMain* fmMain = nullptr;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterGIFImage();  // pictures loaded by file name may be GIF files
  Application->Initialize();
  Application->SetTitle("Tarvex");
  Application->CreateForm(fmMain);
  Application->Run();
  Application->DestroyComponents();
  return 0;
}
