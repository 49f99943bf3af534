#include "workbench/core/TSuperfileSplitter.h"

#include <cstring>
#include <memory>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "framework/base/TAtomicFileStream.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/HexPairs.h"
#include "workbench/core/Messages.h"
#include "workbench/core/TRawFile.h"
#include "workbench/core/TSuperfileHeader.h"

namespace {

constexpr size_t kMaxLine = 255;
constexpr size_t kMaxRecordData = (kMaxLine - 14) / 2;
static_assert(kMaxRecordData == kMaxS3Data);
// Room before the output buffer for a record's address, which is decoded with its data.
constexpr size_t kAddressBytes = 4;
constexpr size_t kCacheLine = 64;

// A format failure with its message-list text; shown to the user, it ends the split.
struct TSplitFailure {
  std::string Text;
};

[[noreturn]] void Invalid(const std::string& detail) {
  throw TSplitFailure{Msgs[TMsgId::InvalidShx] + " " + detail};
}

// The source's name without folder and extension; a name without a dot is taken whole.
std::string BaseName(const std::string& fileName) {
  return ChangeFileExt(ExtractFileName(fileName), "");
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  const char last = dir.back();
  if (last == '/' || last == '\\') return dir + name;
#ifdef _WIN32
  return dir + "\\" + name;
#else
  return dir + "/" + name;
#endif
}

// Lines of the S-record text, read in blocks of the buffer's size. A line ends at CR; the CR and
// the byte after it are skipped, also when they fall into two blocks. A line may run across a
// block boundary; the last line of the input needs no CR.
class TLineReader {
public:
  TLineReader(TRawFile& file, uint8_t* buffer, size_t size, int64_t offset, TSuperfileHost& host,
              int64_t progress)
      : FFile(file), FBuf(buffer), FSize(size), FBlockOffset(offset), FHost(host), FProgress(progress) {}

  // The next line, valid until the next call; false at the end of the input.
  bool Next(const uint8_t*& line, size_t& length) {
    size_t have = 0;
    FLineOffset = FBlockOffset + static_cast<int64_t>(FPos);
    for (;;) {
      if (FPos >= FLen) {
        if (!Refill()) {
          if (have == 0) return false;
          line = FLine;
          length = have;
          return true;
        }
        continue;
      }
      const uint8_t* start = FBuf + FPos;
      const size_t avail = FLen - FPos;
      // One byte more than a line may hold, so that a missing CR is noticed.
      const size_t window = std::min(avail, kMaxLine + 1 - have);
      const auto* cr = static_cast<const uint8_t*>(std::memchr(start, '\r', window));
      if (cr) {
        const size_t k = static_cast<size_t>(cr - start);
        if (have == 0) {
          line = start;
          length = k;
        } else {
          std::memcpy(FLine + have, start, k);
          line = FLine;
          length = have + k;
        }
        FPos += k + 1;
        FSkip = true;
        if (FPos < FLen) {
          ++FPos;
          FSkip = false;
        }
        return true;
      }
      if (have + window > kMaxLine)
        Invalid("The line at offset " + std::to_string(FLineOffset) + " is longer than 255 characters.");
      std::memcpy(FLine + have, start, avail);
      have += avail;
      FPos = FLen;
    }
  }

  // The rest of the current block from the start of the next line, when that line starts in it;
  // a caller that takes a whole line from it passes its length with the CR and LF to Skip.
  bool Peek(const uint8_t*& at, size_t& avail) const {
    if (FSkip || FPos >= FLen) return false;
    at = FBuf + FPos;
    avail = FLen - FPos;
    return true;
  }
  void Skip(size_t count) {
    FLineOffset = FBlockOffset + static_cast<int64_t>(FPos);
    FPos += count;
  }

  int64_t LineOffset() const { return FLineOffset; }
  // Offset of the first byte not yet read; an LF still to be skipped counts as read.
  int64_t Consumed() const { return FBlockOffset + static_cast<int64_t>(FPos) + (FSkip ? 1 : 0); }

private:
  bool Refill() {
    if (FLast) return false;
    FBlockOffset += static_cast<int64_t>(FLen);
    FPos = 0;
    FLen = FFile.Read(FBuf, FSize);
    // A block shorter than the buffer is the last one.
    if (FLen < FSize) FLast = true;
    FProgress += static_cast<int64_t>(FLen);
    FHost.SetGaugeProgress(FProgress);
    if (FLen == 0) return false;
    if (FSkip) {
      ++FPos;
      FSkip = false;
    }
    return true;
  }

