#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include "ControlTestSupport.h"
#include "framework/win/TOpenDialog.h"
#include "framework/win/TOpenPictureDialog.h"

namespace {

using FileDialogs = ControlTest;

std::string TempFolder() {
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  std::string folder = std::string(path) + "tarvex_dialog_test";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// What the shown dialog says about itself.
struct TSeen {
  std::string Title, Folder, Spec, Type;
  int Shows = 0;
};

void Look(TOpenDialog* dialog, TSeen& seen) {
  HWND h = dialog->Handle();
  char text[MAX_PATH] = {};
  GetWindowTextA(h, text, sizeof text);
  seen.Title = text;
  text[0] = 0;
  SendMessageA(h, CDM_GETFOLDERPATH, sizeof text, reinterpret_cast<LPARAM>(text));
  seen.Folder = text;
  text[0] = 0;
  SendMessageA(h, CDM_GETSPEC, sizeof text, reinterpret_cast<LPARAM>(text));
  seen.Spec = text;
  HWND types = GetDlgItem(h, cmb1);
  int index = int(SendMessageA(types, CB_GETCURSEL, 0, 0));
  text[0] = 0;
  if (index >= 0) SendMessageA(types, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
  seen.Type = text;
  ++seen.Shows;
}

TEST_F(FileDialogs, PropertiesReachTheCommonDialogAndCancelReturnsFalse) {
  std::string folder = TempFolder();
  auto* dialog = new TOpenDialog(Form);
  dialog->SetTitle("Pick a superfile");
  dialog->SetInitialDir(folder);
  dialog->SetFileName("start.shx");
  dialog->SetFilter("Text files|*.txt|Superfiles|*.shx");
  dialog->SetFilterIndex(2);
  TSeen seen;
  int closes = 0;
  dialog->SetOnShow(TNotifyEvent::FromFunctor([&](TObject*) {
    Look(dialog, seen);
    PostMessageA(dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
  }));
  dialog->SetOnClose(Counter(closes));
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(seen.Shows, 1);
  EXPECT_EQ(seen.Title, "Pick a superfile");
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, seen.Folder.c_str(), -1, folder.c_str(), -1),
            CSTR_EQUAL)
      << seen.Folder;
  EXPECT_EQ(seen.Spec, "start.shx");
  EXPECT_EQ(seen.Type, "Superfiles");
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(dialog->FileName(), "start.shx");
  EXPECT_EQ(dialog->Handle(), nullptr);
}

TEST_F(FileDialogs, AcceptedNameComesBackWithItsFolderAndCanCloseIsAsked) {
  std::string folder = TempFolder();
  auto* dialog = new TSaveDialog(Form);
  dialog->SetInitialDir(folder);
  dialog->SetFilter("Images|*.smg");
  dialog->SetDefaultExt("smg");
  int asked = 0;
  dialog->SetOnCanClose(TCanCloseEvent::FromFunctor([&](TObject*, bool& canClose) {
    // The first answer keeps the dialog open; the second lets it close.
    canClose = ++asked > 1;
    if (!canClose) PostMessageA(dialog->Handle(), WM_COMMAND, IDOK, 0);
  }));
  dialog->SetOnShow(TNotifyEvent::FromFunctor([&](TObject*) {
    SendMessageA(dialog->Handle(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>("image"));
    PostMessageA(dialog->Handle(), WM_COMMAND, IDOK, 0);
  }));
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(asked, 2);
  std::string expected = folder + "\\image.smg";
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, dialog->FileName().c_str(), -1, expected.c_str(), -1),
            CSTR_EQUAL)
      << dialog->FileName();
  ASSERT_EQ(dialog->Files().Count(), 1);
  EXPECT_EQ(dialog->Files()[0], dialog->FileName());
  EXPECT_EQ(dialog->FilterIndex(), 1);
}

TEST_F(FileDialogs, OptionsAndFilterTakeThePlatformsForm) {
  DWORD flags = TOpenDialog::OptionFlags(ofOverwritePrompt | ofAllowMultiSelect | ofFileMustExist | ofNoChangeDir);
  EXPECT_EQ(flags, DWORD(OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR));
  std::string native = TOpenDialog::NativeFilter("A|*.a|B|*.b");
  EXPECT_EQ(native, std::string("A\0*.a\0B\0*.b\0\0", 13));
  EXPECT_TRUE(TOpenDialog::NativeFilter("").empty());
  // Picture dialogs start with every registered picture format.
  auto* pictures = new TOpenPictureDialog(Form);
  EXPECT_NE(pictures->Filter().find("*.bmp"), std::string::npos);
}

}  // namespace
