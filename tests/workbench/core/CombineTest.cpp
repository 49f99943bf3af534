#include "workbench/core/TSuperfileCombiner.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

#include "ImageRows.h"
#include "TRecordingHost.h"
#include "shx-generator.h"
#include "tests/framework/base/WriteFault.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/FileFilters.h"
#include "workbench/core/TRawFile.h"
#include "workbench/core/TSRecordWriter.h"
#include "workbench/core/TSuperfileSplitter.h"

namespace {

void PutBE(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

uint32_t GetBE(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
         static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

bool RunCombine(TRecordingHost& host, const TTempFolder& dir, const std::vector<TCodeGroupRow>& rows,
                int kb = 512) {
  host.SaveAnswer = dir / "out.shx";
  TSuperfileCombiner combiner(host);
  return combiner.Combine(rows, "initial.shx", kb);
}

// The loader's table as the combine leaves it: 48..415 FF, then the given pairs.
std::vector<uint8_t> PatchedLoader(std::vector<uint8_t> loader,
                                   const std::vector<std::tuple<int, uint32_t, uint32_t>>& pairs) {
  std::fill(loader.begin() + 48, loader.begin() + 416, 0xFF);
  for (const auto& [cg, start, end] : pairs) {
    PutBE(loader, 248 + 8 * static_cast<size_t>(cg), start);
    PutBE(loader, 252 + 8 * static_cast<size_t>(cg), end);
  }
  return loader;
}

}  // namespace

TEST(Combine, LoaderAndLangPackMatchTheFormatByteForByte) {
  TTempFolder dir("tarvex-combine-cg4");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(700, 1)},
                                         {4, 0x11200000, RandomBytes(1000, 2)}};
  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, Rows(dir, groups)));
  const std::vector<uint8_t> loader = PatchedLoader(groups[0].Data, {{4, 0x11200000, 0x1120FFFF}});
  const std::vector<uint8_t> expected = BuildSuperfile({{-2, 0x03FD0000, loader}, groups[1]});
  EXPECT_TRUE(SameBytes(ReadFileBytes(dir / "out.shx"), expected));
  const std::vector<std::string> events = {"save:" + GetFilter(2) + ":initial.shx",
                                           "status:Combine files to *.shx", "busy:on", "busy:off",
                                           "status:File done: " + dir / "out.shx"};
  EXPECT_EQ(host.Events, events);
  EXPECT_EQ(host.GaugeMax, 1700);
  EXPECT_EQ(host.GaugeProgress, 1700);
}

TEST(Combine, KeepsPresetPairsAndLeavesOutMarkedStartWords) {
  TTempFolder dir("tarvex-combine-pairs");
  const std::vector<uint8_t> raw = MakeRamDownloader(1024, 5);  // CG 2 preset, CG 3 start FFFF0000
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, raw},
                                         {2, 0x10800000, RandomBytes(100, 2)},
                                         {3, 0x11000000, RandomBytes(100, 3)},
                                         {20, 0x13FF8000, RandomBytes(1, 4)}};
  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, Rows(dir, groups)));
  std::vector<uint8_t> loader =
      PatchedLoader(raw, {{2, 0x10800000, 0x1087FFFF}, {20, 0x13FF8000, 0x13FFFFFF}});
  PutBE(loader, 252 + 24, 0x11FFFFFF);  // CG 3: only its end word
  std::vector<TShxGroup> expected = groups;
  expected[0].Data = loader;
  EXPECT_TRUE(SameBytes(ReadFileBytes(dir / "out.shx"), BuildSuperfile(expected)));
}

TEST(Combine, MemoryMapAndFlashMakeOneLastBlock) {
  TTempFolder dir("tarvex-combine-join");
  const std::vector<uint8_t> raw = MakeRamDownloader(600, 1);
  const std::vector<TShxGroup> groups = {
      {-2, 0x03FD0000, raw}, {0, 0x10000000, MakeMemoryMap(77, 2)}, {1, 0x1000004D, RandomBytes(3001, 3)}};
  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, Rows(dir, groups)));
  // CG 0 writes the start word of pair 1, which CG 1's own pair then replaces.
  const std::vector<uint8_t> loader = PatchedLoader(raw, {{1, 0x1000004D, 0x1000FFFF}});
  const std::vector<uint8_t> out = ReadFileBytes(dir / "out.shx");
  EXPECT_TRUE(SameBytes(out, BuildSuperfile({{-2, 0x03FD0000, loader}, groups[1], groups[2]})));
  EXPECT_EQ(SRecordBlocks(out).size(), 2u);
}

