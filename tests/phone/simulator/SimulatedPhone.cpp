#include "tests/phone/simulator/SimulatedPhone.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <numeric>
#include <thread>

#include "framework/base/ByteOrder.h"
#include "phone/core/BootFrame.h"
#include "phone/core/BulkRequest.h"
#include "phone/core/InterfaceName.h"
#include "phone/core/P2KDriver.h"
#include "phone/core/TestCommand.h"

namespace {

std::vector<std::uint8_t> Framed(const std::string& text) {
  std::vector<std::uint8_t> frame{TBootFrame::Stx};
  frame.insert(frame.end(), text.begin(), text.end());
  frame.push_back(TBootFrame::Etx);
  return frame;
}

std::string Hex(std::uint32_t v, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(v));
  return text;
}

// The descriptor reply: byte count (with the terminating zero) and UTF-16 characters.
std::vector<std::uint8_t> DescriptorReply(const std::string& name, bool terminated) {
  const std::uint32_t chars = static_cast<std::uint32_t>(name.size()) + (terminated ? 1 : 0);
  std::vector<std::uint8_t> reply;
  for (int i = 0; i < 4; ++i) reply.push_back(static_cast<std::uint8_t>((2 * chars) >> (8 * i)));
  for (char c : name) {
    reply.push_back(static_cast<std::uint8_t>(c));
    reply.push_back(0);
  }
  if (terminated) reply.insert(reply.end(), {0, 0});
  return reply;
}

std::optional<TSimStep> StepOf(const std::string& name) {
  if (name == "ADDR") return TSimStep::Addr;
  if (name == "BIN") return TSimStep::Bin;
  if (name == "JUMP") return TSimStep::Jump;
  if (name == "ERASE") return TSimStep::Erase;
  if (name == "POWER_DOWN") return TSimStep::PowerDown;
  return std::nullopt;
}

}  // namespace

class TSimulatedPhone::TWatch : public TDevicePort::TKeyWatch {
public:
  TWatch(TSimulatedPhone& phone, std::uint32_t generation) : FPhone(phone), FGeneration(generation) {}
  TKeyWait Wait(std::uint32_t timeoutMs) override {
    TLock lock(FPhone.FLock);
    const bool changed = FPhone.FChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
      return FPhone.FKeyRemovalSignalled && FPhone.FGeneration != FGeneration;
    });
    return changed ? TKeyWait::Changed : TKeyWait::TimedOut;
  }

private:
  TSimulatedPhone& FPhone;
  const std::uint32_t FGeneration;
};

namespace {

class TSimInterfaceList : public TDevicePort::TInterfaceList {
public:
  TSimInterfaceList(std::vector<std::string> paths, std::uint32_t sizeOverride)
      : FPaths(std::move(paths)), FSizeOverride(sizeOverride) {}
  bool Select(std::uint32_t index) override {
    FCurrent = index;
    return index < FPaths.size();
  }
  TDetailSize DetailSize() override {
    // The detail record: its 4-byte size field, the path and its terminating zero.
    const auto size = static_cast<std::uint32_t>(FPaths.at(FCurrent).size() + 5);
    return {false, P2KDriver::ErrorInsufficientBuffer, FSizeOverride != 0 ? FSizeOverride : size};
  }
  bool DetailPath(std::uint32_t size, std::string& path) override {
    const std::string& p = FPaths.at(FCurrent);
    if (size < p.size() + 5) return false;
    path = p;
    return true;
  }

private:
  std::vector<std::string> FPaths;
  std::uint32_t FSizeOverride;
  std::uint32_t FCurrent = 0;
};

}  // namespace

void TSimulatedPhone::PlugIn(TSimMode mode) {
  TLock lock(FLock);
  FComingBack.reset();
  Appear(mode);
}

void TSimulatedPhone::Unplug() {
  TLock lock(FLock);
  FComingBack.reset();
  Vanish();
}

TSimMode TSimulatedPhone::Mode() {
  TLock lock(FLock);
  Update();
  return FMode;
}

void TSimulatedPhone::InjectFault(TSimStep step, TSimFault fault, int occurrence) {
  TLock lock(FLock);
  FFaults.push_back({step, fault, std::max(occurrence, 1)});
}

void TSimulatedPhone::SetReplyDelay(std::uint32_t ms) {
  TLock lock(FLock);
  FReplyDelay = ms;
}

