#include "phone/core/P2KProtocol.h"

#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <thread>

#include "phone/core/BootFrame.h"
#include "phone/core/P2KDriver.h"
#include "phone/core/P2KLink.h"
#include "phone/core/TestCommand.h"
#include "tests/phone/simulator/SimulatedPhone.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return data;
}

std::vector<TSimIo> IosOf(TSimulatedPhone& phone, std::uint32_t code) {
  std::vector<TSimIo> ios;
  for (const TSimIo& io : phone.IoLog()) {
    if (io.Code == code) ios.push_back(io);
  }
  return ios;
}

class PhoneLink : public ::testing::Test {
protected:
  void Connect(TSimMode mode) {
    Phone.PlugIn(mode);
    const P2KTarget target = mode == TSimMode::Flash ? P2KTarget::FlashMode() : P2KTarget::NormalMode();
    const TP2KLink::TFound found = Link.OpenP2KDevice(target);
    ASSERT_NE(found.Handle, 0u);
    Link.Attach(found.Handle, found.Path);
  }
  void TearDown() override {
    Link.Detach();
    EXPECT_EQ(Phone.OpenHandles(), 0);
    EXPECT_EQ(Phone.ClosedHandleUses(), 0);
  }

  TSimulatedPhone Phone;
  std::vector<std::string> Errors;
  TP2KLink Link{Phone, [this](const std::string& message) { Errors.push_back(message); }};
  TP2KProtocol Protocol{Link};
};

TEST_F(PhoneLink, UploadGoesInBlocksOf2048EachAfterItsOwnAddr) {
  Connect(TSimMode::Flash);
  const Bytes data = Pattern(5000);
  std::vector<std::uint32_t> progress;
  EXPECT_TRUE(Protocol.BootSendBin(0x03FD0000, data, [&](std::uint32_t done) { progress.push_back(done); }));

  EXPECT_EQ(progress, (std::vector<std::uint32_t>{2048, 4096, 5000}));
  const auto span = std::span(data);
  EXPECT_EQ(Phone.Frames(),
            (std::vector<Bytes>{TBootFrame::Addr(0x03FD0000), TBootFrame::Bin(span.first(2048)),
                                TBootFrame::Addr(0x03FD0800), TBootFrame::Bin(span.subspan(2048, 2048)),
                                TBootFrame::Addr(0x03FD1000), TBootFrame::Bin(span.subspan(4096))}));
  Bytes memory;
  ASSERT_TRUE(Phone.ReadMemory(0x03FD0000, data.size(), memory));
  EXPECT_EQ(memory, data);
  EXPECT_EQ(Phone.Memory().size(), 1u);

  // Every write hands the driver length + 6 bytes on pipe 2; every read asks 1024 bytes into 4101.
  for (const TSimIo& io : IosOf(Phone, P2KDriver::IoBulkWrite)) {
    ASSERT_GE(io.Input.size(), 6u);
    EXPECT_EQ(io.Input[0], 2);
    EXPECT_EQ(io.Input.size(), io.Input[1] + 256u * io.Input[2] + 6u);
    EXPECT_EQ(io.Timeout, 6000u);
  }
  for (const TSimIo& io : IosOf(Phone, P2KDriver::IoBulkRead)) {
    EXPECT_EQ(io.Input, (Bytes{2, 0x00, 0x04, 0, 0}));
    EXPECT_EQ(io.OutputSize, 4101u);
    EXPECT_EQ(io.Timeout, 6000u);
  }
  EXPECT_TRUE(Errors.empty());
}

TEST_F(PhoneLink, EmptyUploadSendsOneAddrAndOneEmptyBin) {
  Connect(TSimMode::Flash);
  std::vector<std::uint32_t> progress;
  EXPECT_TRUE(Protocol.BootSendBin(0x10, {}, [&](std::uint32_t done) { progress.push_back(done); }));
  EXPECT_EQ(Phone.Frames(), (std::vector<Bytes>{TBootFrame::Addr(0x10), TBootFrame::Bin({})}));
  EXPECT_EQ(progress, (std::vector<std::uint32_t>{0}));
}

