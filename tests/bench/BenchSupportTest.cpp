// The measuring the benches share: pairs in turn with the peer's time over ours as the ratio, the
// rows of the closing table, and a started process's peak memory as its own.

#include "bench/support/BenchSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
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

TEST(BenchPairs, RowsAndNotesReachTheFileNamedForTheTable) {
  char path[] = "/tmp/tarvex-bench-rows-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  setenv("TARVEX_BENCH_ROWS", path, 1);
  std::string order;
  bench::AddRow(bench::PairRow("split", "16 MiB", bench::RunPairs(Side('o', 2, order), Side('p', 3, order), 5)));
  bench::AddNote("the cut is untimed");
  bench::SaveRows();
  unsetenv("TARVEX_BENCH_ROWS");
  std::ifstream in(path);
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line, "split\t16 MiB\t2.00 s\t3.00 s\t1.50 [1.50-1.50]\t-");
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line, "#\tthe cut is untimed");
  std::remove(path);
}

struct TTable {
  int Code = -1;
  std::string Text;
};

// tools/bench's closing table made of these rows.
TTable Table(const std::vector<std::string>& rows) {
  char path[] = "/tmp/tarvex-bench-table-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return {};
  close(fd);
  {
    std::ofstream out(path);
    for (const std::string& row : rows) out << row << '\n';
  }
  TTable table;
  FILE* pipe = popen(("awk -F'\t' -f '" BENCH_TABLE "' '" + std::string(path) + "'").c_str(), "r");
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) table.Text.append(buffer, n);
  const int status = pclose(pipe);
  table.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::remove(path);
  return table;
}

std::string RowLine(const bench::TRow& r) {
  return r.Work + "\t" + r.Size + "\t" + r.Ours + "\t" + r.Peer + "\t" + r.Ratio + "\t" + r.Memory;
}

TEST(BenchTable, ShowsTheRowsAndRefusesARatioUpsideDown) {
  std::string order;
  const bench::TRow fasterOurs = bench::PairRow("split", "64 MiB", bench::RunPairs(Side('o', 0.010, order), Side('p', 0.040, order), 5));
  const bench::TRow slowerOurs = bench::PairRow("combine", "64 MiB", bench::RunPairs(Side('o', 2.0, order), Side('p', 1.0, order), 5));
  const bench::TRow solo = bench::SoloRow("read", "32 MB", {{0.1, -1}, {0.2, -1}, {0.3, -1}});
  const TTable good = Table({RowLine(fasterOurs), RowLine(slowerOurs), RowLine(solo),
                             "repaint\t200 controls\t1.50 ms\t4.50 ms\t3.00 [2.90-3.10]\t-"});
  EXPECT_EQ(good.Code, 0) << good.Text;
  EXPECT_NE(good.Text.find("4.00 [4.00-4.00]"), std::string::npos) << good.Text;
  EXPECT_NE(good.Text.find("0.50 [0.50-0.50]"), std::string::npos) << good.Text;
  EXPECT_EQ(good.Text.find("NOT"), std::string::npos) << good.Text;

  // Ours four times faster shown as 0.25: our time over the peer's.
  const TTable upsideDown = Table({RowLine(fasterOurs), "skin switch\t6 windows\t100.0 ms\t400.0 ms\t0.25 [0.24-0.26]\t-"});
  EXPECT_EQ(upsideDown.Code, 1) << upsideDown.Text;
  EXPECT_NE(upsideDown.Text.find("skin switch: ours 100.0 ms, peer 400.0 ms"), std::string::npos) << upsideDown.Text;
  const TTable outside = Table({"flash\t32 MB\t1.00 s\t1.20 s\t1.20 [1.30-1.40]\t-"});
  EXPECT_EQ(outside.Code, 1) << outside.Text;
  // Times about equal say nothing of the direction.
  EXPECT_EQ(Table({"grid\t1 page\t10.0 ms\t11.0 ms\t0.95 [0.90-1.20]\t-"}).Code, 0);
}

// A bench's goal has its own column, and its notes stand under the table, not among its rows.
TEST(BenchTable, ShowsEachGoalInItsColumnAndTheNotesUnderTheTable) {
  const TTable table = Table({"repaint\t1 window\t3.00 ms\t2.00 ms\t0.67 [0.60-0.70]\t-\tours <= 1.5x peer: held",
                              "#\tobjcopy is started 8 times",
                              "split\t16 MiB\t2.00 s\t3.00 s\t1.50 [1.50-1.50]\t-"});
  EXPECT_EQ(table.Code, 0) << table.Text;
  const size_t header = table.Text.find("| memory | goal");
  const size_t goal = table.Text.find("| -      | ours <= 1.5x peer: held\n");
  const size_t split = table.Text.find("split ");
  const size_t notes = table.Text.find("\nnotes:\n  objcopy is started 8 times\n");
  EXPECT_NE(header, std::string::npos) << table.Text;
  EXPECT_NE(goal, std::string::npos) << table.Text;
  ASSERT_NE(notes, std::string::npos) << table.Text;
  EXPECT_LT(split, notes) << table.Text;
  EXPECT_EQ(table.Text.find("#"), std::string::npos) << table.Text;
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