TEST(Combine, FlashAloneHasItsMemoryMapSplitOff) {
  TTempFolder dir("tarvex-combine-mapsplit");
  const std::vector<uint8_t> raw = MakeRamDownloader(600, 1);
  std::vector<uint8_t> flash = MakeMemoryMap(300, 2);
  const std::vector<uint8_t> rest = RandomBytes(5000, 3);
  flash.insert(flash.end(), rest.begin(), rest.end());
  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, Rows(dir, {{-2, 0x03FD0000, raw}, {1, 0x10000000, flash}})));
  const std::vector<uint8_t> out = ReadFileBytes(dir / "out.shx");
  const std::vector<uint8_t> loader = PatchedLoader(raw, {{1, 0x10000000, 0x1000FFFF}});
  EXPECT_TRUE(SameBytes(
      out, BuildSuperfile({{-2, 0x03FD0000, loader},
                           {0, 0x10000000, std::vector<uint8_t>(flash.begin(), flash.begin() + 300)},
                           {1, 0x1000012C, rest}})));
}

TEST(Combine, AMemoryMapWithoutFlashSplitsBackWithEveryGroup) {
  TTempFolder dir("tarvex-combine-maponly");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(500, 1)},
                                         {0, 0x10000000, MakeMemoryMap(90, 2)},
                                         {4, 0x11200000, RandomBytes(70, 3)}};
  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, Rows(dir, groups)));
  for (bool separate : {false, true}) {
    TRecordingHost split;
    TSuperfileSplitter splitter(split);
    EXPECT_TRUE(splitter.Split(dir / "out.shx", {1, separate, dir.Path().string()}));
    ASSERT_EQ(split.Rows.size(), 3u) << separate;
    EXPECT_EQ(split.Rows[1].Type, "Memory map");
    EXPECT_EQ(ReadFileBytes(split.Rows[1].Name), groups[1].Data);
    EXPECT_EQ(ReadFileBytes(split.Rows[2].Name), groups[2].Data);
  }
}

TEST(Combine, BootLoaderTakesItsOwnSlot) {
  TTempFolder dir("tarvex-combine-boot");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, RandomBytes(500, 1)},
                                         {-1, 0x00100000, RandomBytes(300, 2)},
                                         {4, 0x11200000, RandomBytes(70, 3)}};
  std::vector<TCodeGroupRow> rows = Rows(dir, groups);
  std::swap(rows[0], rows[1]);  // the boot loader's row was added first
  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, rows));
  const std::vector<uint8_t> out = ReadFileBytes(dir / "out.shx");
  EXPECT_EQ(GetBE(out, 976), 0x00001000u);  // slot of CG -1: 00100000 little-endian
  EXPECT_EQ(GetBE(out, 1004), 0u);          // the memory map's slot stays empty

  TRecordingHost split;
  TSuperfileSplitter splitter(split);
  ASSERT_TRUE(splitter.Split(dir / "out.shx", {1, false, dir.Path().string()}));
  ASSERT_EQ(split.Rows.size(), 3u);
  EXPECT_EQ(split.Rows[1].Type, "Boot Loader");
  EXPECT_FALSE(split.Rows[1].CG.has_value());
  EXPECT_EQ(ReadFileBytes(split.Rows[1].Name), groups[1].Data);
}

