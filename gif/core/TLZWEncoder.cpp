#include "gif/core/TLZWEncoder.h"

#include <cstring>

#include "gif/core/GIFException.h"
#include "gif/core/TGIFWriter.h"
#include "gif/core/THashTable.h"

namespace {
constexpr int kMaxCode = 4095;

// Packs codes least significant bit first and grows the code width as the table fills.
class TCodeWriter {
public:
  TCodeWriter(TGIFWriter& writer, int width) : FWriter(writer) { SetWidth(width); }

  void SetWidth(int width) {
    FWidth = width;
    FHighest = width >= 12 ? 4096 : (1 << width) - 1;
  }
  void Put(int code, int nextFree) {
    FBits |= static_cast<uint64_t>(code) << FCount;
    FCount += FWidth;
    while (FCount >= 8) {
      FWriter.Put(static_cast<uint8_t>(FBits));
      FBits >>= 8;
      FCount -= 8;
    }
    if (nextFree > FHighest) SetWidth(FWidth + 1);
  }
  void Finish() {
    if (FCount > 0) FWriter.Put(static_cast<uint8_t>(FBits));
    FBits = 0;
    FCount = 0;
    FWriter.Flush();
  }

private:
  TGIFWriter& FWriter;
  uint64_t FBits = 0;
  int FCount = 0;
  int FWidth = 0;
  int FHighest = 0;
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
  out.push_back(static_cast<uint8_t>(codeSize));
  TGIFWriter writer(out);
  TCodeWriter codes(writer, codeSize + 1);
  if (!pixels || width <= 0 || height <= 0) {
    codes.Put(end, clear + 2);
    codes.Finish();
    out.push_back(0);
    return;
  }

  THashTable& table = *FHashTable;
  table.Clear();
  int next = clear + 2;
  codes.Put(clear, next);
  // Checked up front so that the compression loop has no test per pixel.
  const size_t area = static_cast<size_t>(width) * height;
  if (!AllBelow(pixels, area, colorCount)) throw GIFException("Color not in color table");

  // The last extension found for each code: runs of one colour hit it without hashing. Entries
  // are only ever added between clears, so a remembered (code, pixel) never goes stale until then.
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
  codes.Finish();
  out.push_back(0);
}