TEST_F(PhoneLink, FailedBlockDoesNotStopTheUploadButFailsIt) {
  Connect(TSimMode::Flash);
  const Bytes data = Pattern(5000);
  Phone.InjectFault(TSimStep::Bin, TSimFault::WrongAck, 2);
  std::vector<std::uint32_t> progress;
  EXPECT_FALSE(Protocol.BootSendBin(0, data, [&](std::uint32_t done) { progress.push_back(done); }));
  EXPECT_EQ(progress, (std::vector<std::uint32_t>{2048, 4096, 5000}));
  EXPECT_EQ(Phone.Commands(), (std::vector<std::string>{"ADDR 00000000", "BIN 2048", "ADDR 00000800",
                                                        "BIN 2048", "ADDR 00001000", "BIN 904"}));
}

TEST_F(PhoneLink, UnacknowledgedAddrSkipsItsBlock) {
  Connect(TSimMode::Flash);
  Phone.InjectFault(TSimStep::Addr, TSimFault::NoReply, 2);
  EXPECT_FALSE(Protocol.BootSendBin(0x100, Pattern(5000), nullptr));
  // The second ADDR went unheard and its read timed out: no BIN for that block.
  EXPECT_EQ(Phone.Commands(),
            (std::vector<std::string>{"ADDR 00000100", "BIN 2048", "ADDR 00001100", "BIN 904"}));
  Bytes memory;
  EXPECT_FALSE(Phone.ReadMemory(0x100, 5000, memory));
  EXPECT_TRUE(Phone.ReadMemory(0x1100, 904, memory));
}

TEST_F(PhoneLink, EveryWrongShortOrMissingAcknowledgementFails) {
  const struct {
    TSimStep Step;
    TSimFault Fault;
  } cases[] = {{TSimStep::Addr, TSimFault::WrongAck}, {TSimStep::Addr, TSimFault::ShortAck},
               {TSimStep::Addr, TSimFault::NoReply},  {TSimStep::Jump, TSimFault::WrongAck},
               {TSimStep::Jump, TSimFault::ShortAck}, {TSimStep::Jump, TSimFault::NoReply}};
  Connect(TSimMode::Flash);
  for (const auto& c : cases) {
    Phone.InjectFault(c.Step, c.Fault);
    const bool ok = c.Step == TSimStep::Addr ? Protocol.BootAddr(0x03FD0000) : Protocol.BootJump(0x03FD0010);
    EXPECT_FALSE(ok) << static_cast<int>(c.Step) << "/" << static_cast<int>(c.Fault);
  }
  EXPECT_TRUE(Protocol.BootAddr(0x03FD0000));
  EXPECT_TRUE(Protocol.BootJump(0x03FD0010));
  EXPECT_EQ(Phone.Commands().back(), "JUMP 03FD0010");
}

TEST_F(PhoneLink, SlowPhoneWithinTheTimeoutStillAnswers) {
  Connect(TSimMode::Flash);
  Phone.SetReplyDelay(20);
  EXPECT_TRUE(Protocol.BootAddr(0x03FD0000));
  // Slower than the 6000 ms time-out: the request is given up.
  Phone.SetReplyDelay(6000);
  EXPECT_FALSE(Protocol.BootAddr(0x03FD0000));
  EXPECT_EQ(IosOf(Phone, P2KDriver::IoBulkWrite).back().Status, TIoStatus::TimedOut);
}

TEST_F(PhoneLink, UnplugDuringUploadFailsTheRestWithoutTouchingTheClosedHandle) {
  Connect(TSimMode::Flash);
  Phone.InjectFault(TSimStep::Bin, TSimFault::Unplug, 2);
  int blocks = 0;
  EXPECT_FALSE(Protocol.BootSendBin(0, Pattern(8192), [&](std::uint32_t) {
    // What the monitor does when the driver removes the key.
    if (++blocks == 2) Link.Detach();
  }));
  EXPECT_EQ(blocks, 4);
  EXPECT_FALSE(Link.HasDevice());
  EXPECT_FALSE(Protocol.BootAddr(0));
  std::string reply = "old";
  EXPECT_FALSE(Protocol.BootCommand("POWER_DOWN", reply));
  EXPECT_EQ(reply, " ");
}

