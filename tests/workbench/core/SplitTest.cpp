#include "workbench/core/TSuperfileSplitter.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "TRecordingHost.h"
#include "framework/base/AnsiStrings.h"
#include "shx-generator.h"
#include "tests/framework/base/WriteFault.h"
#include "workbench/core/HexPairs.h"
#include "workbench/core/TRawFile.h"

namespace {

constexpr size_t kHeader = 8172;

// The superfile's S-record lines (CR LF removed) and back.
std::vector<std::string> Lines(const std::vector<uint8_t>& file) {
  std::vector<std::string> lines;
  std::string text(file.begin() + kHeader, file.end());
  size_t pos = 0;
  for (size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2)
    lines.push_back(text.substr(pos, end - pos));
  lines.push_back(text.substr(pos));
  return lines;
}

std::vector<uint8_t> WithLines(const std::vector<uint8_t>& file, const std::vector<std::string>& lines) {
  std::vector<uint8_t> out(file.begin(), file.begin() + kHeader);
  for (size_t i = 0; i < lines.size(); ++i) {
    out.insert(out.end(), lines[i].begin(), lines[i].end());
    if (i + 1 < lines.size()) out.insert(out.end(), {'\r', '\n'});
  }
  return out;
}

std::vector<TShxGroup> SmallFirmware() {
  return {{-2, 0x03FD0000, MakeRamDownloader(500, 1)},
          {4, 0x11200000, RandomBytes(300, 2)},
          {15, 0x12000000, RandomBytes(200, 3)}};
}

struct TSplitResult {
  bool Ok = false;
  TRecordingHost Host;
};

void RunSplit(TSplitResult& result, const TTempFolder& dir, const std::vector<uint8_t>& file,
              TSplitOptions options = {}, const std::string& name = "fw.shx") {
  WriteFileBytes(dir / name, file);
  options.OutputDir = dir.Path().string();
  TSuperfileSplitter splitter(result.Host);
  result.Ok = splitter.Split(dir / name, options);
}

void ExpectImages(const TRecordingHost& host, const std::vector<std::vector<uint8_t>>& images) {
  ASSERT_EQ(host.Rows.size(), images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(ReadFileBytes(host.Rows[i].Name), images[i]) << host.Rows[i].Name;
    EXPECT_EQ(host.Rows[i].Size, static_cast<int64_t>(images[i].size()));
  }
}

}  // namespace

TEST(Split, LoaderAndFlashGiveTwoImagesAHeaderCopyAndEffectsInOrder) {
  TTempFolder dir("tarvex-split-two");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(1000, 1)},
                                         {1, 0x10000000, RandomBytes(5000, 2)}};
  const std::vector<uint8_t> file = BuildSuperfile(groups);
  TSplitResult r;
  RunSplit(r, dir, file);
  ASSERT_TRUE(r.Ok);
  ExpectImages(r.Host, {groups[0].Data, groups[1].Data});
  EXPECT_FALSE(r.Host.Rows[0].CG.has_value());
  EXPECT_EQ(r.Host.Rows[0].Name, dir / "fw{@0x03FD0000}RAMDLD.smg");
  EXPECT_EQ(r.Host.Rows[1].CG, 1);
  EXPECT_EQ(r.Host.Rows[1].A1, 0x10000000u);
  EXPECT_EQ(r.Host.Rows[1].A2, 0x10000000u + 4999);
  EXPECT_EQ(ReadFileBytes(dir / "fw.hdr"), std::vector<uint8_t>(file.begin(), file.begin() + kHeader));
  const std::vector<std::string> expected = {"reset",
                                             "status:Extracting header...",
                                             "busy:on",
                                             "status:Extracting RAM Downloader...",
                                             "row:RAM Downloader",
                                             "status:Extracting Flash...",
                                             "row:Flash",
                                             "status:Extracting done.",
                                             "busy:off",
                                             "last"};
  EXPECT_EQ(r.Host.Events, expected);
  EXPECT_EQ(r.Host.GaugeMax, static_cast<int64_t>(file.size()));
  EXPECT_EQ(r.Host.GaugeProgress, static_cast<int64_t>(file.size()));
}

