#include "gif/core/TGIFLZWDecoder.h"

#include <algorithm>
#include <cstring>

#include "gif/core/TGIFReporter.h"
#include "gif/core/TGIFSpanReader.h"

namespace {
constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeWidth = 12;
constexpr size_t kPadding = 8;

// Sum of min(i, cap) for i = first..last.
uint64_t SumCapped(uint64_t first, uint64_t last, uint64_t cap) {
  if (last < first) return 0;
  if (last <= cap) return (first + last) * (last - first + 1) / 2;
  if (first > cap) return cap * (last - first + 1);
  return (first + cap) * (cap - first + 1) / 2 + cap * (last - cap);
}

// Codes packed least significant bit first, read through a 64-bit window.
class TBitReader {
public:
  TBitReader(const uint8_t* data, size_t size) : FNext(data), FEnd(data + size) {}

  // False when fewer than width bits are left.
  bool Read(int width, unsigned& code) {
    if (FCount < width) {
      Refill();
      if (FCount < width) return false;
    }
    code = static_cast<unsigned>(FBits & ((1u << width) - 1));
    FBits >>= width;
    FCount -= width;
    return true;
  }

private:
  void Refill() {
    if (FEnd - FNext >= 8) {
      uint64_t word;
      std::memcpy(&word, FNext, 8);
      FBits |= word << FCount;
      FNext += (63 - FCount) >> 3;
      FCount |= 56;
    } else {
      while (FCount <= 56 && FNext < FEnd) {
        FBits |= static_cast<uint64_t>(*FNext++) << FCount;
        FCount += 8;
      }
    }
  }

  const uint8_t* FNext;
  const uint8_t* FEnd;
  uint64_t FBits = 0;
  int FCount = 0;
};

// Copies a string of the output to a later place; the source may run into the target.
inline void CopyString(uint8_t* out, size_t from, size_t to, size_t length, size_t total) {
  if (length <= 16 && to + 16 <= total) {
    uint64_t a, b;
    std::memcpy(&a, out + from, 8);
    std::memcpy(&b, out + from + 8, 8);
    std::memcpy(out + to, &a, 8);
    std::memcpy(out + to + 8, &b, 8);
  } else if (from + length <= to) {
    std::memcpy(out + to, out + from, length);
  } else {
    for (size_t i = 0; i < length; ++i) out[to + i] = out[from + i];
  }
}
}  // namespace

bool TGIFLZWDecoder::Gather(TGIFSpanReader& reader, const TGIFReporter& reporter) {
  FData.clear();
  for (;;) {
    uint8_t length;
    if (!reader.ReadByte(length)) return false;
    if (length == 0) return true;
    size_t n = length;
    if (n > reader.Remaining()) {
      reporter.Warning("Premature end of data");
      n = reader.Remaining();
    }
    FData.insert(FData.end(), reader.Current(), reader.Current() + n);
    reader.Skip(n);
  }
}

void TGIFLZWDecoder::Skip(TGIFSpanReader& reader, const TGIFReporter& reporter) {
  uint8_t minCodeSize;
  if (!reader.ReadByte(minCodeSize)) return;
  TGIFLZWDecoder decoder;
  decoder.Gather(reader, reporter);
}

void TGIFLZWDecoder::Read(TGIFSpanReader& reader, const TGIFReporter& reporter) {
  FData.clear();
  uint8_t minCodeSize;
  FMinCodeSize = reader.ReadByte(minCodeSize) ? minCodeSize : -1;
  if (FMinCodeSize >= 0) Gather(reader, reporter);
}

uint64_t TGIFLZWDecoder::MaxPixels() const {
  if (FMinCodeSize < 1 || FMinCodeSize > 8) return 0;
  // The k-th code after a clear (or the start) yields at most k pixels: each table entry is one
  // pixel longer than a string before it. Entry e is made by code e - clear, so no string is longer
  // than the last entry's 4095 - clear. Codes with no clear between them are as long as they can be;
  // a clear makes the codes behind it narrower, and one code more than the bits hold covers that.
  const uint64_t clear = uint64_t{1} << FMinCodeSize;
  const uint64_t longest = kMaxCodes - 1 - clear;
  uint64_t bits = uint64_t{FData.size()} * 8 + kMaxCodeWidth;
  uint64_t k = 1;  // the next code's number
  uint64_t highest = clear * 2;
  uint64_t width = FMinCodeSize + 1;
  uint64_t pixels = 0;
  while (bits >= width) {
    // The table reaches `highest` after code highest - clear - 1 (the first code adds no entry).
    const uint64_t last = highest < kMaxCodes ? std::max({k, uint64_t{2}, highest - clear - 1}) : UINT64_MAX;
    const uint64_t count = std::min(last - k + 1, bits / width);
    pixels += SumCapped(k, k + count - 1, longest);
    bits -= count * width;
    k += count;
    if (k > last) {
      highest *= 2;
      ++width;
    }
  }
  return pixels;
}

