// A 32 MB image flashed through the flasher window (its run with the gauge repainted and messages
// pumped during the upload, the run's fixed sleeps left out) against the same loader and image
// uploaded by the protocol alone, in the same Wine process. Goal: at most 1.5 times the protocol.
//
// Checks first: after each side the phone's memory holds the loader and the image. The window's
// check reads the memory back; TARVEX_BENCH_CORRUPT=flash-window spoils one byte of that read,
// which must fail the check (exit code 2).
//
//   wine build/win/bench/phone/phone_flash_window_bench.exe [--pairs N] [--check-only]
#include <windows.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/WineBench.h"
#include "framework/win/TApplication.h"
#include "phone/P2KAPI.h"
#include "phone/TfmFlash.h"
#include "phone/core/P2KLink.h"
#include "phone/core/P2KProtocol.h"
#include "skin/controls/TsButton.h"
#include "skin/windows/TsFileNameEdit.h"
#include "tests/phone/simulator/SimulatedPhone.h"
#include "workbench/core/FileHelpers.h"

namespace {

using namespace winbench;
using TBytes = std::vector<std::uint8_t>;

constexpr std::uint32_t LoaderAddress = 0x03FD0000;
constexpr std::uint32_t ImageAddress = 0x10000000;
constexpr std::size_t ImageSize = 32u << 20;

TBytes Pattern(std::size_t size, int seed) {
  TBytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 31 + seed + i / 509);
  return data;
}

std::string TempFile(const std::string& name, const TBytes& data) {
  char dir[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "tarvex_bench_" + std::to_string(GetCurrentProcessId()) + "_" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return path;
}

// The flasher with the run's fixed sleeps left out.
class TBenchFlash : public TfmFlash {
public:
  using TfmFlash::TfmFlash;
  void Sleep(std::uint32_t) override {}
};

void PumpUntil(const std::function<bool()>& done) {
  const double start = NowMs();
  while (!done()) {
    if (NowMs() - start > 30000) throw std::runtime_error("the simulated phone did not come or go");
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

class TBench {
public:
  TBench() : Loader(Pattern(9000, 1)), Image(Pattern(ImageSize, 2)) {
    Phone.SetRecording(false);
    LoaderFile = TempFile("RAMDLD.smg", Loader);
    ImageFile = TempFile("flash_1.smg", Image);
    Form = NewComponent<TBenchFlash>(nullptr, Phone);
    Form->Show();
    Form->sFilenameEdit1->SetText(LoaderFile);
    Form->AppendRow(1, ImageFile, "Flash", static_cast<int32_t>(ImageAddress), static_cast<int32_t>(ImageSize));
  }
  ~TBench() {
    Form->Free();
    DeleteFileA(LoaderFile.c_str());
    DeleteFileA(ImageFile.c_str());
  }

  // One run of the window on a phone plugged in anew; the time of the run alone.
  double WindowRun() {
    Phone.PlugIn(TSimMode::Flash);
    PumpUntil([&] { return Form->P2K()->Connected(); });
    const double start = NowMs();
    SendMessageA(Form->sButton5->Handle(), BM_CLICK, 0, 0);
    const double ms = NowMs() - start;
    PumpUntil([&] { return !Form->P2K()->Connected(); });
    return ms;
  }
  // The loader, the jump, the image and the power-down by the protocol on its own link.
  double ProtocolRun() {
    Phone.PlugIn(TSimMode::Flash);
    TP2KLink link(Phone, [](const std::string&) {});
    TP2KProtocol protocol(link);
    const TP2KLink::TFound found = link.OpenP2KDevice(P2KTarget::FlashMode());
    if (found.Handle == 0) throw std::runtime_error("the simulated phone was not found");
    link.Attach(found.Handle, found.Path);
    // The window's link finds the phone too; it waits idle before the clock starts.
    PumpUntil([&] { return Form->P2K()->Connected(); });
    const double start = NowMs();
    std::string reply;
    const bool ok = protocol.BootSendBin(LoaderAddress, Loader, nullptr) && protocol.BootJump(LoaderAddress + 16) &&
                    protocol.BootCommand(std::string("ERASE\x1E") + '\x80', reply) &&
                    protocol.BootSendBin(ImageAddress, Image, nullptr);
    protocol.BootCommand("POWER_DOWN", reply);
    const double ms = NowMs() - start;
    link.Detach();
    PumpUntil([&] { return !Form->P2K()->Connected(); });
    if (!ok) CheckFailed("protocol: the phone refused a step");
    return ms;
  }
  void CheckMemory(const std::string& side, bool corrupt) {
    TBytes got;
    if (!Phone.ReadMemory(ImageAddress, Image.size(), got)) CheckFailed(side + ": the image is not in the phone");
    if (corrupt && !got.empty()) got[got.size() / 2] ^= 0xFF;
    if (got != Image) CheckFailed(side + ": the phone's memory differs from the image");
    if (!Phone.ReadMemory(LoaderAddress, 48, got) || !std::equal(got.begin(), got.end(), Loader.begin()))
      CheckFailed(side + ": the loader is not in the phone");
  }

  TBytes Loader, Image;
  std::string LoaderFile, ImageFile;
  TSimulatedPhone Phone;
  TBenchFlash* Form = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const TOptions& options) {
    Application->Initialize();
    TBench bench;
    bench.WindowRun();
    bench.CheckMemory("window", CorruptionAsked("flash-window"));
    bench.ProtocolRun();
    bench.CheckMemory("protocol", false);
    if (options.CheckOnly) return;
    AddPairRow("flash run: window / protocol", "32 MB",
               RunPairs(options.Pairs, [&] { return bench.WindowRun(); }, [&] { return bench.ProtocolRun(); }));
    // Part of the window's run the protocol side does not do: the image read from its file.
    std::vector<double> reads;
    for (int pair = 0; pair < options.Pairs; ++pair) {
      TBytes data;
      const double start = NowMs();
      if (!LoadFileToMem(bench.ImageFile, data)) CheckFailed("the image file cannot be read");
      reads.push_back(NowMs() - start);
    }
    AddRow("of which: image file read", "32 MB", Milliseconds(Median(reads)), "-", "-");
  });
}
