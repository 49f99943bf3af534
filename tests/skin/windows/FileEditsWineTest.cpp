#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/base/AnsiStrings.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TImageList.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsFilterComboBox.h"
#include "skin/windows/TsPathComboBox.h"
#include "skin/windows/TsShellImages.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/controls/ControlPixels.h"

// The file-name edits and the filter and folder combos of the file dialogs, driven by real
// messages: shell drops, the platform's file dialog answered from a timer, keys on the combos.

namespace {

// A folder of this test under the root of drive C, with files; removed at the end.
class TScratchFolder {
public:
  explicit TScratchFolder(const std::string& name) : FRoot("C:\\" + name + "-" + IntToStr(GetCurrentProcessId()) + "\\") {
    CreateDirectoryA(FRoot.c_str(), nullptr);
  }
  ~TScratchFolder() {
    for (auto it = FMade.rbegin(); it != FMade.rend(); ++it)
      if (!DeleteFileA(it->c_str())) RemoveDirectoryA(it->c_str());
    RemoveDirectoryA(FRoot.c_str());
  }
  const std::string& Root() const { return FRoot; }
  std::string Folder(const std::string& relative) {
    const std::string path = FRoot + relative + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    FMade.push_back(path);
    return path;
  }
  std::string File(const std::string& relative) {
    const std::string path = FRoot + relative;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    FMade.push_back(path);
    return path;
  }

private:
  std::string FRoot;
  std::vector<std::string> FMade;
};

// A shell drop of names as the shell posts it: a DROPFILES block followed by the names, each
// ending with a zero, and one more zero. The receiver ends the drop (DragFinish frees it).
HDROP MakeDrop(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& n : names) list += n + '\0';
  list += '\0';
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
  auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
  GlobalUnlock(mem);
  return static_cast<HDROP>(mem);
}

// Whether the shell takes drops on the window when it is destroyed, seen from outside the control.
WNDPROC gOuterOld = nullptr;
int gAcceptingAtDestroy = -1;
LRESULT CALLBACK WatchDestroy(HWND window, UINT msg, WPARAM w, LPARAM l) {
  const LRESULT r = CallWindowProcA(gOuterOld, window, msg, w, l);
  if (msg == WM_DESTROY) gAcceptingAtDestroy = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
  return r;
}

bool Accepting(TWinControl* c) { return (GetWindowLongPtrA(c->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

class FileEdits : public TSkinnedFormTest {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Edit = NewControl<TsFilenameEdit>(Form, Form, RECT{10, 10, 250, 31});
    Edit->SetOnDropFiles(TNotifyEvent::FromFunctor([this](TObject*) { ++Drops; }));
    Pump();
  }
  TsFilenameEdit* Edit = nullptr;
  int Drops = 0;
};

TEST_F(FileEdits, NamesWithForbiddenCharactersAreRefusedAndTheTextKept) {
  Edit->SetFileName("C:\\data\\a.txt");
  EXPECT_EQ(Edit->Text(), "C:\\data\\a.txt");
  for (const char* bad : {"a|b.txt", "a<b", "a>b", "say \"x\"", "[x].txt", "x]"}) {
    try {
      Edit->SetFileName(bad);
      ADD_FAILURE() << bad << " was taken";
    } catch (const EComboEditError& e) {
      EXPECT_STREQ(e.what(), "Invalid file name");
    }
    EXPECT_EQ(Edit->Text(), "C:\\data\\a.txt");
  }
  Edit->SetFileName("");
  EXPECT_EQ(Edit->Text(), "");
  // The edit's own settings: 255 characters, OEM conversion, the open-file glyph of its own.
  EXPECT_EQ(SendMessageA(Edit->Handle(), EM_GETLIMITTEXT, 0, 0), 255);
  EXPECT_NE(GetWindowLongPtrA(Edit->Handle(), GWL_STYLE) & ES_OEMCONVERT, 0);
  EXPECT_FALSE(Edit->GlyphMode()->UseDefaultGlyph());
  EXPECT_EQ(Edit->GlyphMode()->GlyphWidth(), 16);
  EXPECT_EQ(Edit->GlyphMode()->GlyphHeight(), 16);
}

TEST_F(FileEdits, ADropOfThreeFilesTakesTheFirstOrAllWithMultipleSelection) {
  TScratchFolder folder("tarvex-drop");
  const std::vector<std::string> files{folder.File("one.txt"), folder.File("two.txt"), folder.File("three.txt")};
  EXPECT_FALSE(Accepting(Edit));
  Edit->SetAcceptFiles(true);
  EXPECT_TRUE(Accepting(Edit));

  SendMessageA(Edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
  EXPECT_EQ(Edit->Text(), files[0]);
  EXPECT_EQ(Drops, 1);
  EXPECT_EQ(Edit->Files().Count(), 0);

  Edit->SetDialogOptions(Edit->DialogOptions() | ofAllowMultiSelect);
  EXPECT_TRUE(Edit->MultipleFiles());
  SendMessageA(Edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({files[2], files[1], files[0]})), 0);
  EXPECT_EQ(Edit->Text(), files[2]);
  EXPECT_EQ(Drops, 2);
  ASSERT_EQ(Edit->Files().Count(), 3);
  EXPECT_EQ(Edit->Files()[1], files[1]);
  // A typed name or single selection again empties the list.
  Edit->SetFileName(files[1]);
  EXPECT_EQ(Edit->Files().Count(), 0);
  SendMessageA(Edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
  Edit->SetDialogOptions(Edit->DialogOptions() & ~ofAllowMultiSelect);
  EXPECT_EQ(Edit->Files().Count(), 0);
}

TEST_F(FileEdits, ADroppedNameWithABracketShowsTheErrorAndEndsTheDrop) {
  Edit->SetAcceptFiles(true);
  Edit->SetFileName("kept.txt");
  TExceptionSink sink;
  // The window procedure's barrier reports the refusal; the drop memory is freed all the same.
  HDROP drop = MakeDrop({"C:\\x[1].txt"});
  SendMessageA(Edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0], "Invalid file name");
  EXPECT_EQ(Edit->Text(), "kept.txt");
  EXPECT_EQ(GlobalSize(drop), 0u);
}

TEST_F(FileEdits, TheDropTargetGoesBeforeTheWindowOnEveryWayOfDestroyingIt) {
  Edit->SetAcceptFiles(true);
  // A rebuilt window is registered again.
  Edit->RecreateWnd();
  EXPECT_TRUE(Accepting(Edit));
  for (bool byParent : {false, true}) {
    auto* e = NewControl<TsFilenameEdit>(Form, Form, RECT{10, 40, 250, 61});
    e->SetAcceptFiles(true);
    gAcceptingAtDestroy = -1;
    gOuterOld = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(e->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchDestroy)));
    if (byParent) {
      // The parent's window goes first and takes the edit's with it.
      Form->Free();
      Form = NewComponent<TForm>(Application);
      Edit = nullptr;
    } else {
      e->Free();
    }
    EXPECT_EQ(gAcceptingAtDestroy, 0) << (byParent ? "with the form" : "alone");
  }
}

