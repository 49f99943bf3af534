#include "skin/windows/TsFileListView.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "framework/win/Clipboard.h"
#include "framework/win/TApplication.h"
#include "framework/win/TImageList.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/windows/TsMessageDlg.h"

namespace {

// The rename that ended in the caption edit, carried out once the edit has gone.
constexpr UINT RenameMessage = WM_APP + 0x130;

bool SameNoCase(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

using TShellInfoCache = std::unordered_map<std::string, std::pair<int, std::string>>;

std::uint64_t FileTime64(const FILETIME& t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

std::string UpperName(const std::string& name) {
  std::string upper = name;
  CharUpperBuffA(upper.data(), DWORD(upper.size()));
  return upper;
}

// The hourglass for a scope.
class THourGlass {
public:
  THourGlass() : FOld(Screen != nullptr ? Screen->Cursor() : crDefault) {
    if (Screen != nullptr) Screen->SetCursor(crHourGlass);
  }
  ~THourGlass() {
    if (Screen != nullptr) Screen->SetCursor(FOld);
  }
  THourGlass(const THourGlass&) = delete;
  THourGlass& operator=(const THourGlass&) = delete;

private:
  TCursor FOld;
};

// The shell's shared image list of system icons (not ours to destroy).
// The handle is the same for the whole process: the shell is asked once.
TImageList* ShellImages(TComponent* owner, bool small) {
  static const auto ask = [](UINT size) {
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | size));
  };
  static const HIMAGELIST smallList = ask(SHGFI_SMALLICON), largeList = ask(SHGFI_LARGEICON);
  const HIMAGELIST handle = small ? smallList : largeList;
  auto* images = NewComponent<TImageList>(owner);
  images->SetShareImages(true);
  if (handle != nullptr) {
    int cx = 16, cy = 16;
    ImageList_GetIconSize(handle, &cx, &cy);
    images->SetSize(cx, cy);
    images->SetHandle(handle);
  }
  return images;
}

}  // namespace

// --- The shell ---------------------------------------------------------------------------------

bool TsFileShell::FileOperation(HWND owner, UINT func, const std::string& from, const std::string& to,
                                FILEOP_FLAGS flags) {
  SHFILEOPSTRUCTA op{};
  op.hwnd = owner;
  op.wFunc = func;
  op.pFrom = from.c_str();
  op.pTo = to.empty() ? nullptr : to.c_str();
  op.fFlags = flags;
  return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

INT_PTR TsFileShell::Execute(HWND owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& folder, int show) {
  return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, verb.c_str(), file.c_str(),
                                                 parameters.empty() ? nullptr : parameters.c_str(),
                                                 folder.empty() ? nullptr : folder.c_str(), show));
}

bool TsFileShell::CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool TsFileShell::SetAttributes(const std::string& path, DWORD attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != 0;
}

TsFileShell& DefaultFileShell() {
  static TsFileShell shell;
  return shell;
}

// --- The list ----------------------------------------------------------------------------------

TsFileListView::TsFileListView(TComponent* owner) : TsCustomListView(owner) {
  FLargeShellImages = ShellImages(this, false);
  FSmallShellImages = ShellImages(this, true);
  SetLargeImages(FLargeShellImages);
  SetSmallImages(FSmallShellImages);
  SetHideSelection(false);
  SetViewStyle(vsReport);
  SetShowColumnHeaders(true);
  SetOnColumnClick(TLVColumnClickEvent(this, &TsFileListView::ListColumnClick));
  SetOnEditing(TLVEditingEvent(this, &TsFileListView::ListEditing));
  SetOnEdited(TLVEditedEvent(this, &TsFileListView::ListEdited));
  FPopup = NewComponent<TsFilelistViewPopUp>(this);
  FPopup->SetList(this);
  SetPopupMenu(FPopup);
}

TsFileListView::~TsFileListView() = default;

void TsFileListView::CreateWnd() {
  TsCustomListView::CreateWnd();
  Font()->SetName("MS Sans Serif");
  Font()->SetSize(8);
  if (!IsLoading() && !FColumnsMade) AddFileColumns();
}