TEST(Split, MemoryMapJoinsTheFlashUnlessKeptSeparate) {
  TTempFolder dir("tarvex-split-map");
  const std::vector<TShxGroup> groups = RealisticFirmware(20000, 7);
  const std::vector<uint8_t> file = BuildSuperfile(groups);
  std::vector<uint8_t> joined = groups[1].Data;
  joined.insert(joined.end(), groups[2].Data.begin(), groups[2].Data.end());

  TSplitResult r;
  RunSplit(r, dir, file);
  ASSERT_TRUE(r.Ok);
  std::vector<std::vector<uint8_t>> images = {groups[0].Data, joined};
  for (size_t i = 3; i < groups.size(); ++i) images.push_back(groups[i].Data);
  ExpectImages(r.Host, images);
  EXPECT_EQ(r.Host.Rows[1].Type, "Flash");
  EXPECT_EQ(r.Host.Rows[1].A1, groups[1].Start);
  EXPECT_EQ(r.Host.Rows[1].A2, groups[2].Start + groups[2].Data.size() - 1);
  EXPECT_EQ(r.Host.Rows[1].Name, dir / "fw{@0x10000000}CG1.smg");

  TSplitResult s;
  RunSplit(s, dir, file, {1, true, ""});
  ASSERT_TRUE(s.Ok);
  images = {};
  for (const TShxGroup& g : groups) images.push_back(g.Data);
  ExpectImages(s.Host, images);
  EXPECT_EQ(s.Host.Rows[1].Type, "Memory map");
  EXPECT_EQ(s.Host.Rows[2].Type, "Flash");
  EXPECT_EQ(s.Host.Rows[2].A1, groups[2].Start);
  EXPECT_EQ(s.Host.Rows[2].Name, dir / ("fw{@0x" + IntToHex(groups[2].Start, 8) + "}CG1.smg"));
}

TEST(Split, SmallestAndLargestBuffersAgreeAlsoWithCrLfAcrossBlocks) {
  TTempFolder dir("tarvex-split-buffers");
  // Vary the first block's length until a CR is the last byte of a 1 kB block, so that its LF
  // opens the next one; an S0 line of odd length makes that possible.
  TShxOptions odd;
  odd.S0Line += " ";
  bool splitPair = false;
  for (size_t loader = 416; loader < 416 + 64 * 16 && !splitPair; ++loader) {
    std::vector<TShxGroup> groups = RealisticFirmware(3000, 11);
    groups[0].Data = MakeRamDownloader(loader, 3);
    const std::vector<uint8_t> file = BuildSuperfile(groups, odd);
    for (size_t at = kHeader + 1023; at < file.size(); at += 1024) splitPair = splitPair || file[at] == '\r';
    if (!splitPair) continue;
    TSplitResult small, large;
    RunSplit(small, dir, file, {1, true, ""});
    std::vector<std::vector<uint8_t>> images;
    for (const TShxGroup& g : groups) images.push_back(g.Data);
    ExpectImages(small.Host, images);
    RunSplit(large, dir, file, {4096, true, ""});
    ExpectImages(large.Host, images);
    EXPECT_TRUE(small.Ok && large.Ok);
  }
  EXPECT_TRUE(splitPair);
}

TEST(Split, KeepsDotsOfTheSourceNameAndRefusesAnUnusableBufferSize) {
  TTempFolder dir("tarvex-split-names");
  TSplitResult r;
  RunSplit(r, dir, BuildSuperfile(SmallFirmware()), {}, "a.b.shx");
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Host.Rows[1].Name, dir / "a.b{@0x11200000}CG4.smg");
  EXPECT_TRUE(TRawFile::Exists(dir / "a.b.hdr"));

  for (int kb : {0, -5}) {
    TTempFolder empty("tarvex-split-buffer-zero");
    TRecordingHost host;
    WriteFileBytes(empty / "fw.shx", BuildSuperfile(SmallFirmware()));
    TSuperfileSplitter splitter(host);
    EXPECT_THROW(splitter.Split(empty / "fw.shx", {kb, false, empty.Path().string()}), Exception);
    EXPECT_TRUE(host.Events.empty());
    EXPECT_FALSE(TRawFile::Exists(empty / "fw.hdr"));
  }
}

