#include "app/core/TSRecordWriter.h"

#include <cstring>

namespace {

// Each byte's two hex digits, and the sum of their character codes (the text's byte sum).
struct THexPairs {
  char Pair[256][2];
  uint16_t Sum[256];
  constexpr THexPairs() : Pair{}, Sum{} {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < 256; ++i) {
      Pair[i][0] = kDigits[i >> 4];
      Pair[i][1] = kDigits[i & 15];
      Sum[i] = static_cast<uint16_t>(Pair[i][0] + Pair[i][1]);
    }
  }
};
constexpr THexPairs kHex;

inline char* PutByte(char* p, uint8_t value) {
  std::memcpy(p, kHex.Pair[value], 2);
  return p + 2;
}

constexpr char kHeaderLine[] = "S00600004844521B\r\n";
constexpr char kBlockEnd[] = "S70500000000FA\r\n";
// "S3", count, address, 64 data bytes, checksum, CR LF.
constexpr size_t kMaxLineLength = 4 + 8 + 2 * TSRecordWriter::kBytesPerLine + 2 + 2;

}  // namespace

TSRecordWriter::TSRecordWriter(TRawFile& file, size_t bufferSize, uint32_t sum)
    : FFile(file), FBuf(std::make_unique_for_overwrite<char[]>(bufferSize)), FSize(bufferSize), FSum(sum) {}

void TSRecordWriter::Put(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) FSum += static_cast<uint8_t>(text[i]);
  PutRaw(text, length);
}

void TSRecordWriter::PutRaw(const char* text, size_t length) {
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
  FFile.WriteAll(FBuf.get(), FLen);
  FLen = 0;
  if (FOnProgress) FOnProgress(FDataBytes);
}

void TSRecordWriter::WriteBlock(const uint8_t* first, size_t firstSize, const uint8_t* second,
                                size_t secondSize, uint32_t address, bool last) {
  Put(kHeaderLine, sizeof kHeaderLine - 1);
  char line[kMaxLineLength];
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
    // Straight into the buffer when the line fits, else through the line and in pieces.
    const bool direct = FSize - FLen >= kMaxLineLength;
    char* const start = direct ? FBuf.get() + FLen : line;
    const uint8_t fields[5] = {static_cast<uint8_t>(count + 5), static_cast<uint8_t>(address >> 24),
                               static_cast<uint8_t>(address >> 16), static_cast<uint8_t>(address >> 8),
                               static_cast<uint8_t>(address)};
    unsigned sum = 0;
    uint32_t textSum = 'S' + '3' + '\r' + '\n';
    char* out = start;
    *out++ = 'S';
    *out++ = '3';
    for (uint8_t field : fields) {
      sum += field;
      textSum += kHex.Sum[field];
      out = PutByte(out, field);
    }
    for (size_t i = 0; i < count; ++i) {
      sum += p[i];
      textSum += kHex.Sum[p[i]];
      out = PutByte(out, p[i]);
    }
    const uint8_t checksum = static_cast<uint8_t>(0xFF - (sum & 0xFF));
    textSum += kHex.Sum[checksum];
    out = PutByte(out, checksum);
    *out++ = '\r';
    *out++ = '\n';
    FSum += textSum;
    const size_t length = static_cast<size_t>(out - start);
    if (direct) {
      FLen += length;
      if (FLen == FSize) Flush();
    } else {
      PutRaw(line, length);
    }
    FDataBytes += static_cast<int64_t>(count);
  }
  if (!last) {
    Put(kBlockEnd, sizeof kBlockEnd - 1);
    Flush();
    return;
  }
  // The checksum record carries the low 16 bits of the sum of every byte before it.
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
