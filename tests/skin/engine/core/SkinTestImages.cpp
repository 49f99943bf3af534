#include "SkinTestImages.h"

#include "framework/base/ByteOrder.h"
#include "framework/base/JpegCodec.h"
#include "tests/framework/base/BmpFile.h"

TsPixmap FilledPixmap(std::int32_t width, std::int32_t height, std::int32_t color) {
  TsPixmap p(width, height);
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) p.SetPixel(x, y, color);
  return p;
}

std::vector<std::uint8_t> EncodeBmp24(const TsPixmap& image) {
  const std::size_t stride = (static_cast<std::size_t>(image.Width()) * 3 + 3) & ~std::size_t{3};
  std::vector<std::uint8_t> pixels;
  for (std::int32_t y = image.Height() - 1; y >= 0; --y) {
    const std::uint8_t* row = image.ScanLine(y);
    pixels.insert(pixels.end(), row, row + stride);
  }
  return BmpFile(image.Width(), image.Height(), 24, 0, {}, pixels);
}

std::vector<std::uint8_t> EncodeBmp8(std::int32_t width, std::int32_t height,
                                     const std::vector<std::uint32_t>& rgb) {
  const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
  std::vector<std::uint8_t> colors, pixels;
  for (std::uint32_t c : rgb) ByteOrder::AppendLE32(colors, c);  // stored blue, green, red, 0
  for (std::int32_t y = height - 1; y >= 0; --y) {
    for (std::int32_t x = 0; x < width; ++x)
      pixels.push_back(static_cast<std::uint8_t>((x + y) % rgb.size()));
    pixels.resize(pixels.size() + stride - static_cast<std::size_t>(width), 0);
  }
  return BmpFile(width, height, 8, 0, colors, pixels, static_cast<std::uint32_t>(rgb.size()));
}

std::vector<std::uint8_t> EncodeJpeg(const TsPixmap& image, int quality) {
  return ::EncodeJpeg(
      image.Width(), image.Height(), [&](std::int32_t y) { return image.ScanLine(y); }, quality, false);
}
