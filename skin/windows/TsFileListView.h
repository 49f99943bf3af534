#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/win/TPopupMenu.h"
#include "skin/controls/TsListView.h"
#include "skin/windows/core/FileListModel.h"

class TImageList;
class TMenuItem;

// The shell calls of the file list view, one place that tests can replace with a recorder.
// Path lists are the shell's: each path ended by a zero, and one zero more.
class TsFileShell {
public:
  virtual ~TsFileShell() = default;
  // SHFileOperationA (FO_COPY, FO_MOVE, FO_DELETE, FO_RENAME): true when done and not aborted.
  virtual bool FileOperation(HWND owner, UINT func, const std::string& from, const std::string& to, FILEOP_FLAGS flags);
  // ShellExecuteA: its result (above 32 on success).
  virtual INT_PTR Execute(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                          const std::string& folder, int show);
  virtual bool CreateFolder(const std::string& path);
  virtual bool SetAttributes(const std::string& path, DWORD attributes);
};

// The shell used when none was given.
TsFileShell& DefaultFileShell();

// The attributes dialog ("Set Attributes") for a file: read-only, archive, hidden and system set
// from attributes and written back into it (other bits kept) when closed with OK.
bool RunAttributesDialog(const std::string& fileName, DWORD& attributes);
// A file's contents on the clipboard: .BMP and .WMF as a picture, others as text; false when the
// file could not be read.
bool CopyFileContents(const std::string& fileName);

class TsFileListView;

// The list's own popup: open, view, send to, cut, copy, paste, rename, delete, attributes, new folder.
class TsFilelistViewPopUp : public TPopupMenu {
public:
  explicit TsFilelistViewPopUp(TComponent* owner);
  // Item by its name ("ItemOpen", "SubMenuSend", "Send_To0", ...), nullptr when missing.
  TMenuItem* ItemByName(const std::string& name) const;
  // The enable rules, as the popup applies them when it opens.
  void UpdateItems();
  // Rebuilds the send-to submenu from the user's send-to folder.
  void FillSendTo();

  TsFileListView* List() const { return FList; }
  void SetList(TsFileListView* list) { FList = list; }

private:
  TMenuItem* AddItem(TMenuItem* parent, const std::string& caption, const std::string& name);
  void MenuPopup(TObject* sender);
  void ItemClick(TObject* sender);

  TsFileListView* FList = nullptr;
  TMenuItem* FSendTo = nullptr;
  std::vector<std::string> FShortcuts;  // full paths of the send-to shortcuts, by index
};

// The file and drive browser of the skinned file dialogs: the drives of the machine (an empty
// Directory) or the folders and files of one folder, with shell icons, sizes, type names, dates
// and attributes; it navigates, sorts by column, and runs file operations through the shell.
//
// Sub-items of each row: 0 size (drives: type), 1 type name (drives: disk size), 2 date (drives:
// free space), 3 attributes, 4 full path (drives: "X:\"), 5 kind "file", "dir" or "drv".
// File operations never act on ".." or a drive, and none runs in the drive list.
class TsFileListView : public TsCustomListView {
public:
  explicit TsFileListView(TComponent* owner);
  ~TsFileListView() override;

  // The current folder, always with a trailing "\"; empty is the drive list. Setting a folder that
  // does not exist changes nothing (OnAfterDirChanging is still raised). The process's current
  // folder follows.
  const std::string& Directory() const { return FDirectory; }
  void SetDirectory(const std::string& value);
  const std::string& Mask() const { return FMask; }
  void SetMask(const std::string& value);
  TFileType FileType() const { return FFileType; }
  void SetFileType(TFileType value);
  bool ShowFolders() const { return FShowFolders; }
  void SetShowFolders(bool value);
  bool ShowParentItem() const { return FShowParentItem; }
  void SetShowParentItem(bool value);
  bool HideFileExt() const { return FHideFileExt; }
  void SetHideFileExt(bool value) { FHideFileExt = value; }
  // Whether Enter and a double click open files too (folders, ".." and drives always open).
  bool DblClickToOpen() const { return FDblClickToOpen; }
  void SetDblClickToOpen(bool value) { FDblClickToOpen = value; }
  bool PopUpMenuEnabled() const { return FPopUpMenuEnabled; }
  void SetPopUpMenuEnabled(bool value);
  bool CanExecute() const { return FCanExecute; }
  void SetCanExecute(bool value) { FCanExecute = value; }

  // Full path of the item selected when the list was last clicked.
  const std::string& SelectedItem() const { return FSelectedItem; }
  void SetSelectedItem(const std::string& value) { FSelectedItem = value; }
  // Number of selected items, or the item count when none is selected.
  int SelectedNumber();
  // Sum of the sizes of the selected items, bytes.
  std::uint64_t SelectedSize();
  // Total size of the listed files.
  std::uint64_t TotalSize() const { return FTotalSize; }

