#include "gif/core/TLZWEncoder.h"

#include <cstring>

#include "gif/core/GIFException.h"
#include "gif/core/TGIFWriter.h"
#include "gif/core/THashTable.h"

namespace {
constexpr int kMaxCode = 4095;

// Packs codes least significant bit first into a buffer large enough for the whole frame, and
// grows the code width as the table fills.
struct TCodePacker {
  uint8_t* Next;
  uint64_t Bits = 0;
  int Count = 0;
  int Width = 0;
  int Highest = 0;

  void SetWidth(int width) {
    Width = width;
    Highest = width >= 12 ? 4096 : (1 << width) - 1;
  }
  void Put(int code, int nextFree) {
    Bits |= static_cast<uint64_t>(code) << Count;
    Count += Width;
    if (Count >= 32) {
      const auto word = static_cast<uint32_t>(Bits);
      std::memcpy(Next, &word, 4);
      Next += 4;
      Bits >>= 32;
      Count -= 32;
    }
    if (nextFree > Highest) SetWidth(Width + 1);
  }
  void Finish() {
    for (; Count > 0; Count -= 8, Bits >>= 8) *Next++ = static_cast<uint8_t>(Bits);
  }
};

// Whether every pixel is below count; word by word when count is a power of two.
bool AllBelow(const uint8_t* pixels, size_t size, int count) {
  if (count >= 256) return true;
  if (count > 0 && (count & (count - 1)) == 0) {
    const uint64_t high = 0x0101010101010101ull * static_cast<uint8_t>(~(count - 1));
    uint64_t seen = 0;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
      uint64_t word;
      std::memcpy(&word, pixels + i, 8);
      seen |= word;
    }
    for (; i < size; ++i) seen |= pixels[i];
    return (seen & high) == 0;
  }
  uint8_t highest = 0;
  for (size_t i = 0; i < size; ++i) highest = pixels[i] > highest ? pixels[i] : highest;
  return highest < count;
}

// Rows in the order they are stored: straight, or the four interlace passes.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(height);
  if (!interlaced) {
    for (int row = 0; row < height; ++row) rows.push_back(row);
    return rows;
  }
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int row = kStart[pass]; row < height; row += kStep[pass]) rows.push_back(row);
  return rows;
}
}  // namespace

TLZWEncoder::TLZWEncoder() : FHashTable(std::make_unique<THashTable>()) {}

TLZWEncoder::~TLZWEncoder() = default;

void TLZWEncoder::Encode(std::vector<uint8_t>& out, const uint8_t* pixels, int width, int height,
                         bool interlaced, int colorCount, int bits) {
  const int codeSize = bits < 2 ? 2 : bits;
  const int clear = 1 << codeSize;
  const int end = clear + 1;
  const size_t area = pixels && width > 0 && height > 0 ? static_cast<size_t>(width) * height : 0;
  // At most one code per pixel, plus a clear code per 4000 codes, each of at most 12 bits.
  const size_t bound = area * 2 + 64;
  if (FStageSize < bound) {
    FStage.reset(new uint8_t[bound]);
    FStageSize = bound;
  }
  TCodePacker codes{FStage.get()};
  codes.SetWidth(codeSize + 1);
  out.push_back(static_cast<uint8_t>(codeSize));
  if (area == 0) {
    codes.Put(end, clear + 2);
  } else {
    // Checked up front so that the compression loop has no test per pixel.
    if (!AllBelow(pixels, area, colorCount)) throw GIFException("Color not in color table");
    THashTable& table = *FHashTable;
    table.Clear();
    int next = clear + 2;
    codes.Put(clear, next);

    // The last extension found for each code: runs of one colour hit it without hashing. Entries
    // are only ever added between clears, so a remembered (code, pixel) stays right until then.
    int16_t* lastPixel = FLastPixel;
    uint16_t* lastChild = FLastChild;
    std::memset(lastPixel, 0xFF, sizeof FLastPixel);
    const std::vector<int> rows = RowOrder(height, interlaced);
    int prefix = pixels[static_cast<size_t>(rows[0]) * width];
    int x = 1;
    for (int row : rows) {
      const uint8_t* line = pixels + static_cast<size_t>(row) * width;
      for (; x < width; ++x) {
        const int pixel = line[x];
        if (lastPixel[prefix] == pixel) {
          prefix = lastChild[prefix];
          continue;
        }
        const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | static_cast<uint32_t>(pixel);
        int slot;
        const int code = table.Find(key, slot);
        if (code >= 0) {
          lastPixel[prefix] = static_cast<int16_t>(pixel);
          lastChild[prefix] = static_cast<uint16_t>(code);
          prefix = code;
          continue;
        }
        codes.Put(prefix, next);
        if (next >= kMaxCode) {
          codes.Put(clear, next);
          table.Clear();
          std::memset(lastPixel, 0xFF, sizeof FLastPixel);
          next = clear + 2;
          codes.SetWidth(codeSize + 1);
        } else {
          table.InsertAt(slot, key, next);
          lastPixel[prefix] = static_cast<int16_t>(pixel);
          lastChild[prefix] = static_cast<uint16_t>(next++);
        }
        prefix = pixel;
      }
      x = 0;
    }
    codes.Put(prefix, next);
    codes.Put(end, next);
  }
  codes.Finish();
  TGIFWriter writer(out);
  writer.Write(FStage.get(), static_cast<size_t>(codes.Next - FStage.get()));
  writer.Flush();
  out.push_back(0);
}
