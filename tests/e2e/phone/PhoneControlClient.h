#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/phone/PhoneControl.h"
#include "tests/phone/simulator/SimulatedPhone.h"

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

  bool Request(DWORD code, const std::vector<std::uint32_t>& words, std::vector<std::uint8_t>* output = nullptr, DWORD outputSize = 0) {
    std::vector<std::uint8_t> out(outputSize);
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
  // The fault strikes the occurrence-th time the step happens from now (an unplug at the fifth BIN
  // frame: Fault(TSimStep::Bin, TSimFault::Unplug, 5)).
  bool Fault(TSimStep step, TSimFault fault, std::uint32_t occurrence = 1) {
    return Request(TARVEX_PHONE_FAULT,
                   {static_cast<std::uint32_t>(step), static_cast<std::uint32_t>(fault), occurrence});
  }
  std::vector<std::string> Commands() {
    std::vector<std::uint8_t> text;
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
  bool ReadMemory(std::uint32_t address, std::uint32_t size, std::vector<std::uint8_t>& bytes) {
    return Request(TARVEX_PHONE_READ_MEMORY, {address, size}, &bytes, size);
  }

private:
  HANDLE FDevice = INVALID_HANDLE_VALUE;
};