TEST_F(FileEdits, ADialogKindChangeKeepsEveryDialogSetting) {
  Edit->SetFilter("Text (*.txt)|*.txt|All files (*.*)|*.*");
  Edit->SetFilterIndex(2);
  Edit->SetDefaultExt("txt");
  Edit->SetInitialDir("C:\\windows\\");
  Edit->SetDialogOptions(ofOverwritePrompt | ofAllowMultiSelect);
  Edit->HistoryList().Add("C:\\a\\");
  Edit->Dialog()->SetTitle("Choose");
  const int components = Edit->ComponentCount();
  EXPECT_NE(dynamic_cast<TsOpenDialog*>(Edit->Dialog()), nullptr);
  Edit->SetDialogKind(dkSave);
  EXPECT_NE(dynamic_cast<TsSaveDialog*>(Edit->Dialog()), nullptr);
  EXPECT_EQ(Edit->ComponentCount(), components);
  EXPECT_EQ(Edit->Filter(), "Text (*.txt)|*.txt|All files (*.*)|*.*");
  EXPECT_EQ(Edit->FilterIndex(), 2);
  EXPECT_EQ(Edit->DefaultExt(), "txt");
  EXPECT_EQ(Edit->InitialDir(), "C:\\windows\\");
  EXPECT_EQ(Edit->DialogOptions(), ofOverwritePrompt | ofAllowMultiSelect);
  ASSERT_EQ(Edit->HistoryList().Count(), 1);
  EXPECT_EQ(Edit->Dialog()->Title(), "Choose");
}

// What the platform dialog showed once it was up.
struct TShownDialog {
  std::string Folder, Spec;
};

// Runs action once the edit's dialog shows (asked again on each timer tick, no sleeping).
void WhenShown(TOpenDialog* dialog, std::function<void(HWND)> action, int tries = 400) {
  RunLater(10, [dialog, action, tries] {
    if (dialog->Handle() != nullptr && IsWindowVisible(dialog->Handle()))
      action(dialog->Handle());
    else if (tries > 0)
      WhenShown(dialog, action, tries - 1);
  });
}