TEST(Split, BadHeadersFailWithMessage51AndKeepIt) {
  TTempFolder dir("tarvex-split-header");
  std::vector<uint8_t> file = BuildSuperfile(SmallFirmware());
  file[13] = ' ';  // magic text followed by a blank
  std::vector<uint8_t> shortFile(file.begin(), file.begin() + 8171);
  for (const auto& bad : {file, shortFile}) {
    TSplitResult r;
    RunSplit(r, dir, bad);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Host.Errors(), std::vector<std::string>{"Corrupt file header!"});
    EXPECT_EQ(r.Host.LastStatus(), "Corrupt file header!");
    EXPECT_TRUE(r.Host.Rows.empty());
  }
}

// Malformed S-record text: the split stops with an error, keeps the rows of the blocks before and
// leaves the error on the status line, not "Extracting done.". Lines: 0 S0, 1-8 S3, 9 S7 (loader); 10 S0,
// 11-15 S3, 16 S7 (CG 4); 17 S0, 18-21 S3, 22 checksum record (CG 15).
TEST(Split, MalformedRecordsStopWithAClearErrorKeepingEarlierRows) {
  const std::vector<uint8_t> file = BuildSuperfile(SmallFirmware());
  ASSERT_EQ(Lines(file).size(), 23u);
  struct TCase {
    const char* Name;
    std::function<std::vector<uint8_t>()> Make;
    std::string ErrorStart;
    size_t Rows;
  };
  auto edit = [&](size_t line, const std::function<void(std::string&)>& change) {
    std::vector<std::string> lines = Lines(file);
    change(lines[line]);
    return WithLines(file, lines);
  };
  auto insert = [&](size_t line, const std::string& text) {
    std::vector<std::string> lines = Lines(file);
    lines.insert(lines.begin() + static_cast<long>(line), text);
    return WithLines(file, lines);
  };
  auto withCount = [&](uint8_t count) {
    std::vector<uint8_t> f = file;
    f[944] = count;
    return f;
  };
  const std::vector<TCase> cases = {
      {"wrong checksum",
       [&] { return edit(12, [](std::string& l) { l.back() = l.back() == '0' ? '1' : '0'; }); },
       "S-Reord wrong checksum!", 1},
      {"S5 record", [&] { return insert(11, "S5030003F9"); }, "S-Record of type #5 is not supported.", 1},
      {"not a record", [&] { return edit(13, [](std::string& l) { l[0] = 'X'; }); }, "Invalid SHX file!", 1},
      {"line over 255", [&] { return edit(18, [](std::string& l) { l += std::string(200, '0'); }); },
       "Invalid SHX file! The line at offset", 2},
      {"empty line", [&] { return insert(11, ""); }, "Invalid SHX file! Empty line", 1},
      {"count below 5", [&] { return edit(12, [](std::string& l) { l.replace(2, 2, "04"); }); },
       "Invalid SHX file! S3 record with a count below 5", 1},
      {"record shorter than its count", [&] { return edit(12, [](std::string& l) { l.resize(60); }); },
       "Invalid SHX file! S3 record shorter than its count", 1},
      {"lone S", [&] { return insert(11, "S"); }, "Invalid SHX file! Incomplete record", 1},
      {"S3 before S0", [&] { return edit(10, [](std::string& l) { l = "S3060000000000F9"; }); },
       "Invalid SHX file! S3 record before the S0", 1},
      {"ends before the last S7",
       [&] {
         std::vector<std::string> lines = Lines(file);
         lines.pop_back();
         return WithLines(file, lines);
       },
       "Invalid SHX file! The file ends before the S7 record", 2},
      {"count beyond the entries", [&] { return withCount(5); }, "Invalid SHX file! The header lists 5", 3},
  };
  for (const TCase& c : cases) {
    TTempFolder dir("tarvex-split-bad");
    TSplitResult r;
    RunSplit(r, dir, c.Make(), {1, false, ""});
    EXPECT_FALSE(r.Ok) << c.Name;
    const auto errors = r.Host.Errors();
    ASSERT_EQ(errors.size(), 1u) << c.Name;
    EXPECT_EQ(errors[0].rfind(c.ErrorStart, 0), 0u) << c.Name << ": " << errors[0];
    EXPECT_EQ(r.Host.Rows.size(), c.Rows) << c.Name;
    EXPECT_EQ(r.Host.LastStatus(), errors[0]) << c.Name;
    EXPECT_EQ(r.Host.Events.back(), "last") << c.Name;
  }
}

