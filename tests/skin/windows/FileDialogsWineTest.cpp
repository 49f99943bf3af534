#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/base/AnsiStrings.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TListItem.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPopupMenu.h"
#include "framework/win/TPicture.h"
#include "framework/win/TScreen.h"
#include "gif/TGIFImage.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsSpeedButton.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileListView.h"
#include "skin/windows/TsPathComboBox.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsOpenDialogForm.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsSystemMenu.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

// The open and save dialogs driven as a user drives them, in a temporary folder on C: (the test
// never browses the machine's root drive): clicks and keys posted while the modal loop runs.

namespace {

std::string CurrentFolder() {
  char buffer[MAX_PATH];
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
  return std::string(buffer, n);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

// A folder of sub-folders and files under the temporary folder, removed afterwards.
class TTempTree {
public:
  TTempTree() {
    Root = TempFileName("") + "\\";
    CreateDirectoryA(Root.c_str(), nullptr);
  }
  ~TTempTree() { Remove(Root); }
  std::string Folder(const std::string& name) {
    const std::string path = Root + name + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }
  std::string File(const std::string& name, const std::string& bytes = "x") {
    WriteBytes(Root + name, bytes);
    return Root + name;
  }
  std::string Root;

private:
  static void Remove(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(folder + name + "\\");
        else DeleteFileA((folder + name).c_str());
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
  }
};

template <typename T>
T* ShownForm() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<T*>(Screen->Forms(i)); form != nullptr && form->IsModal() &&
                                                          form->HandleAllocated() && IsWindowVisible(form->Handle()))
      return form;
  return nullptr;
}

// Runs act on the shown form of kind T once its modal loop runs; several steps chain by calling
// WhenShown again from act.
template <typename T>
void WhenShown(std::function<void(T*)> act, int tries = 200) {
  RunLater(5, [act = std::move(act), tries]() mutable {
    if (T* form = ShownForm<T>()) act(form);
    else if (tries > 0) WhenShown<T>(std::move(act), tries - 1);
  });
}

void Click(TWinControl* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }

