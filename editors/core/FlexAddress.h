#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The flex image's load address: the typed hex address when not 0; else, for an existing file, the
// main grid's code-group-2 start address when there is one, or the 8 hex digits after the first
// "{@0x" of the file name (0 without one); else 0.
int32_t GetFlexAddress(const std::string& addressText, const std::string& fileName, bool fileExists,
                       std::optional<int32_t> gridA1);