TEST(Split, AForeignCharacterAnywhereInARecordsDataFailsItsChecksum) {
  const std::vector<uint8_t> file = BuildSuperfile(SmallFirmware());
  const std::vector<std::string> lines = Lines(file);
  const std::string record = lines[12];
  ASSERT_EQ(record.size(), 14u + 2 * 64);
  // Characters that are no hex digit; per position the first that changes the pair's byte.
  const std::string foreign = std::string("Gg :/@x~") + '\x7F' + '\xFF';
  // The first and last two characters of each 16-byte block of the data.
  std::vector<size_t> positions;
  for (size_t block = 0; block < 4; ++block)
    for (size_t k : {0, 1, 30, 31}) positions.push_back(12 + 32 * block + k);
  for (size_t at : positions) {
    const size_t pair = at - (at - 12) % 2;
    const uint8_t before = HexPair(reinterpret_cast<const uint8_t*>(record.data() + pair));
    std::vector<std::string> edited = lines;
    for (char c : foreign) {
      edited[12][at] = c;
      if (HexPair(reinterpret_cast<const uint8_t*>(edited[12].data() + pair)) != before) break;
    }
    // Buffers with room for the record and without it take both ways of placing its data.
    for (const int bufferKB : {1, 512}) {
      TTempFolder dir("tarvex-split-foreign");
      TSplitResult r;
      RunSplit(r, dir, WithLines(file, edited), {bufferKB, false, ""});
      EXPECT_FALSE(r.Ok) << at;
      ASSERT_EQ(r.Host.Errors(), std::vector<std::string>{"S-Reord wrong checksum!"}) << at;
      EXPECT_EQ(r.Host.Rows.size(), 1u) << at;
    }
  }
}

TEST(Split, ACRInsideARecordEndsItsLineThereEvenWhenTheChecksumWouldHold) {
  const std::vector<uint8_t> file = BuildSuperfile(SmallFirmware());
  const std::vector<std::string> lines = Lines(file);
  const std::string record = lines[12];
  ASSERT_EQ(record.size(), 14u + 2 * 64);
  // In the address, across the data, and in the checksum.
  for (const size_t at : {4ul, 11ul, 12ul, 43ul, 139ul, 140ul, 141ul}) {
    std::string line = record;
    line[at] = '\r';
    if (at < 140) {
      // The checksum that the pairs with the CR would give.
      unsigned sum = 0;
      for (size_t i = 2; i < 140; i += 2) sum += HexPair(reinterpret_cast<const uint8_t*>(line.data() + i));
      line.replace(140, 2, IntToHex(255 - (sum & 0xFF), 2));
    }
    std::vector<std::string> edited = lines;
    edited[12] = line;
    TTempFolder dir("tarvex-split-cr");
    TSplitResult r;
    RunSplit(r, dir, WithLines(file, edited));
    EXPECT_FALSE(r.Ok) << at;
    const auto errors = r.Host.Errors();
    ASSERT_EQ(errors.size(), 1u) << at;
    EXPECT_EQ(errors[0].rfind("Invalid SHX file! S3 record shorter than its count", 0), 0u)
        << at << ": " << errors[0];
  }
}

TEST(Split, FewerEntriesThanCountedStillStopsAtTheTable) {
  TTempFolder dir("tarvex-split-count");
  std::vector<uint8_t> file = BuildSuperfile(SmallFirmware());
  file[944] = 0xFF, file[945] = 0xFF, file[946] = 0xFF, file[947] = 0xFF;
  TSplitResult r;
  RunSplit(r, dir, file);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Host.Rows.size(), 3u);
}

TEST(Split, AMissingSourceRaisesTheFileLayersError) {
  TTempFolder dir("tarvex-split-missing");
  TRecordingHost host;
  TSuperfileSplitter splitter(host);
  EXPECT_THROW(splitter.Split(dir / "none.shx", {1, false, dir.Path().string()}), EInOutError);
  EXPECT_FALSE(splitter.Split("", {1, false, dir.Path().string()}));
}

