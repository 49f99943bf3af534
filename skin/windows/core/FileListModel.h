#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The rows of the file list view, without the platform: what an entry is, which entries a search
// keeps, the texts of its columns, how two rows compare, and the names and path lists the file
// operations hand to the shell.

// File attribute bits as the platform reports them.
constexpr std::uint32_t faReadOnly = 0x01, faHidden = 0x02, faSystem = 0x04, faDirectory = 0x10,
                        faArchive = 0x20, faNormal = 0x80;

// The kinds of files listed (a set of bits, one per kind).
enum TFileAttr : std::uint8_t { ftReadOnly = 1, ftHidden = 2, ftSystem = 4, ftArchive = 8, ftNormal = 16 };
using TFileType = std::uint8_t;
constexpr TFileType ftAll = ftReadOnly | ftHidden | ftSystem | ftArchive | ftNormal;

enum class TFileEntryKind { File, Folder, Parent, Drive };

struct TFileEntry {
  TFileEntryKind Kind = TFileEntryKind::File;
  std::string Name;     // as found (drives: the caption)
  std::string Caption;  // as shown
  std::string Path;     // full path; a drive's root "X:\"
  std::uint64_t Size = 0;
  std::uint64_t WriteTime = 0;  // UTC, 100 ns units since 1601
  std::uint32_t Attributes = 0;
  std::string TypeName;  // the shell's type name; a drive's type text
  std::string DateText;
  std::uint64_t DiskSize = 0, DiskFree = 0;  // drives that were asked
  bool DiskKnown = false;
  int Image = -1;
};

// The attribute filter of a set of kinds: read-only 1, hidden 2, system 4, archive 32, normal 128.
std::uint32_t FileTypeBits(TFileType type);
// Whether a search keeps an entry: "." never, ".." only with showParent; the folder bit must match
// the filter's, and read-only, hidden and system only when the filter has them.
bool TakeEntry(std::string_view name, std::uint32_t attributes, std::uint32_t filter, bool showParent);
// The masks of "a;b" (blanks around each trimmed, empties dropped).
std::vector<std::string> SplitMasks(std::string_view mask);

// The shown name: with hideExt, the name up to its first "." (names that start with "." and ".."
// keep theirs).
std::string EntryCaption(std::string_view name, bool hideExt);
// size div 1024 and " KB"; 1 to 1023 bytes count as 1 KB.
std::string SizeText(std::uint64_t size);
// "A", "R", "H", "S" in this order, each when set.
std::string AttributeText(std::uint32_t attributes);
// The date picture of kinds 0 to 7; empty for 8 (the locale's short date).
std::string DateFormatOfKind(int kind);
// "X:\" text of a drive: the display name up to its first "(", then " (X:)  ".
std::string DriveCaption(std::string_view displayName, char letter);
// Bytes in units of 1000 KB with thousands separators and " Mb".
std::string DriveSizeText(std::uint64_t bytes);
// GetDriveType's number as text.
std::string DriveTypeText(unsigned type);
// "file", "dir" or "drv".
const char* KindText(TFileEntryKind kind);
// The six sub-item texts of a row.
std::vector<std::string> SubItemTexts(const TFileEntry& entry);

// Compare of two rows for a column: ".." first, folders before files, then the column (0 name,
// 1 size, 3 date from the file time, else the column's text without case); inverse negates all but
// the place of "..", so a reversed list ends with its folders.
int CompareEntries(const TFileEntry& a, const TFileEntry& b, int column, bool inverse);
// The column-click rule: a new column sorts inverse, the same column toggles.
void ClickColumn(int column, int& sortColumn, bool& inverse);

// Whether a caption may become a file name: not empty, ".", "..", nor holding \ / : * ? " < > |.
bool ValidRenameCaption(std::string_view caption);
// The new path of a rename of oldPath to caption; with hideExt the hidden extension is kept.
std::string RenameTarget(std::string_view oldPath, std::string_view caption, bool hideExt);
// "New Folder", else "New Folder(1)", "New Folder(2)", ... the first that exists says false to.
std::string NewFolderName(std::string_view folder, const std::function<bool(const std::string&)>& exists);
// The paths, each ended by a zero, and one zero more: the shell's list of names.
std::string ShellPathList(const std::vector<std::string>& paths);
// The folder of a path (up to its last "\"), and a folder one level up ("" above "X:\").
std::string ParentFolder(std::string_view folder);
// Whether the extension has a viewer: 0 none, else the viewer's index (1 notepad, 2 write, 3 paint).
int ViewerOfExtension(std::string_view fileName);
// The upper-cased extension with its ".", empty when none.
std::string UpperExtension(std::string_view fileName);
// Where a paste puts source in folder; empty when that would copy or move it onto itself or into
// itself (folder is the source or lies inside it).
std::string PasteTarget(std::string_view source, std::string_view folder);
// Whether a file's shell icon is its own (programs, icons, shortcuts) rather than its extension's:
// the list asks the shell once per extension otherwise.
bool ShellInfoPerFile(std::string_view fileName);
// Entries a file operation may act on: files and folders, never ".." or a drive.
bool OperableEntry(const TFileEntry& entry);