// A real double click on the list item at index.
void DoubleClickItem(TsFileListView* list, int index) {
  RECT r{LVIR_LABEL, 0, 0, 0};
  SendMessageA(list->Handle(), LVM_GETITEMRECT, WPARAM(index), LPARAM(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
  SendMessageA(list->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
}

int IndexOfCaption(TsFileListView* list, const std::string& caption) {
  for (int i = 0; i < list->ItemCount(); ++i)
    if (list->Items(i)->Caption() == caption) return i;
  return -1;
}

class FileDialogs : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    RegisterGIFImage();
    Start = CurrentFolder();
  }
  void TearDown() override {
    if (Manager != nullptr) Manager->Free();
    InstallSkinTables({});
    SkinData().Active = false;
    SetCurrentDirectoryA(Start.c_str());
    Pump();
  }
  void LoadSkin() {
    Manager = NewComponent<TsSkinManager>(nullptr);
    Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    Manager->SetSkinName("Desert");
    ASSERT_TRUE(SkinData().Active);
  }
  TsSkinManager* Manager = nullptr;
  std::string Start;
  TTempTree Tree;
};

TEST_F(FileDialogs, OpenDialogBrowsesKeepsFoldersOpenAndCancelPutsTheFolderBack) {
  LoadSkin();
  const std::string sub = Tree.Folder("firmware");
  Tree.Folder("firmware\\lang");
  Tree.File("flash.shx");
  Tree.File("firmware\\cg1.smg");
  SetCurrentDirectoryA(Tree.Root.c_str());

  TsOpenDialog dialog(nullptr);
  dialog.SetInitialDir(Tree.Root);
  dialog.SetTitle("Open firmware");
  struct TSeen {
    std::string Caption, Folder, AfterDoubleClick, AfterBack;
    bool OpenAfterDoubleClick = false, BackEnabled = false, BackEnabledAtStart = true, UpAtRoot = true;
    std::string CurrentInside, AfterHistory;
    std::vector<std::string> HistoryCaptions;
    std::vector<int> Views;
  } seen;
  const std::string rd = Tree.Folder("R&D");
  const std::string rdCaption = Tree.Root + "R&&D\\";
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    TsFileListView* list = form->FileListView();
    seen.Caption = form->Caption();
    seen.Folder = list->Directory();
    seen.BackEnabledAtStart = form->BackBtn()->Enabled();
    EXPECT_FALSE(list->DblClickToOpen());
    DoubleClickItem(list, IndexOfCaption(list, "firmware"));
    Pump();
    seen.AfterDoubleClick = list->Directory();
    seen.OpenAfterDoubleClick = ShownForm<TsOpenDialogForm>() == form;
    seen.CurrentInside = CurrentFolder();
    seen.BackEnabled = form->BackBtn()->Enabled();
    form->BackClick(form->BackBtn());
    seen.AfterBack = list->Directory();
    // A history item takes its own folder, "&" and all, whatever its caption shows.
    DoubleClickItem(list, IndexOfCaption(list, "R&D"));
    form->UpClick(form->UpBtn());
    for (int i = 0; i < form->HistMenu()->Items()->Count(); ++i)
      seen.HistoryCaptions.push_back(form->HistMenu()->Items()->Items(i)->Caption());
    const int count = form->HistMenu()->Items()->Count();
    if (count > 0) form->HistMenu()->Items()->Items(count - 1)->Click();
    seen.AfterHistory = list->Directory();
    // The view button steps report -> icons -> list -> report.
    for (int i = 0; i < 3; ++i) {
      form->KindClick(form->KindBtn());
      seen.Views.push_back(int(list->ViewStyle()));
    }
    list->SetDirectory("C:\\");
    seen.UpAtRoot = form->UpBtn()->Enabled();
    Click(form->CancelButton());
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(seen.Caption, "Open firmware");
  EXPECT_EQ(seen.Folder, Tree.Root);
  EXPECT_FALSE(seen.BackEnabledAtStart);
  EXPECT_TRUE(seen.OpenAfterDoubleClick) << "a double-clicked folder is entered, the window stays";
  EXPECT_EQ(seen.AfterDoubleClick, sub);
  EXPECT_TRUE(SameText(IncludeTrailingPathDelimiter(seen.CurrentInside), sub)) << "browsing moves the current folder";
  EXPECT_TRUE(seen.BackEnabled);
  EXPECT_EQ(seen.AfterBack, Tree.Root);
  EXPECT_FALSE(seen.UpAtRoot);
  // Left: the start for firmware (taken back by Back), the start again for R&D, then R&D by Up.
  EXPECT_EQ(seen.HistoryCaptions, (std::vector<std::string>{Tree.Root, rdCaption}));
  EXPECT_EQ(seen.AfterHistory, rd);
  EXPECT_EQ(seen.Views, (std::vector<int>{int(vsIcon), int(vsList), int(vsReport)}));
  EXPECT_TRUE(SameText(IncludeTrailingPathDelimiter(CurrentFolder()), Tree.Root))
      << "Cancel puts the folder back, even after C:\\";
}

TEST_F(FileDialogs, AcceptGivesTheNameAndTheFolderFollowsTheOptions) {
  LoadSkin();
  const std::string sub = Tree.Folder("out");
  const std::string file = Tree.File("out\\cg2.smg");
  SetCurrentDirectoryA(Tree.Root.c_str());

  TsOpenDialog dialog(nullptr);
  dialog.SetTitle("Open");
  dialog.SetFileName(file);
  dialog.SetOptions(dialog.Options() | ofFileMustExist);
  std::vector<std::string> events;
  struct TEvents {
    std::vector<std::string>& Log;
    void Show(TObject*) { Log.push_back("show"); }
    void Close(TObject*) { Log.push_back("close"); }
  } handlers{events};
  dialog.SetOnShow(TNotifyEvent(&handlers, &TEvents::Show));
  dialog.SetOnClose(TNotifyEvent(&handlers, &TEvents::Close));
  std::string startName;
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    startName = form->FileNameEdit()->Text();
    Click(form->OkButton());
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(startName, "cg2.smg");
  EXPECT_EQ(dialog.FileName(), file);
  EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
  EXPECT_TRUE(SameText(IncludeTrailingPathDelimiter(CurrentFolder()), sub)) << "accepted: the list's folder";

  // A name typed with another folder than the list's: that folder becomes the current one, as the
  // platform's dialog makes it (a split then writes beside the file chosen).
  SetCurrentDirectoryA(Tree.Root.c_str());
  dialog.SetFileName("");
  dialog.SetInitialDir(Tree.Root);
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    form->FileNameEdit()->SetText(file);
    Click(form->OkButton());
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), file);
  EXPECT_TRUE(SameText(IncludeTrailingPathDelimiter(CurrentFolder()), sub)) << "accepted: the typed file's folder";

  // With no-change-of-folder the folder comes back after an accept too; a typed absolute name is
  // taken as typed.
  SetCurrentDirectoryA(Tree.Root.c_str());
  dialog.SetOptions(dialog.Options() | ofNoChangeDir);
  dialog.SetFileName("");
  dialog.SetInitialDir(sub);
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    form->FileNameEdit()->SetText(Tree.Root + "flash.shx");
    Tree.File("flash.shx");
    Click(form->OkButton());
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), Tree.Root + "flash.shx");
  EXPECT_TRUE(SameText(IncludeTrailingPathDelimiter(CurrentFolder()), Tree.Root));

  // An empty name does nothing; a missing file with file-must-exist warns and stays.
  dialog.SetFileName("");
  bool stayedEmpty = false;
  std::string warning;
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    form->FileNameEdit()->SetText("");
    Click(form->OkButton());
    stayedEmpty = form->ModalResult() == mrNone || form->ModalResult() == mrCancel;
    form->FileNameEdit()->SetText("missing.smg");
    WhenShown<TsMessageForm>([&](TsMessageForm* box) {
      if (auto* label = dynamic_cast<TsLabel*>(box->FindComponent("Message"))) warning = label->Caption();
      box->SetModalResult(mrOk);
      RunLater(20, [form] { Click(form->CancelButton()); });
    });
    Click(form->OkButton());
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_TRUE(stayedEmpty);
  EXPECT_EQ(warning, sub + "missing.smg\r\nFile not found");
}