TEST(Combine, RefusesWhatCannotBeCombinedAndWritesNoFile) {
  struct TCase {
    const char* Name;
    std::vector<TShxGroup> Groups;
    std::string Error;
  };
  std::vector<uint8_t> cutFlash = MakeMemoryMap(400, 2);
  cutFlash.resize(200);
  const std::vector<TCase> cases = {
      {"no loader", {{4, 0x11200000, RandomBytes(70, 3)}}, "Necessary RAM Downloader not found!"},
      {"short loader", {{-2, 0x03FD0000, RandomBytes(415, 1)}}, "The RAM Downloader"},
      {"short flash",
       {{-2, 0x03FD0000, RandomBytes(500, 1)}, {1, 0x10000000, RandomBytes(35, 2)}},
       "The Flash image holds 35"},
      {"map longer than flash",
       {{-2, 0x03FD0000, RandomBytes(500, 1)}, {1, 0x10000000, cutFlash}},
       "The Flash image's memory map"},
      {"code group 21",
       {{-2, 0x03FD0000, RandomBytes(500, 1)}, {21, 0x10000000, RandomBytes(35, 2)}},
       "Code group 21"},
      {"two loaders",
       {{-2, 0x03FD0000, RandomBytes(500, 1)}, {-2, 0x03FE0000, RandomBytes(500, 2)}},
       "There is more than one RAM Downloader row."},
      // Start + end = 0 (mod 2^32) is how the header marks an empty slot: the split would lose them.
      {"1 byte at 0",
       {{-2, 0x03FD0000, RandomBytes(500, 1)}, {4, 0x00000000, RandomBytes(1, 2)}},
       "The \"LangPack\" row (code group 4) cannot be combined: its start address 00000000 and end address "
       "00000000 add up to 0"},
      {"1 byte at 80000000",
       {{-2, 0x03FD0000, RandomBytes(500, 1)}, {4, 0x80000000, RandomBytes(1, 2)}},
       "The \"LangPack\" row (code group 4) cannot be combined: its start address 80000000"},
      {"513 bytes wrapping past FFFFFFFF",
       {{-2, 0x03FD0000, RandomBytes(500, 1)}, {4, 0xFFFFFF00, RandomBytes(513, 2)}},
       "The \"LangPack\" row (code group 4) cannot be combined: its start address FFFFFF00 and end address "
       "00000100 add up to 0"},
  };
  for (const TCase& c : cases) {
    TTempFolder dir("tarvex-combine-refuse");
    const std::vector<TCodeGroupRow> rows = Rows(dir, c.Groups);
    WriteFileBytes(dir / "out.shx", {'o', 'l', 'd'});
    TRecordingHost host;
    EXPECT_FALSE(RunCombine(host, dir, rows)) << c.Name;
    const auto errors = host.Errors();
    ASSERT_EQ(errors.size(), 1u) << c.Name;
    EXPECT_EQ(errors[0].rfind(c.Error, 0), 0u) << c.Name << ": " << errors[0];
    EXPECT_EQ(ReadFileBytes(dir / "out.shx"), (std::vector<uint8_t>{'o', 'l', 'd'})) << c.Name;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
      EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << c.Name;
  }
}

TEST(Combine, CancelledDialogAndEmptyImages) {
  TTempFolder dir("tarvex-combine-cancel");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(500, 1)},
                                         {4, 0x11200000, RandomBytes(70, 3)}};
  std::vector<TCodeGroupRow> rows = Rows(dir, groups);
  TRecordingHost cancel;
  cancel.SaveAccepted = false;
  EXPECT_FALSE(RunCombine(cancel, dir, rows));
  EXPECT_FALSE(TRawFile::Exists(dir / "out.shx"));

  // A row whose image is empty is left out without a message; its pair is still entered.
  WriteFileBytes(rows[1].Name, {});
  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, rows));
  EXPECT_TRUE(host.Errors().empty());
  const std::vector<uint8_t> loader = PatchedLoader(groups[0].Data, {{4, 0x11200000, 0x1120FFFF}});
  EXPECT_TRUE(SameBytes(ReadFileBytes(dir / "out.shx"), BuildSuperfile({{-2, 0x03FD0000, loader}})));
}

