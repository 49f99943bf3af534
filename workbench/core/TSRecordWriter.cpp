#include "workbench/core/TSRecordWriter.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// The hex digits of 16 bytes; returns the bytes' sum. Most of the combine's time goes here.
inline unsigned PutHex16(const uint8_t* data, char* out) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
  const __m128i nibble = _mm_set1_epi8(0x0F);
  const auto digits = [](__m128i n) {
    const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(n, _mm_set1_epi8(9)), _mm_set1_epi8('A' - '0' - 10));
    return _mm_add_epi8(_mm_add_epi8(n, _mm_set1_epi8('0')), letters);
  };
  const __m128i high = digits(_mm_and_si128(_mm_srli_epi16(bytes, 4), nibble));
  const __m128i low = digits(_mm_and_si128(bytes, nibble));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(high, low));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(high, low));
  const __m128i sums = _mm_sad_epu8(bytes, _mm_setzero_si128());
  return static_cast<unsigned>(_mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
}
#endif

constexpr char kHeaderLine[] = "S00600004844521B\r\n";
constexpr char kBlockEnd[] = "S70500000000FA\r\n";
// "S3", count, address, 64 data bytes, checksum, CR LF.
constexpr size_t kMaxLineLength = 4 + 8 + 2 * TSRecordWriter::kBytesPerLine + 2 + 2;

}  // namespace

TSRecordWriter::TSRecordWriter(TStream& file, size_t bufferSize, uint32_t sum)
    : FFile(file),
      FBuffer(bufferSize),
      FBuf(reinterpret_cast<char*>(FBuffer.Data())),
      FSize(bufferSize),
      FSum(sum) {}

void TSRecordWriter::Put(const char* text, size_t length) {
  while (length > 0) {
    const size_t chunk = std::min(length, FSize - FLen);
    std::memcpy(FBuf + FLen, text, chunk);
    FLen += chunk;
    text += chunk;
    length -= chunk;
    if (FLen == FSize) Flush();
  }
}

uint64_t TSRecordWriter::ByteSum(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  uint64_t sum = 0;
  size_t i = 0;
#if defined(__SSE2__)
  __m128i sums = _mm_setzero_si128();
  for (; i + 16 <= size; i += 16)
    sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)),
                                            _mm_setzero_si128()));
  uint64_t halves[2];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(halves), sums);
  sum = halves[0] + halves[1];
#endif
  for (; i < size; ++i) sum += p[i];
  return sum;
}

void TSRecordWriter::Flush() {
  FSum += static_cast<uint32_t>(ByteSum(FBuf, FLen));
  FFile.WriteBuffer(FBuf, static_cast<int64_t>(FLen));
  FLen = 0;
  if (FOnProgress) FOnProgress(FDataBytes);
}

void TSRecordWriter::BeginBlock(uint32_t address) {
  Put(kHeaderLine, sizeof kHeaderLine - 1);
  FAddress = address;
  FPendingLen = 0;
}

void TSRecordWriter::Write(const uint8_t* data, size_t size) {
  // Bytes are summed as they arrive: a line's start may wait in FPending for the next piece.
  const auto keep = [this](const uint8_t* bytes, size_t count) {
    std::memcpy(FPending + FPendingLen, bytes, count);
    FPendingLen += count;
    for (size_t i = 0; i < count; ++i) FDataSum += bytes[i];
  };
  if (FPendingLen > 0) {
    const size_t take = std::min(size, kBytesPerLine - FPendingLen);
    keep(data, take);
    data += take;
    size -= take;
    if (FPendingLen < kBytesPerLine) return;
    PutLine(FPending, kBytesPerLine);
    FPendingLen = 0;
  }
  for (; size >= kBytesPerLine; data += kBytesPerLine, size -= kBytesPerLine) FDataSum += PutLine(data, kBytesPerLine);
  keep(data, size);
}

unsigned TSRecordWriter::PutLine(const uint8_t* data, size_t count) {
  char line[kMaxLineLength];
  // Straight into the buffer when the line fits, else through the line and in pieces.
  const bool direct = FSize - FLen >= kMaxLineLength;
  char* const start = direct ? FBuf + FLen : line;
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
  unsigned dataSum = 0;
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= count; i += 16, out += 32) dataSum += PutHex16(data + i, out);
#endif
  // The rest, which is also every byte where SSE2 is missing.
  for (; i < count; ++i) {
    dataSum += data[i];
    out = PutByte(out, data[i]);
  }
  sum += dataSum;
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
  return dataSum;
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
  const uint16_t total = static_cast<uint16_t>(FSum + ByteSum(FBuf, FLen));
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
