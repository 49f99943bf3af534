#include "app/TfmRAWBounds.h"

TfmRAWBounds* fmRAWBounds = nullptr;

TfmRAWBounds::TfmRAWBounds(TComponent* owner) : TForm(owner) {
  SetName("fmRAWBounds");
  SetCaption("Tarvex");
}
