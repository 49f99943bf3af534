// One message box or the text prompt, shown until answered, for a look by eye:
//   dialogs_showcase.exe SKINS_FOLDER SKIN_NAME|none KIND
// KIND: warning, error, information, confirmation (Yes, No, Cancel, Help), custom, long (an error
// naming a file whose path is wider than the screen), huge (a warning far taller than the screen),
// tabbed (the confirmation with the focus moved on by Tab), save (Save, Don't save, Cancel) or input.
#include <string>

#include "framework/win/TApplication.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsMessageDlg.h"

int main(int argc, char** argv) {
  Application->Initialize();
  Application->SetTitle("Tarvex");
  const std::string skin = argc > 2 ? argv[2] : "none";
  const std::string kind = argc > 3 ? argv[3] : "confirmation";
  TsSkinManager* manager = nullptr;
  if (skin != "none" && argc > 1) {
    manager = NewComponent<TsSkinManager>(nullptr);
    manager->SetSkinDirectory(argv[1]);
    manager->SetSkinName(skin);
  }

  const std::string text =
      "The file C:\\Firmware\\R&D\\flash_0412.shx was changed by another program since it was opened. "
      "Save the changes you made here over it?";
  if (kind == "warning") {
    SkinMessageDlg("Code group 3 overlaps code group 4.", mtWarning, mbOK, 0);
  } else if (kind == "error") {
    SkinMessageDlg("Cannot open C:\\Firmware\\flash_0412.shx.", mtError, mbCancel, 0);
  } else if (kind == "information") {
    SkinMessageDlg("Project saved.", mtInformation, mbOK, 0);
  } else if (kind == "custom") {
    SkinShowMessage("Split done: 12 code groups written.");
  } else if (kind == "long") {
    SkinMessageDlg("Cannot create C:\\Firmware\\" + std::string(40, 'R') + std::string(200, 'x') + ".smg.", mtError,
                   mbCancel, 0);
  } else if (kind == "huge") {
    std::string name;
    for (int i = 0; i < 3000; ++i) name += "Desert ";
    SkinMessageDlg("Skin " + name + "not found.", mtWarning, mbOK, 0);
  } else if (kind == "tabbed") {
    SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    });
    SkinMessageDlg(text, mtConfirmation, mbYesNoCancel | mbHelp, 0);
  } else if (kind == "save") {
    SkinMessageDlgCaptions("The strings were changed and are not packed into the language pack.\r"
                           "Save the changes before the editor closes?\r"
                           "(Don't save lets them go; Cancel keeps the editor open.)",
                           mtConfirmation, mbYesNoCancel, {{mbYes, "&Save"}, {mbNo, "&Don't save"}});
  } else if (kind == "input") {
    std::string value = "New Folder";
    SkinInputQuery("New folder", "Folder name:", value);
  } else {
    SkinMessageDlg(text, mtConfirmation, mbYesNoCancel | mbHelp, 0);
  }
  if (manager != nullptr) manager->Free();
  return 0;
}