// A header whose count stops the walk before the end of the text: the images made are kept, and the
// status line says how much of the file was not read.
TEST(Split, ACountBelowTheBlocksInTheTextSaysWhatWasNotRead) {
  TTempFolder dir("tarvex-split-short-count");
  std::vector<uint8_t> file = BuildSuperfile(SmallFirmware());
  const std::string end = "S70500000000FA\r\n";
  const size_t rest = std::string(file.begin(), file.end()).find(end) + end.size();
  for (uint8_t count : {1, 0}) {
    file[944] = count;
    TSplitResult r;
    RunSplit(r, dir, file, {1, false, ""});
    EXPECT_TRUE(r.Ok);
    EXPECT_TRUE(r.Host.Errors().empty());
    const size_t from = count == 1 ? rest : kHeader;
    EXPECT_EQ(r.Host.LastStatus(), "Extracting done. The header counts " + std::to_string(count) +
                                       (count == 1 ? " code group; " : " code groups; ") +
                                       std::to_string(file.size() - from) + " bytes from offset " +
                                       std::to_string(from) + " on were not read.");
    EXPECT_EQ(r.Host.Rows.size(), size_t(count));
  }
  // Line ends after the last record are no data left behind.
  file = BuildSuperfile(SmallFirmware());
  file.insert(file.end(), {'\r', '\n'});
  TSplitResult r;
  RunSplit(r, dir, file, {1, false, ""});
  EXPECT_EQ(r.Host.LastStatus(), "Extracting done.");
}

namespace {

std::vector<std::string> FolderNames(const TTempFolder& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct TEarlierSplit {
  std::vector<uint8_t> File;
  std::vector<std::string> Names;            // of the folder after it
  std::vector<std::vector<uint8_t>> Images;  // by row
  std::vector<std::string> ImageNames;
  std::vector<uint8_t> Header;  // the header copy
};

// A good split whose files a failing one must leave as they are.
TEarlierSplit SplitGood(const TTempFolder& dir, const std::vector<TShxGroup>& groups) {
  TEarlierSplit earlier;
  earlier.File = BuildSuperfile(groups);
  TSplitResult r;
  RunSplit(r, dir, earlier.File, {1, false, ""});
  EXPECT_TRUE(r.Ok);
  for (const TCodeGroupRow& row : r.Host.Rows) {
    earlier.Images.push_back(ReadFileBytes(row.Name));
    earlier.ImageNames.push_back(row.Name);
  }
  earlier.Names = FolderNames(dir);
  earlier.Header = ReadFileBytes(dir / "fw.hdr");
  return earlier;
}

void ExpectUnchanged(const TTempFolder& dir, const TEarlierSplit& earlier, const std::string& what) {
  EXPECT_EQ(FolderNames(dir), earlier.Names) << what;
  EXPECT_EQ(ReadFileBytes(dir / "fw.hdr"), earlier.Header) << what;
  for (size_t i = 0; i < earlier.Images.size(); ++i)
    EXPECT_TRUE(SameBytes(ReadFileBytes(earlier.ImageNames[i]), earlier.Images[i])) << what << " " << i;
}

std::vector<TShxGroup> LoaderAndFlash() {
  return {{-2, 0x03FD0000, MakeRamDownloader(1000, 1)}, {1, 0x10000000, RandomBytes(200000, 2)}};
}

}  // namespace

// A split that fails half way through an image (truncated input, a full disk) must not replace the
// image of an earlier split by a truncated one under the same name.
TEST(Split, AFailedSplitKeepsTheImagesOfAnEarlierOne) {
  TTempFolder dir("tarvex-split-keep");
  const TEarlierSplit earlier = SplitGood(dir, LoaderAndFlash());
  // Same names, other data, the text cut in the middle of the flash block.
  std::vector<uint8_t> other =
      BuildSuperfile({{-2, 0x03FD0000, MakeRamDownloader(1000, 5)}, {1, 0x10000000, RandomBytes(200000, 6)}});
  other.resize(other.size() / 2);
  TSplitResult cut;
  RunSplit(cut, dir, other, {1, false, ""});
  EXPECT_FALSE(cut.Ok);
  ASSERT_EQ(cut.Host.Errors().size(), 1u);
  EXPECT_EQ(cut.Host.LastStatus(), cut.Host.Errors()[0]);
  // The loader and the header copy of the cut file were complete and replaced the earlier ones.
  EXPECT_EQ(ReadFileBytes(earlier.ImageNames[0]), MakeRamDownloader(1000, 5));
  WriteFileBytes(earlier.ImageNames[0], earlier.Images[0]);
  WriteFileBytes(dir / "fw.hdr", earlier.Header);
  ExpectUnchanged(dir, earlier, "truncated input");

  // A disk that fills up while the flash is written: a full buffer gives message 49 with the
  // reason, the write at the image's end the file layer's error.
  const int64_t flashHalf = kHeader + 1000 + 100000;
  for (int kb : {1, 4096}) {
    TWriteFaultScope full(TWriteFault::DiskFull, flashHalf);
    TSplitResult r;
    const std::string text = "Cannot write file \"" + earlier.ImageNames[1] + "\". " + std::strerror(ENOSPC);
    if (kb == 1) {
      RunSplit(r, dir, earlier.File, {kb, false, ""});
      EXPECT_FALSE(r.Ok);
      EXPECT_EQ(r.Host.Errors(), std::vector<std::string>{"Disk write error! " + text});
      EXPECT_EQ(r.Host.LastStatus(), "Disk write error! " + text);
    } else {
      try {
        RunSplit(r, dir, earlier.File, {kb, false, ""});
        ADD_FAILURE();
      } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), text);
      }
      EXPECT_EQ(r.Host.LastStatus(), text);
    }
    ExpectUnchanged(dir, earlier, "full disk, buffer " + std::to_string(kb) + " kB");
  }
  // Full before the header copy is written.
  TWriteFaultScope full(TWriteFault::DiskFull, 100);
  TSplitResult r;
  EXPECT_THROW(RunSplit(r, dir, earlier.File, {1, false, ""}), EInOutError);
  EXPECT_EQ(r.Host.LastStatus(), "Cannot write file \"" + dir / "fw.hdr" + "\". " + std::strerror(ENOSPC));
  ExpectUnchanged(dir, earlier, "full disk before the header copy");
}

