#pragma once

// What every benchmark that names a peer shares.
//
// A bench first checks that both sides give the same result and calls CheckFailed() when they do
// not; TARVEX_BENCH_CORRUPT=KEY[,KEY...] asks a bench to flip one byte of its own side's result
// first, which must make that check fail. Then it times the two sides the same way (both
// processes or both in-process), alternated run by run, each pair giving one ratio, and prints one
// row of the closing table per piece of work. tools/bench gathers the rows of every bench
// (TARVEX_BENCH_ROWS names the file they are appended to) into one table.
//
//   int main(int argc, char** argv) {
//     return bench::Main(argc, argv, [](const bench::TOptions& options) {
//       if (ours != peer) bench::CheckFailed("decode of photo: frame 2 differs");
//       if (options.CheckOnly) return;
//       bench::AddRow(bench::PairRow("decode", "1216x816", bench::RunCallPairs(ours, peer, options.Pairs)));
//     });
//   }

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

struct TOptions {
  int Pairs = 5;           // --pairs N, at least 5
  bool CheckOnly = false;  // --check-only: the result checks, no timing
};

// Reads and removes --pairs N and --check-only from the arguments.
TOptions ParseOptions(int& argc, char** argv);

// Runs a bench's body and saves its rows. Returns 0, or 2 when a check failed ("MISMATCH: ..." on
// standard error), or 1 on any other error.
int Main(int& argc, char** argv, const std::function<void(const TOptions&)>& body);

// One timed run of one side: its wall time and, for a process, its peak resident memory.
struct TSample {
  double Seconds = 0;
  long PeakKB = -1;  // -1: not measured
};

// Runs of two sides alternated pair by pair (ours first in even pairs, the peer first in odd ones).
struct TPairs {
  std::vector<TSample> Ours, Peer;
  std::vector<double> Ratios;  // peer time / our time within each pair: above 1 ours is faster

  double Median(const std::vector<TSample>& side) const;
  double MedianRatio() const;
  double MinRatio() const;
  double MaxRatio() const;
  long PeakKB(const std::vector<TSample>& side) const;  // the highest of the side's runs, -1 if none
};

using TSide = std::function<TSample()>;
TPairs RunPairs(const TSide& ours, const TSide& peer, int pairs);

// Times `repeats` calls of an in-process side; the sample is the time of one call.
TSample TimeCalls(const std::function<void()>& call, int repeats);
// How many calls make a run of about `seconds` (at least one), from one timed call.
int RepeatsFor(const std::function<void()>& call, double seconds = 0.25);
// Both sides timed in-process, each run repeating its call so it lasts about a quarter second.
TPairs RunCallPairs(const std::function<void()>& ours, const std::function<void()>& peer, int pairs);

// Runs a program (its standard output to `output`) and times it with its peak resident memory, the
// program's alone whatever the size of the bench that starts it. Throws std::runtime_error when it cannot start or does not exit with 0.
TSample RunProcess(const std::vector<std::string>& args, const std::string& output = "/dev/null");

// Our result differs from the peer's: thrown by CheckFailed, ends the bench through Main.
class TMismatch : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
[[noreturn]] void CheckFailed(const std::string& what);
// True when TARVEX_BENCH_CORRUPT names `key`.
bool CorruptionAsked(std::string_view key);
// Flips the bits of the byte at `offset` of a file, for a corrupted result.
void FlipFileByte(const std::string& path, uint64_t offset);

// The first offset at which two files differ (either may be shorter), or none when they are equal.
std::optional<uint64_t> FirstDifference(const std::string& a, const std::string& b);

// One row of the closing table.
struct TRow {
  std::string Work, Size, Ours, Peer, Ratio, Memory;
};
TRow PairRow(const std::string& work, const std::string& size, const TPairs& pairs, bool memory = false);
// A measurement without a peer: the median and range of `runs` runs.
TRow SoloRow(const std::string& work, const std::string& size, const std::vector<TSample>& runs);
void AddRow(const TRow& row);
// A line printed under the closing table: what its rows leave out of the timing.
void AddNote(const std::string& text);
// Appends the rows and notes added so far to the file TARVEX_BENCH_ROWS names, when it is set.
void SaveRows();

std::string Seconds(double seconds);  // "412 ms", "3.21 s", "85.0 us"
std::string Bytes(double bytes);        // "64.0 MiB"
std::string KiBAsMiB(long kb);        // a peak in kB (KiB) as MiB

}  // namespace bench
