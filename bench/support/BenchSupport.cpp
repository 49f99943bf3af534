#include "bench/support/BenchSupport.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace bench {
namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point start) {
  return std::chrono::duration<double>(TClock::now() - start).count();
}

double MedianOf(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<TRow>& Rows() {
  static std::vector<TRow> rows;
  return rows;
}

std::vector<std::string>& Notes() {
  static std::vector<std::string> notes;
  return notes;
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Ratio(double value) {
  return Format(value < 10 ? "%.2f" : "%.1f", value);
}

}  // namespace

TOptions ParseOptions(int& argc, char** argv) {
  TOptions options;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--check-only") {
      options.CheckOnly = true;
    } else if (arg == "--pairs" && i + 1 < argc) {
      options.Pairs = std::max(5, std::atoi(argv[++i]));
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  return options;
}

double TPairs::Median(const std::vector<TSample>& side) const {
  std::vector<double> seconds;
  for (const TSample& s : side) seconds.push_back(s.Seconds);
  return MedianOf(seconds);
}

double TPairs::MedianRatio() const {
  return MedianOf(Ratios);
}

double TPairs::MinRatio() const {
  return Ratios.empty() ? 0 : *std::min_element(Ratios.begin(), Ratios.end());
}

double TPairs::MaxRatio() const {
  return Ratios.empty() ? 0 : *std::max_element(Ratios.begin(), Ratios.end());
}

long TPairs::PeakKB(const std::vector<TSample>& side) const {
  long peak = -1;
  for (const TSample& s : side) peak = std::max(peak, s.PeakKB);
  return peak;
}

TPairs RunPairs(const TSide& ours, const TSide& peer, int pairs) {
  TPairs result;
  for (int i = 0; i < pairs; ++i) {
    TSample a, b;
    if (i % 2 == 0) {
      a = ours();
      b = peer();
    } else {
      b = peer();
      a = ours();
    }
    result.Ours.push_back(a);
    result.Peer.push_back(b);
    result.Ratios.push_back(a.Seconds > 0 ? b.Seconds / a.Seconds : 0);
  }
  return result;
}

TSample TimeCalls(const std::function<void()>& call, int repeats) {
  const TClock::time_point start = TClock::now();
  for (int i = 0; i < repeats; ++i) call();
  return {Since(start) / std::max(repeats, 1), -1};
}

int RepeatsFor(const std::function<void()>& call, double seconds) {
  call();  // warms caches and lazy set-up
  const double one = TimeCalls(call, 1).Seconds;
  return one <= 0 ? 1000 : std::clamp(static_cast<int>(std::ceil(seconds / one)), 1, 1000000);
}

TPairs RunCallPairs(const std::function<void()>& ours, const std::function<void()>& peer, int pairs) {
  const int oursRepeats = RepeatsFor(ours), peerRepeats = RepeatsFor(peer);
  return RunPairs([&] { return TimeCalls(ours, oursRepeats); }, [&] { return TimeCalls(peer, peerRepeats); },
                  pairs);
}

TSample RunProcess(const std::vector<std::string>& args, const std::string& output) {
  // The process is started by bench_child_peak, which reports its time and its peak alone on a pipe
  // (descriptor 3 of the starter).
  std::vector<std::string> starter{BENCH_CHILD_PEAK, "3"};
  starter.insert(starter.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (const std::string& a : starter) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error(std::string("cannot open a pipe: ") + std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, report[1], 3);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(report[1]);
  if (rc != 0) {
    close(report[0]);
    throw std::runtime_error(std::string("cannot start ") + BENCH_CHILD_PEAK + ": " + std::strerror(rc));
  }
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(report[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0) text.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR) break;
  }
  close(report[0]);
  int starterStatus = 0;
  while (waitpid(pid, &starterStatus, 0) < 0 && errno == EINTR) {
  }
  int status = 0;
  long peakKB = -1;
  double seconds = 0;
  if (std::sscanf(text.c_str(), "%d %ld %lf", &status, &peakKB, &seconds) != 3) {
    int error = 0;
    if (std::sscanf(text.c_str(), "error %d", &error) == 1)
      throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(error));
    throw std::runtime_error("lost " + args[0]);
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string command;
    for (const std::string& a : args) command += (command.empty() ? "" : " ") + a;
    throw std::runtime_error("failed: " + command);
  }
  return {seconds, peakKB};
}

void CheckFailed(const std::string& what) {
  throw TMismatch(what);
}

