// Independent readers check the S-records: srec_cat and objcopy extract each block's payload.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "TRecordingHost.h"
#include "framework/base/TAtomicFileStream.h"
#include "shx-generator.h"
#include "tests/tools/RunLimited.h"
#include "workbench/core/TSuperfileCombiner.h"
#include "workbench/core/TSuperfileSplitter.h"

namespace {

bool Shell(const std::string& command) {
  return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

std::string Quote(const std::string& path) {
  return "'" + path + "'";
}

// The payload of one S-record block as objcopy and as srec_cat read it.
void PeerPayloads(const TTempFolder& dir, const std::string& block, uint32_t start,
                  std::vector<uint8_t>& objcopy, std::vector<uint8_t>& srecCat) {
  const std::string text = dir / "block.srec";
  WriteFileBytes(text, std::vector<uint8_t>(block.begin(), block.end()));
  ASSERT_TRUE(Shell("objcopy -I srec -O binary " + Quote(text) + " " + Quote(dir / "objcopy.bin")));
  char offset[32];
  std::snprintf(offset, sizeof offset, "-0x%08X", start);
  ASSERT_TRUE(Shell("srec_cat " + Quote(text) + " -offset " + offset + " -o " + Quote(dir / "srec.bin") +
                    " -binary"));
  objcopy = ReadFileBytes(dir / "objcopy.bin");
  srecCat = ReadFileBytes(dir / "srec.bin");
}

// The checksum record's sum, computed from the file alone.
void ExpectChecksumRecord(const std::vector<uint8_t>& file) {
  const std::string last(file.end() - 14, file.end());
  ASSERT_EQ(last.substr(0, 8), "S7054353");
  uint32_t sum = 0;
  for (auto it = file.begin(); it != file.end() - 14; ++it) sum += *it;
  char want[8];
  std::snprintf(want, sizeof want, "%04X", sum & 0xFFFF);
  EXPECT_EQ(last.substr(8, 4), want);
}

}  // namespace

TEST(Peers, SplitImagesEqualWhatSrecCatAndObjcopyExtract) {
  TTempFolder dir("tarvex-peer-split");
  const std::vector<uint8_t> file = BuildSuperfile(RealisticFirmware(30000, 21));
  WriteFileBytes(dir / "fw.shx", file);
  TRecordingHost host;
  TSuperfileSplitter splitter(host);
  ASSERT_TRUE(splitter.Split(dir / "fw.shx", {1, false, dir.Path().string()}));
  const std::vector<std::string> blocks = SRecordBlocks(file);
  ASSERT_EQ(blocks.size(), host.Rows.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    std::vector<uint8_t> objcopy, srecCat;
    PeerPayloads(dir, blocks[i], host.Rows[i].A1, objcopy, srecCat);
    const std::vector<uint8_t> image = ReadFileBytes(host.Rows[i].Name);
    EXPECT_EQ(image, objcopy) << host.Rows[i].Type;
    EXPECT_EQ(image, srecCat) << host.Rows[i].Type;
  }
}

TEST(Peers, CombinedFileReadsBackThroughSrecCatAndObjcopy) {
  TTempFolder dir("tarvex-peer-combine");
  const std::vector<uint8_t> source = BuildSuperfile(RealisticFirmware(30000, 22));
  WriteFileBytes(dir / "fw.shx", source);
  TRecordingHost split;
  TSuperfileSplitter splitter(split);
  ASSERT_TRUE(splitter.Split(dir / "fw.shx", {64, true, dir.Path().string()}));
  TRecordingHost host;
  host.SaveAnswer = dir / "new.shx";
  TSuperfileCombiner combiner(host);
  ASSERT_TRUE(combiner.Combine(split.Rows, "", 64));
  const std::vector<uint8_t> file = ReadFileBytes(dir / "new.shx");
  ExpectChecksumRecord(file);
  const std::vector<std::string> blocks = SRecordBlocks(file);
  // The memory map and the flash share one block.
  ASSERT_EQ(blocks.size() + 1, split.Rows.size());
  for (size_t i = 0, row = 0; i < blocks.size(); ++i, ++row) {
    std::vector<uint8_t> image = ReadFileBytes(split.Rows[row].Name);
    if (split.Rows[row].Type == "Memory map") {
      const std::vector<uint8_t> flash = ReadFileBytes(split.Rows[++row].Name);
      image.insert(image.end(), flash.begin(), flash.end());
    }
    if (split.Rows[row].Type == "RAM Downloader") continue;  // its table is rebuilt
    std::vector<uint8_t> objcopy, srecCat;
    PeerPayloads(dir, blocks[i],
                 split.Rows[row].Type == "Flash" ? split.Rows[row - 1].A1 : split.Rows[row].A1, objcopy,
                 srecCat);
    EXPECT_EQ(image, objcopy) << split.Rows[row].Type;
    EXPECT_EQ(image, srecCat) << split.Rows[row].Type;
  }
}

#ifdef SHX_TOOL
TEST(Peers, DriverSplitsAndCombinesLikeTheEngine) {
  TTempFolder dir("tarvex-peer-tool");
  WriteFileBytes(dir / "fw.shx", BuildSuperfile(RealisticFirmware(5000, 23)));
  const std::string tool = SHX_TOOL;
  ASSERT_TRUE(Shell(tool + " split " + Quote(dir / "fw.shx") + " " + Quote(dir.Path().string()) +
                    " --buffer-kb 1 | grep '|' > " + Quote(dir / "list.txt")));
  ASSERT_TRUE(Shell(tool + " combine " + Quote(dir / "list.txt") + " " + Quote(dir / "a.shx")));
  ASSERT_TRUE(
      Shell(tool + " combine " + Quote(dir / "list.txt") + " " + Quote(dir / "b.shx") + " --buffer-kb 4096"));
  const std::vector<uint8_t> a = ReadFileBytes(dir / "a.shx");
  ExpectChecksumRecord(a);
  EXPECT_EQ(a.size(), ReadFileBytes(dir / "b.shx").size());
  EXPECT_FALSE(Shell(tool + " split " + Quote(dir / "a.shx") + " " + Quote(dir.Path().string()) + " --buffer-kb 0"));
}

// Under a shell's file size limit the driver fails the write as on a full disk rather than dying.
TEST(Peers, DriverUnderAFileSizeLimitKeepsTheOldSuperfile) {
  TTempFolder dir("tarvex-peer-limit");
  const std::vector<uint8_t> firmware = BuildSuperfile(RealisticFirmware(5000, 23));
  WriteFileBytes(dir / "fw.shx", firmware);
  const std::string tool = SHX_TOOL;
  ASSERT_TRUE(Shell(tool + " split " + Quote(dir / "fw.shx") + " " + Quote(dir.Path().string()) +
                    " | grep '|' > " + Quote(dir / "list.txt")));
  const std::string out = dir / "out.shx";
  WriteFileBytes(out, {'o', 'l', 'd'});
  std::string errors;
  EXPECT_EQ(RunLimited({tool, "combine", dir / "list.txt", out}, firmware.size() / 2, dir / "err.txt", errors), 2);
  EXPECT_EQ(errors, "error: Cannot write file \"" + out + "\". " + std::strerror(EFBIG) + "\n");
  EXPECT_EQ(ReadFileBytes(out), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(out).empty());
}
#endif
