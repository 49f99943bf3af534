#include "skin/windows/core/FileListModel.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// Upper case of the C locale, without a library call per character (sorting compares often).
char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

std::string UpperText(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Upper(c);
  return out;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(Upper(a[i])), y = static_cast<unsigned char>(Upper(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

template <typename T>
int Order(T a, T b) {
  return a < b ? -1 : a > b ? 1 : 0;
}

std::string Grouped(std::uint64_t value) {
  std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

bool IsFolderKind(TFileEntryKind kind) { return kind == TFileEntryKind::Folder || kind == TFileEntryKind::Parent; }

}  // namespace

std::uint32_t FileTypeBits(TFileType type) {
  std::uint32_t bits = 0;
  if (type & ftReadOnly) bits |= faReadOnly;
  if (type & ftHidden) bits |= faHidden;
  if (type & ftSystem) bits |= faSystem;
  if (type & ftArchive) bits |= faArchive;
  if (type & ftNormal) bits |= faNormal;
  return bits;
}

bool TakeEntry(std::string_view name, std::uint32_t attributes, std::uint32_t filter, bool showParent) {
  if (name == ".") return false;
  if (name == ".." && !showParent) return false;
  if ((attributes & faDirectory) != (filter & faDirectory)) return false;
  const std::uint32_t restricting = faReadOnly | faHidden | faSystem;
  return (attributes & restricting & ~filter) == 0;
}

std::vector<std::string> SplitMasks(std::string_view mask) {
  std::vector<std::string> masks;
  std::size_t start = 0;
  while (start <= mask.size()) {
    std::size_t end = mask.find(';', start);
    if (end == std::string_view::npos) end = mask.size();
    std::string_view part = mask.substr(start, end - start);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (!part.empty()) masks.emplace_back(part);
    start = end + 1;
  }
  return masks;
}

std::string EntryCaption(std::string_view name, bool hideExt) {
  if (!hideExt || name == "..") return std::string(name);
  const std::size_t dot = name.find('.');
  if (dot == 0 || dot == std::string_view::npos) return std::string(name);
  return std::string(name.substr(0, dot));
}

std::string SizeText(std::uint64_t size) {
  const std::uint64_t kb = size > 0 && size < 1024 ? 1 : size / 1024;
  return std::to_string(kb) + " KB";
}

std::string AttributeText(std::uint32_t attributes) {
  std::string text;
  if (attributes & faArchive) text += 'A';
  if (attributes & faReadOnly) text += 'R';
  if (attributes & faHidden) text += 'H';
  if (attributes & faSystem) text += 'S';
  return text;
}

std::string DateFormatOfKind(int kind) {
  static const std::array<const char*, 8> pictures = {"MM/dd/yyyy", "MM/dd/yy", "dd/MM/yyyy", "dd/MM/yy",
                                                      "dd.MM.yy",   "dd-MM-yy", "yyyy-MM-dd", "yy-MM-dd"};
  return kind >= 0 && kind < 8 ? pictures[std::size_t(kind)] : "";
}

std::string DriveCaption(std::string_view displayName, char letter) {
  const std::size_t paren = displayName.find('(');
  std::string head = paren == std::string_view::npos ? std::string() : std::string(displayName.substr(0, paren));
  return head + " (" + std::string(1, letter) + ":)  ";
}

std::string DriveSizeText(std::uint64_t bytes) { return Grouped(bytes / 1024 / 1000) + " Mb"; }

std::string DriveTypeText(unsigned type) {
  static const std::array<const char*, 7> texts = {"Unknown",      "Not exist", "Removable Disk", "Fixed Disk",
                                                   "Network Disk", "CD-ROM Disk", "RAM Disk"};
  return type < texts.size() ? texts[type] : texts[0];
}

const char* KindText(TFileEntryKind kind) {
  switch (kind) {
    case TFileEntryKind::File: return "file";
    case TFileEntryKind::Drive: return "drv";
    default: return "dir";
  }
}

std::vector<std::string> SubItemTexts(const TFileEntry& e) {
  if (e.Kind == TFileEntryKind::Drive) {
    return {e.TypeName,
            e.DiskKnown ? DriveSizeText(e.DiskSize) : "",
            e.DiskKnown ? DriveSizeText(e.DiskFree) : "",
            e.DiskKnown ? " " : "",
            e.Path,
            KindText(e.Kind)};
  }
  const bool folder = IsFolderKind(e.Kind);
  return {folder ? " " : SizeText(e.Size),
          e.Kind == TFileEntryKind::Parent ? " " : e.TypeName,
          e.DateText,
          AttributeText(e.Attributes),
          e.Path,
          KindText(e.Kind)};
}

int CompareEntries(const TFileEntry& a, const TFileEntry& b, int column, bool inverse) {
  const bool pa = a.Kind == TFileEntryKind::Parent, pb = b.Kind == TFileEntryKind::Parent;
  if (pa || pb) return pa == pb ? 0 : pa ? -1 : 1;
  const bool fa = IsFolderKind(a.Kind), fb = IsFolderKind(b.Kind);
  int result = fa == fb ? 0 : fa ? -1 : 1;
  if (result != 0) return inverse ? -result : result;
  const bool drives = a.Kind == TFileEntryKind::Drive;
  switch (column) {
    case 0: result = CompareNoCase(a.Caption, b.Caption); break;
    case 1: result = drives ? CompareNoCase(a.TypeName, b.TypeName) : Order(a.Size, b.Size); break;
    case 2: result = drives ? Order(a.DiskSize, b.DiskSize) : CompareNoCase(a.TypeName, b.TypeName); break;
    case 3: result = drives ? Order(a.DiskFree, b.DiskFree) : Order(a.WriteTime, b.WriteTime); break;
    case 4:
      if (!drives) result = CompareNoCase(AttributeText(a.Attributes), AttributeText(b.Attributes));
      break;
    default: break;
  }
  return inverse ? -result : result;
}

void ClickColumn(int column, int& sortColumn, bool& inverse) {
  if (column != sortColumn) {
    sortColumn = column;
    inverse = true;
  } else {
    inverse = !inverse;
  }
}

bool ValidRenameCaption(std::string_view caption) {
  if (caption.empty() || caption == "." || caption == "..") return false;
  return caption.find_first_of("\\/:*?\"<>|") == std::string_view::npos;
}

std::string RenameTarget(std::string_view oldPath, std::string_view caption, bool hideExt) {
  const std::size_t slash = oldPath.find_last_of('\\');
  const std::string_view folder = slash == std::string_view::npos ? std::string_view() : oldPath.substr(0, slash + 1);
  const std::string_view oldName = oldPath.substr(folder.size());
  std::string name(caption);
  if (hideExt) {
    const std::size_t dot = oldName.find('.');
    if (dot != 0 && dot != std::string_view::npos) name += oldName.substr(dot);
  }
  return std::string(folder) + name;
}

std::string NewFolderName(std::string_view folder, const std::function<bool(const std::string&)>& exists) {
  const std::string base = std::string(folder) + "New Folder";
  std::string name = base;
  for (int n = 1; exists(name); ++n) name = base + "(" + std::to_string(n) + ")";
  return name;
}

std::string ShellPathList(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& p : paths) {
    list += p;
    list += '\0';
  }
  list += '\0';
  if (paths.empty()) list += '\0';
  return list;
}

std::string ParentFolder(std::string_view folder) {
  std::string_view f = folder;
  while (!f.empty() && f.back() == '\\') f.remove_suffix(1);
  const std::size_t slash = f.find_last_of('\\');
  if (slash == std::string_view::npos) return "";
  return std::string(f.substr(0, slash + 1));
}

std::string UpperExtension(std::string_view fileName) {
  const std::size_t slash = fileName.find_last_of("\\/");
  const std::string_view name = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string_view::npos ? "" : UpperText(name.substr(dot));
}

int ViewerOfExtension(std::string_view fileName) {
  const std::string ext = UpperExtension(fileName);
  static const char* const notepad[] = {".C", ".CPP", ".DPK", ".DPR", ".H", ".INF", ".INI", ".PAS", ".PRG", ".TXT"};
  for (const char* e : notepad)
    if (ext == e) return 1;
  if (ext == ".DOC" || ext == ".RTF" || ext == ".WRI") return 2;
  if (ext == ".BMP") return 3;
  return 0;
}

bool OperableEntry(const TFileEntry& entry) {
  return entry.Kind == TFileEntryKind::File || entry.Kind == TFileEntryKind::Folder;
}

std::string PasteTarget(std::string_view source, std::string_view folder) {
  std::string_view src = source;
  while (!src.empty() && src.back() == '\\') src.remove_suffix(1);
  const std::size_t slash = src.find_last_of('\\');
  const std::string target = std::string(folder) + std::string(src.substr(slash == std::string_view::npos ? 0 : slash + 1));
  if (src.empty() || CompareNoCase(target, src) == 0) return "";
  const std::string inside = std::string(src) + "\\";
  if (folder.size() >= inside.size() && CompareNoCase(folder.substr(0, inside.size()), inside) == 0) return "";
  return target;
}

bool ShellInfoPerFile(std::string_view fileName) {
  static const char* const own[] = {".EXE", ".ICO", ".LNK", ".CUR", ".ANI", ".PIF", ".URL", ".SCR", ".CPL", ".MSC"};
  const std::string ext = UpperExtension(fileName);
  return std::find(std::begin(own), std::end(own), ext) != std::end(own);
}