TEST_F(PhoneLink, BootCommandReplyAndPowerDown) {
  Connect(TSimMode::Flash);
  std::string reply;
  EXPECT_TRUE(Protocol.BootCommand("ERASE\x1E\x80", reply));
  EXPECT_EQ(reply,
            " \x02"
            "ACK\x1E"
            "ERASE");
  Phone.InjectFault(TSimStep::Erase, TSimFault::NoReply);
  EXPECT_FALSE(Protocol.BootCommand("ERASE\x1E\x80", reply));
  EXPECT_EQ(reply, " ");
  EXPECT_TRUE(Protocol.BootCommand("POWER_DOWN", reply));
  EXPECT_EQ(reply,
            " \x02"
            "ACK\x1E"
            "POWER_DOWN");
  EXPECT_EQ(Phone.Mode(), TSimMode::Absent);
  EXPECT_FALSE(Protocol.BootCommand(std::string(256, 'A'), reply));
  EXPECT_EQ(Phone.Commands(), (std::vector<std::string>{"ERASE", "POWER_DOWN"}));
}

TEST_F(PhoneLink, TestCommandWritesTheRecordThenReadsTheReplyItAnnounces) {
  Connect(TSimMode::TestCommand);
  EXPECT_TRUE(Protocol.SendTestCommand(1, TTestCommand::RestartToFlash, {}));
  const auto ios = IosOf(Phone, P2KDriver::IoControlTransfer);
  ASSERT_EQ(ios.size(), 3u);
  EXPECT_EQ(ios[0].Input, TTestCommand::Record(1, 0x0D, {}));
  EXPECT_EQ(ios[0].OutputSize, 5u);
  EXPECT_EQ(ios[1].Input, (Bytes{0xC1, 0, 0, 0, 8, 0, 8, 0, 0}));
  EXPECT_EQ(ios[1].OutputSize, 12u);
  // The simulated phone announces one 6-byte reply: value 1, length 6 + 4.
  EXPECT_EQ(ios[2].Input, (Bytes{0xC1, 1, 1, 0, 8, 0, 10, 0, 0}));
  EXPECT_EQ(ios[2].OutputSize, 4004u);
  for (const TSimIo& io : ios) EXPECT_EQ(io.Timeout, 5000u);
  EXPECT_TRUE(Errors.empty());
  // The phone has left to come back in flash mode.
  EXPECT_EQ(Phone.Mode(), TSimMode::Flash);
  EXPECT_EQ(Phone.Commands(), (std::vector<std::string>{"TEST 000D"}));
}

TEST_F(PhoneLink, ControlTransferFailuresAreReportedAndDoNotStopTheSequence) {
  Connect(TSimMode::TestCommand);
  Phone.InjectFault(TSimStep::ControlWrite, TSimFault::NoReply);
  Phone.InjectFault(TSimStep::ControlRead, TSimFault::NoReply);
  EXPECT_TRUE(Protocol.SendTestCommand(1, 0x0D, {}));
  EXPECT_EQ(Errors, (std::vector<std::string>{"WriteData DevIOCtl fail", "ReadData DevIOCtl fail"}));
  EXPECT_EQ(IosOf(Phone, P2KDriver::IoControlTransfer).size(), 3u);

  Errors.clear();
  Phone.PlugIn(TSimMode::TestCommand);
  Link.Detach();
  Connect(TSimMode::TestCommand);
  Phone.InjectFault(TSimStep::ControlRead, TSimFault::Unplug);
  EXPECT_TRUE(Protocol.SendTestCommand(1, 0x0D, {}));
  EXPECT_EQ(Errors,
            (std::vector<std::string>{"ReadData GetOverlappedResult fail", "ReadData DevIOCtl fail"}));
}

