// The file list's popup menu, its send-to targets, the attributes dialog and file contents on the
// clipboard.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <richedit.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "framework/win/Clipboard.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPicture.h"
#include "skin/controls/TsBitBtn.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsLabel.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/windows/TsFileListView.h"
#include "skin/windows/TsMessageDlg.h"

namespace {

struct TFreeForm {
  void operator()(TCustomForm* form) const {
    if (form != nullptr) form->Free();
  }
};

std::string SendToFolderPath() {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_SENDTO, FALSE)) return "";
  return path;
}

// The target a shortcut points at, empty when it cannot be read.
std::string ShortcutTarget(const std::string& link) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::string target;
  IShellLinkA* shellLink = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH] = {};
      MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(file->Load(wide, STGM_READ))) {
        char path[MAX_PATH] = {};
        WIN32_FIND_DATAA data{};
        if (SUCCEEDED(shellLink->GetPath(path, MAX_PATH, &data, 0))) target = path;
      }
      file->Release();
    }
    shellLink->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return target;
}

// A shell icon drawn into a menu bitmap of the small icon size.
void SetMenuIcon(TMenuItem* item, HICON icon) {
  if (icon == nullptr) return;
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  TBitmap* bitmap = item->Bitmap();
  bitmap->SetSize(cx, cy);
  bitmap->Canvas()->Brush()->SetColor(clMenu);
  bitmap->Canvas()->FillRect(RECT{0, 0, cx, cy});
  DrawIconEx(bitmap->Canvas()->Handle(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
}

// The text of a rich text document as a hidden rich edit reads it (paragraphs end in "\r\n").
std::string RichTextPlain(const std::string& rtf) {
  static HMODULE library = LoadLibraryA("riched20.dll");
  if (library == nullptr) return "";
  HWND edit = CreateWindowExA(0, RICHEDIT_CLASSA, "", ES_MULTILINE, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (edit == nullptr) return "";
  SendMessageA(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
  struct TSource {
    const std::string& Text;
    std::size_t At;
  } source{rtf, 0};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = [](DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) -> DWORD {
    auto* s = reinterpret_cast<TSource*>(cookie);
    const std::size_t n = std::min<std::size_t>(std::size_t(wanted), s->Text.size() - s->At);
    std::memcpy(buffer, s->Text.data() + s->At, n);
    s->At += n;
    *given = LONG(n);
    return 0;
  };
  SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMBYTES, CP_ACP};
  const LRESULT size = SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  std::string text(std::size_t(std::max<LRESULT>(size, 0)) + 1, '\0');
  GETTEXTEX get{DWORD(text.size()), GT_USECRLF, CP_ACP, nullptr, nullptr};
  const LRESULT got = SendMessageA(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::size_t(std::clamp<LRESULT>(got, 0, LRESULT(text.size()))));
  DestroyWindow(edit);
  return text;
}

// A moveable block holding bytes and a terminating zero; null when memory is short.
HGLOBAL TextBlock(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  if (block == nullptr) return nullptr;
  char* p = static_cast<char*>(GlobalLock(block));
  std::memcpy(p, bytes.c_str(), bytes.size() + 1);
  GlobalUnlock(block);
  return block;
}

// Rich text in its registered format with its plain text as CF_TEXT; false (nothing left on the
// clipboard) when either cannot be placed.
bool SetRichTextClipboard(const std::string& rtf, const std::string& plain) {
  const UINT richFormat = RegisterClipboardFormatA(CF_RTF);
  bool open = false;
  for (int attempt = 0; attempt < 5 && !open; ++attempt) {
    open = OpenClipboard(nullptr) != 0;
    if (!open) Sleep(10);
  }
  if (!open) return false;
  bool placed = EmptyClipboard() != 0;
  for (const auto& [format, bytes] : {std::pair<UINT, const std::string*>{richFormat, &rtf}, {CF_TEXT, &plain}}) {
    if (!placed) break;
    HGLOBAL block = TextBlock(*bytes);
    placed = block != nullptr && SetClipboardData(format, block) != nullptr;
    if (!placed && block != nullptr) GlobalFree(block);
  }
  if (!placed) EmptyClipboard();
  CloseClipboard();
  return placed;
}

}  // namespace

// --- Popup menu ----------------------------------------------------------------------------------

TsFilelistViewPopUp::TsFilelistViewPopUp(TComponent* owner) : TPopupMenu(owner) {
  TMenuItem* root = Items();
  AddItem(root, "&Open", "ItemOpen");
  AddItem(root, "&View", "ItemView");
  AddItem(root, "-", "");
  FSendTo = AddItem(root, "Se&nd To", "SubMenuSend");
  AddItem(root, "-", "");
  AddItem(root, "Cu&t", "ItemOpCut");
  AddItem(root, "&Copy", "ItemOpCopy");
  AddItem(root, "&Paste", "ItemOpPaste");
  AddItem(root, "-", "");
  AddItem(root, "&Rename", "ItemRename");
  AddItem(root, "&Delete", "ItemDelete");
  AddItem(root, "-", "");
  AddItem(root, "&Attributes ...", "ItemFileAttr");
  AddItem(root, "-", "");
  AddItem(root, "&New Folder ...", "ItemFolder");
  AddItem(FSendTo, "Any Folder ...", "Send_To0");
  AddItem(FSendTo, "Clipboard as Contents", "Send_To1");
  AddItem(FSendTo, "Clipboard as FileName", "Send_To2");
  AddItem(FSendTo, "-", "");
  SetOnPopup(TNotifyEvent(this, &TsFilelistViewPopUp::MenuPopup));
}

TMenuItem* TsFilelistViewPopUp::AddItem(TMenuItem* parent, const std::string& caption, const std::string& name) {
  auto* item = NewComponent<TMenuItem>(this);
  item->SetCaption(caption);
  if (!name.empty()) item->SetName(name);
  if (caption != "-") item->SetOnClick(TNotifyEvent(this, &TsFilelistViewPopUp::ItemClick));
  parent->Add(item);
  return item;
}

TMenuItem* TsFilelistViewPopUp::ItemByName(const std::string& name) const {
  return dynamic_cast<TMenuItem*>(FindComponent(name));
}

void TsFilelistViewPopUp::FillSendTo() {
  // The fixed items and the separator stay; the shortcuts are read again.
  while (FSendTo->Count() > 4) {
    TMenuItem* item = FSendTo->Items(FSendTo->Count() - 1);
    FSendTo->Remove(item);
    item->Free();
  }
  FShortcuts.clear();
  const std::string folder = SendToFolderPath();
  if (folder.empty()) return;
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((WithTrailingBackslash(folder) + "*.LNK").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string link = WithTrailingBackslash(folder) + data.cFileName;
    SHFILEINFOA info{};
    SHGetFileInfoA(link.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME | SHGFI_ICON | SHGFI_SMALLICON);
    TMenuItem* item = AddItem(FSendTo, info.szDisplayName[0] ? info.szDisplayName : data.cFileName,
                              "Send_To" + std::to_string(4 + FShortcuts.size()));
    SetMenuIcon(item, info.hIcon);
    FShortcuts.push_back(link);
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

void TsFilelistViewPopUp::UpdateItems() {
  if (FList == nullptr) return;
  TsFileListView& list = *FList;
  const bool listing = !list.Directory().empty() && list.Directory() != " ";
  const bool anySelected = list.SelCount() > 0;
  const std::vector<std::string> operable = list.OperablePaths();
  const bool selected = listing && !operable.empty();
  const auto enable = [this](const char* name, bool on) {
    if (TMenuItem* item = ItemByName(name)) item->SetEnabled(on);
  };
  enable("ItemOpen", anySelected);
  enable("ItemView", selected && ViewerOfExtension(operable.front()) != 0);
  enable("SubMenuSend", selected);
  enable("ItemOpCut", selected);
  enable("ItemOpCopy", selected);
  enable("ItemOpPaste", listing && !list.ClipboardPaths().empty());
  enable("ItemRename", selected && list.SelCount() == 1);
  enable("ItemDelete", selected);
  enable("ItemFileAttr", selected);
  enable("ItemFolder", listing && list.Directory() != "DRIVES");
  enable("Send_To0", selected);
}

void TsFilelistViewPopUp::MenuPopup(TObject*) {
  if (FList == nullptr || !FList->PopUpMenuEnabled()) return;
  FillSendTo();
  UpdateItems();
}

void TsFilelistViewPopUp::ItemClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr || FList == nullptr) return;
  TsFileListView& list = *FList;
  const std::string& name = item->Name();
  if (name == "ItemOpen") list.OpenSelected();
  else if (name == "ItemView") list.ViewSelected();
  else if (name == "ItemOpCut") list.CutSelection();
  else if (name == "ItemOpCopy") list.CopySelection();
  else if (name == "ItemOpPaste") list.Paste();
  else if (name == "ItemRename") list.RenameSelected();
  else if (name == "ItemDelete") list.DeleteSelection();
  else if (name == "ItemFileAttr") list.EditAttributes();
  else if (name == "ItemFolder") list.NewFolder();
  else if (name == "Send_To0") {
    std::string folder;
    if (SkinInputQuery("Send to any folder", "Please enter the send_to path", folder) && !folder.empty())
      list.SendToFolder(folder);
  } else if (name == "Send_To1") list.ClipboardAsContents();
  else if (name == "Send_To2") list.ClipboardAsFileNames();
  else if (name.rfind("Send_To", 0) == 0) {
    const std::size_t index = std::size_t(std::stoi(name.substr(7)) - 4);
    if (index < FShortcuts.size()) list.SendToShortcut(FShortcuts[index]);
  }
}

// --- Send to a shortcut ----------------------------------------------------------------------------

void TsFileListView::SendToShortcut(const std::string& link) {
  const std::vector<std::string> paths = OperablePaths();
  if (paths.empty()) return;
  const std::string target = ShortcutTarget(link);
  if (target.empty()) return;
  const DWORD attributes = GetFileAttributesA(target.c_str());
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool root = target.size() <= 3 && target.size() >= 2 && target[1] == ':';
  if (root && GetDriveTypeA(WithTrailingBackslash(target).c_str()) == DRIVE_REMOVABLE) {
    if (DriveReady(target[0], true)) SendToFolder(WithTrailingBackslash(target));
  } else if (folder || root) {
    SendToFolder(target);
  } else {
    HWND owner = Application != nullptr ? Application->Handle() : nullptr;
    if (Shell().Execute(owner, "Open", target, "\"" + paths.front() + "\"", "", SW_SHOW) <= 32)
      ShowErrorBox("ERROR - Can't Open file  " + target);
  }
}

// --- Attributes dialog ----------------------------------------------------------------------------

bool RunAttributesDialog(const std::string& fileName, DWORD& attributes) {
  std::unique_ptr<TsMessageForm, TFreeForm> form(NewComponent<TsMessageForm>(Application));
  form->SetName("FileAttributes");
  form->SetBorderStyle(bsDialog);
  form->SetCaption("Set Attributes");
  form->SetClientSize(266, 172);
  form->SetPosition(poScreenCenter);

  auto* name = NewControl<TsLabel>(form.get(), form.get(), RECT{12, 10, 254, 30});
  name->SetName("FileName");
  const std::size_t slash = fileName.find_last_of('\\');
  name->SetCaption(slash == std::string::npos ? fileName : fileName.substr(slash + 1));
  // A long name is cut at the dialog's edge rather than widening it.
  name->SetAutoSize(false);
  name->SetBounds(12, 10, 242, name->Height());

  struct TBox {
    const char* Caption;
    DWORD Bit;
    TsCheckBox* Box;
  } boxes[] = {{"ReadOnly", FILE_ATTRIBUTE_READONLY, nullptr},
               {"Archive", FILE_ATTRIBUTE_ARCHIVE, nullptr},
               {"Hidden", FILE_ATTRIBUTE_HIDDEN, nullptr},
               {"System", FILE_ATTRIBUTE_SYSTEM, nullptr}};
  int top = 40;
  for (TBox& b : boxes) {
    b.Box = NewControl<TsCheckBox>(form.get(), form.get(), RECT{24, top, 160, top + 20});
    b.Box->SetName(std::string("Check") + b.Caption);
    b.Box->SetCaption(b.Caption);
    b.Box->SetChecked((attributes & b.Bit) != 0);
    top += 24;
  }
  auto* ok = NewControl<TsBitBtn>(form.get(), form.get(), RECT{96, 138, 171, 163});
  ok->SetName("OK");
  ok->SetKind(bkOK);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = NewControl<TsBitBtn>(form.get(), form.get(), RECT{180, 138, 255, 163});
  cancel->SetName("Cancel");
  cancel->SetKind(bkCancel);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  form->ApplyDialogSkin();
  // The dialog's font (and the skin's text colour) in size 10.
  TFont nameFont;
  nameFont.Assign(form->Font());
  nameFont.SetSize(10);
  name->SetFont(&nameFont);
  name->SetBounds(12, 10, 242, name->Height());
  if (form->ShowModal() != mrOk) return false;
  for (const TBox& b : boxes) attributes = b.Box->Checked() ? attributes | b.Bit : attributes & ~b.Bit;
  return true;
}

// --- File contents on the clipboard ---------------------------------------------------------------

bool CopyFileContents(const std::string& fileName) {
  const std::string ext = UpperExtension(fileName);
  if (ext == ".BMP" || ext == ".WMF") {
    try {
      TPicture picture;
      picture.LoadFromFile(fileName);
      UINT format = 0;
      HANDLE data = nullptr;
      HPALETTE palette = nullptr;
      picture.SaveToClipboardFormat(format, data, palette);
      return Clipboard::SetData(format, data, palette);
    } catch (const std::exception&) {
      return false;
    }
  }
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Rich text is known by its content, as the rich edit knows it: it goes on the clipboard as
  // itself, with its plain text beside it for programs that take text only.
  if (text.rfind("{\\rtf", 0) == 0) return SetRichTextClipboard(text, RichTextPlain(text));
  return Clipboard::SetText(text);
}
