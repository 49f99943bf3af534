#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

class TP2KLink;

// The P2K test command and the boot loader's commands over a link. Each boot-loader command is
// one write and one read on the bulk pipe; callers run them one after another on one thread.
class TP2KProtocol {
public:
  using TProgressProc = std::function<void(std::uint32_t done)>;

  static constexpr std::uint8_t BootPipe = 2;
  static constexpr std::uint32_t BootTimeout = 6000;
  static constexpr std::size_t ReplyBuffer = 1024;

  explicit TP2KProtocol(TP2KLink& link) : FLink(link) {}

  // Control write of the command record, then the two control reads of the phone's reply.
  // Always true: a failed transfer is reported through the link and does not stop the sequence.
  bool SendTestCommand(std::uint16_t sequence, std::uint16_t command, std::span<const std::uint8_t> data);
  bool BootAddr(std::uint32_t address);
  bool BootJump(std::uint32_t address);
  // Uploads Data in blocks of up to 2048 bytes, each after an ADDR of its own start; at least one
  // block, so no data still sends one empty BIN. Every block is tried; true when all were
  // acknowledged. Progress gets the bytes done after each block.
  bool BootSendBin(std::uint32_t address, std::span<const std::uint8_t> data, const TProgressProc& progress);
  // As BootSendBin, but stops at the first block the phone does not acknowledge; FailedAt then
  // holds that block's address.
  bool BootSendBinUntilFailure(std::uint32_t address, std::span<const std::uint8_t> data,
                               const TProgressProc& progress, std::uint32_t& failedAt);
  // Sends STX, Command, ETX and reads the reply into Reply (see TBootFrame::CommandReply). False,
  // with Reply a blank, when the write or the read failed.
  bool BootCommand(const std::string& command, std::string& reply);

private:
  bool SendBin(std::uint32_t address, std::span<const std::uint8_t> data, const TProgressProc& progress,
               std::uint32_t* failedAt);
  bool Exchange(const std::vector<std::uint8_t>& frame, const std::string& expected);

  TP2KLink& FLink;
};
