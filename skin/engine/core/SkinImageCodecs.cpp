#include "skin/engine/core/SkinImageCodecs.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "skin/engine/core/ESkinError.h"

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

std::uint32_t U16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at] | (d[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | (static_cast<std::uint32_t>(d[at + 1]) << 8) |
         (static_cast<std::uint32_t>(d[at + 2]) << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}

[[noreturn]] void Corrupt(const char* what) {
  throw ESkinImageError(std::string("Bitmap image is not valid: ") + what);
}

// Scales a channel taken out of a bit field to 0..255.
std::uint8_t FieldValue(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  std::uint32_t m = mask >> shift;
  std::uint32_t v = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>(v * 255u / m);
}

struct TBmpInfo {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  bool TopDown = false;
  std::uint32_t Bits = 0;
  std::uint32_t Compression = 0;
  std::uint32_t Masks[3] = {0, 0, 0};
  std::vector<std::uint32_t> Palette;  // $00RRGGBB
};

void PutRgb(TsPixmap& img, const TBmpInfo& info, std::int32_t row, std::int32_t x, std::uint32_t rgb) {
  std::int32_t y = info.TopDown ? row : info.Height - 1 - row;
  std::uint8_t* p = img.ScanLine(y) + static_cast<std::size_t>(x) * 3;
  p[0] = static_cast<std::uint8_t>(rgb);
  p[1] = static_cast<std::uint8_t>(rgb >> 8);
  p[2] = static_cast<std::uint8_t>(rgb >> 16);
}

std::uint32_t PaletteColor(const TBmpInfo& info, std::uint32_t index) {
  // An index past the palette is black, as the platform draws it.
  return index < info.Palette.size() ? info.Palette[index] : 0;
}

void DecodeRle(std::span<const std::uint8_t> px, const TBmpInfo& info, TsPixmap& img) {
  const bool four = info.Compression == 2;
  std::int32_t x = 0, row = 0;
  std::size_t i = 0;
  auto put = [&](std::uint32_t index) {
    if (x < info.Width && row < info.Height) PutRgb(img, info, row, x, PaletteColor(info, index));
    ++x;
  };
  while (i + 1 < px.size() && row < info.Height) {
    std::uint8_t count = px[i], value = px[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k) put(four ? ((k & 1) ? (value & 15) : (value >> 4)) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      if (i + 1 >= px.size()) return;
      x += px[i];
      row += px[i + 1];
      i += 2;
    } else {  // absolute run of `value` pixels, padded to a word
      std::size_t bytes = four ? (value + 1u) / 2 : value;
      if (i + bytes > px.size()) Corrupt("run past the end");
      for (int k = 0; k < value; ++k)
        put(four ? ((k & 1) ? (px[i + k / 2] & 15) : (px[i + k / 2] >> 4)) : px[i + k]);
      i += (bytes + 1) & ~static_cast<std::size_t>(1);
    }
  }
}

}  // namespace

TsPixmap DecodeBmp(std::span<const std::uint8_t> data) {
  if (data.size() < 26 || data[0] != 'B' || data[1] != 'M') Corrupt("no bitmap header");
  const std::uint32_t pixelOffset = U32(data, 10);
  const std::uint32_t headerSize = U32(data, 14);
  if (headerSize < 12 || headerSize > data.size() - 14) Corrupt("header size");
  TBmpInfo info;
  std::size_t paletteEntry = 4;
  if (headerSize == 12) {
    info.Width = static_cast<std::int16_t>(U16(data, 18));
    info.Height = static_cast<std::int16_t>(U16(data, 20));
    info.Bits = U16(data, 24);
    paletteEntry = 3;
  } else {
    if (headerSize < 40) Corrupt("header size");
    info.Width = static_cast<std::int32_t>(U32(data, 18));
    info.Height = static_cast<std::int32_t>(U32(data, 22));
    info.Bits = U16(data, 28);
    info.Compression = U32(data, 30);
  }
  if (info.Height < 0) {
    if (info.Height == INT32_MIN) Corrupt("height");
    info.Height = -info.Height;
    info.TopDown = true;
  }
  if (info.Width < 0) Corrupt("width");
  // A side of 0 holds no pixels whatever the other says; walking its rows would only burn time.
  if (info.Width == 0 || info.Height == 0) return TsPixmap(0, 0);
  TsPixmap img(info.Width, info.Height);  // checks the size before anything is read

  std::size_t paletteAt = 14 + headerSize;
  if (info.Compression == 3 || info.Compression == 6) {
    if (headerSize >= 52) {
      for (int k = 0; k < 3; ++k) info.Masks[k] = U32(data, 40 + 14 + 4 * k);
    } else {
      if (paletteAt + 12 > data.size()) Corrupt("bit fields");
      for (int k = 0; k < 3; ++k) info.Masks[k] = U32(data, paletteAt + 4 * k);
      paletteAt += 12;
    }
  } else if (info.Bits == 16) {
    info.Masks[0] = 0x7C00;
    info.Masks[1] = 0x03E0;
    info.Masks[2] = 0x001F;
  } else if (info.Bits == 32) {
    info.Masks[0] = 0xFF0000;
    info.Masks[1] = 0x00FF00;
    info.Masks[2] = 0x0000FF;
  }
  if (info.Bits <= 8) {
    std::uint32_t colors = headerSize >= 40 ? U32(data, 46) : 0;
    if (colors == 0 || colors > (1u << info.Bits)) colors = 1u << info.Bits;
    for (std::uint32_t k = 0; k < colors; ++k) {
      std::size_t at = paletteAt + k * paletteEntry;
      if (at + 3 > data.size() || at + 3 > pixelOffset) break;
      info.Palette.push_back(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16));
    }
  }
  if (pixelOffset > data.size()) Corrupt("pixel offset");
  std::span<const std::uint8_t> px = data.subspan(pixelOffset);

  const bool rle = (info.Compression == 1 && info.Bits == 8) || (info.Compression == 2 && info.Bits == 4);
  if (rle) {
    DecodeRle(px, info, img);
    return img;
  }
  const bool fields = info.Compression == 3 || info.Compression == 6;
  if (!(info.Compression == 0 || (fields && (info.Bits == 16 || info.Bits == 32)))) Corrupt("compression");
  if (info.Bits != 1 && info.Bits != 4 && info.Bits != 8 && info.Bits != 16 && info.Bits != 24 &&
      info.Bits != 32)
    Corrupt("bits per pixel");
  const std::size_t stride = ((static_cast<std::size_t>(info.Width) * info.Bits + 31) / 32) * 4;
  if (stride * static_cast<std::size_t>(info.Height) > px.size()) Corrupt("pixel data too short");
  for (std::int32_t row = 0; row < info.Height; ++row) {
    const std::uint8_t* src = px.data() + stride * static_cast<std::size_t>(row);
    for (std::int32_t x = 0; x < info.Width; ++x) {
      std::uint32_t rgb = 0;
      switch (info.Bits) {
        case 1:
          rgb = PaletteColor(info, (src[x >> 3] >> (7 - (x & 7))) & 1);
          break;
        case 4:
          rgb = PaletteColor(info, (x & 1) ? (src[x >> 1] & 15) : (src[x >> 1] >> 4));
          break;
        case 8:
          rgb = PaletteColor(info, src[x]);
          break;
        case 24:
          rgb = src[3 * x] | (src[3 * x + 1] << 8) | (src[3 * x + 2] << 16);
          break;
        default: {
          std::uint32_t v = info.Bits == 16 ? static_cast<std::uint32_t>(src[2 * x] | (src[2 * x + 1] << 8))
                                            : (src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) |
                                               (static_cast<std::uint32_t>(src[4 * x + 3]) << 24));
          rgb = FieldValue(v, info.Masks[2]) | (FieldValue(v, info.Masks[1]) << 8) |
                (FieldValue(v, info.Masks[0]) << 16);
        }
      }
      PutRgb(img, info, row, x, rgb);
    }
  }
  return img;
}

