#pragma once

#include <cstdint>
#include <string>

// Size in bytes of the regular file of that name (64-bit on every target); -1 when there is none,
// including a folder or a device of that name.
std::int64_t FileSizeOf(const std::string& fileName);