int Main(int& argc, char** argv, const std::function<void(const TOptions&)>& body) {
  const TOptions options = ParseOptions(argc, argv);
  int rc = 0;
  try {
    body(options);
  } catch (const TMismatch& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "MISMATCH: %s\n", e.what());
    rc = 2;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "error: %s\n", e.what());
    rc = 1;
  }
  SaveRows();
  return rc;
}

bool CorruptionAsked(std::string_view key) {
  const char* value = std::getenv("TARVEX_BENCH_CORRUPT");
  if (!value) return false;
  std::string_view list(value);
  while (!list.empty()) {
    const size_t comma = list.find(',');
    if (list.substr(0, comma) == key) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

void FlipFileByte(const std::string& path, uint64_t offset) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekg(static_cast<std::streamoff>(offset));
  char c = 0;
  file.get(c);
  // A hex digit stays a hex digit, so a record still reads; any other byte has its bits flipped.
  if (std::isxdigit(static_cast<unsigned char>(c)))
    c = c == '0' ? '1' : '0';
  else
    c = static_cast<char>(~c);
  file.seekp(static_cast<std::streamoff>(offset));
  file.put(c);
  if (!file) throw std::runtime_error("cannot corrupt " + path);
}

std::optional<uint64_t> FirstDifference(const std::string& a, const std::string& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  if (!fa || !fb) return 0;
  std::vector<char> ba(1 << 20), bb(1 << 20);
  uint64_t at = 0;
  for (;;) {
    fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
    fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
    const size_t na = static_cast<size_t>(fa.gcount()), nb = static_cast<size_t>(fb.gcount());
    const size_t n = std::min(na, nb);
    const auto mismatch = std::mismatch(ba.begin(), ba.begin() + static_cast<long>(n), bb.begin());
    if (mismatch.first != ba.begin() + static_cast<long>(n)) return at + static_cast<uint64_t>(mismatch.first - ba.begin());
    if (na != nb) return at + n;
    if (na == 0) return std::nullopt;
    at += n;
  }
}

TRow PairRow(const std::string& work, const std::string& size, const TPairs& pairs, bool memory) {
  TRow row{work, size, Seconds(pairs.Median(pairs.Ours)), Seconds(pairs.Median(pairs.Peer)),
           Ratio(pairs.MedianRatio()) + " [" + Ratio(pairs.MinRatio()) + "-" + Ratio(pairs.MaxRatio()) + "]", "-"};
  if (memory) row.Memory = KiBAsMiB(pairs.PeakKB(pairs.Ours)) + " / " + KiBAsMiB(pairs.PeakKB(pairs.Peer));
  return row;
}

TRow SoloRow(const std::string& work, const std::string& size, const std::vector<TSample>& runs) {
  std::vector<double> seconds;
  for (const TSample& s : runs) seconds.push_back(s.Seconds);
  const auto [low, high] = std::minmax_element(seconds.begin(), seconds.end());
  return {work, size, Seconds(MedianOf(seconds)) + " [" + Seconds(*low) + "-" + Seconds(*high) + "]", "-", "-", "-"};
}

void AddRow(const TRow& row) {
  Rows().push_back(row);
  std::printf("  %s (%s): ours %s, peer %s, ratio %s, memory %s\n", row.Work.c_str(), row.Size.c_str(),
              row.Ours.c_str(), row.Peer.c_str(), row.Ratio.c_str(), row.Memory.c_str());
  std::fflush(stdout);
}

void AddNote(const std::string& text) {
  Notes().push_back(text);
  std::printf("  note: %s\n", text.c_str());
  std::fflush(stdout);
}

void SaveRows() {
  const char* path = std::getenv("TARVEX_BENCH_ROWS");
  if (!path) return;
  std::ofstream out(path, std::ios::app);
  for (const TRow& r : Rows())
    out << r.Work << '\t' << r.Size << '\t' << r.Ours << '\t' << r.Peer << '\t' << r.Ratio << '\t' << r.Memory << '\n';
  for (const std::string& note : Notes()) out << "#\t" << note << '\n';
}

std::string Seconds(double seconds) {
  if (seconds >= 1) return Format("%.2f s", seconds);
  if (seconds >= 1e-3) return Format(seconds >= 0.1 ? "%.0f ms" : "%.2f ms", seconds * 1e3);
  return Format("%.1f us", seconds * 1e6);
}

std::string Bytes(double bytes) {
  if (bytes < 1048576) return Format("%.0f KiB", bytes / 1024);
  return Format(bytes >= 10 * 1048576.0 ? "%.0f MiB" : "%.1f MiB", bytes / 1048576.0);
}

std::string KiBAsMiB(long kb) {
  return kb < 0 ? "-" : Bytes(static_cast<double>(kb) * 1024);
}

}  // namespace bench
