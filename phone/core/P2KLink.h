#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>

#include "phone/core/DevicePort.h"
#include "phone/core/P2KTarget.h"

// The link to a phone over the driver: the device search, the modem-mode switch and the control
// and bulk transfers. The open device, its path and the current target are shared by the monitor
// thread, which publishes and withdraws them, and the window thread, whose transfers use them: a
// lock keeps a transfer and the closing of the handle apart, so a transfer after an unplug fails
// instead of using a closed handle.
class TP2KLink {
public:
  using TErrorProc = std::function<void(const std::string&)>;

  static constexpr std::uint32_t ControlTimeout = 5000;
  static constexpr std::size_t MaxPath = 256;

  // OnError receives the failing step's report, on whichever thread the step ran.
  TP2KLink(TDevicePort& port, TErrorProc onError);
  TP2KLink(const TP2KLink&) = delete;
  TP2KLink& operator=(const TP2KLink&) = delete;

  P2KTarget Target() const;
  void SetTarget(const P2KTarget& target);
  std::string DevicePath() const;
  bool HasDevice() const;

  // Publishes an open device; the link owns the handle from then on.
  void Attach(TDeviceHandle handle, const std::string& path);
  // Closes the published device, waiting for a transfer that uses it.
  void Detach();

  struct TFound {
    TDeviceHandle Handle = 0;
    std::string Path;
  };
  // The first present interface that answers Target's index with its name, left open.
  TFound OpenP2KDevice(const P2KTarget& target);
  // False once the interface at Path has gone from the present interfaces.
  bool IsInterfacePresent(const std::string& path);

  // The COM port of the first SERIALCOMM value naming a USB modem; empty when none.
  std::string FindUsbModemPort();
  // Writes "AT+MODE=8" and a carriage return to Port; false for an empty port or a failed write.
  bool SendModeSwitch(const std::string& port);

  // Transfers on the published device; false when there is none.
  bool WriteControl(std::span<const std::uint8_t> record);
  bool ReadControl(std::span<const std::uint8_t> setup, std::span<std::uint8_t> out);
  bool BulkWrite(std::span<const std::uint8_t> data, std::uint8_t pipe, std::uint32_t timeoutMs);
  // Received is the number of data bytes copied into Dest (never more than it holds).
  bool BulkRead(std::span<std::uint8_t> dest, std::uint8_t pipe, std::uint32_t timeoutMs,
                std::size_t& received);

  TDevicePort& Port() { return FPort; }

private:
  void ReportError(const std::string& message) const;
  TIoStatus ControlTransfer(std::span<const std::uint8_t> input, std::span<std::uint8_t> out,
                            std::uint32_t outputSize);
  std::string ReadInterfaceName(TDeviceHandle handle, std::uint16_t index, bool& answered);

  TDevicePort& FPort;
  const TErrorProc FOnError;
  mutable std::mutex FLock;  // guards the fields below; held for a transfer's whole length
  TDeviceHandle FHandle = 0;
  std::string FPath;
  P2KTarget FTarget;
};
