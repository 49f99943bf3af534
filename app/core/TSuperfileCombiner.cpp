#include "app/core/TSuperfileCombiner.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/core/CodeGroups.h"
#include "app/core/TRawFile.h"
#include "app/core/TSRecordWriter.h"
#include "app/core/TSuperfileHeader.h"
#include "app/core/Utils.h"

namespace {

// The RAM downloader's table of (start, end) pairs for code groups 1 to 20, big-endian.
constexpr size_t kLoaderMinSize = 416;
constexpr size_t kLoaderFillStart = 48;
constexpr size_t kLoaderPairs = 256;
constexpr size_t kLoaderPairsSize = 160;
constexpr size_t PairOffset(int cg) {
  return 248 + 8 * static_cast<size_t>(cg);
}
// A flash image opens with the memory map, whose length its words at 28 and 32 give.
constexpr size_t kFlashMinSize = 36;

struct TSlot {
  std::vector<uint8_t> Data;
  uint32_t A1 = 0;
};

uint32_t GetBE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

void PutBE(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

std::string UniqueName(const std::string& base) {
  std::string name = base;
  for (int i = 1; TRawFile::Exists(name) && i < 1000; ++i) name = base + std::to_string(i);
  if (TRawFile::Exists(name)) throw EInOutError("Cannot find a free temporary name for \"" + base + "\"", 0);
  return name;
}

// Moves the finished file over the target. Where the system refuses to rename over an existing
// file, the target is first moved aside and restored if the move fails.
void ReplaceFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return;
  if (!TRawFile::Exists(to)) throw EInOutError("Cannot rename \"" + from + "\" to \"" + to + "\"", 0);
  const std::string aside = UniqueName(to + ".old");
  if (std::rename(to.c_str(), aside.c_str()) != 0) throw EInOutError("Cannot replace file \"" + to + "\"", 0);
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    std::rename(aside.c_str(), to.c_str());
    throw EInOutError("Cannot replace file \"" + to + "\"", 0);
  }
  std::remove(aside.c_str());
}

}  // namespace

bool TSuperfileCombiner::Refuse(const std::string& text) {
  FHost.SetStatus(text);
  FHost.ShowError(text);
  return false;
}