  TRawFile& FFile;
  uint8_t* FBuf;
  size_t FSize;
  size_t FPos = 0;
  size_t FLen = 0;
  int64_t FBlockOffset;
  int64_t FLineOffset = 0;
  bool FLast = false;
  bool FSkip = false;
  TSuperfileHost& FHost;
  int64_t FProgress;
  uint8_t FLine[kMaxLine];
};

// One walk over the code-group table: reads each block's lines and writes its image file.
class TSplitRun {
public:
  TSplitRun(TSuperfileHost& host, const TSplitOptions& options, const TSuperfileHeader& header,
            std::string baseName, uint8_t* outBuffer, size_t size)
      : FHost(host),
        FOptions(options),
        FHeader(header),
        FBaseName(std::move(baseName)),
        FOut(outBuffer),
        FSize(size) {}

  void Walk(TLineReader& reader) {
    const uint32_t count = FHeader.EntryCount();
    for (int slot = 0; slot < kCodeGroupSlots && FFinished < count; ++slot) {
      const TCodeGroupEntry entry = FHeader.Entry(slot);
      int cg = slot + kMinCodeGroup;
      uint32_t a1 = entry.Start;
      uint32_t a2 = entry.End;
      // The memory map and the flash share one block; unless kept apart they make one image. A
      // memory map without a flash entry stays on its own, so that the count is not overrun.
      if (cg == 0 && a1 != 0 && !FOptions.SeparateMemoryMap && !FHeader.Entry(CodeGroupSlot(1)).IsEmpty()) {
        a2 = FHeader.Entry(++slot).End;
        ++FFinished;
        cg = 1;
      }
      // The flash image begun when a separate memory map ended continues in this turn.
      if (static_cast<uint32_t>(a1 + a2) != 0 || FImage) ReadBlock(reader, cg, a1, a2);
    }
    if (FImage)
      Invalid("The header's code-group count ends inside the block of " + GetCGName(FRow.CG.value_or(kRamDownloaderCG)) +
              ".");
    if (FFinished < count)
      Invalid("The header lists " + std::to_string(count) + " code groups, but only " +
              std::to_string(FFinished) + " could be found.");
  }

  // After a failure: the image being written is dropped and a file of the same name keeps what it held.
  void Abandon() { FImage.reset(); }

private:
  void ReadBlock(TLineReader& reader, int cg, uint32_t a1, uint32_t a2) {
    const uint8_t* line = nullptr;
    size_t length = 0;
    FEndTurn = false;
    while (!FEndTurn) {
      if (FImage && TakeRecords(reader)) continue;
      if (!reader.Next(line, length))
        Invalid("The file ends before the S7 record of the block of " + GetCGName(cg) + ".");
      if (length == 0 || line[0] != 'S') {
        if (length == 0) Invalid("Empty line at offset " + std::to_string(reader.LineOffset()) + ".");
        throw TSplitFailure{Msgs[TMsgId::InvalidShx]};
      }
      if (length < 2) Invalid("Incomplete record at offset " + std::to_string(reader.LineOffset()) + ".");
      switch (line[1]) {
        case '0':
          if (FImage)
            Invalid("A second S0 record at offset " + std::to_string(reader.LineOffset()) +
                    " within one block.");
          BeginFile(cg, a1, a2);
          break;
        case '3':
          if (!FImage)
            Invalid("S3 record before the S0 record at offset " + std::to_string(reader.LineOffset()) + ".");
          ParseS3(line, length, reader.LineOffset());
          break;
        case '7':
          if (!FImage)
            Invalid("S7 record before the S0 record at offset " + std::to_string(reader.LineOffset()) + ".");
          EndFile();
          return;
        default:
          throw TSplitFailure{Msgs[TMsgId::SRecordType] + static_cast<char>(line[1]) + " " + Msgs[TMsgId::NotSupported]};
      }
    }
  }

