#include "framework/base/TBmpDecoder.h"

#include <cstring>

#include "framework/base/ByteOrder.h"

namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

[[noreturn]] void Corrupt(const char* what) {
  throw EImageFormatError(std::string("Bitmap image is not valid: ") + what);
}

// One bit-field channel, its position found once per picture rather than once per pixel.
class TChannel {
public:
  explicit TChannel(std::uint32_t mask) : FMask(mask) {
    if (mask == 0) return;
    while (((mask >> FShift) & 1u) == 0) ++FShift;
    FMax = mask >> FShift;
  }
  // Scales the channel's bits of value to 0..255, rounding to the nearest level.
  std::uint8_t Of(std::uint32_t value) const {
    if (FMax == 0) return 0;
    const std::uint32_t v = (value & FMask) >> FShift;
    return static_cast<std::uint8_t>((std::uint64_t{v} * 255 + FMax / 2) / FMax);
  }

private:
  std::uint32_t FMask;
  int FShift = 0;
  std::uint32_t FMax = 0;
};

void PutBgr(std::uint8_t* p, std::uint32_t rgb) {
  p[0] = static_cast<std::uint8_t>(rgb);
  p[1] = static_cast<std::uint8_t>(rgb >> 8);
  p[2] = static_cast<std::uint8_t>(rgb >> 16);
}

}  // namespace

TBmpDecoder TBmpDecoder::FromFile(std::span<const std::uint8_t> file) {
  if (file.size() < 14 || file[0] != 'B' || file[1] != 'M') Corrupt("no bitmap header");
  const std::uint32_t pixelOffset = ByteOrder::ReadLE32(&file[10]);
  if (pixelOffset < 14 || pixelOffset > file.size()) Corrupt("pixel offset");
  TBmpDecoder decoder;
  decoder.ParseDib(file.subspan(14), pixelOffset - 14);
  return decoder;
}

TBmpDecoder TBmpDecoder::FromDib(std::span<const std::uint8_t> dib, std::size_t bitsOffset) {
  TBmpDecoder decoder;
  decoder.ParseDib(dib, bitsOffset);
  return decoder;
}

void TBmpDecoder::ParseDib(std::span<const std::uint8_t> dib, std::size_t bitsOffset) {
  if (dib.size() < 12) Corrupt("header size");
  const std::uint32_t headerSize = ByteOrder::ReadLE32(dib.data());
  const bool core = headerSize == 12;
  if (!core && (headerSize < 40 || headerSize > dib.size())) Corrupt("header size");
  const std::uint8_t* h = dib.data();
  std::int64_t width, height;
  std::uint32_t planes, compression = kRgb, colorsUsed = 0;
  if (core) {
    width = ByteOrder::ReadLE16(h + 4);
    height = static_cast<std::int16_t>(ByteOrder::ReadLE16(h + 6));
    planes = ByteOrder::ReadLE16(h + 8);
    FBits = ByteOrder::ReadLE16(h + 10);
  } else {
    width = static_cast<std::int32_t>(ByteOrder::ReadLE32(h + 4));
    height = static_cast<std::int32_t>(ByteOrder::ReadLE32(h + 8));
    planes = ByteOrder::ReadLE16(h + 12);
    FBits = ByteOrder::ReadLE16(h + 14);
    compression = ByteOrder::ReadLE32(h + 16);
    colorsUsed = ByteOrder::ReadLE32(h + 32);
  }
  if (planes != 1) Corrupt("planes");
  if (width < 0) Corrupt("width");
  FTopDown = height < 0;
  if (FTopDown) height = -height;
  if (height > INT32_MAX) Corrupt("height");
  if (width == 0 || height == 0) return;
  if (width * height > kMaxImagePixels) Corrupt("too many pixels");
  FWidth = static_cast<std::int32_t>(width);
  FHeight = static_cast<std::int32_t>(height);

  if (FBits != 1 && FBits != 4 && FBits != 8 && FBits != 16 && FBits != 24 && FBits != 32)
    Corrupt("bits per pixel");
  const bool fields = compression == kBitFields || compression == kAlphaBitFields;
  FRunLength = (compression == kRle8 && FBits == 8) || (compression == kRle4 && FBits == 4);
  if (!(compression == kRgb || FRunLength || (fields && (FBits == 16 || FBits == 32))))
    Corrupt("compression");
  // Run-length codes are stored bottom-up only.
  if (FRunLength && FTopDown) Corrupt("top-down run-length bitmap");

  std::size_t pos = headerSize;
  if (fields) {
    if (headerSize >= 52) {
      for (int k = 0; k < 3; ++k) FMasks[k] = ByteOrder::ReadLE32(h + 40 + 4 * k);
    } else {
      const std::size_t length = compression == kAlphaBitFields ? 16 : 12;
      if (!ByteOrder::Inside(pos, length, dib.size())) Corrupt("bit fields");
      for (int k = 0; k < 3; ++k) FMasks[k] = ByteOrder::ReadLE32(h + pos + 4 * k);
      pos += length;
    }
  } else if (FBits == 16) {
    FMasks = {0x7C00, 0x03E0, 0x001F};
  } else if (FBits == 32) {
    FMasks = {0xFF0000, 0x00FF00, 0x0000FF};
  }

  if (FBits <= 8) {
    const std::uint32_t most = 1u << FBits;
    const std::uint32_t count = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
    const std::size_t entry = core ? 3 : 4;
    // A colour table cut short by the end of the data or by the pixels keeps what it has.
    const std::size_t end = bitsOffset != 0 && bitsOffset < dib.size() ? bitsOffset : dib.size();
    for (std::uint32_t k = 0; k < count; ++k) {
      const std::size_t at = pos + k * entry;
      if (!ByteOrder::Inside(at, 3, end)) break;
      FPalette.push_back(std::uint32_t{h[at]} | std::uint32_t{h[at + 1]} << 8 |
                         std::uint32_t{h[at + 2]} << 16);
    }
    pos += count * entry;
  }
  if (bitsOffset == 0) bitsOffset = pos;
  if (bitsOffset > dib.size()) Corrupt("pixel offset");
  FPixels = dib.subspan(bitsOffset);
  FRowBytes = (static_cast<std::size_t>(FWidth) * FBits + 31) / 32 * 4;
  if (!FRunLength && FRowBytes * static_cast<std::size_t>(FHeight) > FPixels.size())
    Corrupt("pixel data too short");
}

