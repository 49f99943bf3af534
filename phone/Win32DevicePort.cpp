#include "phone/Win32DevicePort.h"

#include <windows.h>
// After windows.h, which it needs.
#include <setupapi.h>

#include <algorithm>
#include <cstring>

#include "phone/core/P2KDriver.h"

namespace {

// {4e1e1e15-52d7-11d4-852d-00105aa6f80b}
const GUID DriverClass = {0x4e1e1e15, 0x52d7, 0x11d4, {0x85, 0x2d, 0x00, 0x10, 0x5a, 0xa6, 0xf8, 0x0b}};

// How long a cancelled request may take to finish before its buffers are given up to it.
constexpr DWORD CancelSettle = 1000;
constexpr DWORD ModemWriteTimeout = 2000;
constexpr DWORD MaxSerialValues = 1024;

class TWin32InterfaceList : public TDevicePort::TInterfaceList {
public:
  explicit TWin32InterfaceList(HDEVINFO set) : FSet(set) {}
  ~TWin32InterfaceList() override { SetupDiDestroyDeviceInfoList(FSet); }
  TWin32InterfaceList(const TWin32InterfaceList&) = delete;
  TWin32InterfaceList& operator=(const TWin32InterfaceList&) = delete;

  bool Select(std::uint32_t index) override {
    FData = {};
    FData.cbSize = sizeof FData;
    return SetupDiEnumDeviceInterfaces(FSet, nullptr, &DriverClass, index, &FData) != FALSE;
  }

  TDetailSize DetailSize() override {
    DWORD size = 0;
    const BOOL ok = SetupDiGetDeviceInterfaceDetailA(FSet, &FData, nullptr, 0, &size, nullptr);
    const DWORD error = ok ? 0 : GetLastError();
    return {ok != FALSE, static_cast<std::uint32_t>(error), static_cast<std::uint32_t>(size)};
  }

  bool DetailPath(std::uint32_t size, std::string& path) override {
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) size = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    // Aligned storage for the record, zero-filled so the path always ends.
    std::vector<std::uint64_t> storage(size / sizeof(std::uint64_t) + 2, 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(FSet, &FData, detail, size, nullptr, nullptr)) return false;
    const std::size_t offset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    const std::size_t room = size > offset ? size - offset : 0;
    path.assign(detail->DevicePath, strnlen(detail->DevicePath, room));
    return true;
  }

private:
  HDEVINFO FSet;
  SP_DEVICE_INTERFACE_DATA FData{};
};

class TWin32KeyWatch : public TDevicePort::TKeyWatch {
public:
  TWin32KeyWatch(HKEY key, HANDLE event) : FKey(key), FEvent(event) {}
  ~TWin32KeyWatch() override {
    RegCloseKey(FKey);
    CloseHandle(FEvent);
  }
  TWin32KeyWatch(const TWin32KeyWatch&) = delete;
  TWin32KeyWatch& operator=(const TWin32KeyWatch&) = delete;

  TKeyWait Wait(std::uint32_t timeoutMs) override {
    return WaitForSingleObject(FEvent, timeoutMs) == WAIT_OBJECT_0 ? TKeyWait::Changed : TKeyWait::TimedOut;
  }

private:
  HKEY FKey;
  HANDLE FEvent;
};

// One overlapped request with the buffers the driver writes into; it must live until the
// request has finished.
struct TRequest {
  OVERLAPPED Overlapped{};
  std::vector<std::uint8_t> Input;
  std::vector<std::uint8_t> Output;
};