// An empty image stays out of the superfile, but each row left out is named: on the status line
// after "File done" and in one warning box. A combine that leaves nothing out warns of nothing.
TEST(Combine, RowsWithEmptyImagesAreNamedInTheStatusAndOneWarning) {
  TTempFolder dir("tarvex-combine-left-out");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(500, 1)},
                                         {3, 0x10000000, RandomBytes(90, 2)},
                                         {4, 0x11200000, RandomBytes(70, 3)},
                                         {15, 0x12000000, RandomBytes(40, 4)}};
  std::vector<TCodeGroupRow> rows = Rows(dir, groups);
  TRecordingHost whole;
  ASSERT_TRUE(RunCombine(whole, dir, rows));
  EXPECT_EQ(whole.LastStatus(), Msgs[TMsgId::FileDone] + ": " + dir / "out.shx");
  EXPECT_EQ(std::count_if(whole.Events.begin(), whole.Events.end(),
                          [](const std::string& e) { return e.rfind("warning:", 0) == 0; }),
            0);

  WriteFileBytes(rows[2].Name, {});
  WriteFileBytes(rows[3].Name, {});
  TRecordingHost host;
  TSuperfileCombiner combiner(host);
  host.SaveAnswer = dir / "out.shx";
  ASSERT_TRUE(combiner.Combine(rows, "", 512));
  EXPECT_EQ(combiner.LeftOut(), (std::vector<size_t>{2, 3}));
  EXPECT_TRUE(host.Errors().empty());
  const std::string lang = "\"LangPack\" " + rows[2].Name, drm = "\"DRM (graphics)\" " + rows[3].Name;
  EXPECT_EQ(host.LastStatus(), Msgs[TMsgId::FileDone] + ": " + dir / "out.shx" + ". " +
                                   Msgs[TMsgId::EmptyImagesLeftOut] + " " + lang + ", " + drm);
  ASSERT_EQ(host.Events.back(), "warning:" + Msgs[TMsgId::EmptyImagesLeftOut] + "\r" + lang + "\r" + drm);
  // The warning follows the file: it is written whole, without the two code groups.
  const std::vector<uint8_t> out = ReadFileBytes(dir / "out.shx");
  ASSERT_GT(out.size(), 8172u);
  EXPECT_EQ(out[944], 2);  // the entry count, little-endian
  for (int cg : {4, 15}) {
    const size_t entry = 948 + 28 * static_cast<size_t>(cg + 2);
    EXPECT_EQ(std::count(out.begin() + entry, out.begin() + entry + 28, 0), 28)
        << "slot of code group " << cg;
  }
}

// Left out, such an image would take its code group out of the phone's firmware unseen.
TEST(Combine, RefusesARowWhoseImageCannotBeReadAndWritesNothing) {
  TTempFolder dir("tarvex-combine-unreadable");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(500, 1)},
                                         {4, 0x11200000, RandomBytes(70, 3)}};
  const std::vector<TCodeGroupRow> good = Rows(dir, groups);
  std::filesystem::create_directory(dir / "folder.smg");
  ASSERT_EQ(mkfifo((dir / "pipe.smg").c_str(), 0600), 0);
  const std::string prefix = "The \"LangPack\" row (code group 4) ";
  struct TCase {
    std::string Name;
    std::string Error;
  };
  std::vector<TCase> cases = {
      {dir / "gone.smg", prefix + "cannot be combined: there is no file \"" + dir / "gone.smg" + "\"."},
      {dir / "folder.smg", prefix + "cannot be combined: there is no file \"" + dir / "folder.smg" + "\"."},
      {dir / "pipe.smg", prefix + "cannot be combined: there is no file \"" + dir / "pipe.smg" + "\"."},
      {"", prefix + "names no image file."},
  };
  // The owner's permissions do not bind root.
  if (geteuid() != 0) {
    WriteFileBytes(dir / "locked.smg", {1, 2, 3});
    std::filesystem::permissions(dir / "locked.smg", std::filesystem::perms::none);
    cases.push_back({dir / "locked.smg", prefix + "cannot be combined: Cannot open file \"" + dir / "locked.smg" +
                                             "\". " + std::strerror(EACCES)});
  }
  for (const TCase& c : cases) {
    std::vector<TCodeGroupRow> rows = good;
    rows[1].Name = c.Name;
    WriteFileBytes(dir / "out.shx", {'o', 'l', 'd'});
    TRecordingHost host;
    EXPECT_FALSE(RunCombine(host, dir, rows)) << c.Name;
    EXPECT_EQ(host.Errors(), std::vector<std::string>{c.Error});
    EXPECT_EQ(host.LastStatus(), c.Error);
    EXPECT_EQ(host.Events.front(), "status:" + c.Error) << "refused before the save dialog";
    EXPECT_EQ(ReadFileBytes(dir / "out.shx"), (std::vector<uint8_t>{'o', 'l', 'd'})) << c.Name;
  }
  // The RAM downloader's own image, too.
  std::vector<TCodeGroupRow> rows = good;
  rows[0].Name = dir / "gone.smg";
  TRecordingHost host;
  EXPECT_FALSE(RunCombine(host, dir, rows));
  ASSERT_EQ(host.Errors().size(), 1u);
  EXPECT_EQ(host.Errors()[0].rfind("The \"RAM Downloader\" row (code group -2) cannot be combined", 0), 0u)
      << host.Errors()[0];
}

