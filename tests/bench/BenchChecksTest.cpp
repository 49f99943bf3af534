// Each bench in check-only mode: clean it passes; with one byte of our side's result spoiled
// (TARVEX_BENCH_CORRUPT) it must fail with exit code 2 and name what differs.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct TRun {
  int Code = -1;
  std::string Output;
};

TRun Run(const std::string& bench, const std::string& corrupt, const std::string& arguments = "") {
  const std::string command = "TARVEX_BENCH_CORRUPT='" + corrupt + "' TARVEX_BENCH_ROWS= '" + bench +
                              "' --check-only " + arguments + " 2>&1";
  TRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer;
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) run.Output.append(buffer.data(), n);
  const int status = pclose(pipe);
  run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

void ExpectChecks(const std::string& bench, std::initializer_list<const char*> keys, const std::string& arguments = "") {
  const TRun clean = Run(bench, "", arguments);
  EXPECT_EQ(clean.Code, 0) << clean.Output;
  EXPECT_EQ(clean.Output.find("MISMATCH"), std::string::npos) << clean.Output;
  for (const char* key : keys) {
    const TRun spoiled = Run(bench, key, arguments);
    EXPECT_EQ(spoiled.Code, 2) << key << "\n" << spoiled.Output;
    EXPECT_NE(spoiled.Output.find("MISMATCH: "), std::string::npos) << key << "\n" << spoiled.Output;
  }
}

}  // namespace

TEST(BenchChecks, SuperfileSplitCombineAndFloorsFailOnACorruptedByte) {
  ExpectChecks(APP_SUPERFILE_BENCH, {"split", "combine", "floor", "combine-floor"}, "--mib 1");
}

TEST(BenchChecks, GIFDecodeAndEncodeFailOnACorruptedResult) {
  ExpectChecks(GIF_BENCH, {"gif-decode", "gif-encode"});
}

TEST(BenchChecks, PaintersFailOnACorruptedPixel) {
  ExpectChecks(SKIN_PAINTERS_BENCH, {"blend", "gradient", "copy"});
}

TEST(BenchChecks, RecordTableFailsOnACorruptedRow) {
  ExpectChecks(FRAMEWORK_BASE_TABLE_BENCH, {"table"});
}

TEST(BenchChecks, EditorsFailOnACorruptedResult) {
  ExpectChecks(EDITORS_BENCH, {"langpack", "drm"});
}

TEST(BenchChecks, FlashUploadFailsOnACorruptedByte) {
  ExpectChecks(PHONE_FLASH_BENCH, {"flash-upload"});
}

TEST(BenchChecks, HintLayoutAndComposeFailOnACorruptedResult) {
  ExpectChecks(SKIN_HINTS_BENCH, {"hint-layout", "hint-compose"});
}

TEST(BenchChecks, GrowthFailsOnACorruptedReading) {
  ExpectChecks(FRAMEWORK_BASE_GROWTH_BENCH, {"growth"});
}