void TSimulatedPhone::SetReenumerationDelay(std::uint32_t ms) {
  TLock lock(FLock);
  FReenumerationDelay = ms;
}

void TSimulatedPhone::SetTimeoutSleep(std::uint32_t ms) {
  TLock lock(FLock);
  FTimeoutSleep = ms;
}

void TSimulatedPhone::SetClassAvailable(bool available) {
  TLock lock(FLock);
  FClassAvailable = available;
}

void TSimulatedPhone::SetKeyWatchable(bool watchable) {
  TLock lock(FLock);
  FKeyWatchable = watchable;
}

void TSimulatedPhone::SetKeyRemovalSignalled(bool signalled) {
  TLock lock(FLock);
  FKeyRemovalSignalled = signalled;
}

void TSimulatedPhone::SetDetailSizeOverride(std::uint32_t size) {
  TLock lock(FLock);
  FDetailSizeOverride = size;
}

void TSimulatedPhone::AddForeignInterface(const std::string& name) {
  TLock lock(FLock);
  FForeign.push_back(name);
}

void TSimulatedPhone::AddSerialValue(const std::string& name, const std::string& data) {
  TLock lock(FLock);
  FSerialValues.emplace_back(name, data);
}

void TSimulatedPhone::SetRecording(bool recording) {
  TLock lock(FLock);
  FRecording = recording;
}

std::vector<std::string> TSimulatedPhone::Commands() {
  TLock lock(FLock);
  return FCommands;
}

std::vector<TSimIo> TSimulatedPhone::IoLog() {
  TLock lock(FLock);
  return FIoLog;
}

std::vector<std::vector<std::uint8_t>> TSimulatedPhone::Frames() {
  TLock lock(FLock);
  return FFrames;
}

std::map<std::uint32_t, std::vector<std::uint8_t>> TSimulatedPhone::Memory() {
  TLock lock(FLock);
  return FMemory;
}

bool TSimulatedPhone::ReadMemory(std::uint32_t address, std::size_t size, std::vector<std::uint8_t>& out) {
  TLock lock(FLock);
  out.clear();
  auto it = FMemory.upper_bound(address);
  if (it == FMemory.begin()) return size == 0;
  --it;
  const std::uint64_t offset = address - it->first;
  if (offset + size > it->second.size()) return false;
  out.assign(it->second.begin() + static_cast<std::ptrdiff_t>(offset),
             it->second.begin() + static_cast<std::ptrdiff_t>(offset + size));
  return true;
}

int TSimulatedPhone::ClosedHandleUses() {
  TLock lock(FLock);
  return FClosedHandleUses;
}

int TSimulatedPhone::OpenHandles() {
  TLock lock(FLock);
  return static_cast<int>(FHandles.size());
}

std::string TSimulatedPhone::PhonePath() {
  TLock lock(FLock);
  Update();
  return HasInterface() ? PhonePathLocked() : std::string();
}

// --- state ---

void TSimulatedPhone::Update() {
  if (FComingBack && TClock::now() >= FComingBackAt) {
    const TSimMode mode = *FComingBack;
    FComingBack.reset();
    Appear(mode);
  }
}

void TSimulatedPhone::Vanish() {
  // Every open handle and the registry key belong to the old generation.
  ++FGeneration;
  FMode = TSimMode::Absent;
  FRestartRequested = false;
  FControlReply.clear();
  FBulkReply.reset();
  FPowerOffAfterReply = false;
  FChanged.notify_all();
}

void TSimulatedPhone::Appear(TSimMode mode) {
  ++FGeneration;
  FMode = mode;
  FRestartRequested = false;
  FControlReply.clear();
  FBulkReply.reset();
  FPowerOffAfterReply = false;
  FAddress.reset();
  FChanged.notify_all();
}

void TSimulatedPhone::ComeBackAs(TSimMode mode) {
  Vanish();
  FComingBack = mode;
  FComingBackAt = TClock::now() + std::chrono::milliseconds(FReenumerationDelay);
  Update();
}

bool TSimulatedPhone::HasInterface() const {
  return FMode == TSimMode::TestCommand || FMode == TSimMode::Flash || FMode == TSimMode::Nameless;
}

std::string TSimulatedPhone::PhonePathLocked() const {
  return std::string("\\\\?\\usb#vid_feed&pid_000") + (FMode == TSimMode::Flash ? "2" : "1") + "#phone" +
         std::to_string(FGeneration) + "#" + P2KDriver::ClassGuid;
}

