#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The utility unit shared by the workbench, the flasher and the editors: the indexed message list,
// file-dialog filters, byte-order and hex helpers, English calendar names and whole-file helpers.

// The 65 indexed message texts (0 to 64). Read-only for the whole run of the program.
class TMessageList {
public:
  const std::string& operator[](int index) const;
  int Count() const;
};
extern const TMessageList Msgs;

// English names, independent of the locale: days 1 (Sunday) to 7, months 1 (January) to 12.
std::string DayName(int day);
std::string MonthName(int month);

// Hex text to integer without validation (32-bit, wrapping); lower-case letters are accepted.
int32_t HexToInt(const std::string& text);

// The four bytes of a 32-bit word in reverse order.
constexpr uint32_t SwapDWord(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

// A moment in days since 1899-12-30; the fraction is the time of day.
using TDateTimeValue = double;

// The time of day of a moment as "hh:mm:ss".
std::string TimeToHMS(TDateTimeValue time);

// File-dialog filter of kind 1 to 10; any other kind gives "All files (*.*)|*.*".
std::string GetFilter(int kind);

// Size in bytes of the named file, -1 when it does not exist.
int64_t GetFileSizeByName(const std::string& fileName);

// Reads the whole named file. True exactly when the file holds at least one byte and all were read;
// a missing file gives false with an empty buffer.
bool LoadFileToMem(const std::string& fileName, std::vector<uint8_t>& buffer);

// Code-group number from the digits before the last dot of the name and, for code groups whose
// images carry it, the start address from the contents. False when the name carries no number.
bool DetectSMG(const std::string& fileName, int& cg, int32_t& addr, int64_t& size);
