#include "phone/core/TestCommand.h"

#include <algorithm>

#include "framework/base/ByteOrder.h"
#include "framework/base/Exception.h"

std::vector<std::uint8_t> TTestCommand::Record(std::uint16_t sequence, std::uint16_t command,
                                               std::span<const std::uint8_t> data) {
  // The setup's length field counts the 8-byte command header and the data.
  if (data.size() > 0xFFFF - 8) throw Exception("Test command data too long");
  const auto dataLength = static_cast<std::uint16_t>(data.size());
  std::vector<std::uint8_t> record(data.size() + 18, 0);
  record[0] = 0x41;  // vendor, host to device, interface
  record[1] = 0x02;
  ByteOrder::WriteLE16(&record[2], 0);
  ByteOrder::WriteLE16(&record[4], 8);
  ByteOrder::WriteLE16(&record[6], static_cast<std::uint16_t>(dataLength + 8));
  ByteOrder::WriteBE16(&record[8], sequence & 0x0FFF);
  ByteOrder::WriteBE16(&record[10], command & 0x0FFF);
  ByteOrder::WriteBE16(&record[12], dataLength);
  // Data follows the command header, as the setup's length says; the record keeps its two
  // trailing bytes so a command without data is the 18 bytes the phone expects.
  std::copy(data.begin(), data.end(), record.begin() + 16);
  return record;
}

std::array<std::uint8_t, TTestCommand::SetupSize> TTestCommand::ReadSetup(std::uint8_t request,
                                                                          std::uint16_t value,
                                                                          std::uint16_t length) {
  std::array<std::uint8_t, SetupSize> setup{};
  setup[0] = 0xC1;  // vendor, device to host, interface
  setup[1] = request;
  ByteOrder::WriteLE16(&setup[2], value);
  ByteOrder::WriteLE16(&setup[4], 8);
  ByteOrder::WriteLE16(&setup[6], length);
  setup[8] = 0;
  return setup;
}
