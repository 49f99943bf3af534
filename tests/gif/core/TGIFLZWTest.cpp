#include <gtest/gtest.h>

#include <random>

#include "GIFTestSupport.h"
#include "gif/core/GIFException.h"
#include "gif/core/TGIFLZWDecoder.h"
#include "gif/core/TGIFSpanReader.h"
#include "gif/core/TLZWEncoder.h"

namespace {
struct TDecoded {
  TBytes Pixels;
  std::vector<std::string> Warnings;
  size_t Consumed = 0;
};

TDecoded Decode(const TBytes& lzw, int width, int height, bool interlaced = false, uint8_t fill = 0) {
  TDecoded result;
  result.Pixels.assign(static_cast<size_t>(width) * height, 0xCD);
  TGIFReporter reporter;
  reporter.SetOnWarning([&](TGIFSeverity, const std::string& m) { result.Warnings.push_back(m); });
  TGIFSpanReader reader(lzw.data(), lzw.size());
  TGIFLZWDecoder decoder;
  decoder.Read(reader, reporter);
  decoder.Expand(width, height, interlaced, fill, result.Pixels.data(), reporter);
  result.Consumed = reader.Position();
  return result;
}

TBytes Encode(const TBytes& pixels, int width, int height, int colors, bool interlaced = false) {
  int bits = 1;
  while ((1 << bits) < colors) ++bits;
  TBytes out;
  TLZWEncoder().Encode(out, pixels.data(), width, height, interlaced, colors, bits);
  return out;
}

// Walks the codes of encoded data as a decoder would, without expanding them.
std::vector<int> Codes(const TBytes& lzw) {
  const int minCodeSize = lzw[0];
  TBytes data;
  for (size_t at = 1; at < lzw.size() && lzw[at] != 0; at += lzw[at] + 1)
    data.insert(data.end(), lzw.begin() + static_cast<long>(at) + 1,
                lzw.begin() + static_cast<long>(at) + 1 + lzw[at]);
  const int clear = 1 << minCodeSize;
  int width = minCodeSize + 1, next = clear + 2;
  bool first = true;
  std::vector<int> codes;
  size_t bit = 0;
  while (bit + width <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    codes.push_back(code);
    if (code == clear + 1) break;
    if (code == clear) {
      width = minCodeSize + 1, next = clear + 2, first = true;
      continue;
    }
    if (!first && next < 4096 && ++next >= (1 << width) && width < 12) ++width;
    first = false;
  }
  return codes;
}

TBytes Random(size_t count, int colors, unsigned seed) {
  std::mt19937 random(seed);
  TBytes pixels(count);
  for (auto& p : pixels) p = static_cast<uint8_t>(random() % colors);
  return pixels;
}
}  // namespace

TEST(GIFLZW, EncoderOutputDecodesToTheSamePixels) {
  const struct {
    int width, height, colors;
    bool interlaced;
  } cases[] = {{1, 1, 2, false},      {7, 5, 2, true},        {64, 64, 4, false},
               {301, 203, 256, true}, {1000, 300, 16, false}, {3, 3, 256, false}};
  unsigned seed = 1;
  for (const auto& c : cases) {
    const TBytes pixels = Random(static_cast<size_t>(c.width) * c.height, c.colors, seed++);
    const TBytes lzw = Encode(pixels, c.width, c.height, c.colors, c.interlaced);
    const TDecoded decoded = Decode(lzw, c.width, c.height, c.interlaced);
    EXPECT_TRUE(decoded.Pixels == pixels) << c.width << "x" << c.height;
    EXPECT_TRUE(decoded.Warnings.empty());
    EXPECT_EQ(decoded.Consumed, lzw.size());
  }
}

TEST(GIFLZW, LongRunsAndFullTablesDecode) {
  // Flat areas make long strings; noise fills the table and forces clears.
  TBytes pixels(1 << 20, 3);
  const TBytes noise = Random(200000, 256, 9);
  std::copy(noise.begin(), noise.end(), pixels.begin() + 400000);
  const TBytes lzw = Encode(pixels, 1024, 1024, 256);
  EXPECT_TRUE(Decode(lzw, 1024, 1024).Pixels == pixels);
}

TEST(GIFLZW, NeverUsesCode4095AndClearsInstead) {
  const TBytes pixels = Random(100000, 256, 3);
  const std::vector<int> codes = Codes(Encode(pixels, 400, 250, 256));
  EXPECT_EQ(codes.front(), 256);
  EXPECT_EQ(codes.back(), 257);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 4095), 0);
  EXPECT_GT(std::count(codes.begin(), codes.end(), 256), 2);
}

