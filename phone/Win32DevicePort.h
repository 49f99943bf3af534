#pragma once

#include "phone/core/DevicePort.h"

// The device port over the platform: device setup, the driver's I/O controls, the registry and
// the COM port.
class TWin32DevicePort : public TDevicePort {
public:
  std::unique_ptr<TInterfaceList> PresentInterfaces() override;
  TDeviceHandle Open(const std::string& path) override;
  void Close(TDeviceHandle handle) override;
  TIoResult IoControl(TDeviceHandle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                      std::uint32_t outputSize, std::uint32_t timeoutMs) override;
  std::vector<std::pair<std::string, std::string>> SerialCommValues() override;
  bool WriteModemPort(const std::string& port, std::span<const std::uint8_t> data) override;
  std::unique_ptr<TKeyWatch> WatchKey(const std::string& keyPath) override;
};