// The middle of a skinned window's title, as its provider painted it.
std::uint32_t TitlePixel(TsSkinProvider* provider) {
  TBitmap* image = provider->WindowImage();
  if (image == nullptr || image->Width() < 1) return 0xFF00FF;
  const std::uint8_t* row = image->ScanLine(provider->TitleBarHeight() / 2);
  const int x = image->Width() / 2;
  return row[3 * x] | (row[3 * x + 1] << 8) | (std::uint32_t(row[3 * x + 2]) << 16);
}

// The dialog's system menu offers the skins as every skinned window's does: one chosen there by
// keys reskins the dialog and the window under it, and the dialog still gives the file accepted.
TEST_F(FileDialogs, ASkinChosenFromTheDialogsSystemMenuReskinsItAndTheMainWindowAndTheFileIsGiven) {
  LoadSkin();
  const std::string file = Tree.File("flash.shx");
  TOwned<TTestForm> main = Make<TTestForm>();
  main->SetCaption("Main");
  auto* mainProvider = NewComponent<TsSkinProvider>(main.get());
  main->Show();
  Pump();
  const std::uint32_t mainBefore = TitlePixel(mainProvider);

  TsOpenDialog dialog(nullptr);
  dialog.SetInitialDir(Tree.Root);
  struct TSeen {
    bool SkinsOffered = false, StillShown = false;
    std::uint32_t DialogBefore = 0, DialogAfter = 0, MainAfter = 0;
  } seen;
  TsOpenDialogForm* form = nullptr;
  // Once the menu runs: down to the skins, into them and to the other skin.
  std::function<void(int)> choose = [&](int tries) {
    RunLater(10, [&, tries] {
      HWND popup = FindWindowExA(nullptr, nullptr, "#32768", nullptr);
      if (popup == nullptr || !IsWindowVisible(popup)) {
        if (tries > 0) choose(tries - 1);
        return;
      }
      TMenuItem* first = form->SkinProvider()->SystemMenu()->Items()->Items(0);
      seen.SkinsOffered = first->Name() == "SkinSelectItem";
      int other = -1;
      for (int i = 0; seen.SkinsOffered && i < first->Count(); ++i)
        if (first->Items(i)->Caption() == "Nocturne") other = i;
      if (other < 0) {
        EndMenu();
        return;
      }
      HWND h = form->Handle();
      PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
      for (int i = 0; i < other; ++i) PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    });
  };
  // Then, with the menu gone: the windows as they show now, and the file accepted.
  std::function<void(int)> accept = [&](int tries) {
    RunLater(10, [&, tries] {
      const bool menuGone = FindWindowExA(nullptr, nullptr, "#32768", nullptr) == nullptr ||
                            !IsWindowVisible(FindWindowExA(nullptr, nullptr, "#32768", nullptr));
      if ((Manager->SkinName() != "Nocturne" || !menuGone) && tries > 0) {
        accept(tries - 1);
        return;
      }
      Pump();
      seen.StillShown = ShownForm<TsOpenDialogForm>() == form;
      seen.DialogAfter = TitlePixel(form->SkinProvider());
      seen.MainAfter = TitlePixel(mainProvider);
      Click(form->OkButton());
    });
  };
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* shown) {
    form = shown;
    seen.DialogBefore = TitlePixel(form->SkinProvider());
    form->FileNameEdit()->SetText("flash.shx");
    choose(300);
    RunLater(4000, [] { EndMenu(); });  // never left open
    accept(500);
    PressKey(VK_SPACE, false, true);
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_TRUE(seen.SkinsOffered);
  EXPECT_EQ(Manager->SkinName(), "Nocturne");
  EXPECT_TRUE(seen.StillShown);
  EXPECT_NE(seen.DialogAfter, seen.DialogBefore);
  EXPECT_NE(seen.MainAfter, mainBefore);
  EXPECT_EQ(dialog.FileName(), file);
}

