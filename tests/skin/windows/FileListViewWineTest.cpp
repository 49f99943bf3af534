#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TMenuItem.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/windows/TsFileListView.h"
#include "skin/windows/TsMessageDlg.h"
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

  // Size: largest first, then reversed; Name after that: descending.
  List->ColumnClicked(1);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"..", "alpha.dir", "Sub", "big.smg", "fw.part.smg", "one.bin",
                                                   "empty.bin"}));
  List->ColumnClicked(1);
  EXPECT_EQ(Captions().back(), "big.smg");
  List->ColumnClicked(0);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"..", "Sub", "alpha.dir", "one.bin", "fw.part.smg", "empty.bin",
                                                   "big.smg"}));

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
