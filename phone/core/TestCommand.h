#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Records of the P2K test command, a vendor control transfer to a phone in normal mode.
class TTestCommand {
public:
  static constexpr std::uint16_t RestartToFlash = 0x000D;
  static constexpr std::size_t SetupSize = 9;

  // The input of a control write: setup packet, command header and data; Data.size() + 18 bytes.
  static std::vector<std::uint8_t> Record(std::uint16_t sequence, std::uint16_t command,
                                          std::span<const std::uint8_t> data);
  // The 9-byte setup of a control read (vendor, device to host, interface 8).
  static std::array<std::uint8_t, SetupSize> ReadSetup(std::uint8_t request, std::uint16_t value,
                                                       std::uint16_t length);
};
