#include "app/TfmAbout.h"

TfmAbout* fmAbout = nullptr;

TfmAbout::TfmAbout(TComponent* owner) : TForm(owner) {
  SetName("fmAbout");
  SetCaption("About");
}
