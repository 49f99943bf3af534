#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/base/ByteOrder.h"
#include "framework/base/JpegCodec.h"
#include "framework/base/TBmpDecoder.h"
#include "tests/framework/base/BmpFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using ByteOrder::AppendLE16;
using ByteOrder::AppendLE32;

// Decodes to 24 bits and answers pixels as $RRGGBB.
struct TDecoded {
  std::int32_t Width, Height;
  std::vector<std::uint8_t> Rows;
  std::uint32_t At(std::int32_t x, std::int32_t y) const {
    const std::uint8_t* p = &Rows[(static_cast<std::size_t>(y) * Width + x) * 3];
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
  }
};

TDecoded Bgr(const TBmpDecoder& d) {
  TDecoded out{d.Width(), d.Height(),
               std::vector<std::uint8_t>(3 * std::size_t(d.Width()) * d.Height(), 0xEE)};
  d.ReadBgr24({out.Rows.data(), 3 * std::ptrdiff_t(d.Width())});
  return out;
}

TEST(BmpDecoder, ReadsEveryDepthTheSameWayUpOrDown) {
  // 2 x 2 at 24 bits, bottom-up: the bottom row (blue, green) comes first in the file.
  const Bytes up = BmpFile(2, 2, 24, 0, {}, {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0});
  const Bytes down = BmpFile(2, -2, 24, 0, {}, {0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0});
  for (const Bytes& file : {up, down}) {
    const TDecoded img = Bgr(TBmpDecoder::FromFile(file));
    EXPECT_EQ(img.At(0, 0), 0xFF0000u);  // red
    EXPECT_EQ(img.At(1, 0), 0xFFFFFFu);
    EXPECT_EQ(img.At(0, 1), 0x0000FFu);  // blue
    EXPECT_EQ(img.At(1, 1), 0x00FF00u);
  }
  // 16 bits with 5-6-5 fields: channels scale to 0..255, a middle level rounds to the nearest.
  Bytes masks, px;
  for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) AppendLE32(masks, m);
  AppendLE16(px, 0xF800);
  AppendLE16(px, 0x0010);  // blue 16 of 31
  const Bytes fieldsFile = BmpFile(2, 1, 16, 3, masks, px);
  const TBmpDecoder fields = TBmpDecoder::FromFile(fieldsFile);
  EXPECT_EQ(Bgr(fields).At(0, 0), 0xFF0000u);
  EXPECT_EQ(Bgr(fields).At(1, 0), 132u);
  // The file's own format comes back unchanged, row by row.
  const Bytes monoFile = BmpFile(3, 1, 1, 0, {0, 0, 0, 0, 255, 255, 255, 0}, {0xA0, 0, 0, 0});
  const TBmpDecoder mono = TBmpDecoder::FromFile(monoFile);
  ASSERT_EQ(mono.RowBytes(), 4u);
  std::uint8_t row[4] = {};
  mono.ReadRows({row, 4});
  EXPECT_EQ(row[0], 0xA0);
  EXPECT_EQ(Bgr(mono).At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(Bgr(mono).At(1, 0), 0u);
}

TEST(BmpDecoder, RunLengthCodesAndShortColourTables) {
  // RLE8, 3 x 2. Bottom row: 2 x index 1, end of line; top row: delta of one column, index 2.
  // The colour table is red, green; index 2 lies past it.
  const Bytes codes = {2, 1, 0, 0, 0, 2, 1, 0, 1, 2, 0, 1};
  const Bytes rleFile = BmpFile(3, 2, 8, 1, {0, 0, 255, 0, 0, 255, 0, 0}, codes, 2);
  const TBmpDecoder rle = TBmpDecoder::FromFile(rleFile);
  ASSERT_EQ(rle.Palette().size(), 2u);
  std::uint8_t indexes[2][4];
  rle.ReadRows({&indexes[0][0], 4});
  EXPECT_EQ(indexes[1][0], 1);
  EXPECT_EQ(indexes[1][2], 0);  // skipped by the end of line: index 0
  EXPECT_EQ(indexes[0][1], 2);
  const TDecoded img = Bgr(rle);
  EXPECT_EQ(img.At(0, 1), 0x00FF00u);
  EXPECT_EQ(img.At(2, 1), 0u);  // skipped: black, not colour 0
  EXPECT_EQ(img.At(1, 0), 0u);  // index past the table: black
  // An absolute run longer than the data is refused; runs and deltas leaving the image are dropped.
  const Bytes overrun = BmpFile(2, 2, 8, 1, {}, {0, 9, 1, 2});
  EXPECT_THROW(Bgr(TBmpDecoder::FromFile(overrun)), EImageFormatError);
  const Bytes outside = BmpFile(2, 2, 8, 1, {}, {255, 1, 0, 2, 200, 200, 5, 1});
  EXPECT_NO_THROW(Bgr(TBmpDecoder::FromFile(outside)));
  // A colour table that the pixels cut short keeps the colours before them.
  Bytes cut = BmpFile(1, 1, 8, 0, {0, 0, 255, 0}, {1, 0, 0, 0});
  const TBmpDecoder shortTable = TBmpDecoder::FromFile(cut);
  EXPECT_EQ(shortTable.Palette(), (std::vector<std::uint32_t>{0xFF0000}));
}

