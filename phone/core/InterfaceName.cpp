#include "phone/core/InterfaceName.h"

#include <algorithm>

std::string TInterfaceName::Decode(std::span<const std::uint8_t> reply) {
  // Bytes the driver did not return read as zero, as in a cleared reply buffer.
  const auto at = [&](std::size_t i) -> std::uint8_t { return i < reply.size() ? reply[i] : 0; };
  const std::uint32_t count = static_cast<std::uint32_t>(at(0)) | static_cast<std::uint32_t>(at(1)) << 8 |
                              static_cast<std::uint32_t>(at(2)) << 16 |
                              static_cast<std::uint32_t>(at(3)) << 24;
  constexpr std::uint32_t maxChars = (ReplySize - 4) / 2;
  const std::uint32_t chars = std::min(count / 2, maxChars);
  std::string name;
  for (std::uint32_t i = 0; i < chars; ++i) {
    const std::size_t offset = 4 + 2 * static_cast<std::size_t>(i);
    if (at(offset) == 0 && at(offset + 1) == 0) return name;
    name.push_back(static_cast<char>(at(offset)));
  }
  return {};
}
