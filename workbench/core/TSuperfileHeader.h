#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

#include "workbench/core/CodeGroups.h"

constexpr size_t kSuperfileHeaderSize = 8172;

// One 28-byte slot of the header's code-group table.
struct TCodeGroupEntry {
  uint32_t Start = 0;
  uint32_t End = 0;  // inclusive
  std::array<uint8_t, 16> Head{};
  uint16_t Sum = 0;
  uint16_t Flags = 0;

  // Readers treat a slot whose start plus end (32-bit) is 0 as empty.
  bool IsEmpty() const { return static_cast<uint32_t>(Start + End) == 0; }
};

// The 8172-byte binary header of a superfile: texts, the count of code groups that carry data and
// the code-group table. Integers are little-endian.
class TSuperfileHeader {
public:
  static constexpr size_t kCountOffset = 944;
  static constexpr size_t kTableOffset = 948;
  static constexpr size_t kEntrySize = 28;

  TSuperfileHeader() : FBytes{} {}
  // A new header with its texts and the date text of the given local time.
  static TSuperfileHeader Create(const std::tm& when);
  // The date text as written at offset 320, for example "Sat December 5 20:03:13 2026".
  static std::string DateText(const std::tm& when);

  uint8_t* Data() { return FBytes.data(); }
  const uint8_t* Data() const { return FBytes.data(); }
  static constexpr size_t Size() { return kSuperfileHeaderSize; }

  // The zero-terminated text at offset 0 is the superfile's magic text.
  bool HasMagic() const;
  uint32_t EntryCount() const { return GetU32(kCountOffset); }
  void SetEntryCount(uint32_t count) { PutU32(kCountOffset, count); }
  TCodeGroupEntry Entry(int slot) const;
  void SetEntry(int slot, const TCodeGroupEntry& entry);

private:
  uint32_t GetU32(size_t offset) const;
  void PutU32(size_t offset, uint32_t value);
  void PutText(size_t offset, const std::string& text);

  std::array<uint8_t, kSuperfileHeaderSize> FBytes;
};
