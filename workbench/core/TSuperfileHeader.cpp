#include "workbench/core/TSuperfileHeader.h"

#include <cstring>

#include "framework/base/ByteOrder.h"
#include "framework/base/Exception.h"
#include "workbench/core/CalendarNames.h"

namespace {

constexpr char kMagic[] = "P2K Superfile";

void CheckSlot(int slot) {
  if (slot < 0 || slot >= kCodeGroupSlots)
    throw Exception("Code-group slot out of range (" + std::to_string(slot) + ")");
}

}  // namespace

std::string TSuperfileHeader::DateText(const std::tm& when) {
  const double dayFraction = (when.tm_hour * 3600 + when.tm_min * 60 + when.tm_sec) / 86400.0;
  return DayName(when.tm_wday + 1).substr(0, 3) + " " + MonthName(when.tm_mon + 1) + " " +
         std::to_string(when.tm_mday) + " " + TimeToHMS(dayFraction) + " " +
         std::to_string(when.tm_year + 1900);
}

TSuperfileHeader TSuperfileHeader::Create(const std::tm& when) {
  TSuperfileHeader header;
  std::string version = "3.00";
  header.PutText(0, kMagic);
  header.PutText(256, version);
  version[0] = '2';
  header.PutText(288, version);
  header.PutText(320, DateText(when));
  header.PutText(448, "CSF Protected UNIX Generated Superfile");
  header.FBytes[718] = 2;
  version[2] = '2';
  header.PutText(784, version);
  return header;
}

bool TSuperfileHeader::HasMagic() const {
  const size_t length = strnlen(reinterpret_cast<const char*>(FBytes.data()), FBytes.size());
  return length == sizeof kMagic - 1 && std::memcmp(FBytes.data(), kMagic, length) == 0;
}

TCodeGroupEntry TSuperfileHeader::Entry(int slot) const {
  CheckSlot(slot);
  const size_t base = kTableOffset + kEntrySize * static_cast<size_t>(slot);
  TCodeGroupEntry entry;
  entry.Start = GetU32(base);
  entry.End = GetU32(base + 4);
  std::memcpy(entry.Head.data(), &FBytes[base + 8], entry.Head.size());
  entry.Sum = ByteOrder::ReadLE16(&FBytes[base + 24]);
  entry.Flags = ByteOrder::ReadLE16(&FBytes[base + 26]);
  return entry;
}

void TSuperfileHeader::SetEntry(int slot, const TCodeGroupEntry& entry) {
  CheckSlot(slot);
  const size_t base = kTableOffset + kEntrySize * static_cast<size_t>(slot);
  PutU32(base, entry.Start);
  PutU32(base + 4, entry.End);
  std::memcpy(&FBytes[base + 8], entry.Head.data(), entry.Head.size());
  ByteOrder::WriteLE16(&FBytes[base + 24], entry.Sum);
  ByteOrder::WriteLE16(&FBytes[base + 26], entry.Flags);
}

uint32_t TSuperfileHeader::GetU32(size_t offset) const {
  return ByteOrder::ReadLE32(&FBytes[offset]);
}

void TSuperfileHeader::PutU32(size_t offset, uint32_t value) {
  ByteOrder::WriteLE32(&FBytes[offset], value);
}

void TSuperfileHeader::PutText(size_t offset, const std::string& text) {
  std::memcpy(&FBytes[offset], text.data(), text.size());
}