  // Runs of sound S3 records lying whole in the reader's block are decoded in one pass straight
  // into the output buffer. The record that ends a run is read line by line, which places data
  // that does not fit and reports what is wrong.
  bool TakeRecords(TLineReader& reader) {
    const uint8_t* text = nullptr;
    size_t avail = 0;
    if (!reader.Peek(text, avail)) return false;
    size_t room = FSize - FOutLen;
    if (FMapLeft > 0) room = std::min(room, static_cast<size_t>(FMapLeft));
    const TS3Records run = TakeS3Records(text, avail, FOut + FOutLen, room);
    if (run.Text == 0) return false;
    reader.Skip(run.Text);
    Append(FOut + FOutLen, run.Data);
    return true;
  }

  void ParseS3(const uint8_t* line, size_t length, int64_t offset) {
    if (length < 4) Invalid("Incomplete S3 record at offset " + std::to_string(offset) + ".");
    const unsigned count = HexPair(line + 2);
    if (count < 5) Invalid("S3 record with a count below 5 at offset " + std::to_string(offset) + ".");
    const size_t dataCount = count - 5;
    // "S3", count, address, data, checksum.
    if (length < 14 + 2 * dataCount || dataCount > kMaxRecordData)
      Invalid("S3 record shorter than its count at offset " + std::to_string(offset) + ".");
    const TRecord record = Decode(line, count);
    if (!record.Checksum) throw TSplitFailure{Msgs[TMsgId::SRecordChecksum]};
    Append(record.Data, dataCount);
  }

  struct TRecord {
    const uint8_t* Data;
    bool Checksum;  // the checksum holds
  };

  // Decodes a record of count - 5 data bytes. Data that fits the output buffer (and the memory
  // map's rest) is decoded in place; it counts as appended only once Append takes it.
  TRecord Decode(const uint8_t* line, unsigned count) {
    const size_t dataCount = count - 5;
    const bool inPlace =
        dataCount <= FSize - FOutLen && (FMapLeft == 0 || static_cast<int64_t>(dataCount) <= FMapLeft);
    uint8_t* target = inPlace ? FOut + FOutLen : FStaged + kAddressBytes;
    // The address is decoded in one go with the data, into the bytes before the data's place
    // (both buffers have room there); what they held is put back.
    uint8_t* front = target - kAddressBytes;
    uint8_t held[kAddressBytes];
    std::memcpy(held, front, kAddressBytes);
    const THexPairsDecoded pairs = DecodeHexPairs(line + 4, kAddressBytes + dataCount, front);
    std::memcpy(front, held, kAddressBytes);
    const bool checksum = ((count + pairs.Sum + HexPair(line + 12 + 2 * dataCount)) & 0xFF) == 0xFF;
    return {target, checksum};
  }

  void Append(const uint8_t* data, size_t count) {
    while (count > 0) {
      size_t chunk = std::min(count, FSize - FOutLen);
      if (FMapLeft > 0 && static_cast<int64_t>(chunk) > FMapLeft) chunk = static_cast<size_t>(FMapLeft);
      if (data != FOut + FOutLen) std::memcpy(FOut + FOutLen, data, chunk);
      FOutLen += chunk;
      data += chunk;
      count -= chunk;
      if (FOutLen == FSize) {
        try {
          FImage->WriteBuffer(FOut, static_cast<int64_t>(FOutLen));
        } catch (const EInOutError& e) {
          throw TSplitFailure{Msgs[TMsgId::DiskWriteError] + " " + e.Message()};
        }
        FImageBytes += static_cast<int64_t>(FOutLen);
        FOutLen = 0;
      }
      if (FMapLeft > 0) {
        FMapLeft -= static_cast<int64_t>(chunk);
        if (FMapLeft == 0) {
          // The memory map is complete: its image ends here and the flash image begins at once.
          EndFile();
          const TCodeGroupEntry flash = FHeader.Entry(CodeGroupSlot(1));
          BeginFile(1, flash.Start, flash.End);
        }
      }
    }
  }

  void BeginFile(int cg, uint32_t a1, uint32_t a2) {
    const std::string name = FBaseName + "{@0x" + IntToHex(a1, 8) + "}" + GetCGFileTag(cg) + ".smg";
    FRow = TCodeGroupRow{};
    if (cg >= 0) FRow.CG = cg;
    FRow.Name = JoinPath(FOptions.OutputDir, name);
    FRow.Type = GetCGName(cg);
    FRow.A1 = a1;
    FRow.A2 = a2;
    // Written under a temporary name until complete, so that a failed split never leaves a
    // truncated image under an image's name.
    FImage = std::make_unique<TAtomicFileStream>(FRow.Name);
    FImageBytes = 0;
    FOutLen = 0;
    FMapLeft = 0;
    if (FOptions.SeparateMemoryMap && cg == 0 && a1 != 0 && !FHeader.Entry(CodeGroupSlot(1)).IsEmpty())
      FMapLeft = static_cast<uint32_t>(a2 - a1 + 1);
    FHost.SetStatus(Msgs[TMsgId::Extracting] + " " + FRow.Type + "...");
  }

