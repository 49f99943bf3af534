#include "skin/windows/core/TsFolderHistory.h"

#include "framework/base/AnsiStrings.h"

namespace {

bool SameFolder(const std::string& a, const std::string& b) { return SameText(a, b); }

}  // namespace

void TsFolderHistory::Record(const std::string& folder) {
  if (!folder.empty()) FFolders.push_back(folder);
}

std::optional<std::string> TsFolderHistory::Back(const std::string& current) {
  while (!FFolders.empty()) {
    std::string folder = std::move(FFolders.back());
    FFolders.pop_back();
    if (!SameFolder(folder, current)) return folder;
  }
  return std::nullopt;
}

std::optional<std::string> TsFolderHistory::Take(int index, const std::string& current) {
  if (index < 0 || index >= Count()) return std::nullopt;
  std::string folder = std::move(FFolders[size_t(index)]);
  FFolders.erase(FFolders.begin() + index);
  if (SameFolder(folder, current)) return std::nullopt;
  return folder;
}

std::string TsFolderHistory::MenuCaption(const std::string& path) {
  std::string caption;
  for (char c : path) {
    caption += c;
    if (c == '&') caption += '&';
  }
  return caption;
}