TEST(Combine, FailureWhileWritingKeepsTheOldFileAndLeavesNoPart) {
  TTempFolder dir("tarvex-combine-full");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, RandomBytes(500, 1)},
                                         {4, 0x11200000, RandomBytes(200000, 3)}};
  const std::vector<TCodeGroupRow> rows = Rows(dir, groups);
  WriteFileBytes(dir / "out.shx", {'o', 'l', 'd'});
  // A file-size limit makes the write fail part way, as a full disk would.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limited = old;
  limited.rlim_cur = 100000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  TRecordingHost host;
  bool raised = false;
  try {
    RunCombine(host, dir, rows, 1);
  } catch (const EInOutError&) {
    raised = true;
  }
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_TRUE(raised);
  EXPECT_EQ(ReadFileBytes(dir / "out.shx"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  EXPECT_EQ(host.Events.back(), "busy:off");
}

TEST(Combine, AKilledCombineKeepsTheOldFileAndTheNextOneLeavesNoTemporary) {
  TTempFolder dir("tarvex-combine-killed");
  const std::vector<TCodeGroupRow> rows =
      Rows(dir, {{-2, 0x03FD0000, MakeRamDownloader(500, 1)}, {4, 0x11200000, RandomBytes(200000, 3)}});
  WriteFileBytes(dir / "out.shx", {'o', 'l', 'd'});
  {
    TWriteFaultScope kill(TWriteFault::Kill, 100000);
    TRecordingHost host;
    EXPECT_THROW(RunCombine(host, dir, rows, 1), EInOutError);
  }
  EXPECT_EQ(ReadFileBytes(dir / "out.shx"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(TAtomicFileStream::TemporariesOf(dir / "out.shx").size(), 1u);  // as a kill leaves it

  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, rows, 1));
  const std::vector<uint8_t> written = ReadFileBytes(dir / "out.shx");
  host.SaveAnswer = dir / "again.shx";
  ASSERT_TRUE(TSuperfileCombiner(host).Combine(rows, "", 1));
  EXPECT_TRUE(SameBytes(written, ReadFileBytes(dir / "again.shx")));
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

// An image whose name is the superfile's with ".tmp" added is the user's file like any other.
TEST(Combine, AnImageNamedLikeATemporaryFileIsCombinedAndKept) {
  TTempFolder dir("tarvex-combine-tmp-name");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(500, 1)},
                                         {4, 0x11200000, RandomBytes(70000, 3)}};
  std::vector<TCodeGroupRow> rows = Rows(dir, groups);
  const std::string image = dir / "out.shx.tmp";
  std::filesystem::rename(rows[1].Name, image);
  rows[1].Name = image;
  TRecordingHost host;
  ASSERT_TRUE(RunCombine(host, dir, rows)) << (host.Errors().empty() ? "" : host.Errors()[0]);
  EXPECT_TRUE(SameBytes(ReadFileBytes(image), groups[1].Data));
  EXPECT_TRUE(TRawFile::Exists(dir / "out.shx"));
}