std::string DialogText(HWND dialog, UINT message) {
  char buffer[MAX_PATH] = "";
  SendMessageA(dialog, message, MAX_PATH, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

TEST_F(FileEdits, TheButtonOpensTheDialogInTheTypedFolderWithTheTypedNameAndWritesTheChoiceBack) {
  TScratchFolder scratch("tarvex-pick");
  const std::string sub = scratch.Folder("sub");
  const std::string chosen = scratch.File("sub\\chosen.txt");
  const std::string typed = sub + "new name.txt";
  Edit->SetText(typed);
  TShownDialog seen;
  WhenShown(Edit->Dialog(), [&seen](HWND dialog) {
    seen.Folder = DialogText(dialog, CDM_GETFOLDERPATH);
    seen.Spec = DialogText(dialog, CDM_GETSPEC);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  // Alt+Down, the edit's click key.
  PostMessageA(Edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
  PostMessageA(Edit->Handle(), WM_SYSKEYUP, VK_DOWN, 0xE0000001);
  Pump();
  EXPECT_TRUE(SameText(IncludeTrailingPathDelimiter(seen.Folder), sub)) << seen.Folder;
  EXPECT_EQ(seen.Spec, "new name.txt");
  // Cancelled: the text stays.
  EXPECT_EQ(Edit->Text(), typed);

  // A text that is no valid name reaches the dialog as none; accepting writes the choice back.
  Edit->SetText("C:\\a|b");
  WhenShown(Edit->Dialog(), [&seen, &chosen](HWND dialog) {
    seen.Spec = DialogText(dialog, CDM_GETSPEC);
    SendMessageA(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(chosen.c_str()));
    SendMessageA(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(chosen.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  // A click on the button.
  const RECT b = Edit->Button()->BoundsRect();
  SendMessageA(Edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b.left + 4, b.top + 4));
  SendMessageA(Edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(b.left + 4, b.top + 4));
  EXPECT_EQ(seen.Spec, "");
  EXPECT_TRUE(SameText(Edit->Text(), chosen)) << Edit->Text();
  EXPECT_TRUE(SameText(Edit->InitialDir(), sub)) << Edit->InitialDir();
}

TEST_F(FileEdits, AFocusedSkinnedEditShowsItsButtonAsARepaintDoes) {
  LoadSkin("Desert");
  auto* other = NewControl<TButton>(Form, Form, RECT{200, 100, 280, 125});
  Pump();
  other->SetFocus();
  Pump();
  // The focused edit paints its own client, over the button's place.
  Edit->SetFocus();
  Pump();
  const TPixels focused = Captured(Edit);
  Edit->Repaint();
  Pump();
  EXPECT_EQ(Captured(Edit), focused);
  PostMessageA(Edit->Handle(), WM_CHAR, 'x', 1);
  Pump();
  const TPixels typed = Captured(Edit);
  Edit->Repaint();
  Pump();
  EXPECT_EQ(Captured(Edit), typed);
}

// ---- filter combo ----

TEST_F(FileEdits, TheFilterComboListsTheDescriptionsAndGivesTheMaskOfTheChoice) {
  auto* box = NewControl<TsFilterComboBox>(Form, Form, RECT{10, 40, 250, 61});
  int changes = 0;
  box->SetOnChange(TNotifyEvent::FromFunctor([&changes](TObject*) { ++changes; }));
  Pump();
  EXPECT_EQ(box->Style(), csDropDownList);
  EXPECT_EQ(box->Items().Count(), 1);
  EXPECT_EQ(box->GetMask(), "*.*");

  box->SetFilter("Text files (*.txt)|*.txt|All files (*.*)|*.*");
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(SendMessageA(box->Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(box->GetMask(), "*.txt");
  // Chosen with the keyboard as a user does.
  box->SetFocus();
  PostMessageA(box->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  Pump();
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(box->GetMask(), "*.*");
  EXPECT_EQ(changes, 2);
  // Nothing selected: the last item is taken.
  box->SetItemIndex(-1);
  EXPECT_EQ(box->GetMask(), "*.*");
  EXPECT_EQ(box->ItemIndex(), 1);

  box->SetFilter("Only a description");
  EXPECT_EQ(box->Items().Count(), 0);
  box->SetFilter("");
  EXPECT_EQ(SendMessageA(box->Handle(), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(box->GetMask(), "*.*");
  box->SetFilter("");
  EXPECT_EQ(changes, 4);
  // A rebuilt window (as a skin change makes) keeps the list and the choice.
  box->SetFilter("A|*.a|B|*.b|C|*.c");
  box->SetItemIndex(2);
  box->RecreateWnd();
  EXPECT_EQ(SendMessageA(box->Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(box->GetMask(), "*.c");
}

// ---- folder combo ----

int DriveCount() {
  int n = 0;
  for (DWORD mask = GetLogicalDrives(); mask != 0; mask &= mask - 1) ++n;
  return n;
}

TEST_F(FileEdits, TheFolderComboShowsTheDrivesAndTheLevelsEvenForALowerCaseDrive) {
  TScratchFolder scratch("tarvex-path");
  const std::string deep = scratch.Folder("Second");
  auto* box = NewControl<TsPathComboBox>(Form, Form, RECT{10, 40, 250, 61});
  Pump();
  EXPECT_EQ(box->Images(), SmallSystemImages());
  for (const std::string& dir : {deep, LowerCase(deep)}) {
    box->SetDirectory("");
    box->SetDirectory(dir.substr(0, dir.size() - 1));
    EXPECT_EQ(box->Directory(), dir);
    EXPECT_EQ(box->Drive(), 'C');
    const int drives = DriveCount();
    ASSERT_EQ(box->ItemsEx().Count(), drives + 2) << dir;
    ASSERT_EQ(SendMessageA(box->Handle(), CB_GETCOUNT, 0, 0), drives + 2);
    // Under drive C: the folder below the root, then the one below it, selected.
    int c = -1;
    for (int i = 0; i < box->ItemsEx().Count(); ++i)
      if (box->ItemsEx().Items(i).Caption == "C:\\") c = i;
    ASSERT_GE(c, 0);
    EXPECT_EQ(box->ItemsEx().Items(c).Indend, -1);
    EXPECT_GE(box->ItemsEx().Items(c).ImageIndex, 0);
    EXPECT_TRUE(SameText(box->ItemsEx().Items(c + 1).Caption, scratch.Root()));
    EXPECT_EQ(box->ItemsEx().Items(c + 1).Indend, 1);
    EXPECT_TRUE(SameText(box->ItemsEx().Items(c + 2).Caption, deep));
    EXPECT_EQ(box->ItemsEx().Items(c + 2).Indend, 2);
    EXPECT_EQ(box->ItemIndex(), c + 2);
    EXPECT_FALSE(box->Items()[c + 2].empty());
  }
  // The same folder in other case changes nothing.
  const std::string before = box->Directory();
  box->SetDirectory(UpperCase(before));
  EXPECT_EQ(box->Directory(), before);
}

TEST_F(FileEdits, ChoosingALevelMakesItTheFolderWithUpdatingSetMeanwhile) {
  TScratchFolder scratch("tarvex-pick");
  const std::string deep = scratch.Folder("Second");
  auto* box = NewControl<TsPathComboBox>(Form, Form, RECT{10, 40, 250, 61});
  std::vector<std::pair<bool, std::string>> seen;
  box->SetOnChange(TNotifyEvent::FromFunctor([&](TObject*) { seen.emplace_back(box->Updating(), box->Directory()); }));
  box->SetDirectory(deep);
  Pump();
  box->SetFocus();
  PostMessageA(box->Handle(), WM_KEYDOWN, VK_UP, 1);
  Pump();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].first);
  EXPECT_EQ(seen[0].second, deep);
  EXPECT_TRUE(SameText(box->Directory(), scratch.Root()));
  EXPECT_FALSE(box->Updating());
  // The list is rebuilt for the new folder, its own item selected.
  EXPECT_TRUE(SameText(box->ItemsEx().Items(box->ItemIndex()).Caption, scratch.Root()));
  EXPECT_EQ(box->ItemsEx().Count(), DriveCount() + 1);
}

TEST_F(FileEdits, TheSharedSystemImagesOutliveEveryBox) {
  TImageList* shared = SmallSystemImages();
  ASSERT_NE(shared->Handle(), nullptr);
  const int images = ImageList_GetImageCount(shared->Handle());
  auto* box = NewControl<TsPathComboBox>(Form, Form, RECT{10, 40, 250, 61});
  box->SetDirectory("C:\\");
  Pump();
  box->Free();
  EXPECT_EQ(SmallSystemImages(), shared);
  EXPECT_GE(ImageList_GetImageCount(shared->Handle()), images);
}

TEST_F(FileEdits, EditsAndCombosLeaveNoHandles) {
  TScratchFolder scratch("tarvex-census");
  const std::string file = scratch.File("f.txt");
  auto cycle = [&] {
    auto* e = NewControl<TsFilenameEdit>(Form, Form, RECT{10, 40, 250, 61});
    e->SetAcceptFiles(true);
    SendMessageA(e->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({file})), 0);
    e->SetDialogKind(dkSave);
    auto* f = NewControl<TsFilterComboBox>(Form, Form, RECT{10, 70, 250, 91});
    f->SetFilter("A|*.a|B|*.b");
    auto* p = NewControl<TsPathComboBox>(Form, Form, RECT{10, 100, 250, 121});
    p->SetDirectory(scratch.Root());
    Form->Repaint();
    e->Free();
    f->Free();
    p->Free();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus());
}

}  // namespace
