// The flasher after a run against a simulated phone (list, log, gauge, status panel), or its
// "New address" box, for a look by eye (not a test). It writes READY-FILE once the scene is up and
// stays a few seconds for a screen grab:
//   wine flasher_showcase.exe SKINS-FOLDER SKIN|none run|address READY-FILE
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TDBGrid.h"
#include "phone/TfmFlash.h"
#include "skin/controls/TsButton.h"
#include "skin/windows/TsFileNameEdit.h"
#include "tests/phone/simulator/SimulatedPhone.h"
#include "tests/skin/controls/ShowcaseForm.h"

namespace {

std::string WriteFile(const std::string& name, std::size_t size, int seed) {
  char dir[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + name;
  std::vector<char> data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + seed);
  std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
  return path;
}

std::string ReadyFile;

void Ready(const std::string& file) {
  if (FILE* f = std::fopen(file.c_str(), "w")) std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const std::string folder = argv[1], skin = argv[2], scene = argv[3], ready = argv[4];
  Application->Initialize();
  Application->SetTitle("Tarvex");
  ShowcaseSkinManager(folder, skin);

  TSimulatedPhone phone;
  phone.SetReenumerationDelay(200);
  phone.PlugIn(TSimMode::TestCommand);
  TfmFlash* form = NewComponent<TfmFlash>(Application, phone);
  form->SetPosition(poDesigned);
  form->SetLeft(20);
  form->SetTop(20);
  form->Show();
  const std::string lang = WriteFile("lang_4.smg", 300000, 4);
  const std::string drm = WriteFile("drm_15.smg", 200000, 15);
  form->sFilenameEdit1->SetText(WriteFile("RAMDLD_0910.smg", 9000, 1));
  form->AppendRow(4, lang, "LangPack", 0x10C00000, 300000);
  form->AppendRow(15, drm, "DRM (graphics)", 0x11600000, 200000);
  form->AppendRow(18, "C:\\fw\\signature_18.smg", "Signature", -1, 2048);
  ShowcasePump(600);
  if (scene == "address") {
    form->CDS->Last();
    // The box is modal: the timers mark it shown, then end the program under it.
    ReadyFile = ready;
    SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      Ready(ReadyFile);
    });
    SetTimer(nullptr, 0, 7000, [](HWND, UINT, UINT_PTR, DWORD) { ExitProcess(0); });
    SendMessageA(form->sButton4->Handle(), BM_CLICK, 0, 0);
    return 0;
  }
  // The third row has no address: the run stops before anything is sent; then without it.
  SendMessageA(form->sButton5->Handle(), BM_CLICK, 0, 0);
  form->CDS->Last();
  form->CDS->Delete();
  SendMessageA(form->sButton5->Handle(), BM_CLICK, 0, 0);
  form->SetActiveControl(form->DBGrid1);
  ShowcasePump(500);
  Ready(ready);
  ShowcasePump(6000);
  form->Free();
  return 0;
}
