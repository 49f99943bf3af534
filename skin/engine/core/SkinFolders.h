#pragma once

#include <string>
#include <vector>

// The skin directory as the manager uses it: ".\x" or a name without a drive is relative to the
// program folder (appFolder ends in a separator); the result ends in '\'.
std::string ResolveSkinDirectory(const std::string& skinDirectory, const std::string& appFolder);

struct TsSkinList {
  std::vector<std::string> Names;  // sorted
  std::string First;               // the first name found, before sorting
};

// Internal skin names, then the sub-folders of directory (not those starting with '.'), all
// sorted together. A missing directory adds no folders.
TsSkinList ListSkins(const std::vector<std::string>& internalNames, const std::string& directory);
