#include "editors/TfmFlexEditor.h"

TfmFlexEditor* fmFlexEditor = nullptr;

TfmFlexEditor::TfmFlexEditor(TComponent* owner) : TForm(owner) {
  SetName("fmFlexEditor");
  SetCaption("Flex Editor");
}
