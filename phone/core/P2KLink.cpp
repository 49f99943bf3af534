#include "phone/core/P2KLink.h"

#include <algorithm>
#include <array>
#include <vector>

#include "phone/core/BulkRequest.h"
#include "phone/core/InterfaceName.h"
#include "phone/core/P2KDriver.h"

namespace {

// Bounds the walk over the driver's interfaces against a list that never ends.
constexpr std::uint32_t MaxInterfaces = 1024;
constexpr std::uint32_t MaxDetailSize = 256;
constexpr std::uint32_t WriteControlScratch = 5;

// The current interface's path, when its detail query fails as it should, with the
// insufficient-buffer error and a size that fits the detail record.
bool UsablePath(TDevicePort::TInterfaceList& list, std::string& path) {
  const TDetailSize size = list.DetailSize();
  if (size.Succeeded || size.Error != P2KDriver::ErrorInsufficientBuffer || size.Size > MaxDetailSize)
    return false;
  return list.DetailPath(size.Size, path);
}

}  // namespace

TP2KLink::TP2KLink(TDevicePort& port, TErrorProc onError) : FPort(port), FOnError(std::move(onError)) {}

P2KTarget TP2KLink::Target() const {
  std::lock_guard lock(FLock);
  return FTarget;
}

void TP2KLink::SetTarget(const P2KTarget& target) {
  std::lock_guard lock(FLock);
  FTarget = target;
}

std::string TP2KLink::DevicePath() const {
  std::lock_guard lock(FLock);
  return FPath;
}

bool TP2KLink::HasDevice() const {
  std::lock_guard lock(FLock);
  return FHandle != 0;
}

void TP2KLink::Attach(TDeviceHandle handle, const std::string& path) {
  std::lock_guard lock(FLock);
  if (FHandle != 0) FPort.Close(FHandle);
  FHandle = handle;
  FPath = path.substr(0, MaxPath);
}

void TP2KLink::Detach() {
  std::lock_guard lock(FLock);
  if (FHandle != 0) FPort.Close(FHandle);
  FHandle = 0;
}

void TP2KLink::ReportError(const std::string& message) const {
  if (FOnError) FOnError(message);
}

std::string TP2KLink::ReadInterfaceName(TDeviceHandle handle, std::uint16_t index, bool& answered) {
  const std::array<std::uint8_t, 2> input{static_cast<std::uint8_t>(index),
                                          static_cast<std::uint8_t>(index >> 8)};
  const TIoResult result =
      FPort.IoControl(handle, P2KDriver::IoInterfaceName, input, TInterfaceName::ReplySize, ControlTimeout);
  answered = result.Status == TIoStatus::Done;
  if (result.Status == TIoStatus::Failed) {
    ReportError("GetOverlappedResult fail");
  } else if (!answered) {
    ReportError("DevIOCtl fail");
  }
  return answered ? TInterfaceName::Decode(result.Output) : std::string();
}

TP2KLink::TFound TP2KLink::OpenP2KDevice(const P2KTarget& target) {
  const std::unique_ptr<TDevicePort::TInterfaceList> list = FPort.PresentInterfaces();
  if (!list) {
    ReportError("Get class fail");
    return {};
  }
  for (std::uint32_t i = 0; i < MaxInterfaces && list->Select(i); ++i) {
    std::string path;
    if (!UsablePath(*list, path)) continue;
    const TDeviceHandle handle = FPort.Open(path);
    if (handle == 0) continue;
    bool answered = false;
    const std::string name = ReadInterfaceName(handle, target.Index, answered);
    if (!answered) {
      FPort.Close(handle);
      return {};
    }
    if (name == target.Name) return {handle, path.substr(0, MaxPath)};
    FPort.Close(handle);
  }
  return {};
}

bool TP2KLink::IsInterfacePresent(const std::string& path) {
  const std::unique_ptr<TDevicePort::TInterfaceList> list = FPort.PresentInterfaces();
  if (!list) return false;
  for (std::uint32_t i = 0; i < MaxInterfaces && list->Select(i); ++i) {
    std::string found;
    if (UsablePath(*list, found) && found.substr(0, MaxPath) == path) return true;
  }
  return false;
}

std::string TP2KLink::FindUsbModemPort() {
  for (const auto& [name, data] : FPort.SerialCommValues()) {
    if (name.find(P2KDriver::ModemValueTag) != std::string::npos) return data.substr(0, 255);
  }
  return {};
}

bool TP2KLink::SendModeSwitch(const std::string& port) {
  if (port.empty()) return false;
  static constexpr std::uint8_t command[] = {'A', 'T', '+', 'M', 'O', 'D', 'E', '=', '8', '\r'};
  return FPort.WriteModemPort(port, command);
}

TIoStatus TP2KLink::ControlTransfer(std::span<const std::uint8_t> input, std::span<std::uint8_t> out,
                                    std::uint32_t outputSize) {
  TIoResult result;
  {
    std::lock_guard lock(FLock);
    if (FHandle == 0) return TIoStatus::Rejected;
    result = FPort.IoControl(FHandle, P2KDriver::IoControlTransfer, input, outputSize, ControlTimeout);
  }
  if (result.Status == TIoStatus::Done) {
    std::copy_n(result.Output.begin(), std::min(result.Output.size(), out.size()), out.begin());
  }
  return result.Status;
}

bool TP2KLink::WriteControl(std::span<const std::uint8_t> record) {
  if (!HasDevice()) return false;
  // Reported after the lock is released: the error callback may ask the link about its state.
  const TIoStatus status = ControlTransfer(record, {}, WriteControlScratch);
  if (status == TIoStatus::Failed) {
    ReportError("WriteData GetOverlappedResult fail");
  } else if (status != TIoStatus::Done) {
    ReportError("WriteData DevIOCtl fail");
  }
  return status == TIoStatus::Done;
}

bool TP2KLink::ReadControl(std::span<const std::uint8_t> setup, std::span<std::uint8_t> out) {
  if (!HasDevice()) return false;
  const TIoStatus status = ControlTransfer(setup, out, static_cast<std::uint32_t>(out.size()));
  if (status == TIoStatus::Failed) {
    ReportError("ReadData GetOverlappedResult fail");
  } else if (status != TIoStatus::Done) {
    ReportError("ReadData DevIOCtl fail");
  }
  return status == TIoStatus::Done;
}

bool TP2KLink::BulkWrite(std::span<const std::uint8_t> data, std::uint8_t pipe, std::uint32_t timeoutMs) {
  if (data.size() > TBulkRequest::MaxWrite) return false;
  const std::vector<std::uint8_t> request = TBulkRequest::Write(pipe, data);
  std::lock_guard lock(FLock);
  if (FHandle == 0) return false;
  return FPort.IoControl(FHandle, P2KDriver::IoBulkWrite, request, 0, timeoutMs).Status == TIoStatus::Done;
}

bool TP2KLink::BulkRead(std::span<std::uint8_t> dest, std::uint8_t pipe, std::uint32_t timeoutMs,
                        std::size_t& received) {
  received = 0;
  const std::vector<std::uint8_t> request = TBulkRequest::Read(pipe, static_cast<std::uint32_t>(dest.size()));
  TIoResult result;
  {
    std::lock_guard lock(FLock);
    if (FHandle == 0) return false;
    result =
        FPort.IoControl(FHandle, P2KDriver::IoBulkRead, request, TBulkRequest::ReadOutputSize, timeoutMs);
  }
  return result.Status == TIoStatus::Done && TBulkRequest::ReadData(result.Output, dest, received);
}
