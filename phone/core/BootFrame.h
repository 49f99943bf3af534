#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Frames of the boot loader's text commands (STX, command, ETX) and the checks of their replies.
class TBootFrame {
public:
  static constexpr std::uint8_t Stx = 0x02;
  static constexpr std::uint8_t Etx = 0x03;
  static constexpr std::uint8_t Separator = 0x1E;
  static constexpr std::size_t MaxBinBlock = 2048;
  // BootCommand's reply scan covers no more than this many bytes.
  static constexpr std::size_t CommandReplyScan = 256;

  static std::vector<std::uint8_t> Addr(std::uint32_t address);
  static std::vector<std::uint8_t> Jump(std::uint32_t address);
  // Block of at most MaxBinBlock bytes.
  static std::vector<std::uint8_t> Bin(std::span<const std::uint8_t> block);
  static std::vector<std::uint8_t> Command(std::string_view text);

  // Expected reply texts, compared after PrepareReply.
  static std::string AddrReply(std::uint32_t address);
  static std::string JumpReply(std::uint32_t address);
  static std::string BinReply();

  // The received bytes as text with characters of code 32 or below removed from both ends.
  static std::string PrepareReply(std::span<const std::uint8_t> received);
  // The first Expected.size() characters of the prepared reply equal Expected.
  static bool ReplyMatches(std::span<const std::uint8_t> received, const std::string& expected);
  // BootCommand's reply: a blank, the first byte, then the bytes up to the next ETX, all within
  // the first CommandReplyScan bytes.
  static std::string CommandReply(std::span<const std::uint8_t> received);

  // 8 upper-case hex digits of Address followed by the 2 of the 8-bit sum of their codes.
  static std::string AddressDigits(std::uint32_t address);
};
