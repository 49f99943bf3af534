// The file-name edits and the filter and folder combos, skinned or not, for a look by eye (not a
// test). With "dropped" the folder combo shows its list. It stays a few seconds for a screen grab:
//   wine file_edits_showcase.exe SKINS-FOLDER SKIN|none [dropped]
#include <windows.h>

#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsLabel.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsFilterComboBox.h"
#include "skin/windows/TsPathComboBox.h"
#include "skin/windows/TsSkinProvider.h"
#include "tests/skin/controls/ShowcaseForm.h"

namespace {

void Caption(TForm* form, int top, const std::string& text) {
  auto* label = NewControl<TsLabel>(form, form, RECT{12, top + 3, 110, top + 20});
  label->SetCaption(text);
}

}  // namespace

int main(int argc, char** argv) {
  TForm* form = ShowcaseForm(argc, argv, "File edits", 460, 300);
  NewComponent<TsSkinProvider>(form);
  const bool dropped = argc > 3 && std::string(argv[3]) == "dropped";
  char windows[MAX_PATH] = "C:\\windows";
  GetWindowsDirectoryA(windows, MAX_PATH);

  Caption(form, 16, "Firmware file");
  auto* file = NewControl<TsFilenameEdit>(form, form, RECT{110, 16, 430, 37});
  file->SetFileName(std::string(windows) + "\\system32\\notepad.exe");
  Caption(form, 50, "Save as");
  auto* save = NewControl<TsFilenameEdit>(form, form, RECT{110, 50, 430, 71});
  save->SetDialogKind(dkSave);
  Caption(form, 84, "Files of type");
  auto* filter = NewControl<TsFilterComboBox>(form, form, RECT{110, 84, 430, 106});
  filter->SetFilter("Superfiles (*.shx)|*.shx|Code groups (*.smg)|*.smg|All files (*.*)|*.*");
  Caption(form, 118, "Look in");
  auto* path = NewControl<TsPathComboBox>(form, form, RECT{110, 118, 430, 140});
  path->SetDirectory(std::string(windows) + "\\system32\\drivers");
  Caption(form, 152, "Read only");
  auto* locked = NewControl<TsFilenameEdit>(form, form, RECT{110, 152, 430, 173});
  locked->SetFileName("C:\\phone\\flash.log");
  locked->SetEnabled(false);

  form->Show();
  ShowcasePump(400);
  if (dropped) {
    path->SetFocus();
    path->SetDroppedDown(true);
  } else {
    save->SetFocus();
  }
  ShowcasePump(6000);
  form->Free();
  return 0;
}
