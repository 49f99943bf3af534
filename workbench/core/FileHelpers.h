#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Size in bytes of the named file, -1 when it does not exist.
int64_t GetFileSizeByName(const std::string& fileName);

// Reads the whole named file. True exactly when the file holds at least one byte and all were read;
// a missing file gives false with an empty buffer.
bool LoadFileToMem(const std::string& fileName, std::vector<uint8_t>& buffer);
