#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <string>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/windows/TsFileListView.h"
#include "skin/windows/TsMessageDlg.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

// The file list view in a temporary folder under C: (never Z:, the machine's root), its file
// operations recorded instead of handed to the shell, and one real copy and rename.

namespace {

// Shell calls as they were asked for.
struct TRecordingShell : TsFileShell {
  struct TOp {
    UINT Func;
    std::string From, To;
  };
  std::vector<TOp> Ops;
  std::vector<std::string> Executed;
  std::vector<std::pair<std::string, DWORD>> Attributes;
  bool FileOperation(HWND, UINT func, const std::string& from, const std::string& to, FILEOP_FLAGS) override {
    Ops.push_back({func, from, to});
    return true;
  }
  INT_PTR Execute(HWND, const std::string& verb, const std::string& file, const std::string&, const std::string&,
                  int) override {
    Executed.push_back(verb + " " + file);
    return 42;
  }
  bool SetAttributes(const std::string& path, DWORD attributes) override {
    Attributes.emplace_back(path, attributes);
    return true;
  }
};

// The boxes the list shows, answered No.
class TBoxRecorder {
public:
  TBoxRecorder() {
    FPrevious = SetSkinMessageBoxHandler([this](TsBoxKind kind, const std::string& text) {
      Boxes.push_back({kind, text});
      return false;
    });
  }
  ~TBoxRecorder() { SetSkinMessageBoxHandler(FPrevious); }
  std::vector<std::pair<TsBoxKind, std::string>> Boxes;

private:
  TsMessageBoxHandler FPrevious;
};

void WriteFile(const std::string& path, std::size_t size) {
  std::ofstream out(path, std::ios::binary);
  out << std::string(size, 'x');
}

// A fresh folder of sub-folders and files under the temporary folder on C:.
class FileListView : public ::testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    ASSERT_EQ(toupper(temp[0]), 'C') << temp;
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    FOldCurrent = current;
    Root = std::string(temp) + "tarvex_flv_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(++FCounter) + "\\";
    CreateDirectoryA(Root.c_str(), nullptr);
    CreateDirectoryA((Root + "Sub").c_str(), nullptr);
    CreateDirectoryA((Root + "alpha.dir").c_str(), nullptr);
    WriteFile(Root + "one.bin", 1);
    WriteFile(Root + "empty.bin", 0);
    WriteFile(Root + "big.smg", 5000);
    WriteFile(Root + "fw.part.smg", 3000);
    WriteFile(Root + "notes.txt", 10);
    Form = Make<TTestForm>();
    Form->SetBounds(50, 50, 600, 400);
    List = NewControl<TsFileListView>(Form.get(), Form.get(), RECT{0, 0, 560, 340});
    List->SetMultiSelect(true);
    List->SetShell(&Shell);
    Form->Show();
  }
  void TearDown() override {
    Form.reset();
    SetCurrentDirectoryA(FOldCurrent.c_str());
    SHFILEOPSTRUCTA op{};
    const std::string from = Root + std::string(1, '\0');
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&op);
  }

  TListItem* Item(const std::string& caption) {
    for (int i = 0; i < List->ItemCount(); ++i)
      if (List->Items(i)->Caption() == caption) return List->Items(i);
    return nullptr;
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> names;
    for (int i = 0; i < List->ItemCount(); ++i) names.push_back(List->Items(i)->Caption());
    return names;
  }
  void SelectOnly(const std::vector<std::string>& captions) {
    List->ClearSelection();
    for (const std::string& c : captions) {
      TListItem* item = Item(c);
      ASSERT_NE(item, nullptr) << c;
      item->SetSelected(true);
    }
  }
  void Key(WORD key) {
    WORD k = key;
    List->Perform(CN_KEYDOWN, k, 1);
  }

  std::string Root;
  TOwned<TTestForm> Form;
  TsFileListView* List = nullptr;
  TRecordingShell Shell;

private:
  std::string FOldCurrent;
  static inline int FCounter = 0;
};

}  // namespace

