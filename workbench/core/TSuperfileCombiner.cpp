#include "workbench/core/TSuperfileCombiner.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "framework/base/AnsiStrings.h"
#include "framework/base/ByteOrder.h"
#include "framework/base/TAtomicFileStream.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/FileFilters.h"
#include "workbench/core/Messages.h"
#include "workbench/core/TIOBuffer.h"
#include "workbench/core/TRawFile.h"
#include "workbench/core/TSRecordWriter.h"
#include "workbench/core/TSuperfileHeader.h"

namespace {

// The RAM downloader's table of (start, end) pairs for code groups 1 to 20, big-endian.
constexpr size_t kLoaderMinSize = 416;
constexpr size_t kLoaderFillStart = 48;
constexpr size_t kLoaderPairs = 256;
constexpr size_t PairOffset(int cg) {
  return 248 + 8 * static_cast<size_t>(cg);
}
// A flash image opens with the memory map, whose length its words at 28 and 32 give.
constexpr size_t kFlashMinSize = 36;
// All the combine needs of an image besides its byte sum lies in its first bytes.
constexpr size_t kFrontSize = kLoaderMinSize;

constexpr int kMapSlot = CodeGroupSlot(0);
constexpr int kFlashSlot = CodeGroupSlot(1);

// A row's image file. Its first bytes are read before the save dialog, then the whole file once
// for its byte sums, which the header carries ahead of the data, and once more as it is written.
// Each later read checks that the file still holds what the earlier ones saw.
struct TImage {
  std::string Name;
  int64_t Size = 0;
  std::array<uint8_t, kFrontSize> Front{};  // as read; min(Size, kFrontSize) bytes count
  // The RAM downloader's front with its address table rebuilt, written in place of Front.
  bool Patched = false;
  std::array<uint8_t, kFrontSize> PatchedFront{};
  uint64_t Sum = 0;  // of the bytes written

  size_t FrontSize() const { return static_cast<size_t>(std::min<int64_t>(Size, kFrontSize)); }
  const uint8_t* Head() const { return Patched ? PatchedFront.data() : Front.data(); }
};

[[noreturn]] void ImageChanged(const TImage& image) {
  throw EInOutError("The image \"" + image.Name + "\" changed while it was being combined.", 0);
}

// Reads the image through the buffer and hands on the bytes to write, in pieces.
template <typename TOnData>
void StreamImage(const TImage& image, uint8_t* buffer, size_t bufferSize, TOnData&& onData) {
  TRawFile file(image.Name, TRawFile::TMode::Read);
  for (int64_t done = 0; done < image.Size;) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(image.Size - done, bufferSize));
    if (file.Read(buffer, want) != want) ImageChanged(image);
    if (done < static_cast<int64_t>(kFrontSize)) {
      const size_t front = std::min(want, kFrontSize - static_cast<size_t>(done));
      if (std::memcmp(buffer, image.Front.data() + done, front) != 0) ImageChanged(image);
      if (image.Patched) std::memcpy(buffer, image.PatchedFront.data() + done, front);
    }
    onData(buffer, want, done);
    done += static_cast<int64_t>(want);
  }
  file.Close();
}

// What a table slot holds: a run of an image's bytes. Only a flash whose memory map was cut off
// its front starts past 0.
struct TSlot {
  int Image = -1;
  int64_t Offset = 0;
  int64_t Size = 0;
  uint32_t A1 = 0;
  uint64_t Sum = 0;
  bool Present() const { return Size > 0; }
};

struct TPlan {
  std::vector<TImage> Images;
  std::array<TSlot, kCodeGroupSlots> Slots;
  std::vector<size_t> EmptyRows;  // rows whose image holds no byte, in row order

  TImage& ImageOf(const TSlot& slot) { return Images[static_cast<size_t>(slot.Image)]; }
  TSlot& Map() { return Slots[kMapSlot]; }
  TSlot& Flash() { return Slots[kFlashSlot]; }
  // The flash whose memory map was cut off its front is read with the map, as one run.
  bool IsCutFlash(const TSlot& slot) const { return slot.Offset > 0; }
};

