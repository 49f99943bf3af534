#include "editors/TfmDRMEditor.h"

TfmDRMEditor* fmDRMEditor = nullptr;

TfmDRMEditor::TfmDRMEditor(TComponent* owner) : TForm(owner) {
  SetName("fmDRMEditor");
  SetCaption("DRM (graphics) editor");
}