// A full table clears exactly when the next free code would be 4095: the code that fills it is
// the last before each clear, so between clears there are 4094 - clear codes, the decoder's table
// stays in step and the frame decodes back, for every minimum code size.
TEST(GIFLZW, FullTablesClearAtCode4095ForEveryCodeSize) {
  for (const int colors : {2, 16, 256}) {
    const int width = 600, height = 500;
    const TBytes pixels = Random(static_cast<size_t>(width) * height, colors, unsigned(colors));
    const TBytes lzw = Encode(pixels, width, height, colors);
    const std::vector<int> codes = Codes(lzw);
    const int clear = 1 << lzw[0];
    std::vector<size_t> clears;
    for (size_t i = 0; i < codes.size(); ++i)
      if (codes[i] == clear) clears.push_back(i);
    ASSERT_GE(clears.size(), 3u) << colors << " colours never filled the table";
    for (size_t k = 1; k < clears.size(); ++k)
      EXPECT_EQ(clears[k] - clears[k - 1] - 1, size_t(4094 - clear)) << colors << " colours, clear " << k;
    EXPECT_EQ(std::count_if(codes.begin(), codes.end(), [](int c) { return c >= 4095; }), 0);
    EXPECT_EQ(codes.back(), clear + 1);
    const TDecoded decoded = Decode(lzw, width, height);
    EXPECT_TRUE(decoded.Pixels == pixels) << colors << " colours";
    EXPECT_TRUE(decoded.Warnings.empty()) << colors << " colours";
  }
}

TEST(GIFLZW, TwoColorsUseMinimumCodeSize2AndEmptyImagesOnlyAnEndCode) {
  const TBytes lzw = Encode({0, 1, 1, 0}, 2, 2, 2);
  EXPECT_EQ(lzw[0], 2);
  TBytes empty;
  TLZWEncoder().Encode(empty, nullptr, 0, 0, false, 2, 1);
  EXPECT_EQ(empty, (TBytes{2, 1, 0x05, 0}));
  EXPECT_THROW(Encode({0, 2}, 2, 1, 2), GIFException);
}

