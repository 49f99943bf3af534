#include "phone/core/FlashSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "framework/base/ByteOrder.h"
#include "phone/core/P2KLink.h"
#include "phone/core/P2KMonitor.h"
#include "phone/core/P2KProtocol.h"
#include "phone/core/TestCommand.h"
#include "tests/phone/core/FlashTestData.h"
#include "tests/phone/simulator/SimulatedPhone.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

using flashtest::Pattern;

const std::string Unplugged = "The phone was unplugged during the run.";

// The link as the flasher's window drives it, over a simulated phone. Connected follows the
// monitor's reports when it runs, else the test's plug calls.
class TSimLink : public TFlashLink {
public:
  explicit TSimLink(TSimulatedPhone& phone) : FPhone(phone) {}
  ~TSimLink() { StopMonitor(); }

  void Attach(TSimMode mode) {
    FPhone.PlugIn(mode);
    const TP2KLink::TFound found =
        FLink.OpenP2KDevice(mode == TSimMode::Flash ? P2KTarget::FlashMode() : P2KTarget::NormalMode());
    ASSERT_NE(found.Handle, 0u);
    FLink.Attach(found.Handle, found.Path);
    FLink.SetTarget(mode == TSimMode::Flash ? P2KTarget::FlashMode() : P2KTarget::NormalMode());
    SetConnected(true);
  }
  void Detach() {
    FLink.Detach();
    SetConnected(false);
  }
  void StartMonitor() { FMonitor.Start(); }
  void StopMonitor() { FMonitor.Stop(); }
  bool WaitConnected(bool wanted, std::uint32_t ms) {
    std::unique_lock lock(FLock);
    return FChanged.wait_for(lock, std::chrono::milliseconds(ms), [&] { return FConnected == wanted; });
  }

  bool Connected() const override {
    std::lock_guard lock(FLock);
    return FConnected;
  }
  std::uint16_t TargetIndex() const override { return FLink.Target().Index; }
  bool RestartToFlashMode() override {
    ++Restarts;
    return FProtocol.SendTestCommand(1, TTestCommand::RestartToFlash, {});
  }
  bool SendBin(std::uint32_t address, std::span<const std::uint8_t> data, const TProgressProc& progress,
               std::uint32_t& failedAt) override {
    return Connected() && FProtocol.BootSendBinUntilFailure(address, data, progress, failedAt);
  }
  bool Jump(std::uint32_t address) override { return Connected() && FProtocol.BootJump(address); }
  bool Command(const std::string& command, std::string& reply) override {
    return Connected() && FProtocol.BootCommand(command, reply);
  }
  bool Plugged() override {
    if (FLink.IsInterfacePresent(FLink.DevicePath())) return true;
    // A driver slow to drop the interface answers as before for a few more questions.
    return StillListedAfterUnplug > 0 && StillListedAfterUnplug-- > 0;
  }

  int Restarts = 0;
  int StillListedAfterUnplug = 0;
  Lines Errors;

private:
  void SetConnected(bool connected) {
    std::lock_guard lock(FLock);
    FConnected = connected;
    FChanged.notify_all();
  }

  TSimulatedPhone& FPhone;
  mutable std::mutex FLock;
  std::condition_variable FChanged;
  bool FConnected = false;
  TP2KLink FLink{FPhone, [this](const std::string& message) { Errors.push_back(message); }};
  TP2KProtocol FProtocol{FLink};
  TP2KMonitor FMonitor{FLink, [this](bool connected) { SetConnected(connected); }};
};

// A window whose sleeps are instant; waits end on the link's state or the time-out.
class TInstantHost : public TFlashHost {
public:
  explicit TInstantHost(TSimLink& link) : FLink(link) {}
  void LogLine(const std::string& line) override { Log.push_back(line); }
  void Progress(std::uint64_t done, std::uint64_t total) override {
    LastDone = done;
    LastTotal = total;
  }
  void ProcessMessages() override { ++Pumps; }
  bool WaitForConnection(bool wanted, std::uint32_t timeoutMs) override {
    return FLink.WaitConnected(wanted, std::min(timeoutMs, WaitLimit));
  }
  void Sleep(std::uint32_t ms) override { Slept += ms; }
  void SetBusy(bool busy) override { BusyCalls.push_back(busy); }

  Lines Log;
  std::uint64_t LastDone = 0, LastTotal = 0;
  int Pumps = 0;
  std::uint64_t Slept = 0;
  std::vector<bool> BusyCalls;
  std::uint32_t WaitLimit = 5000;

private:
  TSimLink& FLink;
};

