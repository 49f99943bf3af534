#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "phone/core/DevicePort.h"

enum class TSimMode {
  Absent,       // unplugged
  Modem,        // only the USB modem port; "AT+MODE=8" brings up the P2K interface
  TestCommand,  // P2K mode: "Motorola Test Command" at index 258
  Flash,        // boot loader: "Motorola Flash" at index 2
  Nameless      // an interface that answers neither name
};

// Where a fault strikes: a descriptor request, a test-command write or read, a boot-loader frame.
enum class TSimStep { Descriptor, ControlWrite, ControlRead, Addr, Bin, Jump, Erase, PowerDown };

enum class TSimFault {
  None,
  NoReply,   // the request goes unheard: the transfer or the following read times out
  WrongAck,  // the reply says NAK (a descriptor names another interface)
  ShortAck,  // the reply is cut short (a descriptor has no terminating zero)
  Unplug     // the phone disappears as the request arrives
};

// One I/O control as the simulated driver saw it.
struct TSimIo {
  std::uint32_t Code = 0;
  std::vector<std::uint8_t> Input;
  std::uint32_t OutputSize = 0;
  std::uint32_t Timeout = 0;
  TIoStatus Status = TIoStatus::Done;
};

// A phone and its driver behind the device port, for tests: it re-enumerates as the driver does
// (a new device path, the old registry key removed, a new one made), answers the boot loader's
// and RAM downloader's commands, keeps what was written and fails on demand.
class TSimulatedPhone : public TDevicePort {
public:
  static constexpr const char* ModemPort = "COM7";
  static constexpr const char* ModemValue = "\\Device\\USBSER000";

  TSimulatedPhone() = default;
  TSimulatedPhone(const TSimulatedPhone&) = delete;
  TSimulatedPhone& operator=(const TSimulatedPhone&) = delete;

  void PlugIn(TSimMode mode);
  void Unplug();
  TSimMode Mode();
  // The fault strikes the Occurrence-th time Step happens from now.
  void InjectFault(TSimStep step, TSimFault fault, int occurrence = 1);
  // Every request takes Ms; one not done within its time-out times out.
  void SetReplyDelay(std::uint32_t ms);
  // Time between leaving and coming back after the mode switch or the restart command.
  void SetReenumerationDelay(std::uint32_t ms);
  // How long a simulated time-out really blocks, whatever the caller's time-out.
  void SetTimeoutSleep(std::uint32_t ms);
  void SetClassAvailable(bool available);
  void SetKeyWatchable(bool watchable);
  // Whether a watch sees the key's removal (some registries do not signal it).
  void SetKeyRemovalSignalled(bool signalled);
  // A detail size to report for every interface instead of the true one (0: the true one).
  void SetDetailSizeOverride(std::uint32_t size);
  // Another device of the driver's class, answering every descriptor index with Name.
  void AddForeignInterface(const std::string& name);
  void AddSerialValue(const std::string& name, const std::string& data);
  // Whether the I/O log and the boot-loader frames are kept (on by default); commands and memory
  // are always kept. Off for uploads of many megabytes.
  void SetRecording(bool recording);

  // Commands in arrival order: "AT+MODE=8", "TEST 000D", "ADDR 03FD0000", "BIN 2048",
  // "JUMP 03FD0010", "ERASE", "POWER_DOWN"; a frame not understood as "ERR".
  std::vector<std::string> Commands();
  std::vector<TSimIo> IoLog();
  // The boot-loader frames written, as the bulk writes carried them.
  std::vector<std::vector<std::uint8_t>> Frames();
  // Contiguous blocks of written memory, by start address.
  std::map<std::uint32_t, std::vector<std::uint8_t>> Memory();
  // True when every byte of the range was written.
  bool ReadMemory(std::uint32_t address, std::size_t size, std::vector<std::uint8_t>& out);
  // Requests on a handle that was never opened or already closed; a sound caller makes none.
  int ClosedHandleUses();
  int OpenHandles();
  std::string PhonePath();

  std::unique_ptr<TInterfaceList> PresentInterfaces() override;
  TDeviceHandle Open(const std::string& path) override;
  void Close(TDeviceHandle handle) override;
  TIoResult IoControl(TDeviceHandle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                      std::uint32_t outputSize, std::uint32_t timeoutMs) override;
  std::vector<std::pair<std::string, std::string>> SerialCommValues() override;
  bool WriteModemPort(const std::string& port, std::span<const std::uint8_t> data) override;
  std::unique_ptr<TKeyWatch> WatchKey(const std::string& keyPath) override;

private:
  class TWatch;
  struct TInterface {
    std::string Path;
    int Foreign = -1;  // index into FForeign, or -1 for the phone
  };
  struct THandle {
    std::uint32_t Generation = 0;
    int Foreign = -1;
  };
  struct TFaultRule {
    TSimStep Step;
    TSimFault Fault;
    int Remaining;
  };
  using TLock = std::unique_lock<std::mutex>;
  using TClock = std::chrono::steady_clock;

  void Update();
  void Vanish();
  void Appear(TSimMode mode);
  void ComeBackAs(TSimMode mode);
  bool HasInterface() const;
  std::string PhonePathLocked() const;
  std::vector<TInterface> InterfacesLocked() const;
  TSimFault TakeFault(TSimStep step);
  void SleepUnlocked(TLock& lock, std::uint32_t ms);
  TIoResult Descriptor(const THandle& handle, std::span<const std::uint8_t> input, std::uint32_t outputSize,
                       TLock& lock);
  TIoResult ControlTransfer(std::span<const std::uint8_t> input, std::uint32_t outputSize, TLock& lock);
  TIoResult BulkWrite(std::span<const std::uint8_t> input, TLock& lock);
  TIoResult BulkRead(std::span<const std::uint8_t> input, std::uint32_t outputSize, TLock& lock);
  std::string BootCommand(std::span<const std::uint8_t> frame, std::string& log);
  void Store(std::uint32_t address, std::span<const std::uint8_t> data);

  std::mutex FLock;
  std::condition_variable FChanged;
  TSimMode FMode = TSimMode::Absent;
  std::uint32_t FGeneration = 1;
  std::optional<TSimMode> FComingBack;
  TClock::time_point FComingBackAt;
  std::uint32_t FReplyDelay = 0;
  std::uint32_t FReenumerationDelay = 0;
  std::uint32_t FTimeoutSleep = 20;
  bool FClassAvailable = true;
  bool FKeyWatchable = true;
  bool FKeyRemovalSignalled = true;
  std::uint32_t FDetailSizeOverride = 0;
  std::vector<std::string> FForeign;
  std::vector<std::pair<std::string, std::string>> FSerialValues;
  std::vector<TFaultRule> FFaults;

  std::map<TDeviceHandle, THandle> FHandles;
  TDeviceHandle FNextHandle = 0x100;
  int FClosedHandleUses = 0;

  bool FRestartRequested = false;
  std::vector<std::uint8_t> FControlReply;
  std::optional<std::vector<std::uint8_t>> FBulkReply;
  bool FPowerOffAfterReply = false;
  std::optional<std::uint32_t> FAddress;

  bool FRecording = true;
  std::vector<std::string> FCommands;
  std::vector<TSimIo> FIoLog;
  std::vector<std::vector<std::uint8_t>> FFrames;
  std::map<std::uint32_t, std::vector<std::uint8_t>> FMemory;
};
