// Hostile table and ini files through the loader driver, as a separate process: each is refused
// with its message and exit code 1, and under the sanitizers with no finding.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "framework/base/TClientDataSet.h"
#include "tests/support/TTempFolder.h"
#include "tests/tools/RunLimited.h"

#ifdef TABLE_TOOL
namespace {

void WriteText(const std::string& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

std::string ReadText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TableTool, HostileFilesAreRefusedWithTheirReason) {
  TTempFolder dir;
  const std::string good = dir / "good.cds";
  {
    TClientDataSet table;
    table.AddIntegerField("CG");
    table.AddStringField("Name", 255);
    table.CreateDataSet();
    for (int i = 0; i < 50; ++i) table.AppendRecord({i, "image " + std::to_string(i)});
    table.SaveToFile(good);
    table.SaveToFile(dir / "good.xml", TDataPacketFormat::dfXML);
  }
  const std::string bytes = ReadText(good), xml = ReadText(dir / "good.xml");
  struct TCase {
    const char* Name;
    std::string Content;
    const char* Command;
    std::string Reason;
  };
  std::string flipped = xml;
  flipped[flipped.find("image 7")] = 'I';
  const TCase cases[] = {
      {"cut.cds", bytes.substr(0, bytes.size() / 2), "load", "checksum mismatch"},
      {"header.cds", bytes.substr(0, 12), "load", "the data ends too early"},
      {"flipped.xml", flipped, "load", "checksum mismatch"},
      {"cut.xml", xml.substr(0, xml.size() - 40), "load", "it is truncated"},
      {"empty.cds", "", "load", "it is not a table file"},
      {"keys.ini", [] {
         std::string text = "[Environment]\r\n";
         for (int i = 0; i < 1500000; ++i) text += "k" + std::to_string(i) + "=1\r\n";
         return text;
       }(),
       "ini", "it is too large to load"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string file = dir / c.Name;
    WriteText(file, c.Content);
    std::string errors;
    EXPECT_EQ(RunLimited({TABLE_TOOL, c.Command, file}, std::size_t{1} << 30, dir / "err.txt", errors), 1);
    EXPECT_EQ(errors.rfind("table-tool: Cannot ", 0), 0u) << errors;
    EXPECT_NE(errors.find(c.Reason), std::string::npos) << errors;
    EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;
  }
  std::string errors;
  EXPECT_EQ(RunLimited({TABLE_TOOL, "load", good}, std::size_t{1} << 30, dir / "err.txt", errors), 0) << errors;
}

}  // namespace
#endif
