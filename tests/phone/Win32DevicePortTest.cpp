#include "phone/Win32DevicePort.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "phone/core/P2KDriver.h"
#include "phone/core/P2KLink.h"

#include "tests/e2e/phone/PhoneControl.h"

namespace {

// The test prefix may hold the simulated phone driver of the end-to-end tests: its phone is
// unplugged while the test runs, so that the class lists no interface.
class TPhoneUnplugged {
public:
  TPhoneUnplugged() {
    FControl = CreateFileA(TARVEX_PHONE_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (!Request(TARVEX_PHONE_UNPLUG, 0)) return;
    // The interface goes away when the driver's watch of the phone sees the unplug.
    TWin32DevicePort port;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
      auto list = port.PresentInterfaces();
      if (!list || !list->Select(0)) break;
      Sleep(10);
    }
  }
  ~TPhoneUnplugged() {
    Request(TARVEX_PHONE_PLUG, 2);  // test-command mode
    if (FControl != INVALID_HANDLE_VALUE) CloseHandle(FControl);
  }
  TPhoneUnplugged(const TPhoneUnplugged&) = delete;
  TPhoneUnplugged& operator=(const TPhoneUnplugged&) = delete;

private:
  bool Request(DWORD code, DWORD mode) {
    if (FControl == INVALID_HANDLE_VALUE) return false;
    DWORD words[2] = {mode, 0}, returned = 0;
    return DeviceIoControl(FControl, code, words, sizeof words, nullptr, 0, &returned, nullptr) != FALSE;
  }
  HANDLE FControl = INVALID_HANDLE_VALUE;
};

TEST(Win32DevicePort, WithoutTheDriverTheSearchFindsNothing) {
  TPhoneUnplugged unplugged;
  TWin32DevicePort port;
  std::vector<std::string> errors;
  TP2KLink link(port, [&](const std::string& message) { errors.push_back(message); });
  EXPECT_EQ(link.OpenP2KDevice(P2KTarget::FlashMode()).Handle, 0u);
  // Either the class lists no interface or it cannot be listed at all.
  EXPECT_TRUE(errors.empty() || errors == std::vector<std::string>{"Get class fail"});
}

TEST(Win32DevicePort, RefusedRequestReturnsWithoutWaitingForItsTimeout) {
  char dir[MAX_PATH];
  char file[MAX_PATH];
  ASSERT_NE(GetTempPathA(MAX_PATH, dir), 0u);
  ASSERT_NE(GetTempFileNameA(dir, "p2k", 0, file), 0u);
  TWin32DevicePort port;
  const TDeviceHandle handle = port.Open(file);
  ASSERT_NE(handle, 0u);
  const std::uint8_t input[5] = {2, 0, 4, 0, 0};
  const TIoResult result = port.IoControl(handle, P2KDriver::IoBulkRead, input, 4101, 60000);
  EXPECT_NE(result.Status, TIoStatus::Done);
  port.Close(handle);
  DeleteFileA(file);
  EXPECT_EQ(port.Open("\\\\?\\no#such#device"), 0u);
}

// A pipe server waiting for its client stands in for a driver request that stays pending.
constexpr std::uint32_t PipeListen = 0x00110008;

HANDLE ListeningPipe(const char* name) {
  return CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1, 64, 64, 0,
                          nullptr);
}

TEST(Win32DevicePort, PendingRequestTimesOutAndIsCancelled) {
  const char* name = "\\\\.\\pipe\\tarvex-p2k-timeout";
  HANDLE pipe = ListeningPipe(name);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  TWin32DevicePort port;
  const TIoResult result = port.IoControl(reinterpret_cast<TDeviceHandle>(pipe), PipeListen, {}, 0, 50);
  EXPECT_EQ(result.Status, TIoStatus::TimedOut);
  // Cancelled: the pipe takes a new request, which completes when a client comes.
  std::thread client([&] {
    Sleep(50);
    HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  });
  const TIoResult second = port.IoControl(reinterpret_cast<TDeviceHandle>(pipe), PipeListen, {}, 0, 10000);
  client.join();
  EXPECT_EQ(second.Status, TIoStatus::Done);
  CloseHandle(pipe);
}

class Registry : public ::testing::Test {
protected:
  static bool CreateKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }
};

TEST_F(Registry, ModemPortIsTakenFromTheUsbSerialValue) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, P2KDriver::SerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    GTEST_SKIP() << "SERIALCOMM cannot be written here";
  }
  const char value[] = "COM250";
  RegSetValueExA(key, "\\Device\\USBSER_TARVEX", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 sizeof value);

  TWin32DevicePort port;
  TP2KLink link(port, nullptr);
  const std::string found = link.FindUsbModemPort();
  RegDeleteValueA(key, "\\Device\\USBSER_TARVEX");
  RegCloseKey(key);
  EXPECT_EQ(found, "COM250");
  // No such port: the write fails and nothing waits.
  EXPECT_FALSE(link.SendModeSwitch(found));
}

TEST_F(Registry, KeyWatchSeesAChangeBelowTheDeviceKey) {
  const std::string path = "\\\\?\\usb#vid_feed&pid_0001#tarvextest#" + std::string(P2KDriver::ClassGuid);
  const std::string keyPath = P2KDriver::DeviceKeyPath(path);
  const std::string deviceKey = keyPath.substr(0, keyPath.size() - std::string("\\#\\Control").size());
  TWin32DevicePort port;
  EXPECT_EQ(port.WatchKey(keyPath), nullptr);
  ASSERT_TRUE(CreateKey(keyPath));

  {
    const auto watch = port.WatchKey(keyPath);
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(watch->Wait(0), TKeyWait::TimedOut);
    ASSERT_TRUE(CreateKey(keyPath + "\\Sub"));
    EXPECT_EQ(watch->Wait(5000), TKeyWait::Changed);
  }
  {
    const auto watch = port.WatchKey(keyPath);
    ASSERT_NE(watch, nullptr);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExA(key, "Linked", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(key);
    EXPECT_EQ(watch->Wait(5000), TKeyWait::Changed);
  }
  EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, deviceKey.c_str()), ERROR_SUCCESS);
}

}  // namespace
