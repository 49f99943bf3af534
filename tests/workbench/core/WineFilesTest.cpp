// The engine's file handling on Windows: paths with backslashes, and a combine that replaces an
// existing superfile, where the platform refuses to rename over a file.

#include <gtest/gtest.h>

#include <filesystem>

#include "TCollectingHost.h"
#include "shx-generator.h"
#include "workbench/core/TSuperfileCombiner.h"
#include "workbench/core/TSuperfileSplitter.h"

namespace {

// Any error box fails the test; the date is fixed.
class THost : public TCollectingHost {
public:
  THost() {
    OnError = [](const std::string& text) { ADD_FAILURE() << text; };
  }
  std::tm LocalTime() override {
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 5, t.tm_wday = 6, t.tm_hour = 20, t.tm_min = 3, t.tm_sec = 13;
    return t;
  }
};

}  // namespace

TEST(WineFiles, SplitsIntoABackslashFolderAndCombinesOverAnExistingFile) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarvex-wine-files";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::string folder = dir.string();
  for (char& c : folder)
    if (c == '/') c = '\\';
  const std::vector<TShxGroup> groups = RealisticFirmware(3000, 4);
  WriteFileBytes(folder + "\\fw.shx", BuildSuperfile(groups));

  THost split;
  TSuperfileSplitter splitter(split);
  ASSERT_TRUE(splitter.Split(folder + "\\fw.shx", {1, true, folder}));
  ASSERT_EQ(split.Rows.size(), groups.size());
  EXPECT_EQ(split.Rows[0].Name, folder + "\\fw{@0x03FD0000}RAMDLD.smg");
  for (size_t i = 0; i < groups.size(); ++i) EXPECT_EQ(ReadFileBytes(split.Rows[i].Name), groups[i].Data);

  THost host;
  host.SaveName = folder + "\\new.shx";
  WriteFileBytes(host.SaveName, {'o', 'l', 'd'});
  TSuperfileCombiner combiner(host);
  ASSERT_TRUE(combiner.Combine(split.Rows, "", 1));
  const std::vector<uint8_t> first = ReadFileBytes(host.SaveName);
  EXPECT_GT(first.size(), 8172u);
  ASSERT_TRUE(combiner.Combine(split.Rows, "", 4096));
  EXPECT_EQ(ReadFileBytes(host.SaveName), first);
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    EXPECT_EQ(name.find(".old"), std::string::npos) << name;
  }
  std::filesystem::remove_all(dir);
}
