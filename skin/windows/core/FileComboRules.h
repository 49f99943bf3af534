#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The filter and folder combos of the file dialogs without a window.

// One pair of a file-dialog filter ("Description|mask|Description|mask").
struct TFilterEntry {
  std::string Description;
  std::string Mask;
  bool operator==(const TFilterEntry&) const = default;
};

// The pairs in order; a trailing description without a mask is dropped.
std::vector<TFilterEntry> ParseFilter(std::string_view filter);
// The mask of entry index, "*.*" when there is no such entry.
std::string FilterMask(const std::vector<TFilterEntry>& entries, int index);

// The upper-cased letter before the first ':' of a folder, 0 when there is none ("\\server\share").
char DriveLetterOf(std::string_view directory);

// One item of the folder combo: the text shown, the folder it stands for (with a trailing '\'),
// its indentation (-1 for a drive, 1 for the first folder below the root) and its shell icon.
struct TPathItem {
  std::string Text;
  std::string Caption;
  int Indend = -1;
  int ImageIndex = -1;
  bool operator==(const TPathItem&) const = default;
};

// What the shell tells about a drive or folder.
struct TShellName {
  std::string DisplayName;
  int IconIndex = -1;
};
using TShellNameQuery = std::function<TShellName(const std::string& path)>;

// Every drive of driveMask (bit 0 = A) as "X:\", and under the drive of directory one item per
// folder level down to it. Drive letters compare without case.
std::vector<TPathItem> BuildPathItems(std::uint32_t driveMask, std::string_view directory,
                                      const TShellNameQuery& query);
// The item whose folder equals directory ignoring case, -1 when none does.
int FindPathItem(const std::vector<TPathItem>& items, std::string_view directory);