const std::uint8_t* TBmpDecoder::StoredRow(std::int32_t y) const {
  const std::int32_t stored = FTopDown ? y : FHeight - 1 - y;
  return FPixels.data() + FRowBytes * static_cast<std::size_t>(stored);
}

// Walks the run-length codes, handing put(x, y, index) every pixel inside the image (y = 0 is the
// top row). Codes that leave the image are dropped; an absolute run past the data is an error.
template <typename TPut>
void TBmpDecoder::ExpandRunLength(TPut put) const {
  const bool four = FBits == 4;
  const std::uint8_t* px = FPixels.data();
  const std::size_t n = FPixels.size();
  std::int64_t x = 0, row = 0;  // row 0 is the bottom one
  auto emit = [&](std::uint32_t index) {
    if (x < FWidth && row < FHeight)
      put(static_cast<std::int32_t>(x), FHeight - 1 - static_cast<std::int32_t>(row), index);
    ++x;
  };
  std::size_t i = 0;
  while (i + 1 < n && row < FHeight) {
    const std::uint32_t count = px[i], value = px[i + 1];
    i += 2;
    if (count > 0) {
      for (std::uint32_t k = 0; k < count && x < FWidth; ++k)
        emit(four ? ((k & 1) ? (value & 15) : (value >> 4)) : value);
    } else if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      if (i + 1 >= n) return;
      x += px[i];
      row += px[i + 1];
      i += 2;
    } else {  // absolute run of `value` pixels, padded to a word
      const std::size_t bytes = four ? (value + 1) / 2 : value;
      if (i + bytes > n) Corrupt("run past the end");
      for (std::uint32_t k = 0; k < value; ++k)
        emit(four ? ((k & 1) ? (px[i + k / 2] & 15) : (px[i + k / 2] >> 4)) : px[i + k]);
      i += (bytes + 1) & ~std::size_t{1};
    }
  }
}

void TBmpDecoder::ReadRows(TPixelRows rows) const {
  if (!FRunLength) {
    for (std::int32_t y = 0; y < FHeight; ++y) std::memcpy(rows.Row(y), StoredRow(y), FRowBytes);
    return;
  }
  for (std::int32_t y = 0; y < FHeight; ++y) std::memset(rows.Row(y), 0, FRowBytes);
  ExpandRunLength([&](std::int32_t x, std::int32_t y, std::uint32_t index) {
    std::uint8_t* row = rows.Row(y);
    if (FBits == 8) {
      row[x] = static_cast<std::uint8_t>(index);
    } else {
      std::uint8_t& b = row[x / 2];
      b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | index)
                  : static_cast<std::uint8_t>((b & 0x0F) | (index << 4));
    }
  });
}

void TBmpDecoder::ReadBgr24(TPixelRows rows) const {
  const auto color = [&](std::uint32_t index) { return index < FPalette.size() ? FPalette[index] : 0u; };
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(FWidth);
  if (FRunLength) {
    for (std::int32_t y = 0; y < FHeight; ++y) std::memset(rows.Row(y), 0, rowBytes);
    ExpandRunLength([&](std::int32_t x, std::int32_t y, std::uint32_t index) {
      PutBgr(rows.Row(y) + 3 * static_cast<std::size_t>(x), color(index));
    });
    return;
  }
  const bool plain32 = FBits == 32 && FMasks == std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF};
  const TChannel red(FMasks[0]), green(FMasks[1]), blue(FMasks[2]);
  for (std::int32_t y = 0; y < FHeight; ++y) {
    const std::uint8_t* src = StoredRow(y);
    std::uint8_t* dst = rows.Row(y);
    if (FBits == 24) {
      std::memcpy(dst, src, rowBytes);
      continue;
    }
    for (std::int32_t x = 0; x < FWidth; ++x, dst += 3) {
      switch (FBits) {
        case 1:
          PutBgr(dst, color((src[x >> 3] >> (7 - (x & 7))) & 1));
          break;
        case 4:
          PutBgr(dst, color((x & 1) ? (src[x >> 1] & 15) : (src[x >> 1] >> 4)));
          break;
        case 8:
          PutBgr(dst, color(src[x]));
          break;
        default: {
          if (plain32) {
            std::memcpy(dst, src + 4 * x, 3);
            break;
          }
          const std::uint32_t v =
              FBits == 16 ? ByteOrder::ReadLE16(src + 2 * x) : ByteOrder::ReadLE32(src + 4 * x);
          dst[0] = blue.Of(v);
          dst[1] = green.Of(v);
          dst[2] = red.Of(v);
        }
      }
    }
  }
}
