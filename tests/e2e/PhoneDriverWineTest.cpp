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
#include "tests/e2e/phone/PhoneControlClient.h"
#include "tests/phone/simulator/SimulatedPhone.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

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
