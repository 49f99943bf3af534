#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One code-group row as the split produces it and the combine consumes it. CG is empty for the
// RAM downloader and the boot loader, as in the grid.
struct TCodeGroupRow {
  std::optional<int> CG;
  std::string Name;  // full path of the image file
  std::string Type;
  uint32_t A1 = 0;   // start address
  uint32_t A2 = 0;   // end address, inclusive
  int64_t Size = 0;  // bytes
};
