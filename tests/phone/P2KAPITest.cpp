#include "phone/P2KAPI.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "framework/win/TApplication.h"
#include "phone/core/P2KDriver.h"
#include "tests/phone/simulator/SimulatedPhone.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Dispatches window messages until Done holds; the bound only keeps a broken build from hanging.
bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > 20000) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  }
  return true;
}

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; });
}

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 13 + i / 256);
  return data;
}

struct TCall {
  bool Connected;
  bool StateDuringCall;
  DWORD Thread;
};

class P2KAPI : public ::testing::Test {
protected:
  void SetUp() override {
    Api.SetOnConnect([this](bool connected) {
      Calls.push_back({connected, Api.Connected(), GetCurrentThreadId()});
    });
    Api.SetOnError([this](const std::string& message) {
      Errors.push_back(message);
      ErrorThreads.push_back(GetCurrentThreadId());
    });
  }
  std::vector<bool> Events() const {
    std::vector<bool> events;
    for (const TCall& c : Calls) events.push_back(c.Connected);
    return events;
  }

  TSimulatedPhone Phone;
  TP2KAPI Api{nullptr, Phone};
  std::vector<TCall> Calls;
  std::vector<std::string> Errors;
  std::vector<DWORD> ErrorThreads;
};

TEST_F(P2KAPI, StartResetsTheStateAndPostsADisconnect) {
  EXPECT_TRUE(Api.Start(false));
  EXPECT_FALSE(Api.Connected());
  EXPECT_EQ(Api.Sequence(), 1);
  EXPECT_EQ(Api.GetTarget(), P2KTarget::NormalMode());
  ASSERT_TRUE(PumpUntil([&] { return !Calls.empty(); }));
  EXPECT_EQ(Events(), std::vector<bool>{false});
  EXPECT_TRUE(Phone.IoLog().empty());
}

TEST_F(P2KAPI, ConnectReachesTheCallbackOnTheWindowThreadBeforeTheStateChanges) {
  Phone.PlugIn(TSimMode::Flash);
  Api.Start(true);
  ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); }));
  ASSERT_EQ(Events(), (std::vector<bool>{false, true}));
  EXPECT_FALSE(Calls[1].StateDuringCall);
  for (const TCall& c : Calls) EXPECT_EQ(c.Thread, GetCurrentThreadId());
  EXPECT_EQ(Api.GetTarget(), P2KTarget::FlashMode());

  Phone.Unplug();
  ASSERT_TRUE(PumpUntil([&] { return !Api.Connected(); }));
  PumpFor(300);
  EXPECT_EQ(Events(), (std::vector<bool>{false, true, false}));
}

TEST_F(P2KAPI, SearchErrorsOfTheMonitorThreadArriveOnTheWindowThread) {
  Phone.SetClassAvailable(false);
  Api.Start(true);
  ASSERT_TRUE(PumpUntil([&] { return Errors.size() >= 2; }));
  for (const std::string& e : Errors) EXPECT_EQ(e, "Get class fail");
  for (DWORD t : ErrorThreads) EXPECT_EQ(t, GetCurrentThreadId());
}

// Records what reaches the application's exception handler while it lives.
struct TRaised : TObject {
  TRaised() : Previous(Application->OnException()) { Application->SetOnException(TExceptionEvent(this, &TRaised::Handle)); }
  ~TRaised() override { Application->SetOnException(Previous); }
  void Handle(TObject*, const std::exception& e) { Messages.push_back(e.what()); }
  TExceptionEvent Previous;
  std::vector<std::string> Messages;
};

TEST_F(P2KAPI, RaisingCallbacksReachTheApplicationAndTheStateStillChanges) {
  TRaised raised;
  Api.SetOnConnect([](bool connected) { throw std::runtime_error(connected ? "on connect" : "on disconnect"); });
  Api.SetOnError([](const std::string& message) { throw std::runtime_error("error: " + message); });
  Phone.SetClassAvailable(false);
  Api.Start(true);
  ASSERT_TRUE(PumpUntil([&] { return raised.Messages.size() >= 3; }));
  EXPECT_EQ(raised.Messages[0], "on disconnect");
  EXPECT_EQ(raised.Messages[1], "error: Get class fail");

  raised.Messages.clear();
  Phone.SetClassAvailable(true);
  Phone.PlugIn(TSimMode::Flash);
  ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); }));
  EXPECT_NE(std::find(raised.Messages.begin(), raised.Messages.end(), "on connect"), raised.Messages.end());
}

