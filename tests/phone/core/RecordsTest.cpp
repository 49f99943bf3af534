#include <gtest/gtest.h>

#include <vector>

#include "framework/base/Exception.h"
#include "phone/core/BulkRequest.h"
#include "phone/core/InterfaceName.h"
#include "phone/core/P2KDriver.h"
#include "phone/core/TestCommand.h"
#include "tests/support/ThrownText.h"

namespace {

using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;

TEST(TestCommand, RestartRecordIsEighteenBytes) {
  const Bytes record = TTestCommand::Record(1, TTestCommand::RestartToFlash, {});
  EXPECT_EQ(record, (Bytes{0x41, 0x02,              // vendor request 2
                           0x00, 0x00,              // value
                           0x08, 0x00,              // index 8
                           0x08, 0x00,              // length: header only
                           0x00, 0x01,              // sequence, big-endian
                           0x00, 0x0D,              // command, big-endian
                           0x00, 0x00, 0x00, 0x00,  // data length, reserved
                           0x00, 0x00}));
}

TEST(TestCommand, SequenceAndCommandKeepTwelveBitsAndDataFollowsTheHeader) {
  const Bytes data{0xAA, 0xBB, 0xCC};
  const Bytes record = TTestCommand::Record(0xF123, 0xE456, data);
  ASSERT_EQ(record.size(), 21u);
  EXPECT_EQ(record[6], 11);  // length: 8 + 3
  EXPECT_EQ(record[8], 0x01);
  EXPECT_EQ(record[9], 0x23);
  EXPECT_EQ(record[10], 0x04);
  EXPECT_EQ(record[11], 0x56);
  EXPECT_EQ(record[12], 0x00);
  EXPECT_EQ(record[13], 0x03);
  EXPECT_EQ(Bytes(record.begin() + 16, record.begin() + 19), data);
  EXPECT_EQ(ThrownText<Exception>([] { TTestCommand::Record(1, 1, Bytes(0xFFF8)); }),
            "Test command data too long");
}

TEST(TestCommand, ReadSetup) {
  const auto setup = TTestCommand::ReadSetup(1, 0x0201, 0x1004);
  EXPECT_EQ(Bytes(setup.begin(), setup.end()), (Bytes{0xC1, 0x01, 0x01, 0x02, 0x08, 0x00, 0x04, 0x10, 0x00}));
}

TEST(BulkRequest, WriteRecordIsPipeLittleEndianLengthDataAndOneMoreByte) {
  const Bytes data{1, 2, 3};
  EXPECT_EQ(TBulkRequest::Write(2, data), (Bytes{2, 3, 0, 0, 0, 1, 2, 3, 0}));
  const Bytes big(0x0102);
  const Bytes record = TBulkRequest::Write(2, big);
  EXPECT_EQ(record.size(), big.size() + 6);
  EXPECT_EQ(record[1], 0x02);
  EXPECT_EQ(record[2], 0x01);
  EXPECT_NO_THROW(TBulkRequest::Write(2, Bytes(TBulkRequest::MaxWrite)));
  EXPECT_EQ(ThrownText<Exception>([] { TBulkRequest::Write(2, Bytes(TBulkRequest::MaxWrite + 1)); }),
            "Bulk write longer than 4091 bytes");
  EXPECT_EQ(TBulkRequest::Read(2, 1024), (Bytes{2, 0x00, 0x04, 0, 0}));
}

TEST(BulkRequest, ReadDataDropsTheHeaderAndNeverOverrunsTheCallersBuffer) {
  Bytes dest(4, 0xEE);
  std::size_t received = 99;
  EXPECT_FALSE(TBulkRequest::ReadData(Bytes{1, 2, 3}, dest, received));
  EXPECT_EQ(received, 0u);

  EXPECT_TRUE(TBulkRequest::ReadData(Bytes{9, 9, 9, 9, 'a', 'b'}, dest, received));
  EXPECT_EQ(received, 2u);
  EXPECT_EQ(dest, (Bytes{'a', 'b', 0xEE, 0xEE}));

  // The driver's 4101-byte output against a 4-byte buffer: cut, nothing written beyond.
  Bytes output(TBulkRequest::ReadOutputSize, 'z');
  Bytes guarded(8, 0xEE);
  EXPECT_TRUE(TBulkRequest::ReadData(output, std::span(guarded).first(4), received));
  EXPECT_EQ(received, 4u);
  EXPECT_EQ(guarded, (Bytes{'z', 'z', 'z', 'z', 0xEE, 0xEE, 0xEE, 0xEE}));
}

Bytes Descriptor(std::uint32_t count, const std::u16string& chars) {
  Bytes reply;
  for (int i = 0; i < 4; ++i) reply.push_back(static_cast<std::uint8_t>(count >> (8 * i)));
  for (char16_t c : chars) {
    reply.push_back(static_cast<std::uint8_t>(c));
    reply.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return reply;
}

TEST(InterfaceName, DecodesLowBytesUpToTheFirstZeroCharacter) {
  EXPECT_EQ(TInterfaceName::Decode(Descriptor(30, u"Motorola Flash\0x"s)), "Motorola Flash");
  // A character's high byte is dropped.
  EXPECT_EQ(TInterfaceName::Decode(Descriptor(8, u"A\u0142B\0"s)), "ABB");
}

TEST(InterfaceName, NameWithoutZeroWithinTheCountIsEmpty) {
  // Count covers "Flash" only: no zero character among the counted ones.
  EXPECT_EQ(TInterfaceName::Decode(Descriptor(10, u"Flash\0"s)), "");
  EXPECT_EQ(TInterfaceName::Decode(Descriptor(0, u"Flash\0"s)), "");
  // Fewer than 4 bytes, or characters missing from the reply, read as zero.
  EXPECT_EQ(TInterfaceName::Decode(Bytes{}), "");
  EXPECT_EQ(TInterfaceName::Decode(Descriptor(20, u"Ab")), "Ab");
}

TEST(InterfaceName, CountIsBoundedByTheReplyBuffer) {
  // A count far beyond the buffer with no zero in 254 characters gives an empty name, never a read
  // beyond the 512-byte reply.
  EXPECT_EQ(TInterfaceName::Decode(Descriptor(0xFFFFFFFF, std::u16string(254, u'x'))), "");
  std::u16string chars(253, u'y');
  chars.push_back(u'\0');
  EXPECT_EQ(TInterfaceName::Decode(Descriptor(0xFFFFFFFF, chars)), std::string(253, 'y'));
}

TEST(P2KDriver, DeviceKeyPathRepeatsThePathAfterItsPrefix) {
  EXPECT_EQ(P2KDriver::DeviceKeyPath("\\\\?\\usb#vid_1#x#{g}"),
            "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{4e1e1e15-52d7-11d4-852d-00105aa6f80b}"
            "\\##?#usb#vid_1#x#{g}\\#\\Control");
  EXPECT_EQ(P2KDriver::DeviceKeyPath(std::string("\\\\?\\ab\0cd", 9)),
            "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{4e1e1e15-52d7-11d4-852d-00105aa6f80b}"
            "\\##?#ab\\#\\Control");
  EXPECT_EQ(P2KDriver::DeviceKeyPath("\\\\?\\"), "");
}

}  // namespace