std::vector<TSimulatedPhone::TInterface> TSimulatedPhone::InterfacesLocked() const {
  std::vector<TInterface> list;
  for (std::size_t i = 0; i < FForeign.size(); ++i) {
    list.push_back(
        {std::string("\\\\?\\usb#vid_feed&pid_00f0#other") + std::to_string(i) + "#" + P2KDriver::ClassGuid,
         static_cast<int>(i)});
  }
  if (HasInterface()) list.push_back({PhonePathLocked(), -1});
  return list;
}

TSimFault TSimulatedPhone::TakeFault(TSimStep step) {
  for (auto it = FFaults.begin(); it != FFaults.end(); ++it) {
    if (it->Step != step) continue;
    if (--it->Remaining > 0) continue;
    const TSimFault fault = it->Fault;
    FFaults.erase(it);
    return fault;
  }
  return TSimFault::None;
}

void TSimulatedPhone::SleepUnlocked(TLock& lock, std::uint32_t ms) {
  lock.unlock();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  lock.lock();
  Update();
}

// --- the device port ---

std::unique_ptr<TDevicePort::TInterfaceList> TSimulatedPhone::PresentInterfaces() {
  TLock lock(FLock);
  Update();
  if (!FClassAvailable) return nullptr;
  std::vector<std::string> paths;
  for (const TInterface& i : InterfacesLocked()) paths.push_back(i.Path);
  return std::make_unique<TSimInterfaceList>(std::move(paths), FDetailSizeOverride);
}

TDeviceHandle TSimulatedPhone::Open(const std::string& path) {
  TLock lock(FLock);
  Update();
  for (const TInterface& i : InterfacesLocked()) {
    if (i.Path != path) continue;
    const TDeviceHandle handle = FNextHandle++;
    FHandles[handle] = {FGeneration, i.Foreign};
    return handle;
  }
  return 0;
}

void TSimulatedPhone::Close(TDeviceHandle handle) {
  TLock lock(FLock);
  if (FHandles.erase(handle) == 0) ++FClosedHandleUses;
}

TIoResult TSimulatedPhone::IoControl(TDeviceHandle handle, std::uint32_t code,
                                     std::span<const std::uint8_t> input, std::uint32_t outputSize,
                                     std::uint32_t timeoutMs) {
  TLock lock(FLock);
  Update();
  TSimIo io{code, {}, outputSize, timeoutMs, TIoStatus::Done};
  if (FRecording) io.Input.assign(input.begin(), input.end());
  const auto finish = [&](TIoResult result) {
    if (result.Output.size() > outputSize) result.Output.resize(outputSize);
    io.Status = result.Status;
    if (FRecording) FIoLog.push_back(std::move(io));
    return result;
  };
  const auto alive = [&](const THandle& h) { return h.Foreign >= 0 || h.Generation == FGeneration; };

  auto it = FHandles.find(handle);
  if (it == FHandles.end()) {
    ++FClosedHandleUses;
    return finish({TIoStatus::Rejected, {}});
  }
  if (!alive(it->second)) return finish({TIoStatus::Rejected, {}});
  if (FReplyDelay > 0) {
    if (FReplyDelay >= timeoutMs) {
      SleepUnlocked(lock, std::min(FTimeoutSleep, timeoutMs));
      return finish({TIoStatus::TimedOut, {}});
    }
    const THandle h = it->second;
    SleepUnlocked(lock, FReplyDelay);
    if (!FHandles.contains(handle) || !alive(h)) return finish({TIoStatus::Failed, {}});
  }
  const THandle h = FHandles[handle];
  switch (code) {
    case P2KDriver::IoInterfaceName:
      return finish(Descriptor(h, input, outputSize, lock));
    case P2KDriver::IoControlTransfer:
      if (h.Foreign >= 0) return finish({TIoStatus::Failed, {}});
      return finish(ControlTransfer(input, outputSize, lock));
    case P2KDriver::IoBulkWrite:
      if (h.Foreign >= 0) return finish({TIoStatus::Failed, {}});
      return finish(BulkWrite(input, lock));
    case P2KDriver::IoBulkRead:
      if (h.Foreign >= 0) return finish({TIoStatus::Failed, {}});
      return finish(BulkRead(input, outputSize, lock));
    default:
      return finish({TIoStatus::Rejected, {}});
  }
}

