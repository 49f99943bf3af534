// Drives the link against a driver whose every answer comes from the fuzz input: interface lists,
// detail sizes, descriptor replies, control and bulk replies, time-outs and failures.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "phone/core/BootFrame.h"
#include "phone/core/DevicePort.h"
#include "phone/core/InterfaceName.h"
#include "phone/core/P2KLink.h"
#include "phone/core/P2KProtocol.h"
#include "phone/core/P2KTarget.h"

namespace {

class TInput {
public:
  explicit TInput(std::span<const std::uint8_t> data) : FData(data) {}
  std::uint8_t Byte() { return FPos < FData.size() ? FData[FPos++] : 0; }
  std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
  std::vector<std::uint8_t> Bytes(std::size_t n) {
    n = std::min(n, FData.size() - FPos);
    std::vector<std::uint8_t> out(FData.begin() + static_cast<std::ptrdiff_t>(FPos),
                                  FData.begin() + static_cast<std::ptrdiff_t>(FPos + n));
    FPos += n;
    return out;
  }

private:
  std::span<const std::uint8_t> FData;
  std::size_t FPos = 0;
};

class TFuzzList : public TDevicePort::TInterfaceList {
public:
  explicit TFuzzList(TInput& in) : FIn(in), FCount(in.Byte() % 4) {}
  bool Select(std::uint32_t index) override { return index < FCount; }
  TDetailSize DetailSize() override {
    const std::uint8_t kind = FIn.Byte();
    return {(kind & 1) != 0, (kind & 2) != 0 ? 122u : 5u, FIn.Word()};
  }
  bool DetailPath(std::uint32_t size, std::string& path) override {
    const std::vector<std::uint8_t> bytes = FIn.Bytes(std::min<std::uint32_t>(size, FIn.Byte()));
    path.assign(bytes.begin(), bytes.end());
    return true;
  }

private:
  TInput& FIn;
  std::uint32_t FCount;
};

class TFuzzPort : public TDevicePort {
public:
  explicit TFuzzPort(TInput& in) : FIn(in) {}
  std::unique_ptr<TInterfaceList> PresentInterfaces() override {
    if (FIn.Byte() == 0xFF) return nullptr;
    return std::make_unique<TFuzzList>(FIn);
  }
  TDeviceHandle Open(const std::string&) override { return FIn.Byte() == 0 ? 0 : ++FOpen; }
  void Close(TDeviceHandle) override {}
  TIoResult IoControl(TDeviceHandle, std::uint32_t, std::span<const std::uint8_t>, std::uint32_t outputSize,
                      std::uint32_t) override {
    const auto status = static_cast<TIoStatus>(FIn.Byte() % 4);
    const std::size_t length = std::min<std::size_t>(FIn.Word(), outputSize);
    return {status, status == TIoStatus::Done ? FIn.Bytes(length) : std::vector<std::uint8_t>()};
  }
  std::vector<std::pair<std::string, std::string>> SerialCommValues() override { return {}; }
  bool WriteModemPort(const std::string&, std::span<const std::uint8_t>) override { return false; }
  std::unique_ptr<TKeyWatch> WatchKey(const std::string&) override { return nullptr; }

private:
  TInput& FIn;
  TDeviceHandle FOpen = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  TInterfaceName::Decode(bytes);
  TBootFrame::CommandReply(bytes);
  TBootFrame::ReplyMatches(bytes, TBootFrame::BinReply());

  TInput in(bytes);
  TFuzzPort port(in);
  TP2KLink link(port, nullptr);
  TP2KProtocol protocol(link);
  const TP2KLink::TFound found = link.OpenP2KDevice(P2KTarget::FlashMode());
  link.Attach(found.Handle != 0 ? found.Handle : 1, found.Path);
  protocol.SendTestCommand(1, 0x0D, {});
  const std::vector<std::uint8_t> image(in.Word() % 5000, 0xA5);
  protocol.BootSendBin(0x03FD0000, image, nullptr);
  std::string reply;
  protocol.BootCommand("POWER_DOWN", reply);
  link.Detach();
  return 0;
}
