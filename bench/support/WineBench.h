#pragma once

// What the benches that run under Wine share: the options, the result checks' failure and
// corruption switch, timing of in-process calls, and the rows of tools/bench's closing table.
//
//   int main(int argc, char** argv) {
//     return winbench::Main(argc, argv, [](const winbench::TOptions& options) {
//       if (ours != peer) winbench::CheckFailed("repaint: the screen differs");
//       if (options.CheckOnly) return;
//       winbench::AddPairRow("repaint", "200 controls", winbench::RunPairs(options.Pairs, ours, peer));
//     });
//   }

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace winbench {

struct TOptions {
  int Pairs = 5;           // --pairs N, at least 5
  bool CheckOnly = false;  // --check-only: the result checks, no timing
  // --save-reference: record the pictures checked against references instead, no timing (the benches
  // that have references)
  bool SaveReference = false;
};

// Our result differs from the peer's: ends the bench with exit code 2 and a "MISMATCH:" line.
class TMismatch : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
[[noreturn]] void CheckFailed(const std::string& what);
// True when TARVEX_BENCH_CORRUPT names `key`.
bool CorruptionAsked(std::string_view key);

// Parses the options, runs the body and saves its rows. Returns 0, 2 when a check failed, or 1 on
// any other error.
int Main(int argc, char** argv, const std::function<void(const TOptions&)>& body);

double NowMs();
double Median(std::vector<double> values);
// The time of one call in ms, from enough calls to last about a quarter second.
double TimeOne(const std::function<void()>& call);
// Times a job done on the calling thread's windows until the thread has handled what the job left
// it (posted and sent messages, paints), each round of them by `pump`, the program's own loop.
// Throws when something still waits after 30 s.
double TimeUntilSettled(const std::function<void()>& job, const std::function<void()>& pump);
// Runs both sides of a pair, ours first in even pairs and the peer first in odd ones.
void InTurn(int pair, const std::function<void()>& ours, const std::function<void()>& peer);

// The times of alternated pairs, in ms, and each pair's ratio: the peer's time / ours (above 1: ours
// is faster).
struct TPairTimes {
  std::vector<double> Ours, Peer, Ratios;
};
// Runs `pairs` pairs in turn; each side returns the time of its run in ms.
TPairTimes RunPairs(int pairs, const std::function<double()>& ours, const std::function<double()>& peer);
// The goal of a row: ours at most `times` times the peer's time, by the median ratio, and whether
// the pairs held it: "ours <= 1.2x peer: held" or "... not held".
std::string Goal(double times, const std::vector<double>& ratios);
// The row of the closing table for pairs run by RunPairs, with its goal when it has one.
void AddPairRow(const std::string& work, const std::string& size, const TPairTimes& times,
                const std::string& goal = "");

std::string Milliseconds(double ms);       // "0.42 ms", "148.8 ms"
std::string RatioText(std::vector<double> ratios);  // "median [min-max]"
// One row of the closing table (work, size, ours, peer, ratio, goal), also printed.
void AddRow(const std::string& work, const std::string& size, const std::string& ours, const std::string& peer,
            const std::string& ratio, const std::string& goal = "");

}  // namespace winbench
