#include "skin/windows/core/FileComboRules.h"

#include <algorithm>

#include "framework/base/AnsiStrings.h"

std::vector<TFilterEntry> ParseFilter(std::string_view filter) {
  std::vector<TFilterEntry> entries;
  std::string_view rest = filter;
  // Each round takes a description and its mask off the front; every round shortens the rest.
  for (std::size_t bar = rest.find('|'); bar != std::string_view::npos; bar = rest.find('|')) {
    TFilterEntry entry;
    entry.Description = std::string(rest.substr(0, bar));
    rest.remove_prefix(bar + 1);
    const std::size_t end = rest.find('|');
    entry.Mask = std::string(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string FilterMask(const std::vector<TFilterEntry>& entries, int index) {
  if (index < 0 || index >= int(entries.size())) return "*.*";
  return entries[std::size_t(index)].Mask;
}

char DriveLetterOf(std::string_view directory) {
  const std::size_t colon = directory.find(':');
  if (colon == std::string_view::npos || colon == 0) return 0;
  const char c = directory[colon - 1];
  return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

std::vector<TPathItem> BuildPathItems(std::uint32_t driveMask, std::string_view directory,
                                      const TShellNameQuery& query) {
  std::vector<TPathItem> items;
  const char drive = DriveLetterOf(directory);
  for (int i = 0; i < 26; ++i) {
    if ((driveMask & (std::uint32_t(1) << i)) == 0) continue;
    const char letter = char('A' + i);
    std::string path = std::string(1, letter) + ":\\";
    const TShellName root = query(path);
    items.push_back(TPathItem{root.DisplayName, path, -1, root.IconIndex});
    if (letter != drive) continue;
    // The words after the drive letter are the folder levels.
    int level = 0;
    std::size_t at = directory.find(':') + 1;
    while (at < directory.size()) {
      const std::size_t start = directory.find_first_not_of("\\/:", at);
      if (start == std::string_view::npos) break;
      const std::size_t end = std::min(directory.find_first_of("\\/:", start), directory.size());
      path += std::string(directory.substr(start, end - start)) + "\\";
      const TShellName folder = query(path);
      items.push_back(TPathItem{folder.DisplayName, path, ++level, folder.IconIndex});
      at = end;
    }
  }
  return items;
}

int FindPathItem(const std::vector<TPathItem>& items, std::string_view directory) {
  const std::string wanted(directory);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (SameText(items[i].Caption, wanted)) return int(i);
  return -1;
}
