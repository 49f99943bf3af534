// Split and combine of a 64 MB superfile against objcopy reading and writing the same S-records in
// the same run, and the split's peak memory measured on the command-line driver.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/core/TSuperfileCombiner.h"
#include "app/core/TSuperfileSplitter.h"
#include "TCollectingHost.h"
#include "shx-generator.h"

namespace {

namespace fs = std::filesystem;

// Reports error boxes on stderr and otherwise stays quiet.
class TQuietHost : public TCollectingHost {
public:
  TQuietHost() {
    OnError = [](const std::string& text) { std::fprintf(stderr, "error: %s\n", text.c_str()); };
  }
};

struct TFixture {
  fs::path Dir;
  std::string Superfile;   // the whole superfile
  std::string FlashText;   // the text of its big block, for objcopy to read
  std::string FlashImage;  // that block's payload, for objcopy to write
  int64_t SuperfileBytes = 0;
  int64_t FlashTextBytes = 0;
  int64_t CombinedBytes = 0;
  std::vector<TCodeGroupRow> Rows;
};

TFixture& Fixture() {
  constexpr size_t superfileMB = 64;
  static TFixture f;
  if (!f.Superfile.empty()) return f;
  f.Dir = fs::temp_directory_path() / ("tarvex-bench-" + std::to_string(::getpid()));
  fs::remove_all(f.Dir);
  fs::create_directories(f.Dir / "split");
  // About 2.25 text bytes per data byte.
  const size_t flash = superfileMB * 1024 * 1024 * 4 / 9;
  std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(6001, 1)},
                                   {0, 0x10000000, MakeMemoryMap(1031, 2)},
                                   {1, 0x10000000 + 1031, RandomBytes(flash, 3)}};
  const std::vector<uint8_t> file = BuildSuperfile(groups);
  f.Superfile = (f.Dir / "fw.shx").string();
  WriteFileBytes(f.Superfile, file);
  f.SuperfileBytes = static_cast<int64_t>(file.size());
  const std::vector<std::string> blocks = SRecordBlocks(file);
  f.FlashText = (f.Dir / "flash.srec").string();
  WriteFileBytes(f.FlashText, std::vector<uint8_t>(blocks.back().begin(), blocks.back().end()));
  f.FlashTextBytes = static_cast<int64_t>(blocks.back().size());
  std::vector<uint8_t> payload = groups[1].Data;
  payload.insert(payload.end(), groups[2].Data.begin(), groups[2].Data.end());
  f.FlashImage = (f.Dir / "flash.bin").string();
  WriteFileBytes(f.FlashImage, payload);
  TQuietHost host;
  TSuperfileSplitter splitter(host);
  splitter.Split(f.Superfile, {512, false, (f.Dir / "split").string()});
  f.Rows = host.Rows;
  return f;
}

