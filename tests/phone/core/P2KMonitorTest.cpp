#include "phone/core/P2KMonitor.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "phone/core/P2KDriver.h"
#include "phone/core/P2KLink.h"
#include "phone/core/P2KProtocol.h"
#include "phone/core/TestCommand.h"
#include "tests/phone/simulator/SimulatedPhone.h"

namespace {

using namespace std::chrono_literals;

// Collects what the monitor thread reports, for the test thread to wait on.
class TRecorder {
public:
  void Post(bool connected) {
    std::lock_guard lock(FLock);
    FEvents.push_back(connected);
    FChanged.notify_all();
  }
  void Error(const std::string& message) {
    std::lock_guard lock(FLock);
    FErrors.push_back(message);
    FChanged.notify_all();
  }
  // Waits until Count events arrived; the bound only keeps a broken build from hanging.
  std::vector<bool> WaitEvents(std::size_t count) {
    std::unique_lock lock(FLock);
    FChanged.wait_for(lock, 20s, [&] { return FEvents.size() >= count; });
    return FEvents;
  }
  std::vector<std::string> WaitErrors(std::size_t count) {
    std::unique_lock lock(FLock);
    FChanged.wait_for(lock, 20s, [&] { return FErrors.size() >= count; });
    return FErrors;
  }
  std::vector<bool> Events() {
    std::lock_guard lock(FLock);
    return FEvents;
  }

private:
  std::mutex FLock;
  std::condition_variable FChanged;
  std::vector<bool> FEvents;
  std::vector<std::string> FErrors;
};

class Monitor : public ::testing::Test {
protected:
  void TearDown() override {
    Watcher.Stop();
    EXPECT_FALSE(Link.HasDevice());
    EXPECT_EQ(Phone.OpenHandles(), 0);
    EXPECT_EQ(Phone.ClosedHandleUses(), 0);
  }
  std::size_t DescriptorRequests(std::uint16_t index) {
    std::size_t n = 0;
    for (const TSimIo& io : Phone.IoLog()) {
      if (io.Code == P2KDriver::IoInterfaceName && io.Input[0] + 256u * io.Input[1] == index) ++n;
    }
    return n;
  }