  void EndFile() {
    FImage->WriteBuffer(FOut, static_cast<int64_t>(FOutLen));
    FImageBytes += static_cast<int64_t>(FOutLen);
    FOutLen = 0;
    FImage->Commit();
    FImage.reset();
    FRow.Size = FImageBytes;
    FHost.AddRow(FRow);
    FHost.ProcessMessages();
    ++FFinished;
    FEndTurn = true;
  }

  TSuperfileHost& FHost;
  const TSplitOptions& FOptions;
  const TSuperfileHeader& FHeader;
  std::string FBaseName;
  uint8_t* FOut;
  size_t FSize;
  // A record's data that does not fit the output buffer's rest, after room for its address.
  uint8_t FStaged[kAddressBytes + kMaxRecordData] = {};
  size_t FOutLen = 0;
  std::unique_ptr<TAtomicFileStream> FImage;
  TCodeGroupRow FRow;
  int64_t FImageBytes = 0;
  int64_t FMapLeft = 0;
  uint32_t FFinished = 0;
  bool FEndTurn = false;
};

}  // namespace

bool TSuperfileSplitter::Split(const std::string& fileName, const TSplitOptions& options) {
  const size_t bufSize = IOBufferBytes(options.BufferKB);
  FHost.ResetRows();
  if (fileName.empty()) return false;

  FHost.SetStatus(Msgs[TMsgId::ExtractingHeader]);
  TRawFile source(fileName, TRawFile::TMode::Read);
  TSuperfileHeader header;
  if (source.Read(header.Data(), header.Size()) < header.Size() || !header.HasMagic()) {
    FHost.SetStatus(Msgs[TMsgId::CorruptHeader]);
    FHost.ShowError(Msgs[TMsgId::CorruptHeader]);
    source.Close();
    return false;
  }
  const int64_t length = source.Size();
  int64_t progress = static_cast<int64_t>(header.Size());
  FHost.SetGaugeRange(length, progress);

  const std::string baseName = BaseName(fileName);
  bool ok = true;
  try {
    TAtomicFileStream::WriteFile(JoinPath(options.OutputDir, baseName + ".hdr"), header.Data(),
                                 header.Size());
    auto input = std::make_unique_for_overwrite<uint8_t[]>(bufSize);
    // The records' addresses are decoded into the room before the data; with that room starting
    // on a cache line, a record of 64 bytes is stored without a store across two lines.
    auto output = std::make_unique_for_overwrite<uint8_t[]>(kCacheLine + bufSize);
    uint8_t* const room =
        output.get() + (kCacheLine - reinterpret_cast<uintptr_t>(output.get()) % kCacheLine) % kCacheLine;
    std::memset(room, 0, kAddressBytes);
    TBusyCursor busy(FHost);
    TLineReader reader(source, input.get(), bufSize, progress, FHost, progress);
    TSplitRun run(FHost, options, header, baseName, room + kAddressBytes, bufSize);
    try {
      run.Walk(reader);
    } catch (const TSplitFailure& failure) {
      run.Abandon();
      FHost.SetStatus(failure.Text);
      FHost.ShowError(failure.Text);
      ok = false;
    }
    output.reset();
    input.reset();
    if (ok) {
      // A table that counts fewer code groups than the text holds ends the walk early; what
      // follows is not lost silently.
      const int64_t unread = length - reader.Consumed();
      std::string done = Msgs[TMsgId::ExtractingDone];
      if (unread > 0) {
        const uint32_t count = header.EntryCount();
        done += " The header counts " + std::to_string(count) +
                (count == 1 ? " code group; " : " code groups; ") + std::to_string(unread) +
                " bytes from offset " + std::to_string(reader.Consumed()) + " on were not read.";
      }
      FHost.SetStatus(done);
    }
  } catch (const Exception& e) {
    // The caller reports the file error; the status line must not look as if the split were running.
    FHost.SetStatus(e.Message());
    throw;
  }
  source.Close();
  FHost.SelectLastRow();
  return ok;
}
