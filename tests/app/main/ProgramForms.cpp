#include "tests/app/main/ProgramForms.h"

#include <filesystem>
#include <string>

#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmRAWBounds.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/win/TApplication.h"
#include "phone/TfmFlash.h"
#include "tests/framework/win/TestSupport.h"

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

void PlaceBundledSkins(std::initializer_list<const char*> skins) {
  namespace fs = std::filesystem;
  const std::string folder = ExeDir() + "Skins";
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  for (const char* skin : skins)
    fs::copy(std::string(TARVEX_BUNDLED_SKINS) + "\\" + skin, folder + "\\" + skin, fs::copy_options::recursive);
}
