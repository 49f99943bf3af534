#include "app/TfmView.h"

TfmView* fmView = nullptr;

TfmView::TfmView(TComponent* owner) : TForm(owner) {
  SetName("fmView");
  SetCaption("External view");
}