class FlashRun : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("tarvex-flash-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    Phone.SetTimeoutSleep(1);
  }
  void TearDown() override {
    Link.StopMonitor();
    Link.Detach();
    EXPECT_EQ(Phone.OpenHandles(), 0);
    EXPECT_EQ(Phone.ClosedHandleUses(), 0);
    fs::remove_all(Dir);
  }
  std::string Write(const std::string& name, const Bytes& data) {
    const fs::path path = Dir / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                static_cast<std::streamsize>(data.size()));
    return path.string();
  }
  // A loader, a CG 4 image at 0x10000000 and a CG 15 image at 0x11000000 (sizes not multiples of
  // a block).
  TFlashJob TwoGroups() {
    TFlashJob job;
    Loader = Pattern(1000, 1);
    job.Loader = Write("RAMDLD.smg", Loader);
    job.StartAddress = "03FD0000";
    Image4 = Pattern(5000, 4);
    Image15 = Pattern(3333, 15);
    job.Rows.push_back({4, Write("CG4.smg", Image4), 0x10000000, static_cast<std::int64_t>(Image4.size())});
    job.Rows.push_back({15, Write("CG15.smg", Image15), 0x11000000, static_cast<std::int64_t>(Image15.size())});
    return job;
  }
  bool Holds(std::uint32_t address, const Bytes& expected) {
    Bytes got;
    return Phone.ReadMemory(address, expected.size(), got) && got == expected;
  }
  TFlashOutcome Run(const TFlashJob& job) { return TFlashSequence(Link, Host).Run(job); }

  fs::path Dir;
  Bytes Loader, Image4, Image15;
  TSimulatedPhone Phone;
  TSimLink Link{Phone};
  TInstantHost Host{Link};
};

TEST_F(FlashRun, TwoGroupsFillTheLoaderTableAndLogThePartsInOrder) {
  const TFlashJob job = TwoGroups();
  Link.Attach(TSimMode::Flash);
  EXPECT_EQ(Run(job), TFlashOutcome::Done);

  EXPECT_TRUE(Holds(0x03FD0000, flashtest::LoaderForTwoGroups(Loader, 5000, 3333)));
  EXPECT_TRUE(Holds(0x10000000, Image4));
  EXPECT_TRUE(Holds(0x11000000, Image15));
  EXPECT_EQ(Host.Log, (Lines{"Send RAMDLD...", "Loader sent.", "Jump Done", "Erase Done",
                             "Send file: " + job.Rows[0].Name, job.Rows[0].Name + " sent",
                             "Send file: " + job.Rows[1].Name, job.Rows[1].Name + " sent", "\"POWER_DOWN\" done."}));
  EXPECT_EQ(Phone.Commands().back(), "POWER_DOWN");
  EXPECT_EQ(Link.Restarts, 0);  // already in flash mode
  EXPECT_EQ(Host.BusyCalls, (std::vector<bool>{true, false}));
  EXPECT_EQ(Host.LastDone, Host.LastTotal);
  EXPECT_EQ(Host.Slept, 500u + 500u + 2 * 1000u);
}

TEST_F(FlashRun, EmptyCGWritesTheFirstPairAndAnEmptyFileIsAnEmptyUpload) {
  TFlashJob job = TwoGroups();
  job.Rows = {{std::nullopt, Write("empty.smg", {}), 0x12000000, 0}};
  Link.Attach(TSimMode::Flash);
  EXPECT_EQ(Run(job), TFlashOutcome::Done);
  Bytes sent;
  ASSERT_TRUE(Phone.ReadMemory(0x03FD0000, 416, sent));
  EXPECT_EQ(ByteOrder::ReadBE32(&sent[248]), 0x12000000u);
  EXPECT_EQ(ByteOrder::ReadBE32(&sent[252]), 0x11FFFFFFu);
  EXPECT_EQ(Host.Log[5], job.Rows[0].Name + " sent");
}

TEST_F(FlashRun, PhoneInTestModeIsRestartedIntoFlashModeFirst) {
  const TFlashJob job = TwoGroups();
  Phone.PlugIn(TSimMode::TestCommand);
  Link.StartMonitor();
  ASSERT_TRUE(Link.WaitConnected(true, 5000));
  EXPECT_EQ(Run(job), TFlashOutcome::Done);
  EXPECT_EQ(Link.Restarts, 1);
  EXPECT_TRUE(Holds(0x11000000, Image15));
}

TEST_F(FlashRun, PhoneThatNeverComesBackEndsTheRunWithinItsTimeOut) {
  const TFlashJob job = TwoGroups();
  Phone.PlugIn(TSimMode::TestCommand);
  Phone.SetReenumerationDelay(60000);
  Link.StartMonitor();
  ASSERT_TRUE(Link.WaitConnected(true, 5000));
  Host.WaitLimit = 800;
  EXPECT_EQ(Run(job), TFlashOutcome::NoRestart);
  ASSERT_EQ(Host.Log.size(), 1u);
  EXPECT_NE(Host.Log[0].find("did not come back in flash mode"), std::string::npos);
  EXPECT_TRUE(Phone.Memory().empty());
}

