// The file list view on a folder of sub-folders and files, for a look by eye:
//   filelist_showcase.exe SKINS_FOLDER SKIN_NAME|none list|popup|attributes|drives
// The folder is made under the temporary folder of drive C: and left there.
#include <windows.h>

#include <fstream>
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TTimer.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsFileListView.h"
#include "skin/windows/TsSkinableMenus.h"
#include "skin/windows/TsSkinProvider.h"

namespace {

std::string MakeFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "Tarvex showcase\\";
  CreateDirectoryA(root.c_str(), nullptr);
  for (const char* folder : {"Backups", "Code groups", "Language packs"})
    CreateDirectoryA((root + folder).c_str(), nullptr);
  const struct {
    const char* Name;
    std::size_t Size;
  } files[] = {{"flash_0412.shx", 4 << 20}, {"boot.smg", 131072}, {"notes.txt", 812},
               {"langpack_en.lng", 96000}, {"cg1.bin", 1}, {"drm_image.raw", 0}};
  for (const auto& f : files) {
    std::ofstream out(root + f.Name, std::ios::binary);
    out << std::string(f.Size, 'x');
  }
  // Names beyond ASCII, in the ANSI code page: "Übersicht_äöß.txt", "café_naïve_ñ.lng",
  // "Ångström_ØÆ.smg" and "€uro_Œuvre.bin".
  for (const char* name : {"\xDC" "bersicht_\xE4\xF6\xDF.txt", "caf\xE9_na\xEFve_\xF1.lng", "\xC5ngstr\xF6m_\xD8\xC6.smg",
                           "\x80uro_\x8Cuvre.bin"}) {
    HANDLE h = CreateFileA((root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return root;
}

struct TShow {
  TForm* Form = nullptr;
  TsFileListView* List = nullptr;
  TTimer* Timer = nullptr;
  std::string Mode;
  void Open(TObject*) {
    Timer->SetEnabled(false);
    if (Mode == "popup") {
      List->SetFocus();
      const POINT at = List->ClientToScreen(POINT{120, 60});
      List->FilePopup()->Popup(at.x, at.y);
    } else if (Mode == "attributes") {
      DWORD attributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
      RunAttributesDialog(List->Directory() + "flash_0412.shx", attributes);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  InstallSkinableMenus();
  Application->Initialize();
  const std::string skin = argc > 2 ? argv[2] : "none";
  const std::string mode = argc > 3 ? argv[3] : "list";
  TForm* form = NewComponent<TForm>(Application);
  form->SetCaption("File list view: " + skin);
  form->SetBounds(20, 20, 620, 420);
  auto* manager = NewComponent<TsSkinManager>(form);
  if (argc > 1) manager->SetSkinDirectory(argv[1]);
  auto* provider = NewComponent<TsSkinProvider>(form);
  (void)provider;
  if (skin != "none") {
    manager->SetSkinName(skin);
    manager->SetActive(true);
  }
  auto* list = NewControl<TsFileListView>(form, form, RECT{8, 8, 596, 372});
  list->SetMultiSelect(true);
  list->SetShowParentItem(true);
  list->SetDirectory(mode == "drives" ? "" : MakeFolder());
  if (list->ItemCount() > 3) {
    list->Items(2)->SetSelected(true);
    list->Items(3)->SetSelected(true);
  }
  form->Show();
  TShow show{form, list, NewComponent<TTimer>(form), mode};
  show.Timer->SetInterval(400);
  show.Timer->SetOnTimer(TNotifyEvent(&show, &TShow::Open));
  show.Timer->SetEnabled(true);
  Application->Run();
  return 0;
}