TIoResult TSimulatedPhone::Descriptor(const THandle& handle, std::span<const std::uint8_t> input,
                                      std::uint32_t outputSize, TLock& lock) {
  if (input.size() != 2 || outputSize < TInterfaceName::ReplySize) return {TIoStatus::Rejected, {}};
  const std::uint16_t index = ByteOrder::ReadLE16(input.data());
  std::string name;
  if (handle.Foreign >= 0) {
    name = FForeign.at(static_cast<std::size_t>(handle.Foreign));
  } else if (FMode == TSimMode::TestCommand && index == 258) {
    name = "Motorola Test Command";
  } else if (FMode == TSimMode::Flash && index == 2) {
    name = "Motorola Flash";
  } else if (FMode == TSimMode::Nameless) {
    name = "Motorola Data";
  }
  bool terminated = true;
  const TSimFault fault = handle.Foreign < 0 ? TakeFault(TSimStep::Descriptor) : TSimFault::None;
  if (fault == TSimFault::NoReply) {
    SleepUnlocked(lock, FTimeoutSleep);
    return {TIoStatus::TimedOut, {}};
  }
  if (fault == TSimFault::Unplug) {
    Vanish();
    return {TIoStatus::Failed, {}};
  }
  if (fault == TSimFault::ShortAck) terminated = false;
  if (fault == TSimFault::WrongAck) name = "Motorola Other";
  return {TIoStatus::Done, DescriptorReply(name, terminated)};
}

TIoResult TSimulatedPhone::ControlTransfer(std::span<const std::uint8_t> input, std::uint32_t outputSize,
                                           TLock& lock) {
  if (FMode != TSimMode::TestCommand) return {TIoStatus::Failed, {}};
  if (input.size() == TTestCommand::SetupSize && input[0] == 0xC1) {
    const std::uint8_t request = input[1];
    const std::uint16_t length = ByteOrder::ReadLE16(&input[6]);
    const TSimFault fault = TakeFault(TSimStep::ControlRead);
    TIoResult result{TIoStatus::Done, {}};
    if (fault == TSimFault::NoReply) {
      SleepUnlocked(lock, FTimeoutSleep);
      result.Status = TIoStatus::TimedOut;
    } else if (fault == TSimFault::Unplug) {
      Vanish();
      return {TIoStatus::Failed, {}};
    } else if (request == 0) {
      // Reply header: one reply waiting, and its length.
      const auto n = static_cast<std::uint16_t>(FControlReply.size());
      result.Output = {0,
                       static_cast<std::uint8_t>(FControlReply.empty() ? 0 : 1),
                       static_cast<std::uint8_t>(n),
                       static_cast<std::uint8_t>(n >> 8),
                       0,
                       0,
                       0,
                       0};
    } else {
      result.Output = {0, 0, 0, 0};
      result.Output.insert(result.Output.end(), FControlReply.begin(), FControlReply.end());
      FControlReply.clear();
    }
    if (result.Output.size() > length) result.Output.resize(length);
    if (result.Output.size() > outputSize) result.Output.resize(outputSize);
    // The phone restarts once the host has read its answer to the restart command.
    if (request == 1 && FRestartRequested) ComeBackAs(TSimMode::Flash);
    return result;
  }

  const TSimFault fault = TakeFault(TSimStep::ControlWrite);
  if (fault == TSimFault::NoReply) {
    SleepUnlocked(lock, FTimeoutSleep);
    return {TIoStatus::TimedOut, {}};
  }
  if (fault == TSimFault::Unplug) {
    Vanish();
    return {TIoStatus::Failed, {}};
  }
  if (input.size() < 18 || input[0] != 0x41 || input[1] != 0x02 || input[4] != 8 || input[5] != 0) {
    FCommands.push_back("ERR");
    return {TIoStatus::Failed, {}};
  }
  const std::uint16_t command = ByteOrder::ReadBE16(&input[10]) & 0x0FFF;
  FCommands.push_back("TEST " + Hex(command, 4));
  // The answer: sequence and command echoed, status 0.
  FControlReply = {input[8], input[9], input[10], input[11], 0, 0};
  if (command == TTestCommand::RestartToFlash) FRestartRequested = true;
  return {TIoStatus::Done, {}};
}

