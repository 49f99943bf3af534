#include "gif/core/TLZWEncoder.h"

#include "gif/core/GIFException.h"
#include "gif/core/THashTable.h"
#include "gif/core/TGIFWriter.h"

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

void TLZWEncoder::Encode(std::vector<uint8_t>& out, const uint8_t* pixels, int width, int height, bool interlaced,
                         int colorCount, int bits) {
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
  const unsigned limit = static_cast<unsigned>(colorCount);
  int prefix = -1;
  for (int row : RowOrder(height, interlaced)) {
    const uint8_t* line = pixels + static_cast<size_t>(row) * width;
    for (int x = 0; x < width; ++x) {
      const unsigned pixel = line[x];
      if (pixel >= limit) throw GIFException("Color not in color table");
      if (prefix < 0) {
        prefix = static_cast<int>(pixel);
        continue;
      }
      const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | pixel;
      const int code = table.Find(key);
      if (code >= 0) {
        prefix = code;
        continue;
      }
      codes.Put(prefix, next);
      prefix = static_cast<int>(pixel);
      if (next >= kMaxCode) {
        codes.Put(clear, next);
        table.Clear();
        next = clear + 2;
        codes.SetWidth(codeSize + 1);
      } else {
        table.Insert(key, next++);
      }
    }
  }
  codes.Put(prefix, next);
  codes.Put(end, next);
  codes.Finish();
  out.push_back(0);
}
