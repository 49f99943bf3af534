#include "SkinTestImages.h"

#include "framework/base/ByteOrder.h"
#include "framework/base/JpegCodec.h"

namespace {

using ByteOrder::AppendLE16;
using ByteOrder::AppendLE32;

std::vector<std::uint8_t> Headers(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t colors,
                                  std::uint32_t imageSize) {
  std::vector<std::uint8_t> b;
  const std::uint32_t offset = 14 + 40 + colors * 4;
  b.push_back('B');
  b.push_back('M');
  AppendLE32(b, offset + imageSize);  // file size
  AppendLE32(b, 0);                   // reserved
  AppendLE32(b, offset);              // pixel data offset
  AppendLE32(b, 40);                  // info header size
  AppendLE32(b, static_cast<std::uint32_t>(w));
  AppendLE32(b, static_cast<std::uint32_t>(h));
  AppendLE16(b, 1);  // planes
  AppendLE16(b, bits);
  AppendLE32(b, 0);  // uncompressed
  AppendLE32(b, imageSize);
  AppendLE32(b, 2835);
  AppendLE32(b, 2835);
  AppendLE32(b, colors);
  AppendLE32(b, 0);
  return b;
}

}  // namespace

TsPixmap FilledPixmap(std::int32_t width, std::int32_t height, std::int32_t color) {
  TsPixmap p(width, height);
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) p.SetPixel(x, y, color);
  return p;
}

std::vector<std::uint8_t> EncodeBmp24(const TsPixmap& image) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(image.Width()) * 3 + 3) & ~3u;
  auto b = Headers(image.Width(), image.Height(), 24, 0, stride * static_cast<std::uint32_t>(image.Height()));
  for (std::int32_t y = image.Height() - 1; y >= 0; --y) {
    const std::uint8_t* row = image.ScanLine(y);
    b.insert(b.end(), row, row + stride);
  }
  return b;
}

std::vector<std::uint8_t> EncodeBmp8(std::int32_t width, std::int32_t height,
                                     const std::vector<std::uint32_t>& rgb) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) + 3) & ~3u;
  auto b = Headers(width, height, 8, static_cast<std::uint32_t>(rgb.size()),
                   stride * static_cast<std::uint32_t>(height));
  for (std::uint32_t c : rgb) AppendLE32(b, c);  // stored blue, green, red, 0
  for (std::int32_t y = height - 1; y >= 0; --y) {
    for (std::int32_t x = 0; x < width; ++x) b.push_back(static_cast<std::uint8_t>((x + y) % rgb.size()));
    for (std::uint32_t k = static_cast<std::uint32_t>(width); k < stride; ++k) b.push_back(0);
  }
  return b;
}

std::vector<std::uint8_t> EncodeJpeg(const TsPixmap& image, int quality) {
  return ::EncodeJpeg(
      image.Width(), image.Height(), [&](std::int32_t y) { return image.ScanLine(y); }, quality, false);
}
