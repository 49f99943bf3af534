#pragma once

#include <string>

// The kinds of file-dialog filter.
enum class TFilterKind : int {
  Projects = 1,
  Superfiles = 2,
  CodeGroupImages = 3,
  Languages = 4,
  DrmRemarks = 5,
  RawPictures = 6,
  FlexImages = 7,
  RamDownloaders = 8,
  LangPacks = 9,
  DrmImages = 10,
};

// The filter of a kind; a value outside the kinds gives "All files (*.*)|*.*".
std::string GetFilter(TFilterKind kind);
// The same by the kind's number.
std::string GetFilter(int kind);