TIoResult TSimulatedPhone::BulkWrite(std::span<const std::uint8_t> input, TLock& lock) {
  if (input.size() < 6 || input[0] != 2 || ByteOrder::ReadLE32(&input[1]) + 6ull != input.size()) {
    FCommands.push_back("ERR");
    return {TIoStatus::Rejected, {}};
  }
  if (FMode != TSimMode::Flash) return {TIoStatus::Failed, {}};
  const std::span<const std::uint8_t> frame = input.subspan(5, input.size() - 6);
  if (FRecording) FFrames.emplace_back(frame.begin(), frame.end());

  std::string name;
  for (std::size_t i = 1;
       i < frame.size() && frame[i] != TBootFrame::Separator && frame[i] != TBootFrame::Etx; ++i) {
    name.push_back(static_cast<char>(frame[i]));
  }
  const std::optional<TSimStep> step = StepOf(name);
  const TSimFault fault = step ? TakeFault(*step) : TSimFault::None;
  if (fault == TSimFault::Unplug) {
    Vanish();
    return {TIoStatus::Failed, {}};
  }
  if (fault == TSimFault::NoReply) return {TIoStatus::Done, {}};

  std::string log;
  std::string reply = BootCommand(frame, log);
  FCommands.push_back(log);
  if (fault == TSimFault::WrongAck && reply.compare(0, 3, "ACK") == 0) reply.replace(0, 3, "NAK");
  if (fault == TSimFault::ShortAck) reply = reply.substr(0, 3);
  FBulkReply = Framed(reply);
  (void)lock;
  return {TIoStatus::Done, {}};
}

std::string TSimulatedPhone::BootCommand(std::span<const std::uint8_t> frame, std::string& log) {
  const std::string sep(1, static_cast<char>(TBootFrame::Separator));
  // A BIN frame carries its data after a short head; only the head is read as text.
  const bool bin = frame.size() >= 9 && frame[1] == 'B' && frame[2] == 'I' && frame[3] == 'N';
  const std::string text(frame.begin(), bin ? frame.begin() + 5 : frame.end());
  const auto addressCommand = [&](const std::string& name, std::uint32_t& address) {
    // STX, name, separator, 8 hex digits, 2 digits of their sum, ETX.
    if (text.size() != name.size() + 13 || text.back() != static_cast<char>(TBootFrame::Etx)) return false;
    const std::string digits = text.substr(name.size() + 2, 10);
    const unsigned long value = std::strtoul(digits.substr(0, 8).c_str(), nullptr, 16);
    if (TBootFrame::AddressDigits(static_cast<std::uint32_t>(value)) == digits) {
      address = static_cast<std::uint32_t>(value);
      return true;
    }
    return false;
  };

  if (frame.size() < 2 || frame.front() != TBootFrame::Stx || frame.back() != TBootFrame::Etx) {
    log = "ERR";
    return "ERR";
  }
  std::uint32_t address = 0;
  if (text.compare(1, 5, "ADDR" + sep) == 0 && addressCommand("ADDR", address)) {
    log = "ADDR " + Hex(address, 8);
    FAddress = address;
    return "ACK" + sep + "ADDR," + TBootFrame::AddressDigits(address);
  }
  if (text.compare(1, 5, "JUMP" + sep) == 0 && addressCommand("JUMP", address)) {
    log = "JUMP " + Hex(address, 8);
    return "ACK" + sep + "JUMP," + Hex(address, 8);
  }
  if (bin && text.compare(1, 4, "BIN" + sep) == 0) {
    const std::size_t n = ByteOrder::ReadBE16(&frame[5]);
    if (frame.size() == n + 9 && FAddress) {
      const std::span<const std::uint8_t> data = frame.subspan(7, n);
      // The sum of the two length bytes and the data, modulo 256.
      const unsigned sum = std::accumulate(data.begin(), data.end(), unsigned{frame[5]} + frame[6]);
      if (static_cast<std::uint8_t>(sum) == frame[7 + n]) {
        Store(*FAddress, data);
        *FAddress += static_cast<std::uint32_t>(n);
        log = "BIN " + std::to_string(n);
        return "ACK" + sep + "BIN";
      }
    }
  }
  if (text ==
      "\x02"
      "ERASE" +
          sep + "\x80\x03") {
    log = "ERASE";
    return "ACK" + sep + "ERASE";
  }
  if (text == "\x02POWER_DOWN\x03") {
    log = "POWER_DOWN";
    FPowerOffAfterReply = true;
    return "ACK" + sep + "POWER_DOWN";
  }
  log = "ERR";
  return "ERR" + sep + text.substr(1, text.size() - 2);
}