std::string RowTitle(const TCodeGroupRow& row, int cg) {
  return "The \"" + row.Type + "\" row (code group " + std::to_string(cg) + ")";
}

// Opens every row's image for its size and first bytes. Returns why the rows cannot be combined,
// or an empty text.
std::string ReadFronts(const std::vector<TCodeGroupRow>& rows, const std::vector<int>& groups, TPlan& plan) {
  plan.Images.resize(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const TCodeGroupRow& row = rows[i];
    TImage& image = plan.Images[i];
    image.Name = row.Name;
    // An empty image is left out. One that cannot be read would silently drop its code group from
    // the firmware, so it stops the combine.
    if (row.Name.empty()) return RowTitle(row, groups[i]) + " names no image file.";
    // Checked before opening: a folder may open for reading, a pipe would wait for a writer.
    if (!TRawFile::Exists(row.Name))
      return RowTitle(row, groups[i]) + " cannot be combined: there is no file \"" + row.Name + "\".";
    try {
      TRawFile file(row.Name, TRawFile::TMode::Read);
      image.Size = file.Size();
      if (file.Read(image.Front.data(), image.FrontSize()) != image.FrontSize()) ImageChanged(image);
      file.Close();
    } catch (const EInOutError& e) {
      return RowTitle(row, groups[i]) + " cannot be combined: " + e.Message();
    }
    if (image.Size == 0) plan.EmptyRows.push_back(i);
    TSlot& slot = plan.Slots[CodeGroupSlot(groups[i])];
    slot.Image = static_cast<int>(i);
    slot.Size = image.Size;
    slot.A1 = row.A1;
  }
  return "";
}

// Bytes 48 to 415 of the RAM downloader become FF, then each code group's pair is entered in
// code-group order: a flash row's start word overrides the memory map's unless it is left out.
void PatchLoaderTable(const std::vector<TCodeGroupRow>& rows, TImage& loader, const TPlan& plan) {
  loader.Patched = true;
  loader.PatchedFront = loader.Front;
  uint8_t* const table = loader.PatchedFront.data();
  std::memset(table + kLoaderFillStart, 0xFF, kLoaderMinSize - kLoaderFillStart);
  for (int cg = 0; cg <= kMaxCodeGroup; ++cg) {
    const int image = plan.Slots[CodeGroupSlot(cg)].Image;
    if (image < 0) continue;
    const TCodeGroupRow& row = rows[static_cast<size_t>(image)];
    if (cg == 0) {
      // Also the start word of code group 1's pair.
      ByteOrder::WriteBE32(table + kLoaderPairs, row.A1);
      continue;
    }
    uint8_t pair[8];
    std::memcpy(pair, loader.Front.data() + PairOffset(cg), 8);
    if (ByteOrder::ReadBE32(pair) == 0xFFFFFFFFu && ByteOrder::ReadBE32(pair + 4) == 0xFFFFFFFFu) {
      ByteOrder::WriteBE32(pair, row.A1);
      ByteOrder::WriteBE32(pair + 4, row.A2 | 0xFFFFu);
    }
    std::memcpy(table + PairOffset(cg) + 4, pair + 4, 4);
    if (ByteOrder::ReadBE32(pair) != 0xFFFF0000u) std::memcpy(table + PairOffset(cg), pair, 4);
  }
}

// A flash given without its memory map: the map is the front of the flash image. Returns why it
// cannot be cut, or an empty text.
std::string CutMemoryMap(TPlan& plan) {
  TSlot& map = plan.Map();
  TSlot& flash = plan.Flash();
  if (!flash.Present() || map.Present()) return "";
  if (flash.Size < static_cast<int64_t>(kFlashMinSize))
    return "The Flash image holds " + std::to_string(flash.Size) +
           " bytes; at least 36 are needed to find its memory map.";
  const uint8_t* front = plan.ImageOf(flash).Front.data();
  const uint32_t mapLength = ByteOrder::ReadBE32(front + 32) - ByteOrder::ReadBE32(front + 28) + 5;
  if (mapLength > flash.Size)
    return "The Flash image's memory map (" + std::to_string(mapLength) + " bytes) is longer than the image.";
  map = {flash.Image, 0, mapLength, flash.A1};
  flash.Offset = mapLength;
  flash.Size -= mapLength;
  flash.A1 += mapLength;
  return "";
}

