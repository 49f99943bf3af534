// The combine on arbitrary rows and images: a clear refusal or a superfile, never a crash; and a
// superfile it wrote always splits back into the images it was given.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "framework/base/Exception.h"
#include "tests/support/TTempFolder.h"
#include "tests/tools/shx-tool/TCollectingHost.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/TSuperfileCombiner.h"
#include "workbench/core/TSuperfileSplitter.h"

namespace {

using THost = TCollectingHost;

// The run's folder and its "split" folder, removed when the run ends.
struct TRunFolder {
  TTempFolder Folder{"tarvex-combine-fuzz"};
  TRunFolder() { std::filesystem::create_directories(Folder.Path() / "split"); }
};

const std::filesystem::path& Root() {
  static const TRunFolder run;
  return run.Folder.Path();
}

std::vector<uint8_t> ReadAll(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::filesystem::path& root = Root();
  std::vector<TCodeGroupRow> rows;
  const int count = input.ConsumeIntegralInRange(1, 6);
  for (int i = 0; i < count; ++i) {
    TCodeGroupRow row;
    // Mostly a RAM downloader first, so that most inputs get as far as writing.
    const bool loader = i == 0 && input.ConsumeIntegralInRange(0, 7) != 0;
    const int cg = loader ? -2 : input.ConsumeIntegralInRange(-3, 21);
    if (cg >= 0 || (!loader && input.ConsumeBool())) row.CG = cg;
    static const char* const kTypes[] = {"RAM Downloader", "Boot Loader", "Flash", "CG9"};
    row.Type = loader ? kTypes[0] : kTypes[input.ConsumeIntegralInRange(0, 3)];
    // Addresses that keep every table entry non-empty, as real firmware does.
    row.A1 = 0x01000000u + input.ConsumeIntegralInRange<uint32_t>(0, 0x0FFFFFFF);
    const size_t length = (loader ? 416 : 0) + input.ConsumeIntegralInRange<size_t>(0, 1500);
    std::vector<uint8_t> image = input.ConsumeBytes<uint8_t>(length);
    image.resize(length, 0x5A);
    row.Name = (root / ("img" + std::to_string(i))).string();
    row.A2 = static_cast<uint32_t>(row.A1 + image.size() - 1);
    std::ofstream(row.Name, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    rows.push_back(row);
  }
  THost host;
  host.SaveName = (root / "out.shx").string();
  std::filesystem::remove(host.SaveName);
  TSuperfileCombiner combiner(host);
  bool written = false;
  try {
    written = combiner.Combine(rows, "", 1);
  } catch (const Exception&) {
  }
  if (written) {
    // The images the combine took, in code-group order and without the RAM downloader (whose
    // table it rewrites), must come back from the split byte for byte.
    std::map<int, std::vector<uint8_t>> byGroup;
    for (const TCodeGroupRow& row : rows) {
      int cg = row.CG ? *row.CG : (row.Type == kRamDownloaderType ? -2 : row.Type == kBootLoaderType ? -1 : 0);
      if (cg != -2) byGroup[cg] = ReadAll(row.Name);
    }
    std::vector<uint8_t> expected;
    for (const auto& [cg, image] : byGroup) expected.insert(expected.end(), image.begin(), image.end());
    for (bool separate : {false, true}) {
      THost split;
      TSuperfileSplitter splitter(split);
      if (!splitter.Split(host.SaveName, {1, separate, (root / "split").string()})) std::abort();
      std::vector<uint8_t> actual;
      for (const TCodeGroupRow& row : split.Rows) {
        if (row.Type == kRamDownloaderType) continue;
        const std::vector<uint8_t> image = ReadAll(row.Name);
        actual.insert(actual.end(), image.begin(), image.end());
      }
      if (actual != expected) std::abort();
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(root / "split")) std::filesystem::remove(entry.path());
  return 0;
}