bool TSuperfileCombiner::Combine(const std::vector<TCodeGroupRow>& rows, const std::string& initialName,
                                 int bufferKB) {
  const size_t bufSize = IOBufferBytes(bufferKB);
  FFileName.clear();

  // Code group of each row. Rows with an empty CG are the RAM downloader and the boot loader,
  // told apart by their type; any other such row reads as 0.
  std::vector<int> groups(rows.size());
  int loaderRow = -1;
  std::array<bool, kCodeGroupSlots> listed{};
  for (size_t i = 0; i < rows.size(); ++i) {
    const TCodeGroupRow& row = rows[i];
    int cg = 0;
    if (row.CG) {
      cg = *row.CG;
    } else if (row.Type == kRamDownloaderType) {
      cg = -2;
    } else if (row.Type == kBootLoaderType) {
      cg = -1;
    }
    if (!IsValidCodeGroup(cg))
      return Refuse("Code group " + std::to_string(cg) + " of \"" + row.Name + "\" lies outside -2..20.");
    if (cg == -2) {
      if (loaderRow >= 0) return Refuse("There is more than one RAM Downloader row.");
      loaderRow = static_cast<int>(i);
    } else if (listed[CodeGroupSlot(cg)]) {
      return Refuse("Code group " + std::to_string(cg) + " (" + GetCGName(cg) +
                    ") is listed more than once.");
    }
    listed[CodeGroupSlot(cg)] = true;
    groups[i] = cg;
  }
  if (loaderRow < 0) {
    FHost.BringToFront();
    FHost.ShowError(Msgs[60]);
    return false;
  }

  std::string fileName = initialName;
  if (!FHost.AskSaveFileName(GetFilter(2), fileName) || fileName.empty()) return false;

  std::array<TSlot, kCodeGroupSlots> slots;
  TSlot& loader = slots[CodeGroupSlot(-2)];
  {
    const TCodeGroupRow& row = rows[static_cast<size_t>(loaderRow)];
    LoadFileToMem(row.Name, loader.Data);
    loader.A1 = row.A1;
    if (loader.Data.size() < kLoaderMinSize)
      return Refuse("The RAM Downloader \"" + row.Name + "\" holds " + std::to_string(loader.Data.size()) +
                    " bytes; it needs at least 416.");
  }
  std::array<uint8_t, kLoaderPairsSize> loaderPairs;
  std::memcpy(loaderPairs.data(), &loader.Data[kLoaderPairs], kLoaderPairsSize);
  std::memset(&loader.Data[kLoaderFillStart], 0xFF, kLoaderMinSize - kLoaderFillStart);

  // In code-group order: a flash row's start word overrides the memory map's unless it is left out.
  std::array<int, kCodeGroupSlots> rowOfSlot;
  rowOfSlot.fill(-1);
  for (size_t i = 0; i < rows.size(); ++i) rowOfSlot[CodeGroupSlot(groups[i])] = static_cast<int>(i);
  for (int cg = -1; cg <= kMaxCodeGroup; ++cg) {
    if (rowOfSlot[CodeGroupSlot(cg)] < 0) continue;
    const TCodeGroupRow& row = rows[static_cast<size_t>(rowOfSlot[CodeGroupSlot(cg)])];
    TSlot& slot = slots[CodeGroupSlot(cg)];
    LoadFileToMem(row.Name, slot.Data);
    slot.A1 = row.A1;
    uint8_t* table = loader.Data.data();
    if (cg == 0) {
      // Also the start word of code group 1's pair, which a flash row may leave as it is.
      PutBE(table + kLoaderPairs, row.A1);
    } else if (cg > 0) {
      uint8_t pair[8];
      std::memcpy(pair, &loaderPairs[PairOffset(cg) - kLoaderPairs], 8);
      if (GetBE(pair) == 0xFFFFFFFFu && GetBE(pair + 4) == 0xFFFFFFFFu) {
        PutBE(pair, row.A1);
        PutBE(pair + 4, row.A2 | 0xFFFFu);
      }
      std::memcpy(table + PairOffset(cg) + 4, pair + 4, 4);
      if (GetBE(pair) != 0xFFFF0000u) std::memcpy(table + PairOffset(cg), pair, 4);
    }
  }

  // A flash given without its memory map: the map is the front of the flash image.
  TSlot& map = slots[CodeGroupSlot(0)];
  TSlot& flash = slots[CodeGroupSlot(1)];
  if (!flash.Data.empty() && map.Data.empty()) {
    if (flash.Data.size() < kFlashMinSize)
      return Refuse("The Flash image holds " + std::to_string(flash.Data.size()) +
                    " bytes; at least 36 are needed to find its memory map.");
    const uint32_t mapLength = GetBE(&flash.Data[32]) - GetBE(&flash.Data[28]) + 5;
    if (mapLength > flash.Data.size())
      return Refuse("The Flash image's memory map (" + std::to_string(mapLength) +
                    " bytes) is longer than the image.");
    map.Data.assign(flash.Data.begin(), flash.Data.begin() + mapLength);
    map.A1 = flash.A1;
    flash.Data.erase(flash.Data.begin(), flash.Data.begin() + mapLength);
    flash.A1 += mapLength;
  }

  TSuperfileHeader header = TSuperfileHeader::Create(FHost.LocalTime());
  uint32_t count = 0;
  int64_t total = 0;
  int lastSlot = -1;
  for (int s = 0; s < kCodeGroupSlots; ++s) {
    const TSlot& slot = slots[s];
    if (slot.Data.empty()) continue;
    const int cg = s + kMinCodeGroup;
    TCodeGroupEntry entry;
    entry.Start = slot.A1;
    entry.End = static_cast<uint32_t>(slot.A1 + slot.Data.size() - 1);
    const std::vector<uint8_t>& head = cg == 1 ? map.Data : slot.Data;
    std::memcpy(entry.Head.data(), head.data(), std::min(head.size(), entry.Head.size()));
    if (cg == 1) {
      uint32_t word = 0;
      for (int i = 0; i < 4; ++i) word |= static_cast<uint32_t>(entry.Head[8 + i]) << (8 * i);
      ++word;
      for (int i = 0; i < 4; ++i) entry.Head[8 + i] = static_cast<uint8_t>(word >> (8 * i));
    }
    uint32_t sum = 0;
    for (uint8_t b : slot.Data) sum += b;
    entry.Sum = static_cast<uint16_t>(sum);
    entry.Flags = cg == -2 ? 0 : 8;
    header.SetEntry(s, entry);
    ++count;
    total += static_cast<int64_t>(slot.Data.size());
    lastSlot = s;
  }
  header.SetEntryCount(count);
  FHost.SetGaugeRange(total, 0);

  FHost.SetStatus(Msgs[58]);
  {
    TBusyCursor busy(FHost);
    const std::string tempName = UniqueName(fileName + ".tmp");
    try {
      TRawFile file(tempName, TRawFile::TMode::Create);
      file.WriteAll(header.Data(), header.Size());
      uint32_t headerSum = 0;
      for (size_t i = 0; i < header.Size(); ++i) headerSum += header.Data()[i];
      TSRecordWriter writer(file, bufSize, headerSum);
      writer.SetOnProgress([this](int64_t done) { FHost.SetGaugeProgress(done); });
      const int mapSlot = CodeGroupSlot(0);
      const int flashSlot = CodeGroupSlot(1);
      for (int s = 0; s < kCodeGroupSlots; ++s) {
        TSlot& slot = slots[s];
        if (slot.Data.empty()) continue;
        bool last = s == lastSlot;
        // The memory map and the flash make one block, addressed from the map's start.
        if (s == mapSlot && !slots[flashSlot].Data.empty()) {
          std::vector<uint8_t>& rest = slots[flashSlot].Data;
          writer.WriteBlock(slot.Data.data(), slot.Data.size(), rest.data(), rest.size(), slot.A1,
                            last || lastSlot == flashSlot);
          std::vector<uint8_t>().swap(rest);
        } else {
          writer.WriteBlock(slot.Data.data(), slot.Data.size(), slot.A1, last);
        }
        std::vector<uint8_t>().swap(slot.Data);
      }
      file.Close();
      ReplaceFile(tempName, fileName);
    } catch (...) {
      std::remove(tempName.c_str());
      throw;
    }
  }
  FHost.SetStatus(Msgs[59] + ": " + fileName);
  FFileName = fileName;
  return true;
}
