// The measuring the benches share: pairs in turn with the peer's time over ours as the ratio, the
// rows of the closing table, and a started process's peak memory as its own.

#include "bench/support/BenchSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A side whose runs take the given times, noting its turn in `order`.
bench::TSide Side(char name, double seconds, std::string& order) {
  return [name, seconds, &order] {
    order += name;
    return bench::TSample{seconds, -1};
  };
}

TEST(BenchPairs, RatioIsThePeersTimeOverOursAndTheSidesTakeTurns) {
  std::string order;
  const bench::TPairs slowerPeer = bench::RunPairs(Side('o', 0.010, order), Side('p', 0.040, order), 5);
  EXPECT_EQ(order, "oppooppoop");  // ours first in even pairs, the peer first in odd ones
  ASSERT_EQ(slowerPeer.Ratios.size(), 5u);
  for (double r : slowerPeer.Ratios) EXPECT_DOUBLE_EQ(r, 4.0);

  // The table's row says the same: ours 10 ms, the peer 40 ms, ours four times faster.
  const bench::TRow row = bench::PairRow("work", "size", slowerPeer);
  EXPECT_EQ(row.Ours, "10.00 ms");
  EXPECT_EQ(row.Peer, "40.00 ms");
  EXPECT_EQ(row.Ratio, "4.00 [4.00-4.00]");

  order.clear();
  const bench::TPairs slowerOurs = bench::RunPairs(Side('o', 0.030, order), Side('p', 0.010, order), 5);
  EXPECT_EQ(bench::PairRow("work", "size", slowerOurs).Ratio, "0.33 [0.33-0.33]");
}

TEST(BenchPairs, RowsReachTheFileNamedForTheTable) {
  char path[] = "/tmp/tarvex-bench-rows-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  setenv("TARVEX_BENCH_ROWS", path, 1);
  std::string order;
  bench::AddRow(bench::PairRow("split", "16 MiB", bench::RunPairs(Side('o', 2, order), Side('p', 3, order), 5)));
  bench::SaveRows();
  unsetenv("TARVEX_BENCH_ROWS");
  std::ifstream in(path);
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line, "split\t16 MiB\t2.00 s\t3.00 s\t1.50 [1.50-1.50]\t-");
  std::remove(path);
}

// The peak /usr/bin/time reports for a command, in kB; -1 when it cannot be had.
long TimePeakKB(const std::string& command) {
  FILE* pipe = popen(("/usr/bin/time -f '%M' " + command + " 2>&1 >/dev/null").c_str(), "r");
  if (!pipe) return -1;
  long kb = -1;
  if (std::fscanf(pipe, "%ld", &kb) != 1) kb = -1;
  pclose(pipe);
  return kb;
}

TEST(BenchProcess, PeakIsTheChildsAloneNotTheBenchsSize) {
  // The bench itself much larger than the child.
  std::vector<char> ballast(256u << 20);
  std::memset(ballast.data(), 1, ballast.size());
  const bench::TSample sample = bench::RunProcess({"true"});
  EXPECT_GT(sample.PeakKB, 0);
  EXPECT_LT(sample.PeakKB, 16 * 1024) << "the bench's own size counted";
  if (access("/usr/bin/time", X_OK) == 0) {
    const long reference = TimePeakKB("true");
    ASSERT_GT(reference, 0);
    EXPECT_NEAR(static_cast<double>(sample.PeakKB), static_cast<double>(reference), 512.0);
  }
  EXPECT_EQ(ballast[ballast.size() / 2], 1);
}

TEST(BenchProcess, FailingOrMissingProgramsAreErrors) {
  EXPECT_THROW(bench::RunProcess({"false"}), std::runtime_error);
  EXPECT_THROW(bench::RunProcess({"/nonexistent/tarvex-no-such-program"}), std::runtime_error);
  const bench::TSample ok = bench::RunProcess({"sh", "-c", "exit 0"});
  EXPECT_GE(ok.Seconds, 0.0);
}

TEST(BenchProcess, OutputGoesToTheFileAsked) {
  char path[] = "/tmp/tarvex-bench-out-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  bench::RunProcess({"echo", "hello"}, path);
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "hello");
  std::remove(path);
}

}  // namespace
