#include "framework/base/Exception.h"
#include "phone/core/BootFrame.h"
#include "tests/support/ThrownText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromText(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

TEST(BootFrame, AddrAndJumpCarryTheDigitSum) {
  // '0'+'3'+'F'+'D'+'0'+'0'+'0'+'0' = 429, low byte AD.
  EXPECT_EQ(TBootFrame::Addr(0x03FD0000), FromText("\x02"
                                                   "ADDR\x1E"
                                                   "03FD0000AD\x03"));
  EXPECT_EQ(TBootFrame::Addr(0x03FD0000).size(), 17u);
  // 8 x 'F' = 560, low byte 30; digits are upper case.
  EXPECT_EQ(TBootFrame::Jump(0xFFFFFFFF), FromText("\x02JUMP\x1E"
                                                   "FFFFFFFF30\x03"));
  EXPECT_EQ(TBootFrame::Jump(0x00000000), FromText("\x02JUMP\x1E"
                                                   "0000000080\x03"));
}

TEST(BootFrame, BinCarriesLengthHighFirstAndSumOfLengthAndData) {
  const Bytes data{0x10, 0xF0, 0x05};
  // Sum: 0x00 + 0x03 + 0x10 + 0xF0 + 0x05 = 0x108 -> 08.
  EXPECT_EQ(TBootFrame::Bin(data),
            (Bytes{0x02, 'B', 'I', 'N', 0x1E, 0x00, 0x03, 0x10, 0xF0, 0x05, 0x08, 0x03}));
  EXPECT_EQ(TBootFrame::Bin({}), (Bytes{0x02, 'B', 'I', 'N', 0x1E, 0x00, 0x00, 0x00, 0x03}));

  const Bytes full(2048, 0x01);
  const Bytes frame = TBootFrame::Bin(full);
  ASSERT_EQ(frame.size(), 2048u + 9);
  EXPECT_EQ(frame[5], 0x08);
  EXPECT_EQ(frame[6], 0x00);
  EXPECT_EQ(frame[2048 + 7], static_cast<std::uint8_t>(0x08 + 2048));
  EXPECT_EQ(ThrownText<Exception>([] { TBootFrame::Bin(Bytes(2049)); }), "BIN block longer than 2048 bytes");
}

TEST(BootFrame, PlainCommands) {
  EXPECT_EQ(TBootFrame::Command("ERASE\x1E\x80"), (Bytes{0x02, 'E', 'R', 'A', 'S', 'E', 0x1E, 0x80, 0x03}));
  EXPECT_EQ(TBootFrame::Command("POWER_DOWN"), FromText("\x02POWER_DOWN\x03"));
  EXPECT_EQ(TBootFrame::Command("POWER_DOWN").size(), 12u);
}

TEST(BootFrame, ExpectedReplies) {
  EXPECT_EQ(TBootFrame::AddrReply(0x03FD0000),
            "ACK\x1E"
            "ADDR,03FD0000AD");
  EXPECT_EQ(TBootFrame::AddrReply(0).size(), 19u);
  EXPECT_EQ(TBootFrame::JumpReply(0x03FD0010), "ACK\x1EJUMP,03FD0010");
  EXPECT_EQ(TBootFrame::JumpReply(0).size(), 17u);
  EXPECT_EQ(TBootFrame::BinReply(),
            "ACK\x1E"
            "BIN");
}

TEST(BootFrame, ReplyMatchesAfterTrimmingControlCharactersAndBlanks) {
  const std::string bin = TBootFrame::BinReply();
  EXPECT_TRUE(TBootFrame::ReplyMatches(FromText("\x02"
                                                "ACK\x1E"
                                                "BIN\x03"),
                                       bin));
  // Leading blanks and STX bytes, trailing ETX and zero padding.
  EXPECT_TRUE(
      TBootFrame::ReplyMatches(Bytes{' ', ' ', 2, 2, ' ', 'A', 'C', 'K', 0x1E, 'B', 'I', 'N', 3, 0, 0}, bin));
  // Longer text only has its first characters compared.
  EXPECT_TRUE(TBootFrame::ReplyMatches(FromText("\x02"
                                                "ACK\x1E"
                                                "BIN,extra\x03"),
                                       bin));
  // Case-sensitive, and a shorter text never matches.
  EXPECT_FALSE(TBootFrame::ReplyMatches(FromText("\x02"
                                                 "ack\x1E"
                                                 "BIN\x03"),
                                        bin));
  EXPECT_FALSE(TBootFrame::ReplyMatches(FromText("\x02"
                                                 "ACK\x1E"
                                                 "BI\x03"),
                                        bin));
  EXPECT_FALSE(TBootFrame::ReplyMatches({}, bin));
  // The address digits and their sum must be the ones sent.
  EXPECT_FALSE(TBootFrame::ReplyMatches(FromText("\x02"
                                                 "ACK\x1E"
                                                 "ADDR,03FD0000AE\x03"),
                                        TBootFrame::AddrReply(0x03FD0000)));
  EXPECT_FALSE(TBootFrame::ReplyMatches(FromText("\x02"
                                                 "ACK\x1E"
                                                 "ADDR,03FD0000\x03"),
                                        TBootFrame::AddrReply(0x03FD0000)));
}

TEST(BootFrame, CommandReplyTakesTheFirstByteAndStopsAtEtxWithin256Bytes) {
  EXPECT_EQ(TBootFrame::CommandReply(FromText("\x02"
                                              "ACK\x1E"
                                              "ERASE\x03junk")),
            " \x02"
            "ACK\x1E"
            "ERASE");
  // The first byte is taken even when it is an ETX.
  EXPECT_EQ(TBootFrame::CommandReply(FromText("\x03"
                                              "AB\x03")),
            " \x03"
            "AB");
  EXPECT_EQ(TBootFrame::CommandReply({}), " ");
  // No ETX: the scan ends after 256 bytes.
  const Bytes noEtx(1024, 'x');
  EXPECT_EQ(TBootFrame::CommandReply(noEtx), " " + std::string(256, 'x'));
  Bytes lateEtx(1024, 'y');
  lateEtx[300] = 0x03;
  EXPECT_EQ(TBootFrame::CommandReply(lateEtx).size(), 257u);
}

}  // namespace
