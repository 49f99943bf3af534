// The program's own device port and link against the simulated phone driver that tools/test
// installs into the Wine prefix: the phone is reached only through the platform.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "phone/P2KAPI.h"
#include "phone/Win32DevicePort.h"
#include "phone/core/SimulatedPhone.h"
#include "tests/e2e/phone/PhoneControl.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The test's side of the driver: the control device the program never opens.
class TPhoneControl {
public:
  TPhoneControl() {
    FDevice = CreateFileA(TARVEX_PHONE_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                          nullptr);
  }
  ~TPhoneControl() {
    if (Present()) CloseHandle(FDevice);
  }
  bool Present() const { return FDevice != INVALID_HANDLE_VALUE; }

  bool Request(DWORD code, const std::vector<std::uint32_t>& words, Bytes* output = nullptr, DWORD outputSize = 0) {
    Bytes out(outputSize);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(FDevice, code, const_cast<std::uint32_t*>(words.data()),
                                    static_cast<DWORD>(words.size() * 4), out.empty() ? nullptr : out.data(),
                                    outputSize, &returned, nullptr);
    if (output) {
      out.resize(returned);
      *output = std::move(out);
    }
    return ok != FALSE;
  }
  bool PlugFresh(TSimMode mode) { return Request(TARVEX_PHONE_PLUG, {static_cast<std::uint32_t>(mode), 1}); }
  bool Plug(TSimMode mode) { return Request(TARVEX_PHONE_PLUG, {static_cast<std::uint32_t>(mode), 0}); }
  bool Unplug() { return Request(TARVEX_PHONE_UNPLUG, {}); }
  bool Fault(TSimStep step, TSimFault fault) {
    return Request(TARVEX_PHONE_FAULT, {static_cast<std::uint32_t>(step), static_cast<std::uint32_t>(fault), 1});
  }
  std::vector<std::string> Commands() {
    Bytes text;
    if (!Request(TARVEX_PHONE_COMMANDS, {}, &text, 1 << 16)) return {};
    std::vector<std::string> lines;
    std::string line;
    for (std::uint8_t c : text) {
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += static_cast<char>(c);
      }
    }
    return lines;
  }
  bool ReadMemory(std::uint32_t address, std::uint32_t size, Bytes& bytes) {
    return Request(TARVEX_PHONE_READ_MEMORY, {address, size}, &bytes, size);
  }

private:
  HANDLE FDevice = INVALID_HANDLE_VALUE;
};

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 15000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  }
  return true;
}

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
  return data;
}

class PhoneDriver : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Control.Present()) << "the simulated phone driver is not installed (tools/test installs it)";
    ASSERT_TRUE(Control.PlugFresh(TSimMode::TestCommand));
    Api.SetOnConnect([this](bool connected) { Events.push_back(connected); });
    Api.SetOnError([this](const std::string& message) { Errors.push_back(message); });
    Api.Start(true);
    ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); })) << "no phone found through the platform";
  }

  TPhoneControl Control;
  TWin32DevicePort Port;
  TP2KAPI Api{nullptr, Port};
  std::vector<bool> Events;
  std::vector<std::string> Errors;
};

TEST_F(PhoneDriver, ThePhoneRestartsIntoFlashModeAndKeepsWhatTheBootLoaderWrites) {
  EXPECT_EQ(Api.TargetIndex(), 258);
  ASSERT_TRUE(Api.RestartToFlashMode());
  ASSERT_TRUE(PumpUntil([&] { return !Api.Connected(); })) << "the interface never went away";
  ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); })) << "the phone never came back in flash mode";
  EXPECT_EQ(Api.TargetIndex(), 2);

  const Bytes image = Pattern(70000, 3);
  ASSERT_TRUE(Api.BootSendBin(0x03FD0000, image, nullptr));
  ASSERT_TRUE(Api.BootJump(0x03FD0010));
  Bytes written;
  ASSERT_TRUE(Control.ReadMemory(0x03FD0000, static_cast<std::uint32_t>(image.size()), written));
  EXPECT_EQ(written, image);
  const std::vector<std::string> commands = Control.Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.back(), "JUMP 03FD0010");
  EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(PhoneDriver, AnUnplugAndAReplugAreSeenThroughTheRegistry) {
  ASSERT_TRUE(Control.Unplug());
  ASSERT_TRUE(PumpUntil([&] { return !Api.Connected(); }));
  ASSERT_TRUE(Control.Plug(TSimMode::TestCommand));
  ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); }));
  EXPECT_EQ(Api.TargetIndex(), 258);
}

TEST_F(PhoneDriver, ARequestThePhoneNeverAnswersIsCancelledAndTheNextOneWorks) {
  ASSERT_TRUE(Api.RestartToFlashMode());
  ASSERT_TRUE(PumpUntil([&] { return !Api.Connected(); }));
  ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); }));
  ASSERT_TRUE(Control.Fault(TSimStep::Jump, TSimFault::NoReply));
  EXPECT_FALSE(Api.BootJump(0x03FD0010));
  EXPECT_TRUE(Api.BootJump(0x03FD0010));
}

}  // namespace
