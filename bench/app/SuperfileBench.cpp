// Split and combine of generated superfiles against objcopy reading and writing the same
// S-records in the same run, with the peak memory of the command-line driver and of objcopy, and
// a check that our records equal objcopy's for the same bytes.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "TCollectingHost.h"
#include "app/core/TSuperfileCombiner.h"
#include "app/core/TSuperfileSplitter.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kFlashStart = 0x10000000;  // where shx-gen puts the memory map and the flash

// Reports error boxes on stderr and otherwise stays quiet.
class TQuietHost : public TCollectingHost {
public:
  TQuietHost() {
    OnError = [](const std::string& text) { std::fprintf(stderr, "error: %s\n", text.c_str()); };
  }
};

const fs::path& Root() {
  static const fs::path root = fs::temp_directory_path() / ("tarvex-bench-" + std::to_string(::getpid()));
  return root;
}

// Runs a program and returns its peak resident memory in kB, or -1 when it failed. The peak of a
// spawned child includes this process's own at the time, so peaks are taken while it is small.
long RunChild(const std::vector<std::string>& args, const std::string& output = "/dev/null") {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

// A superfile of about the given size from shx-gen, split into its images.
struct TFixture {
  fs::path Dir;
  std::string Superfile;
  std::string List;        // the split's rows as the driver prints them
  std::string FlashImage;  // memory map and flash: the bytes of the superfile's largest block
  std::vector<TCodeGroupRow> Rows;
  int64_t SuperfileBytes = 0;
};

std::map<int, TFixture>& Fixtures() {
  static std::map<int, TFixture> fixtures;
  return fixtures;
}

bool MakeFixture(int mb) {
  TFixture& f = Fixtures()[mb];
  f.Dir = Root() / std::to_string(mb);
  fs::create_directories(f.Dir);
  f.Superfile = (f.Dir / "fw.shx").string();
  f.List = (f.Dir / "list.txt").string();
  // shx-gen's realistic firmware is about 3.1 text bytes per flash byte.
  if (RunChild({SHX_GEN, f.Superfile, std::to_string(static_cast<size_t>(mb) * 1024 * 1024 * 10 / 31), "5"}) < 0)
    return false;
  f.SuperfileBytes = static_cast<int64_t>(fs::file_size(f.Superfile));
  TQuietHost host;
  TSuperfileSplitter splitter(host);
  if (!splitter.Split(f.Superfile, {512, false, f.Dir.string()})) return false;
  f.Rows = host.Rows;
  for (const TCodeGroupRow& row : f.Rows)
    if (row.A1 == kFlashStart) f.FlashImage = row.Name;
  return !f.FlashImage.empty();
}

std::vector<std::string> ObjcopyToSRecords(const std::string& in, const std::string& out) {
  // The addresses moved to the flash's start give the records our flash block holds.
  return {"objcopy",       "-I",  "binary", "-O", "srec", "--srec-forceS3", "--srec-len=64", "--change-addresses",
          "0x10000000", in, out};
}

// The driver prints the split's rows and then its status lines; the combine reads back the rows.
void KeepRows(const std::string& list) {
  std::vector<std::string> rows;
  std::ifstream in(list);
  for (std::string line; std::getline(in, line);)
    if (line.find('|') != std::string::npos) rows.push_back(line);
  in.close();
  std::ofstream out(list, std::ios::trunc);
  for (const std::string& row : rows) out << row << "\n";
}

void Record(benchmark::State& state, int64_t bytes) {
  state.SetBytesProcessed(bytes * static_cast<int64_t>(state.iterations()));
  state.counters["MB"] = static_cast<double>(bytes) / (1024 * 1024);
}

void SplitOurs(benchmark::State& state) {
  const TFixture& f = Fixtures().at(64);
  const std::string out = (f.Dir / "split").string();
  fs::create_directories(out);
  TQuietHost host;
  TSuperfileSplitter splitter(host);
  for (auto _ : state)
    if (!splitter.Split(f.Superfile, {static_cast<int>(state.range(0)), false, out}))
      state.SkipWithError("split failed");
  Record(state, f.SuperfileBytes);
}

// Reads the S-records objcopy wrote for the flash block (the combine's peer run makes them).
void SplitObjcopy(benchmark::State& state) {
  const TFixture& f = Fixtures().at(64);
  const std::string text = (f.Dir / "objcopy.srec").string();
  const std::string out = (f.Dir / "objcopy.bin").string();
  if (!fs::exists(text) && RunChild(ObjcopyToSRecords(f.FlashImage, text)) < 0) state.SkipWithError("objcopy failed");
  for (auto _ : state)
    if (RunChild({"objcopy", "-I", "srec", "-O", "binary", text, out}) < 0) state.SkipWithError("objcopy failed");
  Record(state, static_cast<int64_t>(fs::file_size(text)));
}

void CombineOurs(benchmark::State& state) {
  const TFixture& f = Fixtures().at(static_cast<int>(state.range(0)));
  TQuietHost host;
  host.SaveName = (f.Dir / "combined.shx").string();
  TSuperfileCombiner combiner(host);
  for (auto _ : state)
    if (!combiner.Combine(f.Rows, "", static_cast<int>(state.range(1)))) state.SkipWithError("combine failed");
  Record(state, static_cast<int64_t>(fs::file_size(host.SaveName)));
}

void CombineObjcopy(benchmark::State& state) {
  const TFixture& f = Fixtures().at(static_cast<int>(state.range(0)));
  const std::string out = (f.Dir / "objcopy.srec").string();
  for (auto _ : state)
    if (RunChild(ObjcopyToSRecords(f.FlashImage, out)) < 0) state.SkipWithError("objcopy failed");
  Record(state, static_cast<int64_t>(fs::file_size(out)));
}

// Three runs each, the best counting: the machine's other load only ever slows a run down.
BENCHMARK(SplitOurs)->Arg(128)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(SplitObjcopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(CombineOurs)
    ->ArgsProduct({{16, 64, 256}, {128, 4096}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(3);
BENCHMARK(CombineObjcopy)
    ->Arg(16)
    ->Arg(64)
    ->Arg(256)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(3);

// Our flash block's S3 records against objcopy's for the same bytes, line by line.
std::string CompareRecords(const TFixture& f) {
  std::ifstream ours(f.Dir / "combined.shx", std::ios::binary);
  std::ifstream theirs(f.Dir / "objcopy.srec", std::ios::binary);
  if (!ours || !theirs) return "not compared: an output is missing";
  char first[16];
  std::snprintf(first, sizeof first, "S345%08X", kFlashStart);
  std::string a, b;
  while (std::getline(ours, a) && a.rfind(first, 0) != 0) {
  }
  long lines = 0;
  for (; ours && a.rfind("S3", 0) == 0; std::getline(ours, a), ++lines) {
    while (std::getline(theirs, b) && b.rfind("S3", 0) != 0) {
    }
    if (a != b) return "DIFFER at record " + std::to_string(lines + 1) + ": " + a + " / " + b;
  }
  while (std::getline(theirs, b))
    if (b.rfind("S3", 0) == 0) return "DIFFER: objcopy wrote more records";
  return lines == 0 ? "DIFFER: no flash block found" : "equal, " + std::to_string(lines) + " S3 records";
}

// Keeps each benchmark's throughput so that the ratios can be printed after the run.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  std::map<std::string, double> BytesPerSecond;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate) continue;
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
  std::vector<std::string> peaks;
  for (int mb : {16, 64, 256}) {
    if (!MakeFixture(mb)) {
      std::fprintf(stderr, "cannot make the %d MB superfile\n", mb);
      fs::remove_all(Root());
      return 1;
    }
    const TFixture& f = Fixtures().at(mb);
    const std::string out = (f.Dir / "peak.out").string();
    const auto report = [&](const char* what, int kb, long peak) {
      char line[160];
      std::snprintf(line, sizeof line, "%-8s peak memory: %5.1f MB superfile, %4d kB buffers: %6ld kB", what,
                    static_cast<double>(f.SuperfileBytes) / (1024 * 1024), kb, peak);
      peaks.push_back(line);
    };
    fs::create_directories(f.Dir / "peak");
    for (int kb : {128, 4096}) {
      const std::string buffer = std::to_string(kb);
      report("split", kb,
             RunChild({SHX_TOOL, "split", f.Superfile, (f.Dir / "peak").string(), "--buffer-kb", buffer}, f.List));
      KeepRows(f.List);
      report("combine", kb, RunChild({SHX_TOOL, "combine", f.List, out, "--buffer-kb", buffer}));
    }
    report("objcopy", 0, RunChild(ObjcopyToSRecords(f.FlashImage, out)));
    fs::remove_all(f.Dir / "peak");
    fs::remove(out);
  }
  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  peaks.push_back("(no figure can be below this process's own peak then: " + std::to_string(self.ru_maxrss) + " kB)");

  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double mb = 1024.0 * 1024.0;
  const double split = Best(reporter, "SplitOurs"), splitPeer = Best(reporter, "SplitObjcopy");
  if (splitPeer > 0)
    std::printf("split:   %.1f MB/s, objcopy reading S-records %.1f MB/s, ratio %.2f (goal 2.0)\n", split / mb,
                splitPeer / mb, split / splitPeer);
  for (int size : {16, 64, 256}) {
    const std::string arg = "/" + std::to_string(size) + "/";
    const double combine = Best(reporter, "CombineOurs" + arg);
    const double peer = Best(reporter, "CombineObjcopy" + arg);
    if (peer > 0)
      std::printf("combine %3d MB: %.1f MB/s, objcopy writing S-records %.1f MB/s, ratio %.2f (goal 2.5); "
                  "records %s\n",
                  size, combine / mb, peer / mb, combine / peer, CompareRecords(Fixtures().at(size)).c_str());
  }
  for (const std::string& line : peaks) std::printf("%s\n", line.c_str());
  fs::remove_all(Root());
  benchmark::Shutdown();
  return 0;
}