TEST(BmpDecoder, HostileHeadersAreRefusedFromTheHeadersAlone) {
  const Bytes good = BmpFile(1, 1, 24, 0, {}, {1, 2, 3, 0});
  EXPECT_NO_THROW(TBmpDecoder::FromFile(good));
  auto refused = [](Bytes b) { EXPECT_THROW(TBmpDecoder::FromFile(b), EImageFormatError); };
  for (std::size_t n = 0; n < good.size(); ++n) refused(Bytes(good.begin(), good.begin() + long(n)));
  Bytes b = good;
  ByteOrder::WriteLE32(&b[14], 0xFFFFFF00);  // header larger than the file
  refused(b);
  b = good;
  ByteOrder::WriteLE16(&b[26], 2);  // planes
  refused(b);
  b = good;
  ByteOrder::WriteLE32(&b[22], 0x80000000);  // a height that cannot be negated
  refused(b);
  b = good;
  ByteOrder::WriteLE32(&b[30], 4);  // compression the decoder does not read
  refused(b);
  // Run-length data never has to hold the pixels, so only the pixel limit stands between a few
  // bytes and an enormous image; a bitmap at the limit is accepted until its rows are read.
  refused(BmpFile(0x7FFFFFFF, 0x7FFFFFFF, 8, 1, {}, {0, 1}));
  refused(BmpFile(4097, 4096, 8, 1, {}, {0, 1}));
  const Bytes limitFile = BmpFile(4096, 4096, 8, 1, {}, {0, 1});
  const TBmpDecoder atLimit = TBmpDecoder::FromFile(limitFile);
  EXPECT_EQ(std::int64_t{atLimit.Width()} * atLimit.Height(), kMaxImagePixels);
  refused(BmpFile(2, -2, 8, 1, {}, {0, 1}));  // run-length codes are bottom-up only
  // A side of 0 is an empty picture whatever the other side claims.
  const Bytes noWidth = BmpFile(0, 0x7FFFFFFF, 24, 0, {}, {});
  EXPECT_TRUE(TBmpDecoder::FromFile(noWidth).Empty());
}

// A colour picture of w x h: left half red, right half blue, as blue-green-red rows.
std::vector<std::uint8_t> Halves(std::int32_t w, std::int32_t h) {
  std::vector<std::uint8_t> px(3 * std::size_t(w) * h);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) {
      std::uint8_t* p = &px[(std::size_t(y) * w + x) * 3];
      p[0] = x < w / 2 ? 0 : 255;
      p[2] = x < w / 2 ? 255 : 0;
    }
  return px;
}

Bytes Jpeg(std::int32_t w, std::int32_t h, bool grey = false) {
  const std::vector<std::uint8_t> px = Halves(w, h);
  return EncodeJpeg(
      w, h, [&](std::int32_t y) { return &px[3 * std::size_t(w) * y]; }, 95, grey);
}

std::vector<std::uint8_t> DecodeJpeg(const Bytes& data) {
  TJpegDecoder jpeg(data);
  std::vector<std::uint8_t> px(3 * std::size_t(jpeg.Width()) * jpeg.Height());
  jpeg.ReadBgr24({px.data(), 3 * std::ptrdiff_t(jpeg.Width())});
  return px;
}

TEST(JpegCodec, RoundTripKeepsSizeAndColours) {
  const Bytes data = Jpeg(32, 16);
  ASSERT_GE(data.size(), 4u);
  TJpegDecoder header(data);
  EXPECT_EQ(header.Width(), 32);
  EXPECT_EQ(header.Height(), 16);
  const std::vector<std::uint8_t> px = DecodeJpeg(data);
  const std::uint8_t* red = &px[(8 * 32 + 4) * 3];
  const std::uint8_t* blue = &px[(8 * 32 + 28) * 3];
  EXPECT_GT(red[2], 240);  // channels come back as blue, green, red
  EXPECT_LT(red[0], 16);
  EXPECT_GT(blue[0], 240);
  EXPECT_LT(blue[2], 16);
  // Grey pictures come back with three equal channels.
  const std::vector<std::uint8_t> grey = DecodeJpeg(Jpeg(8, 8, true));
  EXPECT_EQ(grey[0], grey[1]);
  EXPECT_EQ(grey[1], grey[2]);
}

TEST(JpegCodec, CorruptShortAndOversizedPicturesAreRefused) {
  const Bytes good = Jpeg(16, 16);
  auto refused = [](const Bytes& data) { EXPECT_THROW(TJpegDecoder{data}, EImageFormatError); };
  refused({});
  refused({0xFF, 0xD8, 0xFF});
  refused(Bytes(100, 0x42));
  // Cut anywhere: refused, at the headers or at the pixels, never shown half grey.
  for (std::size_t n = 1; n < good.size() - 2; n += 5)
    EXPECT_THROW(DecodeJpeg(Bytes(good.begin(), good.begin() + long(n))), EImageFormatError) << n;
  // The frame header states the size: one pixel row over the limit is refused from the header.
  auto sized = [&](std::uint16_t w, std::uint16_t h) {
    Bytes b = good;
    for (std::size_t i = 0; i + 8 < b.size(); ++i)
      if (b[i] == 0xFF && b[i + 1] == 0xC0) {  // baseline frame: length, precision, height, width
        ByteOrder::WriteBE16(&b[i + 5], h);
        ByteOrder::WriteBE16(&b[i + 7], w);
        break;
      }
    return b;
  };
  refused(sized(4096, 4097));
  refused(sized(0xFFFF, 0xFFFF));
  const Bytes limitFile = sized(4096, 4096);
  TJpegDecoder atLimit(limitFile);
  EXPECT_EQ(std::int64_t{atLimit.Width()} * atLimit.Height(), kMaxImagePixels);
}

}  // namespace