void TsFileListView::Loaded() {
  TsCustomListView::Loaded();
  if (!FColumnsMade) AddFileColumns();
}

void TsFileListView::AddFileColumns() {
  if (FColumnsMade && !FDriveColumns) return;
  FColumnsMade = true;
  FDriveColumns = false;
  ClearColumns();
  AddColumn("Name", 150);
  AddColumn("Size", 75, 1);
  AddColumn("Type", 75);
  AddColumn("Modified", 100);
  AddColumn("Attr", 35);
}

void TsFileListView::AddDriveColumns() {
  if (FColumnsMade && FDriveColumns) return;
  FColumnsMade = true;
  FDriveColumns = true;
  ClearColumns();
  AddColumn("Name", 140);
  AddColumn("Type", 80);
  AddColumn("Disk Size", 80, 1);
  AddColumn("Free Space", 90, 1);
  AddColumn("Attributes", 36);
}

void TsFileListView::SetDirectory(const std::string& value) {
  if (FChanging || SameNoCase(value, FDirectory)) return;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FChanging};
  FChanging = true;
  if (value.empty()) {
    if (FOnBeforeDirChanging) FOnBeforeDirChanging(this);
    FDirectory.clear();
    RefreshList();
  } else if (FolderExists(value)) {
    if (FOnBeforeDirChanging) FOnBeforeDirChanging(this);
    const std::string folder = WithTrailingBackslash(value);
    SetCurrentDirectoryA(folder.c_str());
    FDirectory = folder;
    RefreshList();
  }
  if (FOnAfterDirChanging) FOnAfterDirChanging(this);
}

void TsFileListView::SetMask(const std::string& value) {
  if (value == FMask) return;
  FMask = value;
  RefreshList();
}

void TsFileListView::SetFileType(TFileType value) {
  if (value == FFileType) return;
  FFileType = value;
  RefreshList();
}

void TsFileListView::SetShowFolders(bool value) {
  if (value == FShowFolders) return;
  FShowFolders = value;
  RefreshList();
}

void TsFileListView::SetShowParentItem(bool value) {
  if (value == FShowParentItem) return;
  FShowParentItem = value;
  RefreshList();
}

void TsFileListView::SetPopUpMenuEnabled(bool value) {
  FPopUpMenuEnabled = value;
  SetPopupMenu(value ? FPopup : nullptr);
}

void TsFileListView::SetDateKind(int value) {
  FDateKind = std::clamp(value, 0, 8);
  FDateFormat = DateFormatOfKind(FDateKind);
}

int TsFileListView::SelectedNumber() {
  const int count = SelCount();
  return count > 0 ? count : ItemCount();
}

std::uint64_t TsFileListView::SelectedSize() {
  std::uint64_t size = 0;
  for (TListItem* item = GetNextSelected(nullptr); item != nullptr; item = GetNextSelected(item))
    if (const TFileEntry* entry = Entry(item)) size += entry->Size;
  return size;
}

const TFileEntry* TsFileListView::Entry(const TListItem* item) const {
  return item != nullptr ? static_cast<const TFileEntry*>(item->Data()) : nullptr;
}

std::vector<std::string> TsFileListView::OperablePaths() {
  std::vector<std::string> paths;
  if (FDirectory.empty()) return paths;
  for (TListItem* item = GetNextSelected(nullptr); item != nullptr; item = GetNextSelected(item))
    if (const TFileEntry* entry = Entry(item); entry != nullptr && OperableEntry(*entry)) paths.push_back(entry->Path);
  return paths;
}

std::string TsFileListView::DateText(std::uint64_t writeTime) const {
  FILETIME utc{DWORD(writeTime), DWORD(writeTime >> 32)}, local{};
  SYSTEMTIME st{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return "";
  char date[80] = {}, time[80] = {};
  if (FDateFormat.empty())
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof(date));
  else
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, FDateFormat.c_str(), date, sizeof(date));
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, FTimeFormat.empty() ? nullptr : FTimeFormat.c_str(), time, sizeof(time));
  return std::string(date) + " " + time;
}