TEST_F(FlashRun, FailedJumpWritesNoFileAndStillPowersDown) {
  const TFlashJob job = TwoGroups();
  Link.Attach(TSimMode::Flash);
  Phone.InjectFault(TSimStep::Jump, TSimFault::WrongAck);
  EXPECT_EQ(Run(job), TFlashOutcome::JumpFailed);
  EXPECT_EQ(Host.Log, (Lines{"Send RAMDLD...", "Loader sent.", "jump fail!", "\"POWER_DOWN\" done."}));
  Bytes any;
  EXPECT_FALSE(Phone.ReadMemory(0x10000000, 1, any));
}

TEST_F(FlashRun, BadJobsAreRefusedBeforeAnythingIsSent) {
  Link.Attach(TSimMode::TestCommand);
  struct TCase {
    const char* What;
    std::function<void(TFlashJob&)> Spoil;
    const char* Logged;
  };
  const std::vector<TCase> cases = {
      {"no loader", [](TFlashJob& j) { j.Loader.clear(); }, "Please choose the necessary loader (*RAMDLD.smg)"},
      {"missing loader", [&](TFlashJob& j) { j.Loader = (Dir / "none.smg").string(); }, "Can't find RAMDLD."},
      {"short loader", [&](TFlashJob& j) { j.Loader = Write("short.smg", Pattern(415, 2)); }, "shorter than 416"},
      {"address text", [](TFlashJob& j) { j.StartAddress = "03FD00000"; }, "Invalid start address"},
      {"address letters", [](TFlashJob& j) { j.StartAddress = "XYZ"; }, "Invalid start address"},
      {"CG above 20", [](TFlashJob& j) { j.Rows[1].CG = 21; }, "Row 2 (CG 21"},
      {"unknown address", [](TFlashJob& j) { j.Rows[0].A1 = 0xFFFFFFFF; }, "start address not known"},
      {"wrapping range", [](TFlashJob& j) { j.Rows[0].A1 = 0xFFFFF000; }, "past FFFFFFFF"},
      {"missing image", [&](TFlashJob& j) { j.Rows[0].Name = (Dir / "gone.smg").string(); }, "File not found"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TFlashJob job = TwoGroups();
    c.Spoil(job);
    Host.Log.clear();
    EXPECT_EQ(Run(job), TFlashOutcome::Refused);
    ASSERT_FALSE(Host.Log.empty());
    EXPECT_NE(Host.Log[0].find(c.Logged), std::string::npos) << Host.Log[0];
  }
  EXPECT_TRUE(Phone.Commands().empty());
  EXPECT_EQ(Link.Restarts, 0);
}

TEST_F(FlashRun, NotConnectedDoesNothing) {
  EXPECT_EQ(Run(TwoGroups()), TFlashOutcome::NotConnected);
  EXPECT_TRUE(Host.Log.empty());
  EXPECT_TRUE(Host.BusyCalls.empty());
}

// Every fault at every boot-loader step: the run ends, the log names the failure, nothing is
// logged as sent that the phone did not acknowledge, and after re-plugging a second run completes.
TEST_F(FlashRun, EveryFaultAtEveryStepEndsTheRunHonestlyAndARerunCompletes) {
  const TFlashJob job = TwoGroups();
  for (const TSimStep step : {TSimStep::Addr, TSimStep::Bin, TSimStep::Jump, TSimStep::Erase, TSimStep::PowerDown}) {
    for (const TSimFault fault : {TSimFault::NoReply, TSimFault::WrongAck, TSimFault::ShortAck, TSimFault::Unplug}) {
      for (const int occurrence : {1, 2, 4}) {
        if (occurrence > 1 && step != TSimStep::Addr && step != TSimStep::Bin) continue;
        SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(step) << " fault " << static_cast<int>(fault)
                                        << " occurrence " << occurrence);
        Link.Detach();
        Link.Attach(TSimMode::Flash);
        Phone.InjectFault(step, fault, occurrence);
        Host.Log.clear();
        const TFlashOutcome outcome = Run(job);

        const std::map<std::uint32_t, Bytes> memory = Phone.Memory();
        for (const TFlashRow& row : job.Rows) {
          const bool loggedSent =
              std::find(Host.Log.begin(), Host.Log.end(), row.Name + " sent") != Host.Log.end();
          const Bytes& image = row.CG == 4 ? Image4 : Image15;
          if (loggedSent) {
            EXPECT_TRUE(Holds(row.A1, image)) << row.Name;
          }
        }
        if (step == TSimStep::PowerDown) {
          EXPECT_EQ(outcome, TFlashOutcome::Done);
          EXPECT_NE(Host.Log.back().find("failed"), std::string::npos);
        } else {
          EXPECT_NE(outcome, TFlashOutcome::Done);
          const bool named = std::any_of(Host.Log.begin(), Host.Log.end(), [](const std::string& line) {
            return line.find("did not acknowledge") != std::string::npos || line == "jump fail!" ||
                   line.find("Erase failed") != std::string::npos;
          });
          EXPECT_TRUE(named);
        }
        // An unplug is told as such; a refusal is not.
        const bool toldUnplugged =
            std::find(Host.Log.begin(), Host.Log.end(), Unplugged) != Host.Log.end();
        EXPECT_EQ(toldUnplugged, fault == TSimFault::Unplug && step != TSimStep::PowerDown);

        Link.Detach();
        Link.Attach(TSimMode::Flash);
        Host.Log.clear();
        EXPECT_EQ(Run(job), TFlashOutcome::Done);
        EXPECT_TRUE(Holds(0x10000000, Image4));
        EXPECT_TRUE(Holds(0x11000000, Image15));
      }
    }
  }
}

