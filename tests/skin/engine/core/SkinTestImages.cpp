#include "SkinTestImages.h"

#include <cstdio>
#include <cstdlib>

extern "C" {
#include <jpeglib.h>
}

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

std::vector<std::uint8_t> Headers(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t colors,
                                  std::uint32_t imageSize) {
  std::vector<std::uint8_t> b;
  const std::uint32_t offset = 14 + 40 + colors * 4;
  b.push_back('B');
  b.push_back('M');
  Put32(b, offset + imageSize);  // file size
  Put32(b, 0);                   // reserved
  Put32(b, offset);              // pixel data offset
  Put32(b, 40);                  // info header size
  Put32(b, static_cast<std::uint32_t>(w));
  Put32(b, static_cast<std::uint32_t>(h));
  Put16(b, 1);  // planes
  Put16(b, bits);
  Put32(b, 0);  // uncompressed
  Put32(b, imageSize);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, colors);
  Put32(b, 0);
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
  for (std::uint32_t c : rgb) Put32(b, c);  // stored blue, green, red, 0
  for (std::int32_t y = height - 1; y >= 0; --y) {
    for (std::int32_t x = 0; x < width; ++x) b.push_back(static_cast<std::uint8_t>((x + y) % rgb.size()));
    for (std::uint32_t k = static_cast<std::uint32_t>(width); k < stride; ++k) b.push_back(0);
  }
  return b;
}

std::vector<std::uint8_t> EncodeJpeg(const TsPixmap& image, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.Width());
  cinfo.image_height = static_cast<JDIMENSION>(image.Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(image.Width()) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const std::uint8_t* src = image.ScanLine(static_cast<std::int32_t>(cinfo.next_scanline));
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      row[3 * x] = src[3 * x + 2];
      row[3 * x + 1] = src[3 * x + 1];
      row[3 * x + 2] = src[3 * x];
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}