HANDLE AsHandle(TDeviceHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

std::unique_ptr<TDevicePort::TInterfaceList> TWin32DevicePort::PresentInterfaces() {
  HDEVINFO set = SetupDiGetClassDevsA(&DriverClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<TWin32InterfaceList>(set);
}

TDeviceHandle TWin32DevicePort::Open(const std::string& path) {
  // Overlapped, so that a request the driver never completes can time out and be cancelled.
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<TDeviceHandle>(h);
}

void TWin32DevicePort::Close(TDeviceHandle handle) {
  if (handle != 0) CloseHandle(AsHandle(handle));
}

TIoResult TWin32DevicePort::IoControl(TDeviceHandle handle, std::uint32_t code,
                                      std::span<const std::uint8_t> input, std::uint32_t outputSize,
                                      std::uint32_t timeoutMs) {
  HANDLE device = AsHandle(handle);
  auto request = std::make_unique<TRequest>();
  request->Input.assign(input.begin(), input.end());
  request->Output.assign(outputSize, 0);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (event == nullptr) return {TIoStatus::Rejected, {}};
  request->Overlapped.hEvent = event;

  DWORD returned = 0;
  const BOOL started = DeviceIoControl(device, code, request->Input.empty() ? nullptr : request->Input.data(),
                                       static_cast<DWORD>(request->Input.size()),
                                       request->Output.empty() ? nullptr : request->Output.data(), outputSize,
                                       &returned, &request->Overlapped);
  if (!started && GetLastError() != ERROR_IO_PENDING) {
    CloseHandle(event);
    return {TIoStatus::Rejected, {}};
  }

  TIoStatus status = TIoStatus::Done;
  if (WaitForSingleObject(event, timeoutMs) != WAIT_OBJECT_0) {
    status = TIoStatus::TimedOut;
  } else if (!GetOverlappedResult(device, &request->Overlapped, &returned, FALSE)) {
    status = TIoStatus::Failed;
  }
  if (status != TIoStatus::Done) {
    CancelIo(device);
    // The driver writes into the request until it has finished; one that will not finish keeps
    // its buffers and event rather than have them freed under it.
    if (WaitForSingleObject(event, CancelSettle) != WAIT_OBJECT_0) {
      request.release();
      return {status, {}};
    }
    CloseHandle(event);
    return {status, {}};
  }
  CloseHandle(event);
  request->Output.resize(std::min<std::size_t>(returned, outputSize));
  return {TIoStatus::Done, std::move(request->Output)};
}

std::vector<std::pair<std::string, std::string>> TWin32DevicePort::SerialCommValues() {
  std::vector<std::pair<std::string, std::string>> values;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, P2KDriver::SerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return values;
  for (DWORD i = 0; i < MaxSerialValues; ++i) {
    char name[256];
    BYTE data[256];
    DWORD nameSize = sizeof name;
    DWORD dataSize = sizeof data - 1;
    DWORD type = 0;
    const LONG rc = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
    data[std::min<DWORD>(dataSize, sizeof data - 1)] = 0;
    values.emplace_back(std::string(name, nameSize),
                        std::string(reinterpret_cast<const char*>(data),
                                    strnlen(reinterpret_cast<const char*>(data), dataSize)));
  }
  RegCloseKey(key);
  return values;
}

bool TWin32DevicePort::WriteModemPort(const std::string& port, std::span<const std::uint8_t> data) {
  // The device namespace reaches ports numbered 10 and above too.
  const std::string path = port.rfind("\\\\.\\", 0) == 0 ? port : "\\\\.\\" + port;
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  // A port held back by flow control must not block the monitor thread for good.
  COMMTIMEOUTS timeouts{};
  timeouts.WriteTotalTimeoutConstant = ModemWriteTimeout;
  SetCommTimeouts(h, &timeouts);
  DWORD written = 0;
  const BOOL ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == data.size();
}

std::unique_ptr<TDevicePort::TKeyWatch> TWin32DevicePort::WatchKey(const std::string& keyPath) {
  if (keyPath.empty()) return nullptr;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // Names and values of the key and its subkeys; asynchronous, so the wait can end at shutdown.
  if (event == nullptr ||
      RegNotifyChangeKeyValue(key, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event, TRUE) !=
          ERROR_SUCCESS) {
    if (event != nullptr) CloseHandle(event);
    RegCloseKey(key);
    return nullptr;
  }
  return std::make_unique<TWin32KeyWatch>(key, event);
}