TEST_F(FileDialogs, SaveDialogAsksBeforeOverwritingAndOnlyOnce) {
  LoadSkin();
  const std::string file = Tree.File("flash.shx");
  TsSaveDialog dialog(nullptr);
  dialog.SetTitle("Save");
  dialog.SetInitialDir(Tree.Root);
  dialog.SetFileName("flash.shx");
  dialog.SetOptions(dialog.Options() | ofOverwritePrompt | ofPathMustExist);
  std::vector<std::string> questions;
  std::string okCaption;
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    okCaption = form->OkButton()->Caption();
    // No keeps the window; Yes accepts.
    WhenShown<TsMessageForm>([&, form](TsMessageForm* box) {
      questions.push_back(box->Caption());
      box->SetModalResult(mrNo);
      WhenShown<TsMessageForm>([&](TsMessageForm* again) {
        questions.push_back(again->Caption());
        again->SetModalResult(mrYes);
      });
      RunLater(30, [form] { Click(form->OkButton()); });
    });
    Click(form->OkButton());
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(okCaption, "Save");
  EXPECT_EQ(questions, (std::vector<std::string>{"Confirm", "Confirm"}));
  EXPECT_EQ(dialog.FileName(), file);
}

// Text typed into the name box and Enter pressed there, through the message loop.
void TypeNameAndEnter(TsOpenDialogForm* form, const std::string& text) {
  HWND edit = form->FileNameEdit()->Handle();
  SetFocus(edit);
  SendMessageA(edit, WM_SETTEXT, 0, LPARAM(""));
  for (char c : text) PostMessageA(edit, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
}

// Runs act on the shown open dialog once its name box is empty again (a typed folder was opened),
// or once waiting is over.
void WhenNameTaken(std::function<void(TsOpenDialogForm*)> act, int tries = 200) {
  RunLater(5, [act = std::move(act), tries]() mutable {
    TsOpenDialogForm* form = ShownForm<TsOpenDialogForm>();
    if (form != nullptr && (form->FileNameEdit()->Text().empty() || tries == 0)) act(form);
    else if (tries > 0) WhenNameTaken(std::move(act), tries - 1);
  });
}

// Cancels the shown open dialog when it is still there once waiting is over.
void CancelIfStillShown(int tries = 200) {
  RunLater(5, [tries] {
    TsOpenDialogForm* form = ShownForm<TsOpenDialogForm>();
    if (form == nullptr) return;
    if (tries == 0) Click(form->CancelButton());
    else CancelIfStillShown(tries - 1);
  });
}

TEST_F(FileDialogs, AFolderTypedInTheNameBoxIsOpenedAndAnAbsoluteFileNameTakenAsTyped) {
  LoadSkin();
  const std::string firmware = Tree.Folder("firmware");
  const std::string other = Tree.Folder("other");
  const std::string file = Tree.File("firmware\\cg1.smg");
  TsSaveDialog dialog(nullptr);
  dialog.SetInitialDir(Tree.Root);
  struct TStep {
    std::string Folder, Name;
    bool Shown = false;
  };
  std::vector<TStep> steps;
  std::string title;
  wchar_t ownText[64] = {};
  auto note = [&](TsOpenDialogForm* form) {
    steps.push_back({form->FileListView()->Directory(), form->FileNameEdit()->Text(), ShownForm<TsOpenDialogForm>() == form});
  };
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    char text[64] = {};
    GetWindowTextA(form->Handle(), text, sizeof text);
    title = text;
    // What other programs read: the window's own text, not an answer of its procedure.
    InternalGetWindowText(form->Handle(), ownText, 64);
    TypeNameAndEnter(form, "firmware");
    WhenNameTaken([&](TsOpenDialogForm* form) {
      note(form);
      TypeNameAndEnter(form, other);
      WhenNameTaken([&](TsOpenDialogForm* form) {
        note(form);
        TypeNameAndEnter(form, "..\\firmware\\");
        WhenNameTaken([&](TsOpenDialogForm* form) {
          note(form);
          // An absolute file name is chosen as it is, whatever folder the list shows.
          form->FileListView()->SetDirectory(other);
          TypeNameAndEnter(form, file);
          CancelIfStillShown();
        });
      });
    });
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(title, "Save");
  EXPECT_EQ(std::wstring(ownText), L"Save");
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].Folder, firmware);
  EXPECT_EQ(steps[1].Folder, other);
  EXPECT_EQ(steps[2].Folder, firmware);
  for (const TStep& step : steps) {
    EXPECT_TRUE(step.Shown) << step.Folder;
    EXPECT_EQ(step.Name, "") << step.Folder;
  }
  EXPECT_EQ(dialog.FileName(), file);

  // A title set by the owner is the one told.
  dialog.SetTitle("Save firmware");
  ownText[0] = 0;
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    InternalGetWindowText(form->Handle(), ownText, 64);
    Click(form->CancelButton());
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(std::wstring(ownText), L"Save firmware");
}