// A split killed while it writes an image leaves the earlier image and only a temporary file beside
// it, which the next split removes.
TEST(Split, AKilledSplitLeavesTheEarlierImageAndTheNextRunCleansUp) {
  TTempFolder dir("tarvex-split-kill");
  const TEarlierSplit earlier = SplitGood(dir, LoaderAndFlash());
  // The earlier names and the one temporary file of the flash image.
  const auto expectLeftOver = [&](size_t partialSize) {
    const std::vector<std::string> partial = TAtomicFileStream::TemporariesOf(earlier.ImageNames[1]);
    ASSERT_EQ(partial.size(), 1u);
    if (partialSize > 0) {
      EXPECT_EQ(ReadFileBytes(partial[0]).size(), partialSize);
    }
    std::vector<std::string> names = earlier.Names;
    names.push_back(std::filesystem::path(partial[0]).filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(FolderNames(dir), names);
  };
  {
    TWriteFaultScope kill(TWriteFault::Kill, kHeader + 1000 + 100000);
    TSplitResult r;
    EXPECT_THROW(RunSplit(r, dir, earlier.File, {4096, false, ""}), EInOutError);
  }
  expectLeftOver(100000);
  for (size_t i = 0; i < earlier.Images.size(); ++i)
    EXPECT_TRUE(SameBytes(ReadFileBytes(earlier.ImageNames[i]), earlier.Images[i]));

  // The same, with the process really killed in the middle of the flash image.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct TKillingHost : TRecordingHost {
      void SetGaugeProgress(int64_t progress) override {
        if (progress > 200000) raise(SIGKILL);
      }
    } host;
    TSuperfileSplitter splitter(host);
    splitter.Split(dir / "fw.shx", {1, false, dir.Path().string()});
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status));
  expectLeftOver(0);
  for (size_t i = 0; i < earlier.Images.size(); ++i)
    EXPECT_TRUE(SameBytes(ReadFileBytes(earlier.ImageNames[i]), earlier.Images[i]));

  TSplitResult again;
  RunSplit(again, dir, earlier.File, {1, false, ""});
  EXPECT_TRUE(again.Ok);
  ExpectUnchanged(dir, earlier, "after the killed runs");
}