namespace {

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Text[JMSG_LENGTH_MAX];
  bool Truncated;
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Text);
  std::longjmp(err->Jump, 1);
}

// Warnings are not shown; a picture that ends early counts as corrupt.
void JpegWarning(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<TJpegError*>(cinfo->err)->Truncated = true;
}

// Runs the decoder; returns false (with the message in err.Text) when libjpeg gave up.
// Kept free of objects with destructors because libjpeg leaves it by longjmp.
bool RunJpeg(jpeg_decompress_struct& cinfo, TJpegError& err, std::span<const std::uint8_t> data,
             TsPixmap* (*allocate)(void*, std::int32_t, std::int32_t), void* context) {
  if (setjmp(err.Jump)) return false;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
    std::strcpy(err.Text, "CMYK pictures are not supported");
    return false;
  }
  TsPixmap* img = allocate(context, static_cast<std::int32_t>(cinfo.image_width),
                           static_cast<std::int32_t>(cinfo.image_height));
  if (!img) {
    std::strcpy(err.Text, "picture too large");
    return false;
  }
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 3 || cinfo.output_width != cinfo.image_width ||
      cinfo.output_height != cinfo.image_height) {
    std::strcpy(err.Text, "unexpected output format");
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = img->ScanLine(static_cast<std::int32_t>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  if (err.Truncated) {
    std::strcpy(err.Text, "premature end of data");
    return false;
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

TsPixmap DecodeJpeg(std::span<const std::uint8_t> data) {
  if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) throw ESkinImageError("JPEG image is not valid");
  struct TContext {
    TsPixmap Image;
  } context;
  auto allocate = [](void* c, std::int32_t w, std::int32_t h) -> TsPixmap* {
    auto* ctx = static_cast<TContext*>(c);
    if (w <= 0 || h <= 0 || static_cast<std::int64_t>(w) * h > TsPixmap::MaxPixels) return nullptr;
    ctx->Image = TsPixmap(w, h);
    return &ctx->Image;
  };
  jpeg_decompress_struct cinfo;
  TJpegError err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.Manager);
  err.Manager.error_exit = JpegErrorExit;
  err.Manager.emit_message = JpegWarning;
  err.Text[0] = 0;
  err.Truncated = false;
  const bool ok = RunJpeg(cinfo, err, data, allocate, &context);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) throw ESkinImageError(std::string("JPEG image is not valid: ") + err.Text);
  // libjpeg writes red, green, blue; the skin images are blue, green, red.
  TsPixmap& img = context.Image;
  for (std::int32_t y = 0; y < img.Height(); ++y) {
    std::uint8_t* p = img.ScanLine(y);
    for (std::int32_t x = 0; x < img.Width(); ++x, p += 3) std::swap(p[0], p[2]);
  }
  return std::move(context.Image);
}