TEST_F(FileDialogs, PicturePanelPreviewsReadablePicturesOnly) {
  LoadSkin();
  TBitmap bitmap;
  bitmap.SetSize(60, 200);
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(RECT{0, 0, 60, 200});
  TGIFImage gif;
  gif.Assign(&bitmap);
  gif.SaveToFile(Tree.Root + "tall.gif");
  Tree.File("part.raw", std::string(300, '\x7f'));
  Tree.File("broken.gif", "GIF89a");

  TsOpenPictureDialog dialog(nullptr);
  dialog.SetTitle("Open picture");
  dialog.SetInitialDir(Tree.Root);
  struct TSeen {
    std::string Label;
    bool Button = false;
    int PanelRight = 0, FormWidth = 0;
  } gifSeen, rawSeen, brokenSeen;
  auto select = [](TsOpenDialogForm* form, const std::string& caption, TSeen& seen) {
    TsFileListView* list = form->FileListView();
    list->SetSelected(list->Items(IndexOfCaption(list, caption)));
    Pump();
    seen.Label = form->PictureLabel()->Caption();
    seen.Button = form->PreviewButton()->Enabled();
  };
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    form->FileListView()->SetMask("*.*");
    select(form, "tall.gif", gifSeen);
    select(form, "part.raw", rawSeen);
    select(form, "broken.gif", brokenSeen);
    gifSeen.PanelRight = form->PicturePanel()->Left() + form->PicturePanel()->Width();
    gifSeen.FormWidth = form->ClientWidth();
    Click(form->CancelButton());
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(gifSeen.Label, " (60x200)");
  EXPECT_TRUE(gifSeen.Button);
  EXPECT_EQ(rawSeen.Label, "Picture:") << "a file the picture class cannot read has no preview";
  EXPECT_FALSE(rawSeen.Button);
  EXPECT_EQ(brokenSeen.Label, "Picture:");
  EXPECT_LE(gifSeen.PanelRight, gifSeen.FormWidth);
}

TEST_F(FileDialogs, WithoutASkinThePlatformDialogShowsAPicturePreviewPane) {
  TBitmap bitmap;
  bitmap.SetSize(40, 30);
  bitmap.SaveToFile(Tree.Root + "small.bmp");
  Tree.File("part.raw", std::string(300, '\x7f'));
  SetCurrentDirectoryA(Tree.Root.c_str());

  TsOpenPictureDialog dialog(nullptr);
  dialog.SetInitialDir(Tree.Root);
  bool paneShown = false;
  std::string bmpLabel, rawLabel;
  std::function<void(int)> act = [&](int tries) {
    RunLater(20, [&, tries] {
      HWND shown = dialog.Handle();
      if (shown == nullptr || !IsWindowVisible(shown)) {
        if (tries > 0) act(tries - 1);
        return;
      }
      TPicturePreviewPane& pane = dialog.PreviewPane();
      HWND label = nullptr;
      for (HWND child = GetWindow(shown, GW_CHILD); child != nullptr && label == nullptr;
           child = GetWindow(child, GW_HWNDNEXT))
        label = GetDlgItem(child, TPicturePreviewPane::LabelId);
      paneShown = label != nullptr && IsWindowVisible(label);
      pane.ShowFile(Tree.Root + "small.bmp");
      char text[64] = {};
      if (label != nullptr) GetWindowTextA(label, text, sizeof text);
      bmpLabel = text;
      pane.ShowFile(Tree.Root + "part.raw");
      rawLabel = pane.LabelText();
      // Browsing in the platform's dialog moves the folder; Cancel must put it back.
      SetCurrentDirectoryA("C:\\");
      PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
    });
  };
  act(200);
  EXPECT_FALSE(dialog.Execute());
  EXPECT_TRUE(paneShown);
  EXPECT_EQ(bmpLabel, " (40x30)");
  EXPECT_EQ(rawLabel, "Picture:");
  EXPECT_EQ(dialog.PreviewPane().Picture()->Width(), 0);
  EXPECT_TRUE(SameText(IncludeTrailingPathDelimiter(CurrentFolder()), Tree.Root));
}

