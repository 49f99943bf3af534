// The DRM editor on a generated image, previewing a RAW or a GIF picture or showing its remarks
// page, for a look by eye. It writes READY-FILE once painted and stays a few seconds for a grab:
//   wine drm_editor_showcase.exe SKINS-FOLDER SKIN|none raw|gif|remarks READY-FILE
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "editors/TEditorMainLink.h"
#include "editors/TfmDRMEditor.h"
#include "editors/core/TDRMEditorModel.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "gif/TGIFImage.h"
#include "skin/controls/TsPageControl.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsFileNameEdit.h"
#include "tests/editors/drm/DRMTestImages.h"

namespace {

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const std::string folder = argv[1], skin = argv[2], view = argv[3], ready = argv[4];
  RegisterGIFImage();
  Application->Initialize();
  TIdleMainLink link;
  SetEditorMainLink(&link);
  TsSkinManager* manager = nullptr;
  if (skin != "none") {
    manager = NewComponent<TsSkinManager>(Application);
    manager->SetSkinDirectory(folder);
    manager->SetSkinName(skin);
    manager->SetActive(true);
  }
  auto* editor = NewComponent<TfmDRMEditor>(Application);
  editor->SetLeft(0);
  editor->SetTop(0);

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string image = std::string(temp) + "showcase_CG15.smg";
  {
    const TDRMTestImage test = MakePreviewImage(96);
    std::ofstream out(image, std::ios::binary);
    out.write(reinterpret_cast<const char*>(test.Image.data()), std::streamsize(test.Image.size()));
    TClientDataSet& remarks = editor->Model().Remarks();
    remarks.AppendRecord({1, "Operator logo"});
    remarks.AppendRecord({2, "Animated wallpaper"});
    editor->Show();
    editor->sFilenameEdit1->SetText(image);
    editor->Model().SetFileName(image);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBoxWithOK);
    editor->Model().Open();
    KillTimer(nullptr, timer);
    TClientDataSet& pictures = editor->Model().Pictures();
    if (view == "gif") pictures.Locate("No", test.GifNo);
    else pictures.Locate("No", 1);
    editor->ShowPicture();
    if (view == "remarks") editor->sPageControl1->SetActivePageIndex(1);
  }
  Pump(700);
  if (FILE* f = std::fopen(ready.c_str(), "w")) std::fclose(f);
  Pump(4000);
  editor->Hide();
  editor->Free();
  if (manager) manager->Free();
  SetEditorMainLink(nullptr);
  DeleteFileA(image.c_str());
  return 0;
}
