#include "app/core/TSRecordWriter.h"

#include <algorithm>
#include <cstring>

namespace {

// Each byte's two hex digits.
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
  std::memcpy(p, kHex.Pair[value], 2);
  return p + 2;
}

// Fixed-length inner runs, which the compiler turns into vector code.
uint32_t ByteSum(const char* text, size_t length) {
  const auto* p = reinterpret_cast<const uint8_t*>(text);
  uint32_t sum = 0;
  size_t i = 0;
  for (; i + 64 <= length; i += 64) {
    uint32_t run = 0;
    for (size_t j = 0; j < 64; ++j) run += p[i + j];
    sum += run;
  }
  for (; i < length; ++i) sum += p[i];
  return sum;
}

constexpr char kHeaderLine[] = "S00600004844521B\r\n";
constexpr char kBlockEnd[] = "S70500000000FA\r\n";
// "S3", count, address, 64 data bytes, checksum, CR LF.
constexpr size_t kMaxLineLength = 4 + 8 + 2 * TSRecordWriter::kBytesPerLine + 2 + 2;

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
  FSum += ByteSum(FBuf.get(), FLen);
  FFile.WriteAll(FBuf.get(), FLen);
  FLen = 0;
  if (FOnProgress) FOnProgress(FDataBytes);
}

void TSRecordWriter::BeginBlock(uint32_t address) {
  Put(kHeaderLine, sizeof kHeaderLine - 1);
  FAddress = address;
  FPendingLen = 0;
}

void TSRecordWriter::Write(const uint8_t* data, size_t size) {
  if (FPendingLen > 0) {
    const size_t take = std::min(size, kBytesPerLine - FPendingLen);
    std::memcpy(FPending + FPendingLen, data, take);
    FPendingLen += take;
    data += take;
    size -= take;
    if (FPendingLen < kBytesPerLine) return;
    PutLine(FPending, kBytesPerLine);
    FPendingLen = 0;
  }
  for (; size >= kBytesPerLine; data += kBytesPerLine, size -= kBytesPerLine) PutLine(data, kBytesPerLine);
  std::memcpy(FPending, data, size);
  FPendingLen = size;
}

void TSRecordWriter::PutLine(const uint8_t* data, size_t count) {
  char line[kMaxLineLength];
  // Straight into the buffer when the line fits, else through the line and in pieces.
  const bool direct = FSize - FLen >= kMaxLineLength;
  char* const start = direct ? FBuf.get() + FLen : line;
  const uint8_t fields[5] = {static_cast<uint8_t>(count + 5), static_cast<uint8_t>(FAddress >> 24),
                             static_cast<uint8_t>(FAddress >> 16), static_cast<uint8_t>(FAddress >> 8),
                             static_cast<uint8_t>(FAddress)};
  unsigned sum = 0;
  char* out = start;
  *out++ = 'S';
  *out++ = '3';
  for (uint8_t field : fields) {
    sum += field;
    out = PutByte(out, field);
  }
  for (size_t i = 0; i < count; ++i) {
    sum += data[i];
    out = PutByte(out, data[i]);
  }
  out = PutByte(out, static_cast<uint8_t>(0xFF - (sum & 0xFF)));
  *out++ = '\r';
  *out++ = '\n';
  const size_t length = static_cast<size_t>(out - start);
  if (direct) {
    FLen += length;
    if (FLen == FSize) Flush();
  } else {
    Put(line, length);
  }
  FAddress += static_cast<uint32_t>(count);
  FDataBytes += static_cast<int64_t>(count);
}

void TSRecordWriter::EndBlock(bool last) {
  if (FPendingLen > 0) PutLine(FPending, FPendingLen);
  FPendingLen = 0;
  if (!last) {
    Put(kBlockEnd, sizeof kBlockEnd - 1);
    Flush();
    return;
  }
  // The checksum record carries the low 16 bits of the sum of every byte before it.
  const uint16_t total = static_cast<uint16_t>(FSum + ByteSum(FBuf.get(), FLen));
  const uint8_t high = static_cast<uint8_t>(total >> 8);
  const uint8_t low = static_cast<uint8_t>(total);
  char line[14];
  char* out = line;
  std::memcpy(out, "S7054353", 8);
  out += 8;
  out = PutByte(out, high);
  out = PutByte(out, low);
  out = PutByte(out, static_cast<uint8_t>(0xFF - ((5 + 0x43 + 0x53 + high + low) & 0xFF)));
  Put(line, static_cast<size_t>(out - line));
  Flush();
}
