#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// One row of the flasher's list.
struct TFlashRow {
  std::optional<std::int32_t> CG;  // an empty field puts the pair at the table's start
  std::string Name;                // the image file
  std::uint32_t A1 = 0;            // start address; FFFFFFFF: not known
  std::int64_t Size = 0;
};

// What a run asks of the phone link.
class TFlashLink {
public:
  using TProgressProc = std::function<void(std::uint32_t done)>;

  virtual bool Connected() const = 0;
  virtual std::uint16_t TargetIndex() const = 0;
  // False when the command could not be given (no phone).
  virtual bool RestartToFlashMode() = 0;
  // Stops at the first block the phone does not acknowledge; FailedAt is that block's address.
  virtual bool SendBin(std::uint32_t address, std::span<const std::uint8_t> data, const TProgressProc& progress,
                       std::uint32_t& failedAt) = 0;
  virtual bool Jump(std::uint32_t address) = 0;
  // False when nothing was sent or no reply came; Reply as the boot loader gave it.
  virtual bool Command(const std::string& command, std::string& reply) = 0;
  // False once the phone has gone from the driver's interfaces (unplugged); a link that cannot tell
  // answers Connected.
  virtual bool Plugged() { return Connected(); }

  virtual ~TFlashLink() = default;
};

// What a run asks of the window it runs in.
class TFlashHost {
public:
  virtual void LogLine(const std::string& line) = 0;
  // The gauge: Done of Total bytes of the current upload. Called after every block; the host
  // decides how often it repaints and lets waiting messages through.
  virtual void Progress(std::uint64_t done, std::uint64_t total) = 0;
  virtual void ProcessMessages() = 0;
  // Waits without spinning until the link's Connected equals Wanted, handling messages; false when
  // TimeoutMs passed first.
  virtual bool WaitForConnection(bool wanted, std::uint32_t timeoutMs) = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
  virtual void SetBusy(bool busy) = 0;

  virtual ~TFlashHost() = default;
};

struct TFlashJob {
  std::string Loader;        // the RAM downloader's file
  std::string StartAddress;  // the loader's start address as typed, in hex
  std::vector<TFlashRow> Rows;
};

enum class TFlashOutcome {
  NotConnected,  // nothing done
  Refused,       // the job was not valid; nothing sent
  NoRestart,     // the phone did not come back in flash mode
  LoaderFailed,
  JumpFailed,
  EraseFailed,
  FileFailed,
  Done
};

// The flash run: checks the whole job first, restarts the phone into flash mode unless it is there
// already, uploads the RAM downloader with its address table filled from the rows, starts it,
// erases, uploads every row's image and powers the phone down. The log tells each step and names
// every failure with its file and block address, and says when the phone was unplugged; nothing is
// logged as sent that the phone did not acknowledge.
class TFlashSequence {
public:
  // The loader area set to FF and the table of (start, end) pairs, one slot per code group 0 to 20.
  static constexpr std::size_t AreaStart = 48;
  static constexpr std::size_t AreaEnd = 416;
  static constexpr std::size_t TableStart = 248;
  static constexpr std::int32_t MaxCG = 20;
  static constexpr std::uint16_t FlashModeIndex = 2;
  // How long the phone may take to leave and to come back when restarting into flash mode.
  static constexpr std::uint32_t RestartTimeout = 30000;

  TFlashSequence(TFlashLink& link, TFlashHost& host) : FLink(link), FHost(host) {}

  TFlashOutcome Run(const TFlashJob& job);

  // The loader image as it is sent: bytes 48 to 415 FF, then each row's pair, big-endian.
  static void FillLoaderTable(std::vector<std::uint8_t>& loader, const std::vector<TFlashRow>& rows);
  // 1 to 8 hex digits; nothing else is an address.
  static std::optional<std::uint32_t> ParseAddress(const std::string& text);
  // Why the row cannot be flashed, or empty.
  static std::string RowProblem(const TFlashRow& row);

private:
  bool CheckJob(const TFlashJob& job, std::vector<std::uint8_t>& loader, std::uint32_t& start);
  bool Upload(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& failedAt);
  TFlashOutcome SendImages(const std::vector<TFlashRow>& rows);
  void PowerDown();
  // Whether the phone leaves the driver's interfaces within a short grace after a failure.
  bool GoneWithinGrace();

  TFlashLink& FLink;
  TFlashHost& FHost;
};