TEST_F(FileListView, DirectoryGuardEventsAndCurrentFolder) {
  int before = 0, after = 0;
  std::string seenInBefore;
  TNotifyEvent onBefore = TNotifyEvent::FromFunctor([&](TObject*) {
    ++before;
    // A change asked for while one runs is ignored.
    List->SetDirectory("C:\\");
    seenInBefore = List->Directory();
  });
  List->SetOnBeforeDirChanging(onBefore);
  List->SetOnAfterDirChanging(TNotifyEvent::FromFunctor([&](TObject*) { ++after; }));

  List->SetDirectory(Root.substr(0, Root.size() - 1));
  EXPECT_EQ(List->Directory(), Root);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(after, 1);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(WithTrailingBackslash(current), Root);

  // The same folder in other case: nothing. A missing folder: only the after event.
  std::string upper = Root;
  CharUpperBuffA(upper.data(), DWORD(upper.size()));
  List->SetDirectory(upper);
  EXPECT_EQ(before, 1);
  List->SetDirectory(Root + "missing");
  EXPECT_EQ(List->Directory(), Root);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(after, 2);
}

TEST_F(FileListView, ListsSortsAndNavigates) {
  List->SetShowParentItem(true);
  List->SetMask("*.smg;*.s*;one.bin;empty.bin");
  List->SetDirectory(Root);
  // ".." and folders first, each folder once and each file once though two masks match it.
  EXPECT_EQ(Captions(), (std::vector<std::string>{"..", "alpha.dir", "Sub", "big.smg", "empty.bin", "fw.part.smg",
                                                   "one.bin"}));
  EXPECT_EQ(List->Items(0)->ImageIndex(), -1);
  EXPECT_EQ(Item("one.bin")->SubItems()[0], "1 KB");
  EXPECT_EQ(Item("empty.bin")->SubItems()[0], "0 KB");
  EXPECT_EQ(Item("big.smg")->SubItems()[4], Root + "big.smg");
  EXPECT_EQ(Item("big.smg")->SubItems()[5], "file");
  EXPECT_EQ(Item("Sub")->SubItems()[5], "dir");
  EXPECT_EQ(Item("..")->SubItems()[5], "dir");
  EXPECT_TRUE(Item("..")->Selected()) << "the first item is selected after a refresh";
  EXPECT_EQ(List->TotalSize(), 8001u);

  // Size: largest first (folders last), then reversed; Name after that: descending, folders last.
  List->ColumnClicked(1);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"..", "big.smg", "fw.part.smg", "one.bin", "empty.bin",
                                                   "alpha.dir", "Sub"}));
  List->ColumnClicked(1);
  EXPECT_EQ(Captions().back(), "big.smg");
  List->ColumnClicked(0);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"..", "one.bin", "fw.part.smg", "empty.bin", "big.smg", "Sub",
                                                   "alpha.dir"}));

  // Hidden extensions; selection size and count.
  List->SetHideFileExt(true);
  List->RefreshList();
  EXPECT_NE(Item("fw"), nullptr);
  SelectOnly({"fw", "big"});
  EXPECT_EQ(List->SelectedSize(), 8000u);
  EXPECT_EQ(List->SelectedNumber(), 2);

  // Enter on a folder goes in, Backspace comes back, ".." goes up.
  SelectOnly({"Sub"});
  Key(VK_RETURN);
  EXPECT_EQ(List->Directory(), Root + "Sub\\");
  Key(VK_BACK);
  EXPECT_EQ(List->Directory(), Root);
  SelectOnly({".."});
  List->OpenSelected();
  EXPECT_EQ(List->Directory(), ParentFolder(Root));
}

