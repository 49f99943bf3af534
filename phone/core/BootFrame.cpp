#include "phone/core/BootFrame.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "framework/base/Exception.h"

namespace {

std::string Hex8(std::uint32_t v) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(v));
  return text;
}

std::vector<std::uint8_t> Framed(std::string_view text) {
  std::vector<std::uint8_t> frame;
  frame.reserve(text.size() + 2);
  frame.push_back(TBootFrame::Stx);
  frame.insert(frame.end(), text.begin(), text.end());
  frame.push_back(TBootFrame::Etx);
  return frame;
}

}  // namespace

std::string TBootFrame::AddressDigits(std::uint32_t address) {
  const std::string digits = Hex8(address);
  std::uint8_t sum = 0;
  for (char c : digits) sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(c));
  char tail[3];
  std::snprintf(tail, sizeof tail, "%02X", static_cast<unsigned>(sum));
  return digits + tail;
}

std::vector<std::uint8_t> TBootFrame::Addr(std::uint32_t address) {
  return Framed("ADDR" + std::string(1, Separator) + AddressDigits(address));
}

std::vector<std::uint8_t> TBootFrame::Jump(std::uint32_t address) {
  return Framed("JUMP" + std::string(1, Separator) + AddressDigits(address));
}

std::vector<std::uint8_t> TBootFrame::Bin(std::span<const std::uint8_t> block) {
  if (block.size() > MaxBinBlock) throw Exception("BIN block longer than 2048 bytes");
  const auto high = static_cast<std::uint8_t>(block.size() >> 8);
  const auto low = static_cast<std::uint8_t>(block.size());
  std::vector<std::uint8_t> frame;
  frame.reserve(block.size() + 9);
  frame.insert(frame.end(), {Stx, 'B', 'I', 'N', Separator, high, low});
  frame.insert(frame.end(), block.begin(), block.end());
  // The sum of the length bytes and the data, modulo 256.
  const unsigned sum = std::accumulate(block.begin(), block.end(), unsigned{high} + low);
  frame.push_back(static_cast<std::uint8_t>(sum));
  frame.push_back(Etx);
  return frame;
}

std::vector<std::uint8_t> TBootFrame::Command(std::string_view text) {
  return Framed(text);
}

std::string TBootFrame::AddrReply(std::uint32_t address) {
  return "ACK" + std::string(1, Separator) + "ADDR," + AddressDigits(address);
}

std::string TBootFrame::JumpReply(std::uint32_t address) {
  return "ACK" + std::string(1, Separator) + "JUMP," + Hex8(address);
}

std::string TBootFrame::BinReply() {
  return "ACK" + std::string(1, Separator) + "BIN";
}

std::string TBootFrame::PrepareReply(std::span<const std::uint8_t> received) {
  std::size_t first = 0;
  std::size_t last = received.size();
  while (first < last && received[first] <= 32) ++first;
  while (last > first && received[last - 1] <= 32) --last;
  return std::string(received.begin() + static_cast<std::ptrdiff_t>(first),
                     received.begin() + static_cast<std::ptrdiff_t>(last));
}

bool TBootFrame::ReplyMatches(std::span<const std::uint8_t> received, const std::string& expected) {
  const std::string reply = PrepareReply(received);
  return reply.size() >= expected.size() && reply.compare(0, expected.size(), expected) == 0;
}

std::string TBootFrame::CommandReply(std::span<const std::uint8_t> received) {
  const std::size_t limit = std::min(received.size(), CommandReplyScan);
  std::string reply(1, ' ');
  if (limit == 0) return reply;
  std::size_t end = 1;
  while (end < limit && received[end] != Etx) ++end;
  reply.append(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(end));
  return reply;
}