// The header carries byte sums taken before the records are written: an image rewritten in
// between must not give a superfile whose table disagrees with its records.
TEST(Combine, AnImageThatChangesWhileBeingCombinedStopsItAndKeepsTheOldFile) {
  class TChangingHost : public TRecordingHost {
  public:
    std::function<void()> OnSave, OnGauge;
    bool AskSaveFileName(const std::string& filter, std::string& fileName) override {
      OnSave();
      return TRecordingHost::AskSaveFileName(filter, fileName);
    }
    // Set between the pass that sums the images and the one that writes them.
    void SetGaugeRange(int64_t max, int64_t progress) override {
      TRecordingHost::SetGaugeRange(max, progress);
      OnGauge();
    }
  };
  TTempFolder dir("tarvex-combine-changing");
  const std::vector<TShxGroup> groups = {{-2, 0x03FD0000, MakeRamDownloader(500, 1)},
                                         {4, 0x11200000, RandomBytes(100000, 3)}};
  const std::vector<TCodeGroupRow> rows = Rows(dir, groups);
  const auto flip = [&](size_t at) {
    return [&, at] {
      std::vector<uint8_t> image = groups[1].Data;
      image[at] ^= 1;
      WriteFileBytes(rows[1].Name, image);
    };
  };
  const auto cut = [&] { WriteFileBytes(rows[1].Name, RandomBytes(99999, 3)); };
  const auto none = [] {};
  const std::vector<std::pair<std::function<void()>, std::function<void()>>> cases = {
      {flip(5), none}, {cut, none}, {none, flip(5)}, {none, flip(77777)}, {none, cut}};
  for (size_t i = 0; i < cases.size(); ++i) {
    WriteFileBytes(rows[1].Name, groups[1].Data);
    WriteFileBytes(dir / "out.shx", {'o', 'l', 'd'});
    TChangingHost host;
    host.SaveAnswer = dir / "out.shx";
    host.OnSave = cases[i].first;
    host.OnGauge = cases[i].second;
    TSuperfileCombiner combiner(host);
    try {
      combiner.Combine(rows, "", 4);
      ADD_FAILURE() << "case " << i << " combined";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.Message(), "The image \"" + rows[1].Name + "\" changed while it was being combined.") << i;
    }
    EXPECT_EQ(ReadFileBytes(dir / "out.shx"), (std::vector<uint8_t>{'o', 'l', 'd'})) << i;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
      EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << i;
  }
}

TEST(Combine, SplitAndCombineRoundTripAndBufferSizesAgree) {
  TTempFolder dir("tarvex-combine-roundtrip");
  TRecordingHost first;
  ASSERT_TRUE(RunCombine(first, dir, Rows(dir, RealisticFirmware(50000, 9)), 1));
  const std::vector<uint8_t> written = ReadFileBytes(dir / "out.shx");

  for (bool separate : {false, true}) {
    TTempFolder again("tarvex-combine-roundtrip-2");
    std::filesystem::copy_file(dir / "out.shx", again / "fw.shx");
    TRecordingHost split;
    TSuperfileSplitter splitter(split);
    ASSERT_TRUE(splitter.Split(again / "fw.shx", {4096, separate, again.Path().string()}));
    for (int kb : {1, 4096}) {
      TRecordingHost host;
      ASSERT_TRUE(RunCombine(host, again, split.Rows, kb));
      EXPECT_TRUE(SameBytes(ReadFileBytes(again / "out.shx"), written)) << separate << " " << kb;
    }
    TRecordingHost resplit;
    TSuperfileSplitter splitter2(resplit);
    ASSERT_TRUE(splitter2.Split(again / "out.shx", {1, separate, again.Path().string()}));
    ASSERT_EQ(resplit.Rows.size(), split.Rows.size());
    for (size_t i = 0; i < split.Rows.size(); ++i) {
      EXPECT_EQ(resplit.Rows[i].Type, split.Rows[i].Type);
      EXPECT_EQ(resplit.Rows[i].A1, split.Rows[i].A1);
      EXPECT_EQ(resplit.Rows[i].A2, split.Rows[i].A2);
      EXPECT_EQ(resplit.Rows[i].Size, split.Rows[i].Size);
    }
  }
}

TEST(Combine, RefusesAnUnusableBufferSizeBeforeAnything) {
  TTempFolder dir("tarvex-combine-buffer");
  TRecordingHost host;
  EXPECT_THROW(RunCombine(host, dir, Rows(dir, {{-2, 0x03FD0000, RandomBytes(500, 1)}}), 0), Exception);
  EXPECT_TRUE(host.Events.empty());
}

namespace {

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (uint8_t b : bytes) h = (h ^ b) * 0x100000001B3ull;
  return h;
}

// A flash image whose memory-map words at 28 and 32 give the map's length as the combine computes it.
std::vector<uint8_t> FlashWithMapWords(size_t size, uint32_t seed, uint32_t at28, uint32_t at32) {
  std::vector<uint8_t> flash = RandomBytes(size, seed);
  PutBE(flash, 28, at28);
  PutBE(flash, 32, at32);
  return flash;
}

std::vector<TShxGroup> FlashCarriesItsMap(std::vector<TShxGroup> groups) {
  auto map = std::find_if(groups.begin(), groups.end(), [](const TShxGroup& g) { return g.CG == 0; });
  auto flash = std::find_if(groups.begin(), groups.end(), [](const TShxGroup& g) { return g.CG == 1; });
  flash->Data.insert(flash->Data.begin(), map->Data.begin(), map->Data.end());
  flash->Start = map->Start;
  groups.erase(map);
  return groups;
}

}  // namespace