TEST_F(FileListView, DriveListRunsNoFileOperation) {
  TBoxRecorder boxes;
  List->SetDirectory("C:\\");
  List->UpLevel();
  EXPECT_EQ(List->Directory(), "");
  ASSERT_GT(List->ItemCount(), 0);
  EXPECT_EQ(List->Columns(2).Caption, "Disk Size");
  TListItem* c = nullptr;
  for (int i = 0; i < List->ItemCount(); ++i)
    if (List->Items(i)->SubItems()[4] == "C:\\") c = List->Items(i);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->SubItems()[5], "drv");
  EXPECT_NE(c->Caption().find("(C:)"), std::string::npos);
  // Backspace does nothing further; Delete, cut, copy, rename, new folder and F5 hand nothing on.
  List->SetSelected(c);
  Key(VK_BACK);
  EXPECT_EQ(List->Directory(), "");
  Key(VK_DELETE);
  List->CutSelection();
  List->CopySelection();
  List->RenameSelected();
  List->NewFolder();
  List->SendToFolder(Root);
  EXPECT_TRUE(Shell.Ops.empty());
  EXPECT_TRUE(List->ClipboardPaths().empty());
  EXPECT_TRUE(boxes.Boxes.empty());
  auto* popup = List->FilePopup();
  popup->UpdateItems();
  for (const char* name : {"ItemOpCut", "ItemOpCopy", "ItemOpPaste", "ItemDelete", "ItemRename", "ItemFileAttr",
                           "SubMenuSend", "ItemFolder"})
    EXPECT_FALSE(popup->ItemByName(name)->Enabled()) << name;
  EXPECT_TRUE(popup->ItemByName("ItemOpen")->Enabled());
  // Opening the drive goes into it.
  List->OpenSelected();
  EXPECT_EQ(List->Directory(), "C:\\");
}

namespace {

// Ends the caption edit of the list with text, as typing it and pressing Enter does.
void EndEdit(TsFileListView* list, const std::string& text) {
  HWND edit = reinterpret_cast<HWND>(SendMessageA(list->Handle(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr) << "no caption edit";
  SetWindowTextA(edit, text.c_str());
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
}

std::string PathList(std::initializer_list<std::string> paths) { return ShellPathList(std::vector<std::string>(paths)); }

}  // namespace

TEST_F(FileListView, FileOperationsSkipParentAndPassDoubleZeroLists) {
  TBoxRecorder boxes;
  List->SetShowParentItem(true);
  List->SetDirectory(Root);
  SelectOnly({"..", "one.bin", "Sub"});

  // Copy then paste: one copy per entry, never "..".
  Key('C');  // without Ctrl: nothing
  EXPECT_TRUE(List->ClipboardPaths().empty());
  List->CopySelection();
  EXPECT_EQ(List->ClipboardPaths(), (std::vector<std::string>{Root + "Sub", Root + "one.bin"}));
  EXPECT_EQ(List->ClipboardMode(), 0);
  // Into Sub: the folder itself is skipped (it would be copied into itself).
  List->SetDirectory(Root + "Sub");
  List->Paste();
  ASSERT_EQ(Shell.Ops.size(), 1u);
  EXPECT_EQ(Shell.Ops[0].Func, UINT(FO_COPY));
  EXPECT_EQ(Shell.Ops[0].From, PathList({Root + "one.bin"}));
  EXPECT_EQ(Shell.Ops[0].To, PathList({Root + "Sub\\one.bin"}));
  EXPECT_EQ(Shell.Ops[0].From.substr(Shell.Ops[0].From.size() - 2), std::string(2, '\0'));
  EXPECT_TRUE(List->ClipboardPaths().empty());
  // Paste again: the warning, no operation.
  List->Paste();
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].second, "No file(s) selected");
  EXPECT_EQ(Shell.Ops.size(), 1u);

