#include "workbench/core/HexPairs.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

// The pair's byte as the superfile tools define it, one character at a time.
uint8_t Expected(uint8_t first, uint8_t second) {
  const auto digit = [](uint8_t c) {
    unsigned d = (c - 48u) & 0xFF;
    return d > 16 ? (d - 7) & 0xFF : d;
  };
  return static_cast<uint8_t>(((digit(first) << 4) | digit(second)) & 0xFF);
}

std::vector<uint8_t> Decode(const std::string& text, uint32_t* sum = nullptr) {
  std::vector<uint8_t> out(text.size() / 2);
  const uint32_t s =
      DecodeHexPairs(reinterpret_cast<const uint8_t*>(text.data()), out.size(), out.data()).Sum;
  if (sum) *sum = s;
  return out;
}

}  // namespace

TEST(HexPairs, UpperCaseDecodesAndLowerCaseAsTheToolsAlwaysDid) {
  // 32 pairs, so that the vector path decodes them.
  const std::string upper = "00010A0F10A0F0FF7E80C35A9BDEAD3C00010A0F10A0F0FF7E80C35A9BDEAD3C";
  const std::vector<uint8_t> bytes = {0x00, 0x01, 0x0A, 0x0F, 0x10, 0xA0, 0xF0, 0xFF,
                                      0x7E, 0x80, 0xC3, 0x5A, 0x9B, 0xDE, 0xAD, 0x3C};
  std::vector<uint8_t> twice = bytes;
  twice.insert(twice.end(), bytes.begin(), bytes.end());
  uint32_t sum = 0;
  EXPECT_EQ(Decode(upper, &sum), twice);
  uint32_t expectedSum = 0;
  for (uint8_t b : twice) expectedSum += b;
  EXPECT_EQ(sum, expectedSum);
  // A lower-case letter gives the digit 42 to 47: right as the first digit of a pair (its low four
  // bits are kept), wrong as the second.
  std::string lower = upper;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::vector<uint8_t> got = Decode(lower);
  for (size_t i = 0; i < got.size(); ++i)
    EXPECT_EQ(got[i], Expected(static_cast<uint8_t>(lower[2 * i]), static_cast<uint8_t>(lower[2 * i + 1])))
        << i;
  EXPECT_EQ(Decode(std::string(16, '0') + "0a" + std::string(14, '0'))[8], 0x2A);
  EXPECT_EQ(Decode(std::string(16, '0') + "a0" + std::string(14, '0'))[8], 0xA0);
  EXPECT_EQ(HexPair(reinterpret_cast<const uint8_t*>("0a")), 0x2A);
}

TEST(HexPairs, EveryDecoderGivesTheToolsByteForEveryCharacterAtEveryPosition) {
  // 119 pairs take every step of every decoder: 64, 32, 16 and 4 pairs at a time, then one by one.
  // Each character value goes once into each position, among digits that differ per position, so
  // that a lane mixed up shows.
  std::string base;
  for (int i = 0; i < 2 * 119; ++i) base += "0123456789ABCDEF"[(i * 7) & 15];
  std::vector<uint8_t> baseBytes;
  uint32_t baseSum = 0;
  for (size_t i = 0; i < base.size(); i += 2) {
    baseBytes.push_back(Expected(static_cast<uint8_t>(base[i]), static_cast<uint8_t>(base[i + 1])));
    baseSum += baseBytes.back();
  }
  const std::vector<THexPairsDecoder> decoders = HexPairsDecoders();
  ASSERT_GE(decoders.size(), 1u);
  for (size_t d = 0; d < decoders.size(); ++d) {
    for (int value = 0; value < 256; ++value) {
      for (size_t at = 0; at < base.size(); ++at) {
        std::string text = base;
        text[at] = static_cast<char>(value);
        std::vector<uint8_t> want = baseBytes;
        const size_t pair = at / 2;
        want[pair] = Expected(static_cast<uint8_t>(text[2 * pair]), static_cast<uint8_t>(text[2 * pair + 1]));
        std::vector<uint8_t> got(want.size());
        const THexPairsDecoded decoded =
            decoders[d](reinterpret_cast<const uint8_t*>(text.data()), got.size(), got.data());
        ASSERT_EQ(got, want) << "decoder " << d << ", character " << value << " at " << at;
        ASSERT_EQ(decoded.HasCR, value == '\r') << "decoder " << d << ", character " << value << " at " << at;
        ASSERT_EQ(decoded.Sum, baseSum - baseBytes[pair] + want[pair])
            << "decoder " << d << ", character " << value << " at " << at;
      }
    }
  }
}

TEST(HexPairs, EveryDecoderWritesExactlyTheBytesOfAnyCount) {
  std::string text;
  for (int i = 0; i < 2 * 140; ++i) text += "FEDCBA9876543210"[(i * 5 + 3) & 15];
  const std::vector<THexPairsDecoder> decoders = HexPairsDecoders();
  for (size_t d = 0; d < decoders.size(); ++d) {
    for (size_t count = 0; count <= 140; ++count) {
      std::vector<uint8_t> out(count + 64, 0x55);
      const uint32_t sum = decoders[d](reinterpret_cast<const uint8_t*>(text.data()), count, out.data()).Sum;
      uint32_t expectedSum = 0;
      for (size_t i = 0; i < count; ++i) {
        const uint8_t want =
            Expected(static_cast<uint8_t>(text[2 * i]), static_cast<uint8_t>(text[2 * i + 1]));
        ASSERT_EQ(out[i], want) << "decoder " << d << ", " << count << " pairs, byte " << i;
        expectedSum += want;
      }
      EXPECT_EQ(sum, expectedSum) << "decoder " << d << ", " << count << " pairs";
      for (size_t i = count; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0x55) << "decoder " << d << ", " << count << " pairs wrote byte " << i;
    }
  }
}
