#include "app/TfmAdd.h"

TfmAdd* fmAdd = nullptr;

TfmAdd::TfmAdd(TComponent* owner) : TForm(owner) {
  SetName("fmAdd");
  SetCaption("Add file ");
}