TEST_F(P2KAPI, FlashRoundFromModemModeToPowerDown) {
  Phone.SetReenumerationDelay(100);
  Phone.PlugIn(TSimMode::Modem);
  Api.Start(true);
  ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); }));
  EXPECT_EQ(Api.GetTarget().Index, 258);

  ASSERT_TRUE(Api.RestartToFlashMode());
  ASSERT_TRUE(PumpUntil([&] { return !Api.Connected(); }));
  ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); }));
  EXPECT_EQ(Api.GetTarget().Index, 2);

  const Bytes loader = Pattern(5000, 1);
  const Bytes image = Pattern(3000, 2);
  std::vector<std::uint32_t> progress;
  const auto onProgress = [&](std::uint32_t done) { progress.push_back(done); };
  EXPECT_TRUE(Api.BootSendBin(0x03FD0000, loader, onProgress));
  EXPECT_EQ(progress, (std::vector<std::uint32_t>{2048, 4096, 5000}));
  EXPECT_TRUE(Api.BootJump(0x03FD0010));
  std::string reply;
  Api.BootCommand("ERASE\x1E\x80", reply);
  EXPECT_EQ(reply,
            " \x02"
            "ACK\x1E"
            "ERASE");
  EXPECT_TRUE(Api.BootSendBin(0x10000000, image, nullptr));
  Api.BootCommand("POWER_DOWN", reply);
  ASSERT_TRUE(PumpUntil([&] { return !Api.Connected(); }));

  Bytes memory;
  ASSERT_TRUE(Phone.ReadMemory(0x03FD0000, loader.size(), memory));
  EXPECT_EQ(memory, loader);
  ASSERT_TRUE(Phone.ReadMemory(0x10000000, image.size(), memory));
  EXPECT_EQ(memory, image);
  EXPECT_EQ(Phone.Commands(), (std::vector<std::string>{
                                  "AT+MODE=8", "TEST 000D", "ADDR 03FD0000", "BIN 2048", "ADDR 03FD0800",
                                  "BIN 2048", "ADDR 03FD1000", "BIN 904", "JUMP 03FD0010", "ERASE",
                                  "ADDR 10000000", "BIN 2048", "ADDR 10000800", "BIN 952", "POWER_DOWN"}));
  EXPECT_EQ(Events(), (std::vector<bool>{false, true, false, true, false}));
  EXPECT_TRUE(Errors.empty());
}

TEST_F(P2KAPI, WithoutAPhoneNothingIsSent) {
  Api.Start(false);
  PumpUntil([&] { return !Calls.empty(); });
  EXPECT_FALSE(Api.RestartToFlashMode());
  EXPECT_FALSE(Api.BootAddr(0));
  EXPECT_FALSE(Api.BootJump(0));
  EXPECT_FALSE(Api.BootSendBin(0, Pattern(10, 0), nullptr));
  std::string reply = "unchanged";
  Api.BootCommand("POWER_DOWN", reply);
  EXPECT_EQ(reply, "unchanged");
  EXPECT_TRUE(Phone.IoLog().empty());
}

TEST_F(P2KAPI, InjectedFaultsGiveFalseOrALogLineAndNeverHang) {
  Phone.PlugIn(TSimMode::Flash);
  Api.Start(true);
  ASSERT_TRUE(PumpUntil([&] { return Api.Connected(); }));

  Phone.InjectFault(TSimStep::Jump, TSimFault::NoReply);
  EXPECT_FALSE(Api.BootJump(0x03FD0010));
  Phone.InjectFault(TSimStep::Addr, TSimFault::WrongAck);
  EXPECT_FALSE(Api.BootAddr(0x03FD0000));
  Phone.InjectFault(TSimStep::Bin, TSimFault::ShortAck);
  EXPECT_FALSE(Api.BootSendBin(0, Pattern(100, 3), nullptr));
  Phone.SetReplyDelay(6000);
  EXPECT_FALSE(Api.BootAddr(0x03FD0000));
  Phone.SetReplyDelay(0);

  // Refusals leave the phone plugged.
  EXPECT_TRUE(Api.Plugged());

  // Unplugged in the middle of an upload: the rest fails and the link knows it at once, before
  // the disconnect follows.
  Phone.InjectFault(TSimStep::Bin, TSimFault::Unplug, 2);
  EXPECT_FALSE(Api.BootSendBin(0, Pattern(6000, 4), nullptr));
  EXPECT_FALSE(Api.Plugged());
  ASSERT_TRUE(PumpUntil([&] { return !Api.Connected(); }));
  EXPECT_FALSE(Api.BootAddr(0));
  EXPECT_EQ(Phone.ClosedHandleUses(), 0);
}

TEST(P2KAPILifetime, DestroyedWhileTheMonitorRunsAndTheMessagesWait) {
  TSimulatedPhone phone;
  phone.PlugIn(TSimMode::Flash);
  {
    TP2KAPI api(nullptr, phone);
    int calls = 0;
    api.SetOnConnect([&](bool) { ++calls; });
    api.Start(true);
    ASSERT_TRUE(PumpUntil([&] { return api.Connected(); }));
    phone.Unplug();
    phone.PlugIn(TSimMode::Nameless);
    Sleep(50);
  }
  // Messages posted to the destroyed window are dropped.
  PumpFor(50);
  EXPECT_EQ(phone.OpenHandles(), 0);
  EXPECT_EQ(phone.ClosedHandleUses(), 0);
}

}  // namespace