TEST_F(FileDialogs, MultiSelectionFirstFilterAndThePreviewWindow) {
  LoadSkin();
  Tree.File("a.txt");
  Tree.File("b.txt");
  Tree.File("c.smg");
  TsOpenDialog dialog(nullptr);
  dialog.SetTitle("Open");
  dialog.SetInitialDir(Tree.Root);
  dialog.SetFilter("Texts (*.txt)|*.txt|All files (*.*)|*.*");
  dialog.SetFilterIndex(0);
  dialog.SetOptions(dialog.Options() | ofAllowMultiSelect);
  std::string text;
  int items = 0;
  WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
    TsFileListView* list = form->FileListView();
    items = list->ItemCount();
    for (const char* name : {"a.txt", "b.txt"}) list->Items(IndexOfCaption(list, name))->SetSelected(true);
    Pump();
    text = form->FileNameEdit()->Text();
    Click(form->OkButton());
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(items, 2) << "FilterIndex 0 is the first filter";
  EXPECT_EQ(text, "\"a.txt\" \"b.txt\"");
  ASSERT_EQ(dialog.Files().Count(), 2);
  EXPECT_EQ(dialog.Files()[0], Tree.Root + "a.txt");
  EXPECT_EQ(dialog.Files()[1], Tree.Root + "b.txt");
  EXPECT_EQ(dialog.FileName(), Tree.Root + "a.txt");

  // The full-size preview: the picture plus the panel's frame and 10 pixels; Escape closes it.
  TPicture picture;
  TBitmap bitmap;
  bitmap.SetSize(90, 70);
  picture.SetGraphic(&bitmap);
  SIZE client{};
  std::string name;
  std::function<void(int)> look = [&](int tries) {
    RunLater(5, [&, tries] {
      TCustomForm* form = Screen->ActiveForm();
      if (form == nullptr || form->Name() != "PreviewForm" || !form->IsModal()) {
        if (tries > 0) look(tries - 1);
        return;
      }
      name = form->Name();
      client = {form->ClientWidth(), form->ClientHeight()};
      PostMessageA(GetFocus() != nullptr ? GetFocus() : form->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    });
  };
  look(200);
  ShowPicturePreview(&picture);
  EXPECT_EQ(name, "PreviewForm");
  EXPECT_GE(client.cx, 90 + 10 + 10);
  EXPECT_LE(client.cx, 90 + 10 + 10 + 8);
  EXPECT_GE(client.cy, 70 + 10 + 10);
}

// Handles over 60 cycles of the open dialog on a folder of 50 files, each cycle shown and cancelled
// (each cycle lists the folder through the shell and paints the skinned window: about 0.3 s).
TEST_F(FileDialogs, HandlesStayFlatOverOpenDialogCycles) {
  LoadSkin();
  for (int i = 0; i < 50; ++i) Tree.File(Format("cg%02d.smg", i));
  TsOpenDialog dialog(nullptr);
  dialog.SetTitle("Open");
  dialog.SetInitialDir(Tree.Root);
  int shownItems = 0;
  const TGuiCensus change = TGuiCensus::ChangeOver(60, [&] {
    WhenShown<TsOpenDialogForm>([&](TsOpenDialogForm* form) {
      shownItems = form->FileListView()->ItemCount();
      Click(form->CancelButton());
    });
    dialog.Execute();
  });
  EXPECT_EQ(shownItems, 50);
  EXPECT_EQ(change, TGuiCensus());
}

}  // namespace