void TGIFLZWDecoder::Expand(int width, int height, bool interlaced, uint8_t fill, uint8_t* pixels,
                            const TGIFReporter& reporter) {
  const size_t total = width > 0 && height > 0 ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0;
  if (total) std::memset(pixels, fill, total);
  if (FMinCodeSize < 0) return;
  // Literal codes must fit a pixel byte, and the code tables hold 4096 entries.
  if (FMinCodeSize < 1 || FMinCodeSize > 8) {
    reporter.Warning("Invalid LZW minimum code size");
    return;
  }
  if (total == 0) return;
  FData.resize(FData.size() + kPadding, 0);
  uint8_t* target = pixels;
  if (interlaced) {
    FScratch.assign(total, fill);
    target = FScratch.data();
  }
  const size_t produced = ExpandCodes(target, total, reporter);
  FData.resize(FData.size() - kPadding);
  // Short strings are copied 16 bytes at a time; give back the fill the last copy ran over.
  if (produced < total) std::memset(target + produced, fill, total - produced < 16 ? total - produced : 16);
  if (!interlaced) return;
  // The stream holds the rows in four passes: every 8th from 0, every 8th from 4, every 4th from 2,
  // every 2nd from 1.
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  const uint8_t* source = FScratch.data();
  for (int pass = 0; pass < 4; ++pass)
    for (int row = kStart[pass]; row < height; row += kStep[pass]) {
      std::memcpy(pixels + static_cast<size_t>(row) * width, source, width);
      source += width;
    }
}

size_t TGIFLZWDecoder::ExpandCodes(uint8_t* out, size_t total, const TGIFReporter& reporter) {
  const int minCodeSize = FMinCodeSize;
  // Each table entry is a string already in the output: its position there and its length.
  uint32_t entryPosition[kMaxCodes];
  uint16_t entryLength[kMaxCodes];
  const unsigned clear = 1u << minCodeSize;
  const unsigned end = clear + 1;
  int width = minCodeSize + 1;
  unsigned highest = clear * 2;
  unsigned next = clear + 2;
  bool havePrevious = false;
  size_t previousPosition = 0;
  size_t previousLength = 0;
  size_t position = 0;
  TBitReader bits(FData.data(), FData.size() - kPadding);

  while (position < total) {
    unsigned code;
    if (!bits.Read(width, code)) {
      reporter.Warning("Decoder bit buffer under-run");
      break;
    }
    if (code == clear) {
      width = minCodeSize + 1;
      highest = clear * 2;
      next = clear + 2;
      havePrevious = false;
      continue;
    }
    if (code == end) break;
    size_t length;
    if (code < clear) {
      out[position] = static_cast<uint8_t>(code);
      length = 1;
    } else if (!havePrevious || code > next || (code == next && next >= kMaxCodes)) {
      // A code the table does not hold yet: the data is damaged.
      reporter.Warning("Invalid LZW code");
      break;
    } else if (code < next) {
      length = entryLength[code];
      const size_t n = length < total - position ? length : total - position;
      CopyString(out, entryPosition[code], position, n, total);
    } else {
      // The code being defined: the previous string followed by its own first byte.
      length = previousLength + 1;
      const size_t n = length < total - position ? length : total - position;
      CopyString(out, previousPosition, position, n < previousLength ? n : previousLength, total);
      if (n == length) out[position + previousLength] = out[previousPosition];
    }
    if (havePrevious && next < kMaxCodes) {
      entryPosition[next] = static_cast<uint32_t>(previousPosition);
      entryLength[next] = static_cast<uint16_t>(previousLength + 1);
      ++next;
      if (next >= highest && highest < kMaxCodes) {
        highest *= 2;
        ++width;
      }
    }
    havePrevious = true;
    previousPosition = position;
    previousLength = length;
    position += length;
  }
  return position < total ? position : total;
}
