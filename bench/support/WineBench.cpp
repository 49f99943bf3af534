#include "bench/support/WineBench.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace winbench {
namespace {

std::vector<std::string> Rows;

// The rows go to the file TARVEX_BENCH_ROWS names, a path of the host reached through drive Z:.
void SaveRows() {
  const char* path = std::getenv("TARVEX_BENCH_ROWS");
  if (path == nullptr || *path == 0) return;
  const std::string file = path[0] == '/' ? std::string("Z:") + path : std::string(path);
  if (FILE* f = std::fopen(file.c_str(), "ab")) {
    for (const std::string& row : Rows) std::fprintf(f, "%s\n", row.c_str());
    std::fclose(f);
  }
}

}  // namespace

void CheckFailed(const std::string& what) { throw TMismatch(what); }

bool CorruptionAsked(std::string_view key) {
  const char* keys = std::getenv("TARVEX_BENCH_CORRUPT");
  if (keys == nullptr) return false;
  const std::string list = std::string(",") + keys + ",";
  return list.find("," + std::string(key) + ",") != std::string::npos;
}

int Main(int argc, char** argv, const std::function<void(const TOptions&)>& body) {
  TOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--check-only") options.CheckOnly = true;
    if (a == "--save-reference") options.SaveReference = true;
    if (a == "--pairs" && i + 1 < argc) options.Pairs = std::max(5, std::atoi(argv[++i]));
  }
  try {
    body(options);
  } catch (const TMismatch& e) {
    std::fprintf(stderr, "MISMATCH: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
  SaveRows();
  return 0;
}

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double TimeOne(const std::function<void()>& call) {
  double start = NowMs();
  call();
  const double once = std::max(NowMs() - start, 0.01);
  const int repeats = std::clamp(int(250 / once), 1, 200);
  start = NowMs();
  for (int i = 0; i < repeats; ++i) call();
  return (NowMs() - start) / repeats;
}

double TimeUntilSettled(const std::function<void()>& job, const std::function<void()>& pump) {
  const auto waiting = [] { return HIWORD(GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0; };
  const double start = NowMs();
  job();
  for (const double until = NowMs() + 30000; waiting() && NowMs() < until;) pump();
  const double ms = NowMs() - start;
  if (waiting()) throw std::runtime_error("the windows still have messages or paints waiting 30 s after the job");
  return ms;
}

void InTurn(int pair, const std::function<void()>& ours, const std::function<void()>& peer) {
  if (pair % 2 == 0) {
    ours();
    peer();
  } else {
    peer();
    ours();
  }
}

TPairTimes RunPairs(int pairs, const std::function<double()>& ours, const std::function<double()>& peer) {
  TPairTimes times;
  for (int pair = 0; pair < pairs; ++pair) {
    double a = 0, b = 0;
    InTurn(
        pair, [&] { a = ours(); }, [&] { b = peer(); });
    times.Ours.push_back(a);
    times.Peer.push_back(b);
    times.Ratios.push_back(a > 0 ? b / a : 0);
  }
  return times;
}

std::string Goal(double times, const std::vector<double>& ratios) {
  char text[64];
  // The ratio is the peer's time over ours: ours within `times` the peer's when it is 1 / times or more.
  const bool held = !ratios.empty() && Median(ratios) * times >= 1;
  std::snprintf(text, sizeof text, "ours <= %gx peer: %s", times, held ? "held" : "not held");
  return text;
}

void AddPairRow(const std::string& work, const std::string& size, const TPairTimes& times, const std::string& goal) {
  AddRow(work, size, Milliseconds(Median(times.Ours)), Milliseconds(Median(times.Peer)), RatioText(times.Ratios), goal);
}

std::string Milliseconds(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, ms < 10 ? "%.2f ms" : "%.1f ms", ms);
  return text;
}

std::string RatioText(std::vector<double> ratios) {
  if (ratios.empty()) return "-";
  std::sort(ratios.begin(), ratios.end());
  char text[64];
  std::snprintf(text, sizeof text, "%.2f [%.2f-%.2f]", ratios[ratios.size() / 2], ratios.front(), ratios.back());
  return text;
}

void AddRow(const std::string& work, const std::string& size, const std::string& ours, const std::string& peer,
            const std::string& ratio, const std::string& goal) {
  Rows.push_back(work + "\t" + size + "\t" + ours + "\t" + peer + "\t" + ratio + "\t-\t" + goal);
  std::printf("%-44s %-26s %-12s %-12s %s  %s\n", work.c_str(), size.c_str(), ours.c_str(), peer.c_str(),
              ratio.c_str(), goal.c_str());
}

}  // namespace winbench
