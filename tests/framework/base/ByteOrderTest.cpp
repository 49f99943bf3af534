#include "framework/base/ByteOrder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace ByteOrder;

TEST(ByteOrder, ReadsEachOrderFromTheSameBytes) {
  const uint8_t bytes[4] = {0x12, 0x34, 0x56, 0xF8};
  EXPECT_EQ(ReadLE16(bytes), 0x3412u);
  EXPECT_EQ(ReadBE16(bytes), 0x1234u);
  EXPECT_EQ(ReadLE32(bytes), 0xF8563412u);
  EXPECT_EQ(ReadBE32(bytes), 0x123456F8u);
  // A high byte of 0x80 or more must not sign-extend through int promotion.
  const uint8_t high[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ReadLE32(high), 0xFFFFFFFFu);
  EXPECT_EQ(ReadBE32(high), 0xFFFFFFFFu);
  EXPECT_EQ(ReadLE16(high), 0xFFFFu);
}

TEST(ByteOrder, WritesRoundTripThroughReads) {
  uint8_t b[4] = {};
  for (uint32_t v : {0u, 1u, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
    WriteLE32(b, v);
    EXPECT_EQ(ReadLE32(b), v);
    EXPECT_EQ(ReadBE32(b), SwapDWord(v));
    WriteBE32(b, v);
    EXPECT_EQ(ReadBE32(b), v);
    WriteLE16(b, static_cast<uint16_t>(v));
    EXPECT_EQ(ReadLE16(b), static_cast<uint16_t>(v));
    WriteBE16(b, static_cast<uint16_t>(v));
    EXPECT_EQ(ReadBE16(b), static_cast<uint16_t>(v));
  }
  std::vector<uint8_t> out;
  AppendLE16(out, 0x0102);
  AppendLE32(out, 0x03040506);
  EXPECT_EQ(out, (std::vector<uint8_t>{0x02, 0x01, 0x06, 0x05, 0x04, 0x03}));
}

TEST(ByteOrder, SwapAndRangeCheck) {
  EXPECT_EQ(SwapDWord(0x11223344u), 0x44332211u);
  EXPECT_TRUE(Inside(0, 4, 4));
  EXPECT_TRUE(Inside(4, 0, 4));
  EXPECT_FALSE(Inside(1, 4, 4));
  EXPECT_FALSE(Inside(5, 0, 4));
  // offset + length wraps around 2^64; the check must not.
  EXPECT_FALSE(Inside(2, UINT64_MAX, 8));
}