TEST_F(FlashRun, UnplugInTheMiddleOfAFileNamesTheBlockAndStops) {
  const TFlashJob job = TwoGroups();
  Link.Attach(TSimMode::Flash);
  // The loader takes one BIN; the CG 4 image's second block is the third BIN.
  Phone.InjectFault(TSimStep::Bin, TSimFault::Unplug, 3);
  EXPECT_EQ(Run(job), TFlashOutcome::FileFailed);
  const Lines& log = Host.Log;
  EXPECT_NE(std::find(log.begin(), log.end(), job.Rows[0].Name + ": the phone did not acknowledge the block at 10000800."),
            log.end());
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.ends_with(" sent"); }), 0);
  EXPECT_NE(std::find(log.begin(), log.end(), Unplugged), log.end());
  // Nothing after the first failed block: one ADDR and BIN for it, none for CG 15.
  const Lines commands = Phone.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "ADDR 11000000"), 0);
}

// The driver reports the unplug a while after the failed block: it is still told as an unplug, and
// the run waits for it only a bounded time.
TEST_F(FlashRun, AnUnplugTheDriverReportsLateIsStillToldAsAnUnplug) {
  const TFlashJob job = TwoGroups();
  Link.Attach(TSimMode::Flash);
  Link.StillListedAfterUnplug = 10;
  Phone.InjectFault(TSimStep::Bin, TSimFault::Unplug, 3);
  const std::uint64_t sleptBefore = Host.Slept;
  EXPECT_EQ(Run(job), TFlashOutcome::FileFailed);
  EXPECT_NE(std::find(Host.Log.begin(), Host.Log.end(), Unplugged), Host.Log.end());
  EXPECT_EQ(Link.StillListedAfterUnplug, 0);
  EXPECT_LE(Host.Slept - sleptBefore, 500u + 500u + 1000u + 1000u);
}

TEST_F(FlashRun, SlowPhoneWithinItsTimeOutsStillFlashes) {
  const TFlashJob job = TwoGroups();
  Link.Attach(TSimMode::Flash);
  Phone.SetReplyDelay(2);
  EXPECT_EQ(Run(job), TFlashOutcome::Done);
  EXPECT_TRUE(Holds(0x11000000, Image15));
}

TEST(FlashLoaderTable, PairsAreBigEndianAndRowsOutsideTheAreaAreSkipped) {
  Bytes loader(500, 0x11);
  TFlashSequence::FillLoaderTable(loader, {{0, "a", 0x01020304, 0x10}, {20, "b", 0xA0000000, 1}, {21, "c", 1, 1}});
  EXPECT_EQ(loader[47], 0x11);
  EXPECT_EQ(loader[416], 0x11);
  EXPECT_EQ(ByteOrder::ReadBE32(&loader[248]), 0x01020304u);
  EXPECT_EQ(ByteOrder::ReadBE32(&loader[252]), 0x01020313u);
  EXPECT_EQ(ByteOrder::ReadBE32(&loader[408]), 0xA0000000u);
  EXPECT_EQ(ByteOrder::ReadBE32(&loader[412]), 0xA0000000u);
  for (std::size_t i = 256; i < 408; ++i) ASSERT_EQ(loader[i], 0xFF) << i;

  EXPECT_EQ(TFlashSequence::ParseAddress("3fd0000"), 0x03FD0000u);
  EXPECT_EQ(TFlashSequence::ParseAddress("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_FALSE(TFlashSequence::ParseAddress(""));
  EXPECT_FALSE(TFlashSequence::ParseAddress("1 2"));
  EXPECT_FALSE(TFlashSequence::ParseAddress("123456789"));
}

}  // namespace
