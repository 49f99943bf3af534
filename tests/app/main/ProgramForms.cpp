#include "tests/app/main/ProgramForms.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
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

void WriteLookIni(const std::string& look) {
  std::ofstream(IniName(), std::ios::binary)
      << "[Environment]\r\nShowHints=0\r\nSkined=" << (look.empty() ? "0" : "1")
      << "\r\nSkinName=" << (look.empty() ? "Desert" : look) << "\r\n";
}

TCurrentFolder::TCurrentFolder(const std::string& name)
    : FPath(std::filesystem::temp_directory_path() / name) {
  std::filesystem::remove_all(FPath);
  std::filesystem::create_directories(FPath);
  char old[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, old);
  FOld = old;
  SetCurrentDirectoryA(FPath.string().c_str());
}

TCurrentFolder::~TCurrentFolder() {
  SetCurrentDirectoryA(FOld.c_str());
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}