TEST_F(PhoneLink, SearchFindsOnlyTheInterfaceThatAnswersWithTheName) {
  Phone.AddForeignInterface("Motorola Flash ");
  Phone.PlugIn(TSimMode::Flash);
  EXPECT_EQ(Link.OpenP2KDevice(P2KTarget::NormalMode()).Handle, 0u);
  EXPECT_EQ(Phone.OpenHandles(), 0);
  const TP2KLink::TFound found = Link.OpenP2KDevice(P2KTarget::FlashMode());
  ASSERT_NE(found.Handle, 0u);
  EXPECT_EQ(found.Path, Phone.PhonePath());
  EXPECT_EQ(Phone.OpenHandles(), 1);
  Phone.Close(found.Handle);

  const auto ios = IosOf(Phone, P2KDriver::IoInterfaceName);
  ASSERT_EQ(ios.size(), 4u);
  EXPECT_EQ(ios[0].Input, (Bytes{0x02, 0x01}));  // 258
  EXPECT_EQ(ios[3].Input, (Bytes{0x02, 0x00}));
  EXPECT_EQ(ios[3].OutputSize, 512u);
  EXPECT_EQ(ios[3].Timeout, 5000u);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(PhoneLink, SearchSkipsInterfacesWithAnOversizedDetail) {
  Phone.PlugIn(TSimMode::Flash);
  Phone.SetDetailSizeOverride(257);
  EXPECT_EQ(Link.OpenP2KDevice(P2KTarget::FlashMode()).Handle, 0u);
  EXPECT_TRUE(IosOf(Phone, P2KDriver::IoInterfaceName).empty());
  Phone.SetDetailSizeOverride(256);
  const TP2KLink::TFound found = Link.OpenP2KDevice(P2KTarget::FlashMode());
  EXPECT_NE(found.Handle, 0u);
  Phone.Close(found.Handle);
}

TEST_F(PhoneLink, SearchFailuresAreReportedAndLeaveNothingOpen) {
  Phone.SetClassAvailable(false);
  EXPECT_EQ(Link.OpenP2KDevice(P2KTarget::FlashMode()).Handle, 0u);
  Phone.SetClassAvailable(true);

  // A descriptor time-out ends the search, even before an interface that would answer.
  Phone.PlugIn(TSimMode::Flash);
  Phone.InjectFault(TSimStep::Descriptor, TSimFault::NoReply);
  EXPECT_EQ(Link.OpenP2KDevice(P2KTarget::FlashMode()).Handle, 0u);
  Phone.InjectFault(TSimStep::Descriptor, TSimFault::Unplug);
  EXPECT_EQ(Link.OpenP2KDevice(P2KTarget::FlashMode()).Handle, 0u);
  EXPECT_EQ(Errors,
            (std::vector<std::string>{"Get class fail", "DevIOCtl fail", "GetOverlappedResult fail"}));

  // A name without its terminating zero reads as empty; a wrong name does not match.
  Phone.PlugIn(TSimMode::Flash);
  Phone.InjectFault(TSimStep::Descriptor, TSimFault::ShortAck);
  EXPECT_EQ(Link.OpenP2KDevice(P2KTarget::FlashMode()).Handle, 0u);
  Phone.InjectFault(TSimStep::Descriptor, TSimFault::WrongAck);
  EXPECT_EQ(Link.OpenP2KDevice(P2KTarget::FlashMode()).Handle, 0u);
  EXPECT_EQ(Phone.OpenHandles(), 0);
}

TEST_F(PhoneLink, ModemSwitchGoesToTheFirstUsbModemPort) {
  Phone.AddSerialValue("\\Device\\Serial0", "COM1");
  EXPECT_EQ(Link.FindUsbModemPort(), "");
  EXPECT_FALSE(Link.SendModeSwitch(""));
  Phone.PlugIn(TSimMode::Modem);
  const std::string port = Link.FindUsbModemPort();
  EXPECT_EQ(port, "COM7");
  EXPECT_TRUE(Link.SendModeSwitch(port));
  EXPECT_EQ(Phone.Commands(), (std::vector<std::string>{"AT+MODE=8"}));
  EXPECT_EQ(Phone.Mode(), TSimMode::TestCommand);
}

TEST_F(PhoneLink, CommandsRacingAnUnplugNeverUseAClosedHandle) {
  Connect(TSimMode::Flash);
  std::atomic<bool> stop{false};
  std::thread window([&] {
    while (!stop) Protocol.BootAddr(0x1000);
  });
  for (int i = 0; i < 20; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    Phone.Unplug();
    Link.Detach();
    Phone.PlugIn(TSimMode::Flash);
    const TP2KLink::TFound found = Link.OpenP2KDevice(P2KTarget::FlashMode());
    ASSERT_NE(found.Handle, 0u);
    Link.Attach(found.Handle, found.Path);
  }
  stop = true;
  window.join();
  EXPECT_EQ(Phone.ClosedHandleUses(), 0);
}

}  // namespace
