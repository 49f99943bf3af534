// The split on arbitrary bytes: a clear error or success, never a crash, a hang or a file written
// outside the output folder.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "framework/base/Exception.h"
#include "tests/support/TTempFolder.h"
#include "workbench/core/TSuperfileSplitter.h"

namespace {

class TQuietHost : public TSuperfileHost {
public:
  void ResetRows() override {}
  void AddRow(const TCodeGroupRow&) override {}
  void SelectLastRow() override {}
  void SetStatus(const std::string&) override {}
  void SetGaugeRange(int64_t, int64_t) override {}
  void SetGaugeProgress(int64_t) override {}
  void ShowError(const std::string&) override {}
  void BringToFront() override {}
  bool AskSaveFileName(const std::string&, std::string&) override { return false; }
  void SetBusyCursor(bool) override {}
  void ProcessMessages() override {}
};

// The run's folder and its "out" folder, removed when the run ends.
struct TRunFolder {
  TTempFolder Folder{"tarvex-split-fuzz"};
  TRunFolder() { std::filesystem::create_directories(Folder.Path() / "out"); }
};

const std::filesystem::path& Root() {
  static const TRunFolder run;
  return run.Folder.Path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path& root = Root();
  const std::string input = (root / "in.shx").string();
  {
    std::ofstream file(input, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TQuietHost host;
  TSuperfileSplitter splitter(host);
  // Both layouts of the memory map, and a buffer small enough to cut lines and CR LF pairs.
  TSplitOptions options{1, (size & 1) != 0, (root / "out").string()};
  try {
    splitter.Split(input, options);
  } catch (const Exception&) {
    // A file error is a clear error too.
  }
  for (const auto& entry : std::filesystem::directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name != "in.shx" && name != "out") std::abort();
  }
  for (const auto& entry : std::filesystem::directory_iterator(root / "out")) {
    if (!entry.is_regular_file()) std::abort();
    std::filesystem::remove(entry.path());
  }
  return 0;
}
