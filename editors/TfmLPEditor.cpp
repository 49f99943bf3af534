#include "editors/TfmLPEditor.h"

TfmLPEditor* fmLPEditor = nullptr;

TfmLPEditor::TfmLPEditor(TComponent* owner) : TForm(owner) {
  SetName("fmLPEditor");
  SetCaption("Langpack editor");
}