// The checksum pass: each image's byte sum and so each slot's, a cut flash summed over its run.
void SumSlots(TPlan& plan, uint8_t* buffer, size_t bufferSize) {
  TSlot& map = plan.Map();
  TSlot& flash = plan.Flash();
  for (TSlot& slot : plan.Slots) {
    if (!slot.Present() || plan.IsCutFlash(slot)) continue;
    TImage& image = plan.ImageOf(slot);
    TSlot* const cut = &slot == &map && plan.IsCutFlash(flash) && flash.Present() ? &flash : nullptr;
    StreamImage(image, buffer, bufferSize, [&](const uint8_t* data, size_t size, int64_t at) {
      image.Sum += TSRecordWriter::ByteSum(data, size);
      if (!cut || at + static_cast<int64_t>(size) <= map.Size) return;
      const size_t skip = at < map.Size ? static_cast<size_t>(map.Size - at) : 0;
      cut->Sum += TSRecordWriter::ByteSum(data + skip, size - skip);
    });
    slot.Sum = image.Sum - (cut ? cut->Sum : 0);
  }
}

// A header entry whose start and end add up to 0 reads as an empty slot, to our split and to every
// other reader of the format, so such a run cannot be written. Returns why, or an empty text.
std::string CheckSlotAddresses(const std::vector<TCodeGroupRow>& rows, const std::vector<int>& groups,
                               const TPlan& plan) {
  for (const TSlot& slot : plan.Slots) {
    if (!slot.Present()) continue;
    const uint32_t start = slot.A1;
    const uint32_t end = static_cast<uint32_t>(slot.A1 + slot.Size - 1);
    if (static_cast<uint32_t>(start + end) != 0) continue;
    const size_t i = static_cast<size_t>(slot.Image);
    return RowTitle(rows[i], groups[i]) + " cannot be combined: its start address " + IntToHex(start, 8) +
           " and end address " + IntToHex(end, 8) +
           " add up to 0, which the superfile header reserves for an empty code group.";
  }
  return "";
}

TCodeGroupEntry Entry(TPlan& plan, int s) {
  const TSlot& slot = plan.Slots[s];
  const int cg = s + kMinCodeGroup;
  TCodeGroupEntry entry;
  entry.Start = slot.A1;
  entry.End = static_cast<uint32_t>(slot.A1 + slot.Size - 1);
  // Code group 1 carries the memory map's first bytes, with the word at 8 counted up by one.
  const TSlot& headSlot = cg == 1 ? plan.Map() : slot;
  if (headSlot.Present())
    std::memcpy(entry.Head.data(), plan.ImageOf(headSlot).Head(),
                static_cast<size_t>(std::min<int64_t>(headSlot.Size, entry.Head.size())));
  if (cg == 1) ByteOrder::WriteLE32(entry.Head.data() + 8, ByteOrder::ReadLE32(entry.Head.data() + 8) + 1);
  entry.Sum = static_cast<uint16_t>(slot.Sum);
  entry.Flags = cg == kRamDownloaderCG ? 0 : 8;
  return entry;
}

// One block per slot in code-group order; the memory map and the flash make one block, addressed
// from the map's start. The second read of each image must give the sum of the first.
void WriteBlocks(TPlan& plan, TSRecordWriter& writer, int lastSlot, uint8_t* buffer, size_t bufferSize) {
  const auto write = [&](const TSlot& slot) {
    if (plan.IsCutFlash(slot)) return;  // read with its memory map
    const TImage& image = plan.ImageOf(slot);
    const uint64_t before = writer.DataSum();
    StreamImage(image, buffer, bufferSize, [&](const uint8_t* data, size_t size, int64_t) { writer.Write(data, size); });
    if (writer.DataSum() - before != image.Sum) ImageChanged(image);
  };
  const bool joined = plan.Map().Present() && plan.Flash().Present();
  for (int s = 0; s < kCodeGroupSlots; ++s) {
    const TSlot& slot = plan.Slots[s];
    if (!slot.Present() || (joined && s == kFlashSlot)) continue;
    writer.BeginBlock(slot.A1);
    write(slot);
    if (joined && s == kMapSlot) write(plan.Flash());
    writer.EndBlock(s == lastSlot || (joined && s == kMapSlot && lastSlot == kFlashSlot));
  }
}