  const TNotifyEvent& OnBeforeDirChanging() const { return FOnBeforeDirChanging; }
  void SetOnBeforeDirChanging(const TNotifyEvent& e) { FOnBeforeDirChanging = e; }
  const TNotifyEvent& OnAfterDirChanging() const { return FOnAfterDirChanging; }
  void SetOnAfterDirChanging(const TNotifyEvent& e) { FOnAfterDirChanging = e; }

  // Date format kind 0 to 8 (8 the locale's short date) and the time picture ("" the locale's).
  int DateKind() const { return FDateKind; }
  void SetDateKind(int value);
  const std::string& TimeFormat() const { return FTimeFormat; }
  void SetTimeFormat(const std::string& value) { FTimeFormat = value; }

  // Lists Directory again (the drive list when it is empty), sorted by name.
  void RefreshList();
  // Up one level: "X:\" goes to the drive list.
  void UpLevel();
  // Makes "New Folder" (or "New Folder(n)") in Directory, selects it and starts editing its name.
  void NewFolder();
  // Opens the selected item: ".." up, folders and drives in, files run only with DblClickToOpen.
  void OpenSelected();
  void CutSelection();
  void CopySelection();
  void Paste();
  void DeleteSelection();
  // Starts editing the caption of the selected item (refused for read-only ones).
  void RenameSelected();
  // The attributes dialog for the selected file; true when it was closed with OK.
  bool EditAttributes();
  // Opens the selected file in the viewer of its extension.
  void ViewSelected();
  // Copies the selection into folder through the shell.
  void SendToFolder(const std::string& folder);
  // Sends the selection to a shortcut's target: a folder or drive gets a copy, a program is run
  // with the first selected file.
  void SendToShortcut(const std::string& link);
  // The selection on the clipboard: the files' contents, or their full paths one a line.
  void ClipboardAsContents();
  void ClipboardAsFileNames();

  // The sort column and whether its order is inverted; clicking a column header sorts.
  int SortColumn() const { return FSortColumn; }
  bool SortInverse() const { return FSortInverse; }
  void ColumnClicked(int column);

  // The row model behind an item (nullptr for none).
  const TFileEntry* Entry(const TListItem* item) const;
  // Full paths of the selected items that file operations may act on.
  std::vector<std::string> OperablePaths();
  // The internal clipboard (full paths) and its mode: -1 none, 0 copy, 2 cut.
  const std::vector<std::string>& ClipboardPaths() const { return FClipboard; }
  int ClipboardMode() const { return FClipboardMode; }

  TsFilelistViewPopUp* FilePopup() const { return FPopup; }
  // The shell used for file operations; nullptr puts the default back.
  void SetShell(TsFileShell* shell) { FShell = shell; }
  TsFileShell& Shell() const { return FShell ? *FShell : DefaultFileShell(); }

  // Checks that a drive has a disk; with report, says so in a warning box when not.
  static bool DriveReady(char letter, bool report);

protected:
  void CreateWnd() override;
  void Loaded() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void WndProc(TMessage& message) override;

private:
  // Renames oldPath to the edited caption (refused captions give a warning box); true when done.
  bool RenameTo(const std::string& oldPath, const std::string& caption);
  void AddFileColumns();
  void AddDriveColumns();
  void AddEntries(const std::string& pattern, std::uint32_t filter);
  void AddDrives();
  void AddEntry(TFileEntry entry);
  void FillItems();
  void SortItems();
  void OpenItem(TListItem* item, bool byUser);
  void RunShell(const std::string& verb, const std::string& file, const std::string& parameters,
                    const std::string& folder);
  void TakeSelection(int mode);
  bool Editing() const;
  void ListColumnClick(TObject* sender, int column);
  void ListEditing(TObject* sender, TListItem* item, bool& allow);
  void ListEdited(TObject* sender, TListItem* item, std::string& text);
  std::string DateText(std::uint64_t writeTime) const;
  void SelectPath(const std::string& path);

  std::string FDirectory = " ";
  std::string FMask = "*.*";
  TFileType FFileType = ftAll;
  bool FShowFolders = true;
  bool FShowParentItem = false;
  bool FHideFileExt = false;
  bool FDblClickToOpen = true;
  bool FPopUpMenuEnabled = true;
  bool FCanExecute = false;
  std::string FSelectedItem;
  TNotifyEvent FOnBeforeDirChanging, FOnAfterDirChanging;
  int FDateKind = 8;
  std::string FDateFormat;
  std::string FTimeFormat = "HH:mm:ss";
  int FSortColumn = 0;
  bool FSortInverse = true;
  std::uint64_t FTotalSize = 0;
  std::vector<std::string> FClipboard;
  int FClipboardMode = -1;
  std::string FRenamePath;
  bool FChanging = false;
  bool FDriveColumns = false;
  bool FColumnsMade = false;
  std::vector<TFileEntry> FEntries;
  TsFilelistViewPopUp* FPopup = nullptr;
  TImageList* FLargeShellImages = nullptr;
  TImageList* FSmallShellImages = nullptr;
  TsFileShell* FShell = nullptr;
};