TEST(GIFLZW, InterlacedRowsAreStoredInPassOrder) {
  // Read back without the interlace flag, the rows come out in stored order.
  EXPECT_EQ(Decode(Encode({0, 1, 2}, 1, 3, 4, true), 1, 3).Pixels, (TBytes{0, 2, 1}));
  EXPECT_EQ(Decode(Encode({2}, 1, 1, 4, true), 1, 1).Pixels, (TBytes{2}));
  TBytes rows(10);
  for (int i = 0; i < 10; ++i) rows[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(Decode(Encode(rows, 1, 10, 16, true), 1, 10).Pixels, (TBytes{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
}

TEST(GIFLZW, SubBlocksOfAnySizeDecodeAlike) {
  const TBytes pixels = Random(5000, 16, 4);
  const TBytes lzw = Encode(pixels, 100, 50, 16);
  TBytes data;
  for (size_t at = 1; lzw[at] != 0; at += lzw[at] + 1)
    data.insert(data.end(), lzw.begin() + static_cast<long>(at) + 1,
                lzw.begin() + static_cast<long>(at) + 1 + lzw[at]);
  for (size_t blockSize : {size_t(1), size_t(2), size_t(3), size_t(254)})
    EXPECT_TRUE(Decode(LzwBlocks(lzw[0], data, blockSize), 100, 50).Pixels == pixels) << blockSize;
}

TEST(GIFLZW, MissingEndCodeKeepsTheFillAndWarns) {
  // Clear, 1, 1, 1 in exactly two bytes, then nothing: the rest of a 2x3 frame keeps the fill
  // (the transparent index).
  const TBytes data = PackCodes({8, 1, 1, 1}, {4, 4, 4, 4});
  const TDecoded decoded = Decode(LzwBlocks(3, data), 2, 3, false, 3);
  EXPECT_EQ(decoded.Pixels, (TBytes{1, 1, 1, 3, 3, 3}));
  EXPECT_EQ(decoded.Warnings, (std::vector<std::string>{"Decoder bit buffer under-run"}));
}

TEST(GIFLZW, DamagedCodesEndTheFrameWithAWarning) {
  // Code 7 when the next free code is 6: no table entry yet.
  TDecoded decoded = Decode(LzwBlocks(2, PackCodes({4, 1, 7, 5}, {3, 3, 3, 3})), 2, 2);
  EXPECT_EQ(decoded.Pixels, (TBytes{1, 0, 0, 0}));
  EXPECT_EQ(decoded.Warnings.size(), 1u);
  // A string code right after a clear.
  decoded = Decode(LzwBlocks(2, PackCodes({4, 6}, {3, 3})), 2, 2);
  EXPECT_EQ(decoded.Warnings.size(), 1u);
  // Minimum code sizes whose tables would not fit.
  for (uint8_t size : {uint8_t(0), uint8_t(9), uint8_t(12), uint8_t(255)}) {
    decoded = Decode(LzwBlocks(size, {0xFF, 0xFF, 0xFF}), 2, 2, false, 1);
    EXPECT_EQ(decoded.Pixels, (TBytes{1, 1, 1, 1}));
    EXPECT_EQ(decoded.Warnings, (std::vector<std::string>{"Invalid LZW minimum code size"}));
    EXPECT_EQ(decoded.Consumed, 6u);
  }
}

TEST(GIFLZW, SurplusPixelsAreDropped) {
  const TBytes pixels = Random(10000, 4, 5);
  const TDecoded decoded = Decode(Encode(pixels, 100, 100, 4), 7, 3);
  EXPECT_TRUE(decoded.Pixels == TBytes(pixels.begin(), pixels.begin() + 21));
  // Also when the last string crosses the end (a long run from a flat image).
  const TDecoded flat = Decode(Encode(TBytes(5000, 2), 100, 50, 4), 9, 5);
  EXPECT_EQ(flat.Pixels, TBytes(45, 2));
}

TEST(GIFLZW, CutDataWarnsAndKeepsWhatArrived) {
  const TBytes pixels = Random(2000, 4, 6);
  TBytes lzw = Encode(pixels, 50, 40, 4);
  lzw.resize(lzw.size() / 2);
  const TDecoded decoded = Decode(lzw, 50, 40, false, 0);
  EXPECT_EQ(decoded.Warnings.front(), "Premature end of data");
  EXPECT_EQ(decoded.Consumed, lzw.size());
  size_t same = 0;
  while (same < pixels.size() && decoded.Pixels[same] == pixels[same]) ++same;
  EXPECT_GT(same, 500u);
}

namespace {
uint64_t MaxPixels(const TBytes& lzw) {
  TGIFSpanReader reader(lzw.data(), lzw.size());
  TGIFLZWDecoder decoder;
  decoder.Read(reader, TGIFReporter());
  return decoder.MaxPixels();
}
}  // namespace

TEST(GIFLZW, MaxPixelsHoldsTheLongestStringsTheDataCanCarryAndLittleMore) {
  // Codes that each define the entry one pixel longer than the last, then repeat the longest.
  for (int codes : {1, 2, 10, 300, 4090, 6000}) {
    const TBytes lzw = LongestStrings(codes, 1);
    const uint64_t bound = MaxPixels(lzw);
    // Decoded into a frame larger than the bound, with a fill of 0: the 1s are what the data held.
    const int width = static_cast<int>(bound) + 64;
    const TDecoded decoded = Decode(lzw, width, 1);
    const auto held = static_cast<uint64_t>(std::count(decoded.Pixels.begin(), decoded.Pixels.end(), 1));
    EXPECT_LE(held, bound) << codes;
    // Past the narrow codes, the bound gives no more than the end code, the last byte's spare bits
    // and the code it adds for clears could carry: four codes more.
    if (codes >= 300) {
      EXPECT_LE(bound, held + 4 * std::min<uint64_t>(codes + 4, 4096)) << codes;
    }
  }
  // Without a usable minimum code size no pixel is reachable.
  EXPECT_EQ(MaxPixels({9, 3, 0xFF, 0xFF, 0xFF, 0}), 0u);
  EXPECT_EQ(MaxPixels({}), 0u);
}

TEST(GIFLZW, EncodedFramesStayWithinTheirMaxPixels) {
  // Flat frames make the longest strings an encoder writes, noise the most clear codes.
  const struct {
    int width, height, colors;
    TBytes pixels;
  } cases[] = {{2048, 2048, 2, TBytes(2048 * 2048, 1)},
               {1000, 1000, 256, TBytes(1000 * 1000, 200)},
               {1, 1, 2, {1}},
               {500, 400, 256, Random(500 * 400, 256, 7)}};
  for (const auto& c : cases) {
    const uint64_t area = static_cast<uint64_t>(c.width) * c.height;
    EXPECT_GE(MaxPixels(Encode(c.pixels, c.width, c.height, c.colors)), area) << c.width;
    EXPECT_GE(MaxPixels(Encode(c.pixels, c.width, c.height, c.colors, true)), area) << c.width;
  }
}
