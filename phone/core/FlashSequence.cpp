#include "phone/core/FlashSequence.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "framework/base/ByteOrder.h"
#include "workbench/core/FileHelpers.h"
#include "workbench/core/Messages.h"

namespace {

constexpr std::uint32_t UnknownAddress = 0xFFFFFFFF;
constexpr std::uint32_t SettleAfterJump = 500;
constexpr std::uint32_t SettleAfterErase = 500;
constexpr std::uint32_t PauseAfterFile = 1000;
// An unplug fails the transfer at once; the driver drops the phone's interface a moment later.
constexpr std::uint32_t UnplugGrace = 1000;
constexpr std::uint32_t UnplugPoll = 20;
// The boot loader's erase command: the name, the separator and its argument.
const std::string EraseCommand = std::string("ERASE\x1E") + '\x80';
const std::string EraseAck = std::string("ACK\x1E") + "ERASE";
const std::string PowerDownAck = std::string("ACK\x1E") + "POWER_DOWN";

std::string Hex8(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

std::string Message(TMsgId id) { return Msgs[id]; }

// Reads an image file: a missing file or one that cannot be read whole is a failure; an existing
// empty file is an empty upload.
bool ReadImage(const std::string& name, std::vector<std::uint8_t>& data) {
  data.clear();
  const std::int64_t size = GetFileSizeByName(name);
  if (size < 0 || size > std::numeric_limits<std::uint32_t>::max()) return false;
  return size == 0 || LoadFileToMem(name, data);
}

}  // namespace

std::optional<std::uint32_t> TFlashSequence::ParseAddress(const std::string& text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::string TFlashSequence::RowProblem(const TFlashRow& row) {
  if (row.CG.value_or(0) > MaxCG) return "code group above " + std::to_string(MaxCG);
  if (row.A1 == UnknownAddress) return "start address not known";
  if (row.Size < 0) return "no size";
  if (row.Size > 0 && row.A1 + static_cast<std::uint64_t>(row.Size) - 1 > UnknownAddress) {
    return "the range runs past FFFFFFFF";
  }
  return {};
}

void TFlashSequence::FillLoaderTable(std::vector<std::uint8_t>& loader, const std::vector<TFlashRow>& rows) {
  if (loader.size() < AreaEnd) return;
  std::fill(loader.begin() + AreaStart, loader.begin() + AreaEnd, 0xFF);
  for (const TFlashRow& row : rows) {
    const std::int64_t offset = static_cast<std::int64_t>(TableStart) + 8 * static_cast<std::int64_t>(row.CG.value_or(0));
    if (offset < static_cast<std::int64_t>(AreaStart) || offset + 8 > static_cast<std::int64_t>(AreaEnd)) continue;
    const auto end = static_cast<std::uint32_t>(row.A1 + static_cast<std::uint64_t>(row.Size) - 1);
    ByteOrder::WriteBE32(&loader[static_cast<std::size_t>(offset)], row.A1);
    ByteOrder::WriteBE32(&loader[static_cast<std::size_t>(offset) + 4], end);
  }
}

bool TFlashSequence::CheckJob(const TFlashJob& job, std::vector<std::uint8_t>& loader, std::uint32_t& start) {
  if (job.Loader.empty()) {
    FHost.LogLine(Message(TMsgId::ChooseLoader));
    return false;
  }
  if (!ReadImage(job.Loader, loader) || loader.size() < AreaEnd) {
    FHost.LogLine(Message(TMsgId::RamDownloaderMissing) + " " + job.Loader +
                  (loader.empty() ? std::string() : " (shorter than " + std::to_string(AreaEnd) + " bytes)"));
    return false;
  }
  const std::optional<std::uint32_t> address = ParseAddress(job.StartAddress);
  if (!address) {
    FHost.LogLine("Invalid start address \"" + job.StartAddress + "\": 1 to 8 hex digits expected.");
    return false;
  }
  start = *address;
  bool rowsOk = true;
  for (std::size_t i = 0; i < job.Rows.size(); ++i) {
    const TFlashRow& row = job.Rows[i];
    std::string problem = RowProblem(row);
    if (problem.empty() && GetFileSizeByName(row.Name) < 0) problem = Message(TMsgId::FileNotFound);
    if (!problem.empty()) {
      FHost.LogLine("Row " + std::to_string(i + 1) + " (CG " + (row.CG ? std::to_string(*row.CG) : std::string()) +
                    ", " + row.Name + "): " + problem + ".");
      rowsOk = false;
    }
  }
  return rowsOk;
}

bool TFlashSequence::Upload(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& failedAt) {
  const std::uint64_t total = data.size();
  FHost.Progress(0, total);
  return FLink.SendBin(address, data, [&](std::uint32_t done) { FHost.Progress(done, total); }, failedAt);
}

TFlashOutcome TFlashSequence::SendImages(const std::vector<TFlashRow>& rows) {
  for (const TFlashRow& row : rows) {
    FHost.ProcessMessages();
    std::vector<std::uint8_t> data;
    if (!ReadImage(row.Name, data)) {
      FHost.LogLine("Cannot read " + row.Name + "; nothing was sent to " + Hex8(row.A1) + ".");
      return TFlashOutcome::FileFailed;
    }
    FHost.LogLine(Message(TMsgId::SendFile) + ": " + row.Name);
    std::uint32_t failedAt = 0;
    if (!Upload(row.A1, data, failedAt)) {
      FHost.LogLine(row.Name + ": the phone did not acknowledge the block at " + Hex8(failedAt) + ".");
      return TFlashOutcome::FileFailed;
    }
    FHost.LogLine(row.Name + " " + Message(TMsgId::Sent));
    data = {};
    FHost.Sleep(PauseAfterFile);
  }
  return TFlashOutcome::Done;
}

bool TFlashSequence::GoneWithinGrace() {
  for (std::uint32_t waited = 0;; waited += UnplugPoll) {
    if (!FLink.Plugged()) return true;
    if (waited >= UnplugGrace) return false;
    FHost.Sleep(UnplugPoll);
  }
}

void TFlashSequence::PowerDown() {
  std::string reply;
  if (FLink.Command("POWER_DOWN", reply) && reply.find(PowerDownAck) != std::string::npos) {
    FHost.LogLine(Message(TMsgId::PowerDownDone));
  } else {
    FHost.LogLine("\"POWER_DOWN\" failed: the phone did not acknowledge it.");
  }
}

TFlashOutcome TFlashSequence::Run(const TFlashJob& job) {
  if (!FLink.Connected()) return TFlashOutcome::NotConnected;
  FHost.SetBusy(true);
  struct TIdle {
    TFlashHost& Host;
    ~TIdle() { Host.SetBusy(false); }
  } idle{FHost};

  std::vector<std::uint8_t> loader;
  std::uint32_t start = 0;
  if (!CheckJob(job, loader, start)) return TFlashOutcome::Refused;

  if (FLink.TargetIndex() != FlashModeIndex) {
    if (!FLink.RestartToFlashMode()) {
      FHost.LogLine("The phone could not be told to restart in flash mode.");
      return TFlashOutcome::NoRestart;
    }
    if (!FHost.WaitForConnection(false, RestartTimeout)) {
      FHost.LogLine("The phone did not restart: no disconnect within " + std::to_string(RestartTimeout / 1000) + " s.");
      return TFlashOutcome::NoRestart;
    }
    if (!FHost.WaitForConnection(true, RestartTimeout)) {
      FHost.LogLine("The phone did not come back in flash mode within " + std::to_string(RestartTimeout / 1000) +
                    " s.");
      return TFlashOutcome::NoRestart;
    }
  }

  FillLoaderTable(loader, job.Rows);
  FHost.LogLine(Message(TMsgId::SendingRamDownloader));
  std::uint32_t failedAt = 0;
  TFlashOutcome outcome = TFlashOutcome::Done;
  if (!Upload(start, loader, failedAt)) {
    FHost.LogLine("Loader not sent: the phone did not acknowledge the block at " + Hex8(failedAt) + ".");
    outcome = TFlashOutcome::LoaderFailed;
  } else {
    FHost.LogLine(Message(TMsgId::LoaderSent));
    if (!FLink.Jump(start + 16)) {
      FHost.LogLine(Message(TMsgId::JumpFailed));
      outcome = TFlashOutcome::JumpFailed;
    } else {
      FHost.Sleep(SettleAfterJump);
      FHost.LogLine("Jump Done");
      std::string reply;
      const bool erased = FLink.Command(EraseCommand, reply) && reply.find(EraseAck) != std::string::npos;
      FHost.Sleep(SettleAfterErase);
      if (!erased) {
        FHost.LogLine("Erase failed: the phone did not acknowledge it.");
        outcome = TFlashOutcome::EraseFailed;
      } else {
        FHost.LogLine(Message(TMsgId::EraseDone));
      }
    }
  }
  loader = {};
  if (outcome == TFlashOutcome::Done) outcome = SendImages(job.Rows);
  // A failure reads as a refusal by the phone unless the log tells that it went away.
  if (outcome != TFlashOutcome::Done && GoneWithinGrace()) FHost.LogLine("The phone was unplugged during the run.");
  PowerDown();
  return outcome;
}
