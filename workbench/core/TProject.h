#pragma once

#include <string>

#include "framework/base/Exception.h"

class TClientDataSet;

// The options a project keeps beside its rows ("NAME.cfg").
struct TProjectOptions {
  std::string Name;              // the source superfile
  int IOBufferSizeKB = 128;      // 1 kB to 1 GB
  bool SeparateMemoryMap = false;
  int Order = 0;                 // 0 by code group, 1 by start address
  bool operator==(const TProjectOptions&) const = default;
};

// A project file that cannot become the grid; the grid stays as it was.
class EProjectError : public Exception {
public:
  using Exception::Exception;
};

// A project: the grid's rows saved whole in "NAME.scp" and the options in "NAME.cfg" beside it.
namespace Project {

// The table file for a chosen name: ".scp" appended to a name without extension.
std::string TableFileName(const std::string& fileName);
// The options file beside a table file.
std::string OptionsFileName(const std::string& tableFile);

// Writes both files beside their targets and renames them over the targets only when both are
// complete; a failure raises and leaves the old pair as it was. Other keys of an existing options
// file are kept.
void Save(TClientDataSet& grid, const std::string& tableFile, const TProjectOptions& options);

// Reads the rows and checks them before the grid takes them: a table that is not a grid's (other
// fields), or rows the grid could not hold (two of one type, a code group outside -2..20, a type
// that is not its code group's) raise EProjectError and leave the grid as it was. The options come
// from the options file, as ReadOptions reads them.
TProjectOptions Open(TClientDataSet& grid, const std::string& tableFile, std::string* unreadable = nullptr);

// The options file's values, with the defaults for what is missing or out of range. A file too
// large to read raises EInOutError. A file that is there but cannot be read (a folder, one another
// program holds, no permission) reads as the defaults; `unreadable`, when given, then gets a text
// naming it and saying why, and is emptied otherwise.
TProjectOptions ReadOptions(const std::string& optionsFile, std::string* unreadable = nullptr);

}  // namespace Project
