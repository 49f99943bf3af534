#include "workbench/core/TProject.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <set>

#include "framework/base/AnsiStrings.h"
#include "framework/base/TAtomicFileStream.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/base/TIniFile.h"
#include "framework/base/TStream.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/TCodeGroupTable.h"

namespace {

constexpr const char* kProject = "Project";
constexpr const char* kOptions = "Options";
constexpr const char* kName = "Name";
constexpr const char* kBufferSize = "IO Buffer Size";
constexpr const char* kSeparateMap = "Separate memory map";
constexpr const char* kOrder = "Order";
constexpr int kMaxBufferKB = 1024 * 1024;
constexpr int kTypeLength = 20;

// Why the loaded table cannot be the grid's, or empty.
std::string TableProblem(TClientDataSet& table) {
  for (const char* field : {"CG", "Name", "Type", "A1", "A2", "size"}) {
    if (table.FindField(field) == nullptr) return "it has no field \"" + std::string(field) + "\"";
  }
  TField* cg = table.FieldByName("CG");
  TField* name = table.FieldByName("Name");
  TField* type = table.FieldByName("Type");
  std::set<std::string> types;
  int row = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    ++row;
    const std::string where = "row " + std::to_string(row) + ": ";
    const std::string text = type->AsString();
    if (name->AsString().size() > static_cast<std::size_t>(TCodeGroupTable::kMaxNameLength)) {
      return where + "the file name is longer than " + std::to_string(TCodeGroupTable::kMaxNameLength) + " characters";
    }
    if (text.size() > static_cast<std::size_t>(kTypeLength)) return where + "the type \"" + text + "\" is too long";
    if (cg->IsNull()) {
      if (text != kRamDownloaderType && text != kBootLoaderType) {
        return where + "a row without a code group must be the RAM downloader or the boot loader";
      }
    } else {
      const int value = cg->AsInteger();
      if (!IsValidCodeGroup(value)) return where + "code group " + std::to_string(value) + " is outside -2 to 20";
      if (text != GetCGName(value)) {
        return where + "\"" + text + "\" is not the type of code group " + std::to_string(value);
      }
    }
    if (!types.insert(text).second) return where + "a second row of type \"" + text + "\"";
  }
  return {};
}

// Why a file that is there cannot be read, or empty when it can be or is not there at all.
std::string WhyUnreadable(const std::string& fileName) {
#ifdef _WIN32
  struct _stat64 info;
  if (_stat64(fileName.c_str(), &info) != 0) return {};
  const bool regular = (info.st_mode & _S_IFMT) == _S_IFREG;
#else
  struct stat info;
  if (stat(fileName.c_str(), &info) != 0) return {};
  const bool regular = S_ISREG(info.st_mode);
#endif
  if (!regular) return "it is not a file";
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  } catch (const Exception& e) {
    return e.what();
  }
  return {};
}

}  // namespace

namespace Project {

std::string TableFileName(const std::string& fileName) {
  return ExtractFileExt(fileName).empty() ? fileName + ".scp" : fileName;
}

std::string OptionsFileName(const std::string& tableFile) { return ChangeFileExt(tableFile, ".cfg"); }

void Save(TClientDataSet& grid, const std::string& tableFile, const TProjectOptions& options) {
  TMemoryStream rows;
  grid.SaveToStream(rows);

  TIniFile ini(OptionsFileName(tableFile));
  ini.WriteString(kProject, kName, options.Name);
  ini.WriteInteger(kOptions, kBufferSize, options.IOBufferSizeKB);
  ini.WriteBool(kOptions, kSeparateMap, options.SeparateMemoryMap);
  ini.WriteInteger(kOptions, kOrder, options.Order);
  const std::string text = ini.Text();

  // Both complete before either takes its target's name.
  TAtomicFileStream table(tableFile);
  table.WriteBuffer(rows.Memory(), rows.Size());
  TAtomicFileStream config(ini.FileName());
  config.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  // A full disk shows at the flush as often as at a write: nothing is renamed before both are out.
  TAtomicFileStream::CommitAll({&table, &config});
}

TProjectOptions ReadOptions(const std::string& optionsFile, std::string* unreadable) {
  if (unreadable != nullptr) {
    const std::string why = WhyUnreadable(optionsFile);
    *unreadable =
        why.empty() ? why : "The project's options file " + optionsFile + " cannot be read (" + why + ").";
  }
  const TIniFile ini(optionsFile);
  if (!ini.LoadError().empty()) throw EInOutError(ini.LoadError(), EFBIG);
  TProjectOptions options;
  options.Name = ini.ReadString(kProject, kName, "");
  const int buffer = ini.ReadInteger(kOptions, kBufferSize, options.IOBufferSizeKB);
  if (buffer >= 1 && buffer <= kMaxBufferKB) options.IOBufferSizeKB = buffer;
  options.SeparateMemoryMap = ini.ReadBool(kOptions, kSeparateMap, false);
  const int order = ini.ReadInteger(kOptions, kOrder, 0);
  if (order == 0 || order == 1) options.Order = order;
  return options;
}

TProjectOptions Open(TClientDataSet& grid, const std::string& tableFile, std::string* unreadable) {
  TMemoryStream bytes;
  bytes.LoadFromFile(tableFile);
  std::string problem;
  try {
    TClientDataSet probe;
    probe.LoadFromStream(bytes);
    problem = TableProblem(probe);
  } catch (const Exception& e) {
    throw EProjectError("The project " + tableFile + " cannot be read: " + e.what());
  }
  if (!problem.empty()) throw EProjectError("The project " + tableFile + " cannot be opened: " + problem + ".");
  bytes.Seek(0, TSeekOrigin::soBeginning);
  try {
    grid.LoadFromStream(bytes);  // checks the field types; the grid is untouched when it refuses
  } catch (const EDatabaseError& e) {
    throw EProjectError("The project " + tableFile + " cannot be opened: " + e.what());
  }
  return ReadOptions(OptionsFileName(tableFile), unreadable);
}

}  // namespace Project
