#include "skin/engine/core/SkinFolders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "skin/engine/core/SkinUtils.h"
#include "skin/engine/core/TsIniText.h"
#include "skin/engine/core/TsSkinFiles.h"

std::string ResolveSkinDirectory(const std::string& skinDirectory, const std::string& appFolder) {
  std::string s = skinDirectory;
  if (s.rfind(".\\", 0) == 0 || s.rfind("./", 0) == 0)
    s = appFolder + s.substr(2);
  else if (s.find(':') == std::string::npos)
    s = appFolder + s;
  return WithTrailingBackslash(s);
}

TsSkinList ListSkins(const std::vector<std::string>& internalNames, const std::string& directory) {
  TsSkinList list;
  list.Names = internalNames;
  if (!internalNames.empty()) list.First = internalNames.front();
  std::error_code ec;
  const std::filesystem::path dir(TsDiskFiles::NativePath(directory));
  if (std::filesystem::is_directory(dir, ec)) {
    std::filesystem::directory_iterator it(dir, ec), end;
    // Bounded: a folder of skins has at most this many entries worth listing.
    for (std::size_t n = 0; !ec && it != end && n < 100000; it.increment(ec), ++n) {
      std::error_code e2;
      if (!it->is_directory(e2)) continue;
      std::string name = it->path().filename().string();
      if (name.empty() || name.front() == '.') continue;
      if (list.First.empty()) list.First = name;
      list.Names.push_back(std::move(name));
    }
  }
  // Sorted ignoring case, as the platform's string lists compare names.
  std::stable_sort(list.Names.begin(), list.Names.end(),
                   [](const std::string& a, const std::string& b) { return UpperCase(a) < UpperCase(b); });
  return list;
}
