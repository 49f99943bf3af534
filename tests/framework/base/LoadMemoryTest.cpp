// The memory a table or ini load takes, against the size of its file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/base/Exception.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TIniFile.h"
#include "framework/base/TLoadBudget.h"
#include "framework/base/TStream.h"
#include "tests/support/TAllocationProbe.h"
#include "tests/support/TTempFolder.h"
#include "tests/support/ThrownText.h"

namespace {

constexpr std::size_t kFactor = TLoadBudget::kLoadFactor;

std::size_t FileSize(const std::string& file) { return static_cast<std::size_t>(std::filesystem::file_size(file)); }

// A viewer list as users keep it: a program path and its parameters per row.
void WriteViewerList(const std::string& file, int rows, TDataPacketFormat format) {
  TClientDataSet table;
  table.AddStringField("Program", 128);
  table.AddStringField("Parameters", 20);
  table.CreateDataSet();
  for (int i = 0; i < rows; ++i)
    table.AppendRecord({"C:\\Program Files\\Picture Tools\\Viewers of every kind\\viewer number " +
                            std::to_string(i) + ".exe",
                        "/open \"%s\""});
  table.SaveToFile(file, format);
}

// Rows with every value empty: a few bytes each in the file, a full row each in memory.
void WriteEmptyRows(const std::string& file, int rows, TDataPacketFormat format) {
  TClientDataSet table;
  for (const char* name : {"CG", "A1", "A2", "size"}) table.AddIntegerField(name);
  table.AddStringField("Name", 255);
  table.AddStringField("Type", 20);
  table.CreateDataSet();
  for (int i = 0; i < rows; ++i) table.AppendRecord({});
  table.SaveToFile(file, format);
}

void WriteText(const std::string& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

TEST(LoadMemory, TablesCostAtMostFourTimesTheirFileAtThreeSizes) {
  TTempFolder dir;
  for (const TDataPacketFormat format : {TDataPacketFormat::dfBinary, TDataPacketFormat::dfXML}) {
    for (const int rows : {2000, 20000, 100000}) {
      SCOPED_TRACE(std::to_string(rows) + (format == TDataPacketFormat::dfXML ? " XML" : " binary"));
      const std::string file = dir / "list.cds";
      WriteViewerList(file, rows, format);
      TClientDataSet table;
      table.AddStringField("Program", 128);
      table.AddStringField("Parameters", 20);
      table.AddIndex("byProgram", "Program");
      {
        const TAllocationProbe probe;
        table.LoadFromFile(file);
        EXPECT_EQ(table.RecordCount(), rows);
        EXPECT_LE(probe.Peak(), kFactor * FileSize(file));
      }
      // A table already in memory (a project is read whole first) is parsed where it lies.
      TMemoryStream bytes;
      bytes.LoadFromFile(file);
      TClientDataSet again;
      const TAllocationProbe probe;
      again.LoadFromStream(bytes);
      EXPECT_EQ(again.RecordCount(), rows);
      EXPECT_LE(probe.Peak(), (kFactor - 1) * FileSize(file));
    }
  }
}

TEST(LoadMemory, ATableTooLargeToHoldIsRefusedBeforeItsRowsAreBuilt) {
  TTempFolder dir;
  for (const TDataPacketFormat format : {TDataPacketFormat::dfBinary, TDataPacketFormat::dfXML}) {
    SCOPED_TRACE(format == TDataPacketFormat::dfXML ? "XML" : "binary");
    const std::string file = dir / "empty.cds";
    WriteEmptyRows(file, 600000, format);
    TClientDataSet table;
    table.AddIntegerField("CG");
    table.CreateDataSet();
    table.AppendRecord({7});
    const TAllocationProbe probe;
    const std::string error = ThrownText<EDatabaseError>([&] { table.LoadFromFile(file); });
    EXPECT_NE(error.find("Cannot load table \"" + file + "\": it is too large to load"), std::string::npos) << error;
    // The file's bytes and the field list: no row was made.
    EXPECT_LE(probe.Peak(), FileSize(file) + (1 << 20));
    ASSERT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.FieldByName("CG")->AsInteger(), 7);
  }
}

std::string IniOfKeys(int keys) {
  std::string text = "[Recent]\r\n";
  for (int i = 0; i < keys; ++i)
    text += "File " + std::to_string(i) + "=C:\\Firmware\\Phones of the year\\release " + std::to_string(i) + ".shx\r\n";
  return text;
}

TEST(LoadMemory, IniFilesCostAtMostFourTimesTheirFileAtThreeSizes) {
  TTempFolder dir;
  for (const int keys : {2000, 20000, 100000}) {
    SCOPED_TRACE(keys);
    const std::string file = dir / "big.ini";
    WriteText(file, IniOfKeys(keys));
    const TAllocationProbe probe;
    const TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("recent", "file " + std::to_string(keys - 1), ""),
              "C:\\Firmware\\Phones of the year\\release " + std::to_string(keys - 1) + ".shx");
    EXPECT_LE(probe.Peak(), kFactor * FileSize(file));
  }
}

TEST(LoadMemory, AnIniTooLargeToHoldIsRefusedWithinItsBudget) {
  TTempFolder dir;
  const std::string file = dir / "keys.ini";
  std::string text = "[Environment]\r\n";
  for (int i = 0; i < 1500000; ++i) text += "k" + std::to_string(i) + "=1\r\n";
  WriteText(file, text);
  const std::size_t size = text.size();
  text.clear();
  text.shrink_to_fit();
  const TAllocationProbe probe;
  TIniFile ini(file);
  EXPECT_LE(probe.Peak(), std::max(kFactor * FileSize(file), TLoadBudget::kMinLoadBudget) + (1 << 20));
  EXPECT_NE(ini.LoadError().find("Cannot read ini file \"" + file + "\": it is too large to load"), std::string::npos)
      << ini.LoadError();
  EXPECT_FALSE(ini.SectionExists("Environment"));
  // A file that was not read is not written over.
  ini.WriteInteger("Environment", "k0", 2);
  EXPECT_NE(ThrownText<EInOutError>([&] { ini.UpdateFile(); }).find("it is left as it is"), std::string::npos);
  EXPECT_EQ(FileSize(file), size);
}

TEST(LoadMemory, AnIniPastTheLargestBudgetIsRefusedUnreadWithItsTrueSize) {
  TTempFolder dir;
  const std::string file = dir / "huge.ini";
  WriteText(file, "[Environment]\r\n");
  std::filesystem::resize_file(file, TLoadBudget::kMaxLoadBudget + 1);  // sparse: no room taken
  const TAllocationProbe probe;
  const TIniFile ini(file);
  EXPECT_LT(probe.Peak(), std::size_t{1} << 20);
  EXPECT_NE(ini.LoadError().find("(the file has 1025 MB)"), std::string::npos) << ini.LoadError();
  EXPECT_FALSE(ini.SectionExists("Environment"));
}

}  // namespace
