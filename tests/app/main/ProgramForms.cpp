#include "tests/app/main/ProgramForms.h"

#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmRAWBounds.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/win/TApplication.h"
#include "phone/TfmFlash.h"

namespace {

template <typename T>
void CreateOnce(T*& form) {
  if (form == nullptr) Application->CreateForm(form);
}

}  // namespace

void CreateProgramForms() {
  CreateOnce(fmAdd);
  CreateOnce(fmDRMEditor);
  CreateOnce(fmLPEditor);
  CreateOnce(fmFlash);
  CreateOnce(fmRAWBounds);
  CreateOnce(fmFlexEditor);
  CreateOnce(fmEnvOpt);
}
