// An image uploaded to the simulated phone in flash mode block by block, against memcpy of the same
// bytes. Before timing, the phone's memory must equal the image; TARVEX_BENCH_CORRUPT=flash-upload
// spoils one byte of what was read back to prove the check.

#include <cstring>
#include <string>
#include <vector>

#include "bench/support/BenchSupport.h"
#include "phone/core/P2KLink.h"
#include "phone/core/P2KProtocol.h"
#include "tests/phone/simulator/SimulatedPhone.h"

namespace {

using TBytes = std::vector<std::uint8_t>;
constexpr std::uint32_t Address = 0x10000000;

TBytes Pattern(std::size_t size) {
  TBytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 31 + i / 509);
  return data;
}

// A phone in flash mode behind an attached link, recording off as a long upload wants it.
struct TFlashPhone {
  TSimulatedPhone Phone;
  TP2KLink Link{Phone, [](const std::string&) {}};
  TP2KProtocol Protocol{Link};

  TFlashPhone() {
    Phone.SetRecording(false);
    Phone.PlugIn(TSimMode::Flash);
    const TP2KLink::TFound found = Link.OpenP2KDevice(P2KTarget::FlashMode());
    if (found.Handle == 0) throw std::runtime_error("the simulated phone was not found");
    Link.Attach(found.Handle, found.Path);
  }
  ~TFlashPhone() { Link.Detach(); }
};

}  // namespace

int main(int argc, char** argv) {
  return bench::Main(argc, argv, [](const bench::TOptions& options) {
    const TBytes image = Pattern(32u << 20);
    {
      TFlashPhone target;
      std::uint32_t failedAt = 0;
      if (!target.Protocol.BootSendBinUntilFailure(Address, image, nullptr, failedAt)) {
        bench::CheckFailed("upload of 32 MiB: block at " + std::to_string(failedAt) + " not acknowledged");
      }
      TBytes back;
      if (!target.Phone.ReadMemory(Address, image.size(), back)) bench::CheckFailed("upload of 32 MiB: bytes missing");
      if (bench::CorruptionAsked("flash-upload")) back[back.size() / 2] ^= 0xFF;
      if (back != image) bench::CheckFailed("upload of 32 MiB: the phone's memory differs from the image");
      if (target.Phone.Memory().size() != 1) bench::CheckFailed("upload of 32 MiB: memory not one block");
    }
    if (options.CheckOnly) return;

    TBytes copy(image.size());
    const auto upload = [&] {
      TFlashPhone target;
      std::uint32_t failedAt = 0;
      target.Protocol.BootSendBinUntilFailure(Address, image, nullptr, failedAt);
    };
    const auto memcpyPeer = [&] { std::memcpy(copy.data(), image.data(), image.size()); };
    bench::AddRow(bench::PairRow("BootSendBin to the simulated phone vs memcpy", bench::Bytes(double(image.size())),
                                 bench::RunCallPairs(upload, memcpyPeer, options.Pairs)));
  });
}