// Runs a program and returns its peak resident memory in kB, or -1 when it failed. Spawned, not
// forked, so that the child's peak is its own and not a copy of this process.
long RunChild(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

void Record(benchmark::State& state, int64_t bytes) {
  state.SetBytesProcessed(bytes * static_cast<int64_t>(state.iterations()));
  state.counters["MB"] = static_cast<double>(bytes) / (1024 * 1024);
}

void SplitOurs(benchmark::State& state) {
  TFixture& f = Fixture();
  TQuietHost host;
  TSuperfileSplitter splitter(host);
  for (auto _ : state) {
    if (!splitter.Split(f.Superfile, {static_cast<int>(state.range(0)), false, (f.Dir / "split").string()}))
      state.SkipWithError("split failed");
  }
  Record(state, f.SuperfileBytes);
}

void SplitObjcopy(benchmark::State& state) {
  TFixture& f = Fixture();
  const std::string out = (f.Dir / "objcopy.bin").string();
  for (auto _ : state)
    if (RunChild({"objcopy", "-I", "srec", "-O", "binary", f.FlashText, out}) < 0)
      state.SkipWithError("objcopy failed");
  Record(state, f.FlashTextBytes);
}

void CombineOurs(benchmark::State& state) {
  TFixture& f = Fixture();
  TQuietHost host;
  host.SaveName = (f.Dir / "combined.shx").string();
  TSuperfileCombiner combiner(host);
  for (auto _ : state)
    if (!combiner.Combine(f.Rows, "", static_cast<int>(state.range(0))))
      state.SkipWithError("combine failed");
  f.CombinedBytes = static_cast<int64_t>(fs::file_size(host.SaveName));
  Record(state, f.CombinedBytes);
}

void CombineObjcopy(benchmark::State& state) {
  TFixture& f = Fixture();
  const std::string out = (f.Dir / "objcopy.srec").string();
  for (auto _ : state)
    if (RunChild({"objcopy", "-I", "binary", "-O", "srec", "--srec-forceS3", "--srec-len=64", f.FlashImage,
                  out}) < 0)
      state.SkipWithError("objcopy failed");
  Record(state, static_cast<int64_t>(fs::file_size(out)));
}

BENCHMARK(SplitOurs)->Arg(128)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(SplitObjcopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(CombineOurs)->Arg(128)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(CombineObjcopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// Keeps each benchmark's throughput so that the ratios can be printed after the run.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  std::map<std::string, double> BytesPerSecond;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto it = run.counters.find("bytes_per_second");
      if (it != run.counters.end()) {
        double& best = BytesPerSecond[run.benchmark_name()];
        best = std::max(best, static_cast<double>(it->second));
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

double Best(const TRatioReporter& r, const std::string& prefix) {
  double best = 0;
  for (const auto& [name, value] : r.BytesPerSecond)
    if (name.rfind(prefix, 0) == 0) best = std::max(best, value);
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Peak memory of the split first, while this process is still small: the children are spawned
  // from it and their peak includes its own.
  const fs::path memDir = fs::temp_directory_path() / ("tarvex-bench-mem-" + std::to_string(::getpid()));
  fs::create_directories(memDir);
  std::vector<std::string> peaks;
  for (size_t mb : {16, 64}) {
    const std::string file = (memDir / "fw.shx").string();
    // shx-gen's realistic firmware is about 3.1 text bytes per flash byte.
    if (RunChild({SHX_GEN, file, std::to_string(mb * 1024 * 1024 * 10 / 31), "5"}) < 0) return 1;
    for (int kb : {128, 4096}) {
      const long peak =
          RunChild({SHX_TOOL, "split", file, memDir.string(), "--buffer-kb", std::to_string(kb)});
      char line[160];
      std::snprintf(line, sizeof line, "split peak memory: %5.1f MB superfile, %4d kB buffers: %ld kB",
                    static_cast<double>(fs::file_size(file)) / (1024 * 1024), kb, peak);
      peaks.push_back(line);
    }
  }
  fs::remove_all(memDir);

  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double mb = 1024.0 * 1024.0;
  const double split = Best(reporter, "SplitOurs"), splitPeer = Best(reporter, "SplitObjcopy");
  const double combine = Best(reporter, "CombineOurs"), combinePeer = Best(reporter, "CombineObjcopy");
  if (splitPeer > 0)
    std::printf("split:   %.1f MB/s, objcopy reading S-records %.1f MB/s, ratio %.2f (goal 2.0)\n",
                split / mb, splitPeer / mb, split / splitPeer);
  if (combinePeer > 0)
    std::printf("combine: %.1f MB/s, objcopy writing S-records %.1f MB/s, ratio %.2f (goal 1.5)\n",
                combine / mb, combinePeer / mb, combine / combinePeer);
  for (const std::string& line : peaks) std::printf("%s\n", line.c_str());
  fs::remove_all(Fixture().Dir);
  benchmark::Shutdown();
  return 0;
}