// Digests of the superfiles the combine wrote for the generators' firmware before it streamed its
// images: any change of the output, at any buffer size, shows here.
TEST(Combine, OutputStaysByteForByteWhatItWasAtEveryBufferSize) {
  struct TCase {
    const char* Name;
    std::vector<TShxGroup> Groups;
    size_t Size;
    uint64_t Digest;
  };
  const std::vector<TCase> cases = {
      {"realistic, map and flash apart", RealisticFirmware(50000, 9), 189222, 0xd234d97e5ed3caeeull},
      {"realistic, flash carries its map", FlashCarriesItsMap(RealisticFirmware(70001, 11)), 251088,
       0xeccd85a538a1950eull},
      {"small", SmallFirmware(3), 9660, 0xcdebde2173222420ull},
      {"boot loader, 5000-byte loader, 10-byte map",
       {{-2, 0x03FD0000, MakeRamDownloader(5000, 4)},
        {-1, 0x00100000, RandomBytes(300, 5)},
        {1, 0x10000000, FlashWithMapWords(3000, 6, 0x10000040, 0x10000045)},
        {5, 0x10C00000, RandomBytes(2049, 7)}},
       31628, 0x09e5da2669aaea3cull},
      {"map is the whole flash",
       {{-2, 0x03FD0000, MakeRamDownloader(416, 8)}, {1, 0x10000000, MakeMemoryMap(777, 9)}},
       10944, 0x7f559b81a65f16eaull},
      {"map of length 0",
       {{-2, 0x03FD0000, MakeRamDownloader(1500, 10)},
        {1, 0x10000000, FlashWithMapWords(100, 11, 0x10000040, 0x1000003B)}},
       11854, 0x6dd2c43047a552d7ull},
  };
  for (const TCase& c : cases) {
    TTempFolder dir("tarvex-combine-golden");
    const std::vector<TCodeGroupRow> rows = Rows(dir, c.Groups);
    for (int kb : {1, 3, 64, 4096}) {
      TRecordingHost host;
      ASSERT_TRUE(RunCombine(host, dir, rows, kb)) << c.Name;
      const std::vector<uint8_t> out = ReadFileBytes(dir / "out.shx");
      EXPECT_EQ(out.size(), c.Size) << c.Name << ", " << kb << " kB";
      EXPECT_EQ(Fnv1a(out), c.Digest) << c.Name << ", " << kb << " kB: 0x" << std::hex << Fnv1a(out);
    }
  }
}

// The records do not depend on how the data are cut into pieces: a line may begin in one piece and
// end several pieces later.
TEST(Combine, RecordsDoNotDependOnHowTheDataArrive) {
  const std::vector<uint8_t> data = RandomBytes(5000, 12);
  const auto write = [&](const std::vector<size_t>& pieces) {
    TMemoryStream out;
    TSRecordWriter writer(out, 1000, 0);
    writer.BeginBlock(0x10000000);
    size_t at = 0;
    for (size_t i = 0; at < data.size(); at += pieces[i % pieces.size()], ++i)
      writer.Write(data.data() + at, std::min(pieces[i % pieces.size()], data.size() - at));
    writer.EndBlock(true);
    EXPECT_EQ(writer.DataSum(), TSRecordWriter::ByteSum(data.data(), data.size()));
    return std::string(out.Memory(), out.Memory() + out.Size());
  };
  const std::string whole = write({data.size()});
  // The generator's records of the same bytes, with the sum of the text itself.
  const std::vector<uint8_t> file = BuildSuperfile({{1, 0x10000000, data}});
  const std::string block = SRecordBlocks(file).back();
  std::string expected;
  for (size_t at = 0, end; at < block.size(); at = end + 1) {
    end = block.find('\n', at);
    if (block.compare(at, 2, "S3") == 0) expected += block.substr(at, end - at) + "\r\n";
  }
  EXPECT_EQ(whole.substr(18, expected.size()), expected);
  for (const std::vector<size_t>& pieces :
       std::vector<std::vector<size_t>>{{1}, {63}, {65}, {1, 127, 64}, {200, 3}, {4999, 1}})
    EXPECT_EQ(write(pieces), whole) << pieces[0];
}
