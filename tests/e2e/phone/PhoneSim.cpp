// The simulated phone as the test driver hosts it: the driver hands over every request on the
// phone's interface and on the control device, and learns here when the interface comes and goes.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "tests/e2e/phone/PhoneControl.h"
#include "tests/e2e/phone/PhoneSim.h"
#include "tests/phone/simulator/SimulatedPhone.h"

namespace {

std::mutex hostLock;
std::shared_ptr<TSimulatedPhone> phone;
TPhoneInterfaceChange interfaceChange = nullptr;
std::atomic<bool> watching{false};

std::shared_ptr<TSimulatedPhone> Phone() {
  std::lock_guard<std::mutex> lock(hostLock);
  return phone;
}

std::shared_ptr<TSimulatedPhone> NewPhone() {
  auto fresh = std::make_shared<TSimulatedPhone>();
  // A request the phone does not answer stays pending until the program cancels it.
  fresh->SetTimeoutSleep(0);
  fresh->SetReenumerationDelay(300);
  std::lock_guard<std::mutex> lock(hostLock);
  phone = fresh;
  return fresh;
}

// Reports the interface off and on whenever the phone's device path changes (an unplug, a
// re-enumeration into another mode) or another phone is plugged in.
void Watch() {
  std::string shown;
  std::shared_ptr<TSimulatedPhone> shownPhone;
  while (watching) {
    const std::shared_ptr<TSimulatedPhone> now = Phone();
    const std::string path = now->PhonePath();
    if (path != shown || (now != shownPhone && !shown.empty())) {
      if (!shown.empty()) interfaceChange(0);
      if (!path.empty()) interfaceChange(1);
      shown = path;
    }
    shownPhone = now;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

uint32_t Word(const void* input, uint32_t inputSize, uint32_t index) {
  uint32_t value = 0;
  if (inputSize >= (index + 1) * 4) std::memcpy(&value, static_cast<const char*>(input) + index * 4, 4);
  return value;
}

// Copies `bytes` into the output; false when it does not fit.
bool Reply(const void* bytes, size_t size, void* output, uint32_t outputSize, uint32_t* returned) {
  if (size > outputSize) return false;
  if (size) std::memcpy(output, bytes, size);
  *returned = static_cast<uint32_t>(size);
  return true;
}

}  // namespace

extern "C" {

void PhoneSimStart(TPhoneInterfaceChange change) {
  interfaceChange = change;
  NewPhone()->PlugIn(TSimMode::TestCommand);
  if (!watching.exchange(true)) std::thread(Watch).detach();
}

uintptr_t PhoneSimOpen() {
  auto p = Phone();
  const std::string path = p->PhonePath();
  return path.empty() ? 0 : p->Open(path);
}

void PhoneSimClose(uintptr_t handle) { Phone()->Close(handle); }

int PhoneSimIoControl(uintptr_t handle, uint32_t code, const void* input, uint32_t inputSize,
                      void* output, uint32_t outputSize, uint32_t* returned) {
  *returned = 0;
  const TIoResult result = Phone()->IoControl(
      handle, code, std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(input), inputSize), outputSize,
      0);
  if (result.Status == TIoStatus::Done) Reply(result.Output.data(), result.Output.size(), output, outputSize, returned);
  return static_cast<int>(result.Status);
}

int PhoneSimControl(uint32_t code, const void* input, uint32_t inputSize, void* output, uint32_t outputSize,
                    uint32_t* returned) {
  *returned = 0;
  switch (code) {
    case TARVEX_PHONE_PLUG: {
      auto p = Word(input, inputSize, 1) == 1 ? NewPhone() : Phone();
      p->PlugIn(static_cast<TSimMode>(Word(input, inputSize, 0)));
      return 1;
    }
    case TARVEX_PHONE_UNPLUG:
      Phone()->Unplug();
      return 1;
    case TARVEX_PHONE_FAULT:
      Phone()->InjectFault(static_cast<TSimStep>(Word(input, inputSize, 0)),
                           static_cast<TSimFault>(Word(input, inputSize, 1)),
                           static_cast<int>(Word(input, inputSize, 2)));
      return 1;
    case TARVEX_PHONE_REENUMERATION_DELAY:
      Phone()->SetReenumerationDelay(Word(input, inputSize, 0));
      return 1;
    case TARVEX_PHONE_COMMANDS: {
      std::string text;
      for (const std::string& command : Phone()->Commands()) text += command + "\n";
      return Reply(text.data(), text.size(), output, outputSize, returned);
    }
    case TARVEX_PHONE_READ_MEMORY: {
      std::vector<std::uint8_t> bytes;
      if (!Phone()->ReadMemory(Word(input, inputSize, 0), Word(input, inputSize, 1), bytes)) return 0;
      return Reply(bytes.data(), bytes.size(), output, outputSize, returned);
    }
    case TARVEX_PHONE_MODE: {
      const uint32_t mode = static_cast<uint32_t>(Phone()->Mode());
      return Reply(&mode, sizeof mode, output, outputSize, returned);
    }
    case TARVEX_PHONE_MEMORY_BLOCKS: {
      std::vector<uint32_t> pairs;
      for (const auto& [start, bytes] : Phone()->Memory()) {
        pairs.push_back(start);
        pairs.push_back(static_cast<uint32_t>(bytes.size()));
      }
      return Reply(pairs.data(), pairs.size() * 4, output, outputSize, returned);
    }
    default:
      return 0;
  }
}

}  // extern "C"