  TSimulatedPhone Phone;
  TRecorder Recorder;
  TP2KLink Link{Phone, [this](const std::string& message) { Recorder.Error(message); }};
  TP2KMonitor Watcher{Link, [this](bool connected) { Recorder.Post(connected); }};
};

TEST_F(Monitor, PhoneInModemModeIsSwitchedFoundAndLostOnce) {
  Phone.PlugIn(TSimMode::Modem);
  Watcher.Start();
  EXPECT_EQ(Recorder.WaitEvents(1), std::vector<bool>{true});
  EXPECT_TRUE(Link.HasDevice());
  EXPECT_EQ(Link.Target(), P2KTarget::NormalMode());
  EXPECT_EQ(Link.DevicePath(), Phone.PhonePath());
  EXPECT_EQ(Phone.Commands(), std::vector<std::string>{"AT+MODE=8"});

  Phone.Unplug();
  EXPECT_EQ(Recorder.WaitEvents(2), (std::vector<bool>{true, false}));
  // The handle is gone before the disconnect is told.
  EXPECT_FALSE(Link.HasDevice());
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(Recorder.Events().size(), 2u);
}

TEST_F(Monitor, PhoneInFlashModeIsFoundAtTheSecondSearch) {
  Phone.PlugIn(TSimMode::Flash);
  Watcher.Start();
  EXPECT_EQ(Recorder.WaitEvents(1), std::vector<bool>{true});
  EXPECT_EQ(Link.Target(), P2KTarget::FlashMode());
  const auto ios = Phone.IoLog();
  ASSERT_EQ(ios.size(), 2u);
  EXPECT_EQ(ios[0].Input, (std::vector<std::uint8_t>{0x02, 0x01}));
  EXPECT_EQ(ios[1].Input, (std::vector<std::uint8_t>{0x02, 0x00}));
}

TEST_F(Monitor, RestartIntoFlashModeIsADisconnectThenAConnectWithIndexTwo) {
  Phone.SetReenumerationDelay(150);
  Phone.PlugIn(TSimMode::TestCommand);
  Watcher.Start();
  ASSERT_EQ(Recorder.WaitEvents(1), std::vector<bool>{true});
  ASSERT_EQ(Link.Target().Index, 258);

  TP2KProtocol protocol(Link);
  protocol.SendTestCommand(1, TTestCommand::RestartToFlash, {});
  EXPECT_EQ(Recorder.WaitEvents(3), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(Link.Target(), P2KTarget::FlashMode());
  EXPECT_TRUE(protocol.BootAddr(0x03FD0000));
}

TEST_F(Monitor, PhoneWithNeitherNameNeverConnects) {
  Phone.PlugIn(TSimMode::Nameless);
  Watcher.Start();
  // Keeps searching with both names.
  while (DescriptorRequests(2) < 3) std::this_thread::sleep_for(20ms);
  EXPECT_GE(DescriptorRequests(258), 3u);
  EXPECT_TRUE(Recorder.Events().empty());
  EXPECT_FALSE(Link.HasDevice());
}

TEST_F(Monitor, RemovalIsNoticedWhenTheDeviceKeyCannotBeWatched) {
  Phone.SetKeyWatchable(false);
  Phone.PlugIn(TSimMode::Flash);
  Watcher.Start();
  ASSERT_EQ(Recorder.WaitEvents(1), std::vector<bool>{true});
  Phone.Unplug();
  EXPECT_EQ(Recorder.WaitEvents(2), (std::vector<bool>{true, false}));
  EXPECT_FALSE(Link.HasDevice());
}

TEST_F(Monitor, RemovalIsNoticedWhenTheKeyDoesNotSignalIt) {
  Phone.SetKeyRemovalSignalled(false);
  Phone.PlugIn(TSimMode::Flash);
  Watcher.Start();
  ASSERT_EQ(Recorder.WaitEvents(1), std::vector<bool>{true});
  Phone.Unplug();
  EXPECT_EQ(Recorder.WaitEvents(2), (std::vector<bool>{true, false}));
}

TEST_F(Monitor, SearchErrorsAreReportedAndTheSearchRepeats) {
  Phone.SetClassAvailable(false);
  Watcher.Start();
  const auto errors = Recorder.WaitErrors(3);
  ASSERT_GE(errors.size(), 3u);
  for (const std::string& e : errors) EXPECT_EQ(e, "Get class fail");
  Phone.SetClassAvailable(true);
  Phone.PlugIn(TSimMode::Flash);
  EXPECT_EQ(Recorder.WaitEvents(1), std::vector<bool>{true});
}

TEST_F(Monitor, StopWhileConnectedClosesTheDeviceWithoutADisconnect) {
  Phone.PlugIn(TSimMode::Flash);
  Watcher.Start();
  ASSERT_EQ(Recorder.WaitEvents(1), std::vector<bool>{true});
  Watcher.Stop();
  EXPECT_FALSE(Watcher.Running());
  EXPECT_FALSE(Link.HasDevice());
  EXPECT_EQ(Recorder.Events(), std::vector<bool>{true});
  // It can be started again.
  Watcher.Start();
  EXPECT_EQ(Recorder.WaitEvents(2), (std::vector<bool>{true, true}));
}

TEST_F(Monitor, StopDuringASlowSearchEnds) {
  Phone.SetReplyDelay(50);
  Phone.PlugIn(TSimMode::Nameless);
  Watcher.Start();
  std::this_thread::sleep_for(120ms);
  Watcher.Stop();
  EXPECT_FALSE(Watcher.Running());
}

TEST_F(Monitor, UploadRacingAnUnplugFailsCleanly) {
  Phone.PlugIn(TSimMode::Flash);
  Watcher.Start();
  ASSERT_EQ(Recorder.WaitEvents(1), std::vector<bool>{true});
  TP2KProtocol protocol(Link);
  std::vector<std::uint8_t> data(64 * 1024, 0x5A);
  bool unplugged = false;
  const bool ok = protocol.BootSendBin(0, data, [&](std::uint32_t done) {
    if (done >= 8192 && !unplugged) {
      unplugged = true;
      Phone.Unplug();
    }
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(Recorder.WaitEvents(2), (std::vector<bool>{true, false}));
  EXPECT_FALSE(protocol.BootAddr(0));
}

}  // namespace
