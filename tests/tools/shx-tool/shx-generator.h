#pragma once

// Builds superfiles from the file format alone, independently of the engine under test: the
// 8172-byte header with its code-group table, S-record blocks and the closing checksum record.

#include <cstdint>
#include <string>
#include <vector>

struct TShxGroup {
  int CG = 1;
  uint32_t Start = 0;
  std::vector<uint8_t> Data;
};

struct TShxOptions {
  std::string Date = "Sat December 5 20:03:13 2026";
  // Entry count written at 944; -1 writes the number of groups with data.
  int64_t Count = -1;
  // The split ignores an S0 line's content; one of odd length moves every CR to an odd offset, so
  // that a CR can end a 1 kB input block and its LF open the next.
  std::string S0Line = "S00600004844521B";
};

// The superfile of the groups (any order; CG 0 and CG 1 are written as one block).
std::vector<uint8_t> BuildSuperfile(const std::vector<TShxGroup>& groups, const TShxOptions& options = {});

// Deterministic pseudo-random bytes.
std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed);

// A RAM downloader image with an address table in which some pairs are preset.
std::vector<uint8_t> MakeRamDownloader(size_t size, uint32_t seed);

// A memory map of the given length: its big-endian words at 28 and 32 give that length back.
std::vector<uint8_t> MakeMemoryMap(size_t size, uint32_t seed);

// Realistic firmware: RAM downloader, memory map and flash, flex, language pack, DRM, odd-sized and
// 1-byte groups. flashSize scales the whole.
std::vector<TShxGroup> RealisticFirmware(size_t flashSize, uint32_t seed);

// A few small groups (RAM downloader, memory map and flash, language pack, a 1-byte group): seeds
// for fuzzing.
std::vector<TShxGroup> SmallFirmware(uint32_t seed);

// The S-record text after the header, cut into its blocks (each from its S0 line to its S7 line).
std::vector<std::string> SRecordBlocks(const std::vector<uint8_t>& superfile);

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFileBytes(const std::string& fileName);
