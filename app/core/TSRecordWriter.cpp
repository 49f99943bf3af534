#include "app/core/TSRecordWriter.h"

#include <cstring>

namespace {

struct THexPairs {
  char Pair[256][2];
  constexpr THexPairs() : Pair{} {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < 256; ++i) {
      Pair[i][0] = kDigits[i >> 4];
      Pair[i][1] = kDigits[i & 15];
    }
  }
};
constexpr THexPairs kHex;

inline char* PutByte(char* p, uint8_t value) {
  p[0] = kHex.Pair[value][0];
  p[1] = kHex.Pair[value][1];
  return p + 2;
}

constexpr char kHeaderLine[] = "S00600004844521B\r\n";
constexpr char kBlockEnd[] = "S70500000000FA\r\n";

}  // namespace

TSRecordWriter::TSRecordWriter(TRawFile& file, size_t bufferSize, uint32_t sum)
    : FFile(file), FBuf(std::make_unique_for_overwrite<char[]>(bufferSize)), FSize(bufferSize), FSum(sum) {}

void TSRecordWriter::Put(const char* text, size_t length) {
  while (length > 0) {
    const size_t chunk = std::min(length, FSize - FLen);
    std::memcpy(FBuf.get() + FLen, text, chunk);
    FLen += chunk;
    text += chunk;
    length -= chunk;
    if (FLen == FSize) Flush();
  }
}

void TSRecordWriter::Flush() {
  uint32_t sum = 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(FBuf.get());
  for (size_t i = 0; i < FLen; ++i) sum += bytes[i];
  FSum += sum;
  FFile.WriteAll(FBuf.get(), FLen);
  FLen = 0;
  if (FOnProgress) FOnProgress(FDataBytes);
}

void TSRecordWriter::WriteBlock(const uint8_t* first, size_t firstSize, const uint8_t* second, size_t secondSize,
                                uint32_t address, bool last) {
  Put(kHeaderLine, sizeof kHeaderLine - 1);
  char line[4 + 8 + 2 * kBytesPerLine + 2 + 2];
  uint8_t joined[kBytesPerLine];
  const size_t size = firstSize + secondSize;
  for (size_t offset = 0; offset < size; offset += kBytesPerLine, address += kBytesPerLine) {
    const size_t count = std::min(kBytesPerLine, size - offset);
    const uint8_t* p;
    if (offset + count <= firstSize) {
      p = first + offset;
    } else if (offset >= firstSize) {
      p = second + (offset - firstSize);
    } else {
      // The line where the first run ends and the second begins.
      const size_t head = firstSize - offset;
      std::memcpy(joined, first + offset, head);
      std::memcpy(joined + head, second, count - head);
      p = joined;
    }
    const uint8_t recordCount = static_cast<uint8_t>(count + 5);
    unsigned sum = recordCount + (address >> 24) + ((address >> 16) & 0xFF) + ((address >> 8) & 0xFF) + (address & 0xFF);
    char* out = line;
    *out++ = 'S';
    *out++ = '3';
    out = PutByte(out, recordCount);
    out = PutByte(out, static_cast<uint8_t>(address >> 24));
    out = PutByte(out, static_cast<uint8_t>(address >> 16));
    out = PutByte(out, static_cast<uint8_t>(address >> 8));
    out = PutByte(out, static_cast<uint8_t>(address));
    for (size_t i = 0; i < count; ++i) {
      sum += p[i];
      out = PutByte(out, p[i]);
    }
    out = PutByte(out, static_cast<uint8_t>(0xFF - (sum & 0xFF)));
    *out++ = '\r';
    *out++ = '\n';
    Put(line, static_cast<size_t>(out - line));
    FDataBytes += static_cast<int64_t>(count);
  }
  if (!last) {
    Put(kBlockEnd, sizeof kBlockEnd - 1);
    Flush();
    return;
  }
  // The checksum record carries the low 16 bits of the sum of every byte before it.
  Flush();
  const uint16_t total = static_cast<uint16_t>(FSum);
  const uint8_t high = static_cast<uint8_t>(total >> 8);
  const uint8_t low = static_cast<uint8_t>(total);
  char* out = line;
  std::memcpy(out, "S7054353", 8);
  out += 8;
  out = PutByte(out, high);
  out = PutByte(out, low);
  out = PutByte(out, static_cast<uint8_t>(0xFF - ((5 + 0x43 + 0x53 + high + low) & 0xFF)));
  Put(line, static_cast<size_t>(out - line));
  Flush();
}