  // Cut moves; Delete hands the selection in one list.
  List->SetDirectory(Root);
  SelectOnly({"..", "big.smg"});
  List->CutSelection();
  EXPECT_EQ(List->ClipboardMode(), 2);
  List->SetDirectory(Root + "alpha.dir");
  List->Paste();
  ASSERT_EQ(Shell.Ops.size(), 2u);
  EXPECT_EQ(Shell.Ops[1].Func, UINT(FO_MOVE));
  List->SetDirectory(Root);
  SelectOnly({"..", "notes.txt", "empty.bin"});
  Key(VK_DELETE);
  ASSERT_EQ(Shell.Ops.size(), 3u);
  EXPECT_EQ(Shell.Ops[2].Func, UINT(FO_DELETE));
  EXPECT_EQ(Shell.Ops[2].From, PathList({Root + "empty.bin", Root + "notes.txt"}));
  // ".." alone: nothing is deleted, sent or renamed.
  SelectOnly({".."});
  Key(VK_DELETE);
  List->SendToFolder("C:\\");
  List->RenameSelected();
  EXPECT_EQ(Shell.Ops.size(), 3u);
  List->FilePopup()->UpdateItems();
  EXPECT_FALSE(List->FilePopup()->ItemByName("ItemDelete")->Enabled());
  EXPECT_FALSE(List->FilePopup()->ItemByName("ItemRename")->Enabled());
  EXPECT_TRUE(List->FilePopup()->ItemByName("ItemOpen")->Enabled());
  EXPECT_TRUE(List->FilePopup()->ItemByName("ItemFolder")->Enabled());
  EXPECT_FALSE(List->FilePopup()->ItemByName("ItemOpPaste")->Enabled());
  SelectOnly({"notes.txt"});
  List->FilePopup()->UpdateItems();
  EXPECT_TRUE(List->FilePopup()->ItemByName("ItemView")->Enabled());
  EXPECT_TRUE(List->FilePopup()->ItemByName("ItemRename")->Enabled());
  SelectOnly({"one.bin"});
  List->FilePopup()->UpdateItems();
  EXPECT_FALSE(List->FilePopup()->ItemByName("ItemView")->Enabled());
}

TEST_F(FileListView, RenameRefusesBadCaptionsAndExistingNames) {
  TBoxRecorder boxes;
  List->SetDirectory(Root);
  for (const char* bad : {"..\\x.txt", "..", "a:b", ""}) {
    SelectOnly({"one.bin"});
    List->RenameSelected();
    EndEdit(List, bad);
    EXPECT_NE(Item("one.bin"), nullptr) << bad;
  }
  EXPECT_TRUE(Shell.Ops.empty());
  // The empty caption counts as a cancelled edit on some platforms: at least the others warned.
  EXPECT_GE(boxes.Boxes.size(), 3u);
  for (const auto& box : boxes.Boxes) EXPECT_EQ(box.first, TsBoxKind::Warning);

  boxes.Boxes.clear();
  SelectOnly({"one.bin"});
  List->RenameSelected();
  EndEdit(List, "notes.txt");
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].second, "\"notes.txt\" is already exists !");
  EXPECT_TRUE(Shell.Ops.empty());

  // With hidden extensions the extension stays.
  List->SetHideFileExt(true);
  List->RefreshList();
  SelectOnly({"fw"});
  List->RenameSelected();
  EndEdit(List, "boot");
  ASSERT_EQ(Shell.Ops.size(), 1u);
  EXPECT_EQ(Shell.Ops[0].Func, UINT(FO_RENAME));
  EXPECT_EQ(Shell.Ops[0].From, PathList({Root + "fw.part.smg"}));
  EXPECT_EQ(Shell.Ops[0].To, PathList({Root + "boot.part.smg"}));
}

TEST_F(FileListView, OpenRunsFilesOnlyWhenAsked) {
  TBoxRecorder boxes;
  List->SetDirectory(Root);
  List->SetDblClickToOpen(false);
  SelectOnly({"notes.txt"});
  Key(VK_RETURN);
  List->OpenSelected();
  EXPECT_TRUE(Shell.Executed.empty());
  EXPECT_EQ(List->Directory(), Root);
  List->SetDblClickToOpen(true);
  List->OpenSelected();
  EXPECT_EQ(Shell.Executed, (std::vector<std::string>{"Open " + Root + "notes.txt"}));
}