// Each row left out, as its type and image file.
std::vector<std::string> RowNames(const std::vector<TCodeGroupRow>& rows, const std::vector<size_t>& which) {
  std::vector<std::string> names;
  for (size_t i : which) names.push_back("\"" + rows[i].Type + "\" " + rows[i].Name);
  return names;
}

std::string Joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
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
  FLeftOut.clear();

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
      cg = kRamDownloaderCG;
    } else if (row.Type == kBootLoaderType) {
      cg = kBootLoaderCG;
    }
    if (!IsValidCodeGroup(cg))
      return Refuse("Code group " + std::to_string(cg) + " of \"" + row.Name + "\" lies outside -2..20.");
    if (cg == kRamDownloaderCG) {
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
    FHost.ShowError(Msgs[TMsgId::RamDownloaderNotFound]);
    return false;
  }

  TPlan plan;
  if (std::string refusal = ReadFronts(rows, groups, plan); !refusal.empty()) return Refuse(refusal);
  TImage& loader = plan.Images[static_cast<size_t>(loaderRow)];
  if (loader.Size < static_cast<int64_t>(kLoaderMinSize))
    return Refuse("The RAM Downloader \"" + loader.Name + "\" holds " + std::to_string(loader.Size) +
                  " bytes; it needs at least 416.");
  PatchLoaderTable(rows, loader, plan);
  if (std::string refusal = CutMemoryMap(plan); !refusal.empty()) return Refuse(refusal);
  if (std::string refusal = CheckSlotAddresses(rows, groups, plan); !refusal.empty()) return Refuse(refusal);

  std::string fileName = initialName;
  if (!FHost.AskSaveFileName(GetFilter(TFilterKind::Superfiles), fileName) || fileName.empty()) return false;

  FHost.SetStatus(Msgs[TMsgId::CombiningFiles]);
  {
    TBusyCursor busy(FHost);
    // Images stream through one input buffer; the writer has its own of the same size.
    const TIOBuffer input(bufSize);
    SumSlots(plan, input.Data(), bufSize);

    TSuperfileHeader header = TSuperfileHeader::Create(FHost.LocalTime());
    uint32_t count = 0;
    int64_t total = 0;
    int lastSlot = -1;
    for (int s = 0; s < kCodeGroupSlots; ++s) {
      if (!plan.Slots[s].Present()) continue;
      header.SetEntry(s, Entry(plan, s));
      ++count;
      total += plan.Slots[s].Size;
      lastSlot = s;
    }
    header.SetEntryCount(count);
    FHost.SetGaugeRange(total, 0);

    TAtomicFileStream file(fileName);
    file.WriteBuffer(header.Data(), static_cast<int64_t>(header.Size()));
    TSRecordWriter writer(file, bufSize, static_cast<uint32_t>(TSRecordWriter::ByteSum(header.Data(), header.Size())));
    writer.SetOnProgress([this](int64_t done) { FHost.SetGaugeProgress(done); });
    WriteBlocks(plan, writer, lastSlot, input.Data(), bufSize);
    file.Commit();
  }
  FFileName = fileName;
  FLeftOut = plan.EmptyRows;
  std::string status = Msgs[TMsgId::FileDone] + ": " + fileName;
  if (FLeftOut.empty()) {
    FHost.SetStatus(status);
    return true;
  }
  // The file is whole without them, but the user is to know which code groups it lacks.
  const std::vector<std::string> names = RowNames(rows, FLeftOut);
  FHost.SetStatus(status + ". " + Msgs[TMsgId::EmptyImagesLeftOut] + " " + Joined(names, ", "));
  FHost.ShowWarning(Msgs[TMsgId::EmptyImagesLeftOut] + "\r" + Joined(names, "\r"));
  return true;
}