namespace {

// The shell's icon index and type name of an entry. Files whose icon is not their own share their
// extension's: the shell is asked once per extension.
void ShellInfo(TFileEntry& entry, TShellInfoCache& cache) {
  const bool shared = entry.Kind == TFileEntryKind::File && !ShellInfoPerFile(entry.Name);
  const std::string key = shared ? UpperExtension(entry.Name) : std::string();
  if (shared) {
    if (const auto found = cache.find(key); found != cache.end()) {
      entry.Image = found->second.first;
      entry.TypeName = found->second.second;
      return;
    }
  }
  SHFILEINFOA info{};
  if (SHGetFileInfoA(entry.Path.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_TYPENAME)) {
    entry.Image = info.iIcon;
    entry.TypeName = info.szTypeName;
    if (shared) cache.emplace(key, std::make_pair(entry.Image, entry.TypeName));
  }
}

}  // namespace

void TsFileListView::AddEntries(const std::string& pattern, std::uint32_t filter) {
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return;
  const bool folders = (filter & faDirectory) != 0;
  // A file that two masks match is listed once.
  std::unordered_set<std::string> seen;
  TShellInfoCache shellInfo;
  for (const TFileEntry& e : FEntries)
    if (e.Kind == TFileEntryKind::File) seen.insert(UpperName(e.Name));
  do {
    const std::string name = data.cFileName;
    if (!TakeEntry(name, data.dwFileAttributes, filter, FShowParentItem)) continue;
    if (!folders && !seen.insert(UpperName(name)).second) continue;
    TFileEntry entry;
    entry.Name = name;
    entry.Kind = name == ".." ? TFileEntryKind::Parent : folders ? TFileEntryKind::Folder : TFileEntryKind::File;
    entry.Caption = EntryCaption(name, FHideFileExt);
    entry.Path = entry.Kind == TFileEntryKind::Parent ? ParentFolder(FDirectory) : FDirectory + name;
    entry.Attributes = data.dwFileAttributes;
    entry.Size = folders ? 0 : (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.WriteTime = FileTime64(data.ftLastWriteTime);
    entry.DateText = DateText(entry.WriteTime);
    if (entry.Kind != TFileEntryKind::Parent) ShellInfo(entry, shellInfo);
    FTotalSize += entry.Size;
    FEntries.push_back(std::move(entry));
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

void TsFileListView::AddDrives() {
  const DWORD mask = GetLogicalDrives();
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  for (int i = 0; i < 26; ++i) {
    if ((mask & (1u << i)) == 0) continue;
    const char letter = char('A' + i);
    TFileEntry entry;
    entry.Kind = TFileEntryKind::Drive;
    entry.Path = std::string(1, letter) + ":\\";
    SHFILEINFOA info{};
    if (SHGetFileInfoA(entry.Path.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME))
      entry.Image = info.iIcon;
    entry.Caption = entry.Name = DriveCaption(info.szDisplayName, letter);
    const UINT type = GetDriveTypeA(entry.Path.c_str());
    entry.TypeName = DriveTypeText(type);
    if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) {
      ULARGE_INTEGER available{}, total{}, free{};
      if (GetDiskFreeSpaceExA(entry.Path.c_str(), &available, &total, &free)) {
        entry.DiskKnown = true;
        entry.DiskSize = total.QuadPart;
        entry.DiskFree = free.QuadPart;
      }
    }
    FEntries.push_back(std::move(entry));
  }
  SetErrorMode(oldMode);
}

void TsFileListView::FillItems() {
  for (TFileEntry& entry : FEntries) {
    TListItem* item = AddItem();
    item->SetCaption(entry.Caption);
    item->SetSubItems(SubItemTexts(entry));
    item->SetImageIndex(entry.Image);
    item->SetData(&entry);
  }
}

void TsFileListView::SortItems() {
  CustomSort(
      [](TListItem* a, TListItem* b, intptr_t data) {
        const auto* self = reinterpret_cast<const TsFileListView*>(data);
        return CompareEntries(*self->Entry(a), *self->Entry(b), self->FSortColumn, self->FSortInverse);
      },
      reinterpret_cast<intptr_t>(this));
}

void TsFileListView::RefreshList() {
  const THourGlass hourGlass;
  BeginUpdate();
  ClearItems();
  FEntries.clear();
  FTotalSize = 0;
  if (FDirectory.empty()) {
    AddDriveColumns();
    AddDrives();
  } else if (FDirectory != " ") {
    AddFileColumns();
    const std::uint32_t filter = FileTypeBits(FFileType);
    if (FShowFolders) AddEntries(FDirectory + "*.*", filter | faDirectory);
    for (const std::string& mask : SplitMasks(FMask)) AddEntries(FDirectory + mask, filter);
  }
  FillItems();
  // Sorted by name, ascending: a click on "Name" then sorts descending.
  FSortColumn = 0;
  FSortInverse = false;
  SortItems();
  EndUpdate();
  if (ItemCount() > 0 && Selected() == nullptr) {
    Items(0)->SetFocused(true);
    Items(0)->SetSelected(true);
  }
}

void TsFileListView::ColumnClicked(int column) {
  ClickColumn(column, FSortColumn, FSortInverse);
  SortItems();
}

void TsFileListView::ListColumnClick(TObject*, int column) { ColumnClicked(column); }

void TsFileListView::UpLevel() {
  if (FDirectory.empty() || FDirectory == " ") return;
  SetDirectory(ParentFolder(FDirectory));
}

void TsFileListView::SelectPath(const std::string& path) {
  for (int i = 0; i < ItemCount(); ++i) {
    const TFileEntry* entry = Entry(Items(i));
    if (entry != nullptr && SameNoCase(entry->Path, path)) {
      SetSelected(Items(i));
      MakeVisible(Items(i));
      return;
    }
  }
}

void TsFileListView::NewFolder() {
  if (FDirectory.empty() || FDirectory == " ") return;
  const std::string path = NewFolderName(FDirectory, [](const std::string& p) { return PathExists(p); });
  if (!Shell().CreateFolder(path)) return;
  RefreshList();
  SelectPath(path);
  TListItem* item = Selected();
  if (item == nullptr || !HandleAllocated()) return;
  FRenamePath = path;
  if (CanFocus()) SetFocus();
  item->EditCaption();
}

void TsFileListView::RunShell(const std::string& verb, const std::string& file, const std::string& parameters,
                                  const std::string& folder) {
  HWND owner = Application != nullptr ? Application->Handle() : nullptr;
  if (Shell().Execute(owner, verb, file, parameters, folder, SW_SHOW) <= 32)
    ShowErrorBox("ERROR - Can't " + verb + " file  " + file);
}

bool TsFileListView::DriveReady(char letter, bool report) {
  const char upper = letter >= 'a' && letter <= 'z' ? char(letter - 'a' + 'A') : letter;
  if (upper < 'A' || upper > 'Z') {
    ShowErrorBox("Not a valid Drive ID");
    return false;
  }
  const std::string root = std::string(1, upper) + ":\\";
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  ULARGE_INTEGER available{}, total{}, free{};
  const bool ready = GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free) != 0;
  SetErrorMode(oldMode);
  if (!ready && report) {
    MessageBeep(MB_ICONHAND);
    ShowWarningBox("There is no disk in Drive " + std::string(1, upper) + "\ror Drive " + std::string(1, upper) +
                   ": is not ready");
  }
  return ready;
}

void TsFileListView::OpenItem(TListItem* item, bool byUser) {
  const TFileEntry* entry = Entry(item);
  if (entry == nullptr) return;
  const THourGlass hourGlass;
  switch (entry->Kind) {
    case TFileEntryKind::Parent: UpLevel(); break;
    case TFileEntryKind::File:
      if (FDblClickToOpen || !byUser) RunShell("Open", entry->Path, "", FDirectory);
      break;
    case TFileEntryKind::Drive:
      if (GetDriveTypeA(entry->Path.c_str()) == DRIVE_REMOVABLE && !DriveReady(entry->Path[0], true)) break;
      SetDirectory(entry->Path);
      break;
    case TFileEntryKind::Folder: {
      const std::string path = entry->Path;
      SetDirectory(path);
      break;
    }
  }
}

void TsFileListView::OpenSelected() { OpenItem(Selected(), true); }

void TsFileListView::Click() {
  if (const TFileEntry* entry = Entry(Selected())) FSelectedItem = entry->Path;
  TsCustomListView::Click();
}

void TsFileListView::DblClick() {
  const std::shared_ptr<bool> alive = Alive();
  TListItem* item = Selected();
  const TFileEntry* entry = Entry(item);
  const std::string path = entry != nullptr ? entry->Path : std::string();
  // The owner's handler sees the item that was double-clicked.
  TsCustomListView::DblClick();
  if (!*alive || path.empty()) return;
  item = Selected();
  if (Entry(item) != nullptr && Entry(item)->Path == path) OpenItem(item, true);
}

bool TsFileListView::Editing() const {
  return HandleAllocated() && SendMessageA(const_cast<TsFileListView*>(this)->Handle(), LVM_GETEDITCONTROL, 0, 0) != 0;
}

void TsFileListView::KeyDown(WORD& key, TShiftState shift) {
  if (shift & ssCtrl) {
    switch (key) {
      case 'C': CopySelection(); break;
      case 'X': CutSelection(); break;
      case 'V':
        if (!FClipboard.empty()) Paste();
        break;
      case 'O': OpenSelected(); break;
      case 'N':
        if (!FDirectory.empty()) NewFolder();
        break;
      case 'F': ViewSelected(); break;
      default: break;
    }
  } else if (!Editing()) {
    switch (key) {
      case VK_DELETE: DeleteSelection(); break;
      case VK_F2: RenameSelected(); break;
      case VK_F3:
        if (!FDirectory.empty()) RunShell("Find", FDirectory, "", "");
        break;
      case VK_F5: RefreshList(); break;
      case VK_BACK:
        UpLevel();
        key = 0;
        break;
      case VK_RETURN: {
        // Enter on a file the list does not run goes on to the form (its default button).
        const TFileEntry* entry = Entry(Selected());
        if (entry != nullptr && (entry->Kind != TFileEntryKind::File || FDblClickToOpen)) {
          OpenSelected();
          key = 0;
        }
        break;
      }
      case VK_UP:
      case VK_DOWN: Click(); break;
      default: break;
    }
  }
  if (key != 0) TsCustomListView::KeyDown(key, shift);
}

void TsFileListView::TakeSelection(int mode) {
  FClipboard = OperablePaths();
  FClipboardMode = FClipboard.empty() ? -1 : mode;
}

void TsFileListView::CutSelection() { TakeSelection(2); }

void TsFileListView::CopySelection() { TakeSelection(0); }

void TsFileListView::Paste() {
  if (FDirectory.empty() || FDirectory == " ") return;
  if (FClipboard.empty()) {
    ShowWarningBox("No file(s) selected");
    return;
  }
  SetCurrentDirectoryA(FDirectory.c_str());
  const UINT func = FClipboardMode == 2 ? FO_MOVE : FO_COPY;
  HWND owner = HandleAllocated() ? Handle() : nullptr;
  for (const std::string& path : FClipboard) {
    const std::string target = PasteTarget(path, FDirectory);
    if (target.empty()) continue;
    Shell().FileOperation(owner, func, ShellPathList({path}), ShellPathList({target}), FOF_ALLOWUNDO);
  }
  RefreshList();
  FClipboard.clear();
  FClipboardMode = -1;
}

void TsFileListView::DeleteSelection() {
  const std::vector<std::string> paths = OperablePaths();
  if (paths.empty()) return;
  SetCurrentDirectoryA(FDirectory.c_str());
  Shell().FileOperation(HandleAllocated() ? Handle() : nullptr, FO_DELETE, ShellPathList(paths), "", FOF_ALLOWUNDO);
  RefreshList();
}

void TsFileListView::RenameSelected() {
  TListItem* item = Selected();
  const TFileEntry* entry = Entry(item);
  if (entry == nullptr || !OperableEntry(*entry) || FDirectory.empty()) return;
  if (ReadOnly() || AttributeText(entry->Attributes) == "R") {
    ShowWarningBox("It's ReadOnly");
    return;
  }
  FRenamePath = entry->Path;
  if (CanFocus()) SetFocus();
  item->EditCaption();
}

void TsFileListView::ListEditing(TObject*, TListItem* item, bool& allow) {
  const TFileEntry* entry = Entry(item);
  allow = entry != nullptr && OperableEntry(*entry) && !FDirectory.empty();
  if (allow) FRenamePath = entry->Path;
}

void TsFileListView::ListEdited(TObject*, TListItem* item, std::string& text) {
  const std::string caption = text;
  // The list shows the old name until the rename is done and the list refreshed.
  text = item->Caption();
  if (caption == item->Caption() || FRenamePath.empty()) return;
  auto* pending = new std::pair<std::string, std::string>(std::exchange(FRenamePath, std::string()), caption);
  if (!HandleAllocated() || !PostMessageA(Handle(), RenameMessage, 0, reinterpret_cast<LPARAM>(pending))) delete pending;
}

void TsFileListView::WndProc(TMessage& message) {
  if (message.Msg == RenameMessage) {
    std::unique_ptr<std::pair<std::string, std::string>> pending(
        reinterpret_cast<std::pair<std::string, std::string>*>(message.LParam));
    RenameTo(pending->first, pending->second);
    return;
  }
  TsCustomListView::WndProc(message);
}

bool TsFileListView::RenameTo(const std::string& oldPath, const std::string& caption) {
  if (!ValidRenameCaption(caption)) {
    ShowWarningBox("\"" + caption + "\" is not a valid file name");
    return false;
  }
  const std::string newPath = RenameTarget(oldPath, caption, FHideFileExt);
  if (SameNoCase(newPath, oldPath)) return false;
  bool done = false;
  if (PathExists(newPath)) {
    ShowErrorBox("\"" + newPath.substr(newPath.find_last_of('\\') + 1) + "\" is already exists !");
  } else {
    done = Shell().FileOperation(HandleAllocated() ? Handle() : nullptr, FO_RENAME, ShellPathList({oldPath}),
                                 ShellPathList({newPath}), FOF_ALLOWUNDO);
  }
  RefreshList();
  SelectPath(done ? newPath : oldPath);
  return done;
}

bool TsFileListView::EditAttributes() {
  const std::vector<std::string> paths = OperablePaths();
  if (paths.empty()) return false;
  const DWORD attributes = GetFileAttributesA(paths.front().c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  DWORD changed = attributes;
  if (!RunAttributesDialog(paths.front(), changed)) return false;
  if (changed != attributes) Shell().SetAttributes(paths.front(), changed);
  RefreshList();
  SelectPath(paths.front());
  return true;
}

void TsFileListView::ViewSelected() {
  const std::vector<std::string> paths = OperablePaths();
  if (paths.empty()) return;
  static const char* const viewers[] = {"", "NotePad.exe", "Write.exe", "PBrush.exe"};
  const int viewer = ViewerOfExtension(paths.front());
  if (viewer == 0) return;
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  RunShell("Open", WithTrailingBackslash(windows) + viewers[viewer], "\"" + paths.front() + "\"", FDirectory);
}

void TsFileListView::SendToFolder(const std::string& folder) {
  const std::vector<std::string> paths = OperablePaths();
  if (paths.empty() || folder.empty()) return;
  Shell().FileOperation(HandleAllocated() ? Handle() : nullptr, FO_COPY, ShellPathList(paths),
                        ShellPathList({folder}), FOF_ALLOWUNDO);
}

void TsFileListView::ClipboardAsFileNames() {
  std::string text;
  for (const std::string& path : OperablePaths()) text += (text.empty() ? "" : "\r\n") + path;
  if (!text.empty()) Clipboard::SetText(text);
}

void TsFileListView::ClipboardAsContents() {
  for (const std::string& path : OperablePaths())
    if (CopyFileContents(path)) return;
}
