// The open and save dialogs on a folder of sub-folders and files, for a look by eye (not a test):
//   wine file_dialogs_showcase.exe SKINS-FOLDER SKIN|none KIND
// KIND: open (report view), folders (the folder box dropped down), overwrite (the save dialog's
// question), gif or jpeg (the open-picture dialog previewing one), sysmenu (the open dialog's system
// menu with its skins submenu open). The dialog stays until closed.
#include <windows.h>

#include <functional>
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TJPEGImage.h"
#include "framework/win/TListItem.h"
#include "framework/win/TScreen.h"
#include "gif/TGIFImage.h"
#include "skin/controls/TsButton.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileListView.h"
#include "skin/windows/TsOpenDialogForm.h"
#include "skin/windows/TsPathComboBox.h"
#include "skin/windows/TsSkinProvider.h"

namespace {

std::function<void()> GStep;

void CALLBACK StepTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  std::function<void()> step = std::move(GStep);
  GStep = nullptr;
  if (step) step();
}

void Later(unsigned ms, std::function<void()> step) {
  GStep = std::move(step);
  SetTimer(nullptr, 0, ms, &StepTimer);
}

TsOpenDialogForm* ShownForm() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<TsOpenDialogForm*>(Screen->Forms(i)); form != nullptr && form->IsModal())
      return form;
  return nullptr;
}

void Write(const std::string& path, size_t size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  std::string bytes(size, 'x');
  DWORD written = 0;
  WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

// A picture with bands of colour, portrait, so that the preview has to scale it.
void Paint(TBitmap& bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  const TColor colors[] = {TColor(0x3050C0), TColor(0x40A0E0), TColor(0x60B060), TColor(0xC08040)};
  for (int i = 0; i < 4; ++i) {
    bitmap.Canvas()->Brush()->SetColor(colors[i]);
    bitmap.Canvas()->FillRect(RECT{0, height * i / 4, width, height * (i + 1) / 4});
  }
  bitmap.Canvas()->Brush()->SetColor(TColor(0xF0F0F0));
  bitmap.Canvas()->Ellipse(width / 4, height / 3, width * 3 / 4, height * 2 / 3);
}

std::string MakeFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "Tarvex firmware\\";
  CreateDirectoryA(root.c_str(), nullptr);
  for (const char* sub : {"Code groups", "Languages", "R&D", "Skins"})
    CreateDirectoryA((root + sub).c_str(), nullptr);
  const struct {
    const char* Name;
    size_t Size;
  } files[] = {{"flash_0412.shx", 4200000}, {"cg1.smg", 180000}, {"cg2.smg", 96000}, {"lang_en.lpk", 22000},
               {"drm_0412.raw", 3000}, {"notes.txt", 900}, {"readme.txt", 0}};
  for (const auto& f : files) Write(root + f.Name, f.Size);
  TBitmap bitmap;
  Paint(bitmap, 120, 180);
  TGIFImage gif;
  gif.Assign(&bitmap);
  gif.SaveToFile(root + "logo.gif");
  Paint(bitmap, 480, 640);
  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  jpeg.SaveToFile(root + "wallpaper.jpg");
  return root;
}

void Select(TsOpenDialogForm* form, const std::string& caption) {
  TsFileListView* list = form->FileListView();
  for (int i = 0; i < list->ItemCount(); ++i)
    if (list->Items(i)->Caption() == caption) {
      list->SetSelected(list->Items(i));
      list->SetFocus();
    }
}

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  Application->SetTitle("Tarvex");
  RegisterGIFImage();
  const std::string skin = argc > 2 ? argv[2] : "none";
  const std::string kind = argc > 3 ? argv[3] : "open";
  TsSkinManager* manager = nullptr;
  if (skin != "none" && argc > 1) {
    manager = NewComponent<TsSkinManager>(nullptr);
    manager->SetSkinDirectory(argv[1]);
    manager->SetSkinName(skin);
  }
  const std::string root = MakeFolder();

  if (kind == "gif" || kind == "jpeg") {
    TsOpenPictureDialog dialog(nullptr);
    dialog.SetInitialDir(root);
    dialog.SetTitle("Open picture");
    const std::string name = kind == "gif" ? "logo.gif" : "wallpaper.jpg";
    dialog.SetFileName(root + name);
    Later(300, [name, &dialog, root] {
      if (TsOpenDialogForm* form = ShownForm()) Select(form, name);
      else dialog.PreviewPane().ShowFile(root + name);  // the platform's dialog
    });
    dialog.Execute();
  } else if (kind == "overwrite") {
    TsSaveDialog dialog(nullptr);
    dialog.SetInitialDir(root);
    dialog.SetTitle("Save firmware as");
    dialog.SetFilter("Firmware files (*.shx)|*.shx|All files (*.*)|*.*");
    dialog.SetFileName("flash_0412.shx");
    dialog.SetOptions(dialog.Options() | ofOverwritePrompt);
    Later(300, [&dialog] {
      if (TsOpenDialogForm* form = ShownForm()) PostMessageA(form->OkButton()->Handle(), BM_CLICK, 0, 0);
      else if (dialog.Handle() != nullptr) PostMessageA(dialog.Handle(), WM_COMMAND, IDOK, 0);  // the platform's
    });
    dialog.Execute();
  } else {
    TsOpenDialog dialog(nullptr);
    dialog.SetInitialDir(root);
    dialog.SetTitle("Open firmware");
    dialog.SetFilter("All files (*.*)|*.*|Firmware files (*.shx)|*.shx");
    const bool folders = kind == "folders", menu = kind == "sysmenu";
    Later(300, [folders, menu] {
      if (TsOpenDialogForm* form = ShownForm()) {
        Select(form, "cg1.smg");
        if (folders)
          Later(400, [form] {
            form->DriveComboBox()->SetFocus();
            form->DriveComboBox()->SetDroppedDown(true);
          });
        if (menu) {
          // Into the skins submenu once the menu runs.
          Later(200, [form] {
            PostMessageA(form->Handle(), WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(form->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
          });
          RECT w;
          GetWindowRect(form->Handle(), &w);
          form->SkinProvider()->ShowSystemMenu(w.left + 8, w.top + 24);
        }
      }
    });
    dialog.Execute();
  }
  if (manager != nullptr) manager->Free();
  return 0;
}
