#pragma once

#include <cstdint>
#include <span>
#include <string>

// The interface name in the driver's reply to a string-descriptor request.
class TInterfaceName {
public:
  static constexpr std::uint32_t ReplySize = 512;

  // The reply is a u32 byte count n and UTF-16 characters; the name is the low bytes of the first
  // n / 2 characters (at most 254), cut at the first zero character; empty without one.
  static std::string Decode(std::span<const std::uint8_t> reply);
};