TIoResult TSimulatedPhone::BulkRead(std::span<const std::uint8_t> input, std::uint32_t outputSize,
                                    TLock& lock) {
  if (input.size() != 5 || input[0] != 2) return {TIoStatus::Rejected, {}};
  if (FMode != TSimMode::Flash) return {TIoStatus::Failed, {}};
  if (!FBulkReply) {
    SleepUnlocked(lock, FTimeoutSleep);
    return {TIoStatus::TimedOut, {}};
  }
  std::vector<std::uint8_t> output;
  for (int i = 0; i < 4; ++i) output.push_back(static_cast<std::uint8_t>(FBulkReply->size() >> (8 * i)));
  output.insert(output.end(), FBulkReply->begin(), FBulkReply->end());
  FBulkReply.reset();
  if (output.size() > outputSize) output.resize(outputSize);
  if (FPowerOffAfterReply) Vanish();
  return {TIoStatus::Done, std::move(output)};
}

void TSimulatedPhone::Store(std::uint32_t address, std::span<const std::uint8_t> data) {
  if (data.empty()) return;
  const std::uint64_t start = address;
  const std::uint64_t end = start + data.size();
  auto next = FMemory.upper_bound(address);
  const bool clearOfNext = next == FMemory.end() || next->first > end;
  if (next != FMemory.begin() && clearOfNext) {
    // The usual case, an upload in order: the bytes land inside or at the end of one block, which
    // takes them in place.
    auto& [blockStart, bytes] = *std::prev(next);
    const std::uint64_t blockEnd = blockStart + static_cast<std::uint64_t>(bytes.size());
    if (blockEnd >= start) {
      const auto offset = static_cast<std::size_t>(start - blockStart);
      const std::size_t inside = std::min(data.size(), bytes.size() - offset);
      std::copy_n(data.begin(), inside, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
      bytes.insert(bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(inside), data.end());
      return;
    }
  }
  // Otherwise merge with every block the new bytes overlap or touch; the new bytes win.
  std::uint64_t mergedStart = start;
  std::uint64_t mergedEnd = end;
  auto first = next;
  if (first != FMemory.begin()) {
    auto prev = std::prev(first);
    if (prev->first + static_cast<std::uint64_t>(prev->second.size()) >= start) first = prev;
  }
  auto last = first;
  while (last != FMemory.end() && last->first <= end) {
    mergedStart = std::min<std::uint64_t>(mergedStart, last->first);
    mergedEnd = std::max<std::uint64_t>(mergedEnd, last->first + static_cast<std::uint64_t>(last->second.size()));
    ++last;
  }
  std::vector<std::uint8_t> merged(static_cast<std::size_t>(mergedEnd - mergedStart), 0);
  for (auto it = first; it != last; ++it) {
    std::copy(it->second.begin(), it->second.end(),
              merged.begin() + static_cast<std::ptrdiff_t>(it->first - mergedStart));
  }
  std::copy(data.begin(), data.end(), merged.begin() + static_cast<std::ptrdiff_t>(start - mergedStart));
  FMemory.erase(first, last);
  FMemory.emplace(static_cast<std::uint32_t>(mergedStart), std::move(merged));
}

// --- registry and modem port ---

std::vector<std::pair<std::string, std::string>> TSimulatedPhone::SerialCommValues() {
  TLock lock(FLock);
  Update();
  auto values = FSerialValues;
  if (FMode == TSimMode::Modem) values.emplace_back(ModemValue, ModemPort);
  return values;
}

bool TSimulatedPhone::WriteModemPort(const std::string& port, std::span<const std::uint8_t> data) {
  TLock lock(FLock);
  Update();
  if (FMode != TSimMode::Modem || port != ModemPort) return false;
  if (std::string(data.begin(), data.end()) == "AT+MODE=8\r") {
    FCommands.push_back("AT+MODE=8");
    ComeBackAs(TSimMode::TestCommand);
  }
  return true;
}

std::unique_ptr<TDevicePort::TKeyWatch> TSimulatedPhone::WatchKey(const std::string& keyPath) {
  TLock lock(FLock);
  Update();
  if (!FKeyWatchable || !HasInterface() || keyPath != P2KDriver::DeviceKeyPath(PhonePathLocked()))
    return nullptr;
  return std::make_unique<TWatch>(*this, FGeneration);
}