TEST_F(FileListView, NewFolderCountsAndAttributesDialogWritesTheBits) {
  TBoxRecorder boxes;
  CreateDirectoryA((Root + "New Folder").c_str(), nullptr);
  CreateDirectoryA((Root + "New Folder(1)").c_str(), nullptr);
  List->SetShell(nullptr);
  List->SetDirectory(Root);
  List->NewFolder();
  EXPECT_TRUE(GetFileAttributesA((Root + "New Folder(2)").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  ASSERT_NE(List->Selected(), nullptr);
  EXPECT_EQ(List->Selected()->Caption(), "New Folder(2)");
  SendMessageA(List->Handle(), LVM_CANCELEDITLABEL, 0, 0);
  Pump();

  List->SetShell(&Shell);
  SelectOnly({"notes.txt"});
  // Read-only on, OK.
  RunLater(50, [] {
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->Name() == "FileAttributes" && Screen->Forms(i)->IsModal()) {
        TCustomForm* form = Screen->Forms(i);
        EXPECT_EQ(form->Caption(), "Set Attributes");
        static_cast<TsCheckBox*>(form->FindComponent("CheckReadOnly"))->SetChecked(true);
        form->SetModalResult(mrOk);
      }
  });
  EXPECT_TRUE(List->EditAttributes());
  ASSERT_EQ(Shell.Attributes.size(), 1u);
  EXPECT_EQ(Shell.Attributes[0].first, Root + "notes.txt");
  EXPECT_TRUE(Shell.Attributes[0].second & FILE_ATTRIBUTE_READONLY);
}

TEST_F(FileListView, RealCopyAndRename) {
  TBoxRecorder boxes;
  List->SetShell(nullptr);
  List->SetDirectory(Root);
  SelectOnly({"big.smg"});
  List->CopySelection();
  List->SetDirectory(Root + "Sub");
  List->Paste();
  EXPECT_NE(Item("big.smg"), nullptr);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA((Root + "Sub\\big.smg").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 5000u);

  SelectOnly({"big.smg"});
  List->RenameSelected();
  EndEdit(List, "renamed.smg");
  EXPECT_NE(Item("renamed.smg"), nullptr);
  EXPECT_EQ(Item("big.smg"), nullptr);
  EXPECT_NE(GetFileAttributesA((Root + "Sub\\renamed.smg").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA((Root + "big.smg").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(boxes.Boxes.empty());
}

TEST_F(FileListView, ListsComeAndGoWithoutHandles) {
  // A list on a folder of one file, its popup made ready, then freed.
  const std::string small = Root + "alpha.dir\\";
  WriteFile(small + "a.bin", 1);
  auto cycle = [&] {
    auto* list = NewControl<TsFileListView>(Form.get(), Form.get(), RECT{0, 0, 300, 200});
    list->SetDirectory(small);
    list->FilePopup()->FillSendTo();
    list->FilePopup()->UpdateItems();
    list->Free();
  };
  cycle();
  // 50 cycles: a cycle costs about 150 ms under Wine (the list window and the shell's type names).
  EXPECT_EQ(TGuiCensus::ChangeOver(50, cycle), TGuiCensus());
}


// The list shows its names in "MS Sans Serif" 8, in a window made again too, and that font has a
// glyph (no box) for each character of names beyond ASCII.
TEST_F(FileListView, NamesShowInMSSansSerif8WithAGlyphForEveryCharacter) {
  const std::string name =
      "\xDC" "bersicht_\xE4\xF6\xDF caf\xE9 na\xEFve \xF1 \xC5ngstr\xF6m \xD8\xC6 \x80uro \x8Cuvre.txt";
  WriteFile(Root + name, 1);
  List->SetDirectory(Root);
  ASSERT_NE(Item(name), nullptr);
  const TScreenDC screen;
  const int height = -MulDiv(8, GetDeviceCaps(screen.Handle(), LOGPIXELSY), 72);
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass == 0 ? "first window" : "made again");
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(List->Handle(), WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    ASSERT_NE(GetObjectA(font, sizeof lf, &lf), 0);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(lf.lfHeight, height);
    HDC dc = GetDC(List->Handle());
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<WORD> glyphs(name.size());
    ASSERT_EQ(GetGlyphIndicesA(dc, name.c_str(), int(name.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS),
              DWORD(name.size()));
    SelectObject(dc, old);
    ReleaseDC(List->Handle(), dc);
    for (std::size_t i = 0; i < name.size(); ++i) EXPECT_NE(glyphs[i], 0xFFFF) << "character " << i;
    List->RecreateWnd();
    Pump();
  }
}
