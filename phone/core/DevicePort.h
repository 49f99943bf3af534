#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

// Handle of an open device interface; 0 means none.
using TDeviceHandle = std::uintptr_t;

enum class TIoStatus {
  Done,      // completed; Output holds what the driver returned
  Rejected,  // the driver refused the request at once
  TimedOut,  // no completion within the time-out; the request was cancelled
  Failed     // completed with an error; the request was cancelled
};

struct TIoResult {
  TIoStatus Status = TIoStatus::Rejected;
  std::vector<std::uint8_t> Output;
};

// Result of asking an interface's detail size with no buffer.
struct TDetailSize {
  bool Succeeded = false;
  std::uint32_t Error = 0;
  std::uint32_t Size = 0;
};

enum class TKeyWait { Changed, TimedOut };

// What the phone link needs from the platform and the phone maker's driver. The program uses the
// Win32 implementation, the tests a simulated phone. Every method may be called from the monitor
// thread and the window thread.
class TDevicePort {
public:
  // The present device interfaces of the driver's class, released on destruction.
  class TInterfaceList {
  public:
    virtual ~TInterfaceList() = default;
    // Makes interface Index current; false when enumeration ends.
    virtual bool Select(std::uint32_t index) = 0;
    virtual TDetailSize DetailSize() = 0;
    // The current interface's device path, read through a detail record of Size bytes.
    virtual bool DetailPath(std::uint32_t size, std::string& path) = 0;
  };

  // A registry key watched for a change of its names or values, or of its subkeys'.
  class TKeyWatch {
  public:
    virtual ~TKeyWatch() = default;
    virtual TKeyWait Wait(std::uint32_t timeoutMs) = 0;
  };

  virtual ~TDevicePort() = default;

  // Null when the class cannot be listed.
  virtual std::unique_ptr<TInterfaceList> PresentInterfaces() = 0;
  // Opens a device path for reading and writing; 0 on failure.
  virtual TDeviceHandle Open(const std::string& path) = 0;
  virtual void Close(TDeviceHandle handle) = 0;
  // One overlapped I/O control: started, waited for up to TimeoutMs, cancelled unless it succeeded.
  // Output is at most OutputSize bytes.
  virtual TIoResult IoControl(TDeviceHandle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                              std::uint32_t outputSize, std::uint32_t timeoutMs) = 0;
  // Name and data of the string values under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, in registry order.
  virtual std::vector<std::pair<std::string, std::string>> SerialCommValues() = 0;
  // Opens the COM port exclusively, writes Data and closes it; true when every byte was written.
  virtual bool WriteModemPort(const std::string& port, std::span<const std::uint8_t> data) = 0;
  // Watches a key under HKLM; null when it cannot be opened or watched.
  virtual std::unique_ptr<TKeyWatch> WatchKey(const std::string& keyPath) = 0;
};
