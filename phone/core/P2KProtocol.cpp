#include "phone/core/P2KProtocol.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <thread>

#include "phone/core/BootFrame.h"
#include "phone/core/P2KLink.h"
#include "phone/core/TestCommand.h"

namespace {

constexpr std::size_t FirstReplySize = 12;
constexpr std::size_t SecondReplySize = 4004;
constexpr std::size_t MaxCommandText = 255;

// Gives the phone time to prepare its reply (not while fuzzing, where nobody answers).
void Pause10() {
#ifndef TARVEX_FUZZING
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
#endif
}

}  // namespace

bool TP2KProtocol::SendTestCommand(std::uint16_t sequence, std::uint16_t command,
                                   std::span<const std::uint8_t> data) {
  FLink.WriteControl(TTestCommand::Record(sequence, command, data));

  std::array<std::uint8_t, FirstReplySize> first{};
  FLink.ReadControl(TTestCommand::ReadSetup(0, 0, 8), first);
  Pause10();

  // The first reply names the second: its value and its length less the 4 bytes of its header.
  // A length beyond the reply buffer is cut to it.
  std::vector<std::uint8_t> second(SecondReplySize, 0);
  const std::size_t length = std::min<std::size_t>(first[2] + 256u * first[3] + 4u, SecondReplySize);
  FLink.ReadControl(TTestCommand::ReadSetup(1, first[1], static_cast<std::uint16_t>(length)), second);
  Pause10();
  return true;
}

bool TP2KProtocol::Exchange(const std::vector<std::uint8_t>& frame, const std::string& expected) {
  if (!FLink.BulkWrite(frame, BootPipe, BootTimeout)) return false;
  std::array<std::uint8_t, ReplyBuffer> reply{};
  std::size_t received = 0;
  if (!FLink.BulkRead(reply, BootPipe, BootTimeout, received)) return false;
  return TBootFrame::ReplyMatches(std::span(reply).first(received), expected);
}

bool TP2KProtocol::BootAddr(std::uint32_t address) {
  return Exchange(TBootFrame::Addr(address), TBootFrame::AddrReply(address));
}

bool TP2KProtocol::BootJump(std::uint32_t address) {
  return Exchange(TBootFrame::Jump(address), TBootFrame::JumpReply(address));
}

bool TP2KProtocol::BootSendBin(std::uint32_t address, std::span<const std::uint8_t> data,
                               const TProgressProc& progress) {
  return SendBin(address, data, progress, nullptr);
}

bool TP2KProtocol::BootSendBinUntilFailure(std::uint32_t address, std::span<const std::uint8_t> data,
                                           const TProgressProc& progress, std::uint32_t& failedAt) {
  return SendBin(address, data, progress, &failedAt);
}

// Every block is tried unless FailedAt asks to stop at the first one that fails.
bool TP2KProtocol::SendBin(std::uint32_t address, std::span<const std::uint8_t> data,
                           const TProgressProc& progress, std::uint32_t* failedAt) {
  if (data.size() > std::numeric_limits<std::uint32_t>::max()) {
    if (failedAt != nullptr) *failedAt = address;
    return false;
  }
  const auto size = static_cast<std::uint32_t>(data.size());
  bool result = true;
  std::uint32_t done = 0;
  do {
    const std::uint32_t n = std::min<std::uint32_t>(size - done, TBootFrame::MaxBinBlock);
    const bool sent = BootAddr(address) && Exchange(TBootFrame::Bin(data.subspan(done, n)), TBootFrame::BinReply());
    if (!sent) {
      result = false;
      if (failedAt != nullptr) {
        *failedAt = address;
        return false;
      }
    }
    address += n;  // wraps as the phone's 32-bit addresses do
    done += n;
    if (progress) progress(done);
  } while (done < size);
  return result;
}

bool TP2KProtocol::BootCommand(const std::string& command, std::string& reply) {
  reply.assign(1, ' ');
  if (command.size() > MaxCommandText) return false;
  if (!FLink.BulkWrite(TBootFrame::Command(command), BootPipe, BootTimeout)) return false;
  Pause10();
  // Cleared, so that a short or failed read never shows an older reply.
  std::array<std::uint8_t, ReplyBuffer> buffer{};
  std::size_t received = 0;
  if (!FLink.BulkRead(buffer, BootPipe, BootTimeout, received)) return false;
  reply = TBootFrame::CommandReply(std::span(buffer).first(received));
  return true;
}
