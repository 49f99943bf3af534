#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin/windows/core/FileComboRules.h"

namespace {

TEST(FilterParsing, PairsGiveDescriptionsAndMasksAndATrailingDescriptionIsDropped) {
  EXPECT_EQ(ParseFilter("Text files (*.txt)|*.txt|All files (*.*)|*.*"),
            (std::vector<TFilterEntry>{{"Text files (*.txt)", "*.txt"}, {"All files (*.*)", "*.*"}}));
  EXPECT_TRUE(ParseFilter("").empty());
  EXPECT_TRUE(ParseFilter("Only a description").empty());
  EXPECT_EQ(ParseFilter("A|*.a|B"), (std::vector<TFilterEntry>{{"A", "*.a"}}));
  // Several masks of one pair stay together; an empty mask is kept as such.
  EXPECT_EQ(ParseFilter("Pictures|*.bmp;*.gif|Nothing|"),
            (std::vector<TFilterEntry>{{"Pictures", "*.bmp;*.gif"}, {"Nothing", ""}}));
  EXPECT_EQ(ParseFilter("|||"), (std::vector<TFilterEntry>{{"", ""}, {"", ""}}));
}

TEST(FilterParsing, TheMaskOfAnEntryOrAllFilesOutsideTheList) {
  const auto entries = ParseFilter("Text|*.txt|Logs|*.log");
  EXPECT_EQ(FilterMask(entries, 0), "*.txt");
  EXPECT_EQ(FilterMask(entries, 1), "*.log");
  EXPECT_EQ(FilterMask(entries, 2), "*.*");
  EXPECT_EQ(FilterMask(entries, -1), "*.*");
  EXPECT_EQ(FilterMask({}, 0), "*.*");
}

TEST(PathItems, DriveLettersAreReadWithoutCase) {
  EXPECT_EQ(DriveLetterOf("c:\\x\\"), 'C');
  EXPECT_EQ(DriveLetterOf("D:"), 'D');
  EXPECT_EQ(DriveLetterOf(""), 0);
  EXPECT_EQ(DriveLetterOf("\\\\server\\share\\"), 0);
  EXPECT_EQ(DriveLetterOf(":x"), 0);
}

// A shell that names each path after itself and numbers the icons in the order asked.
struct TFakeShell {
  std::vector<std::string> Asked;
  TShellNameQuery Query() {
    return [this](const std::string& path) {
      Asked.push_back(path);
      return TShellName{"name of " + path, int(Asked.size())};
    };
  }
};

constexpr std::uint32_t DrivesACZ = (1u << 0) | (1u << 2) | (1u << 25);

TEST(PathItems, EveryDriveAndTheLevelsDownToTheFolderUnderItsDrive) {
  TFakeShell shell;
  const auto items = BuildPathItems(DrivesACZ, "C:\\Work\\Sub\\", shell.Query());
  const std::vector<TPathItem> expected{
      {"name of A:\\", "A:\\", -1, 1},
      {"name of C:\\", "C:\\", -1, 2},
      {"name of C:\\Work\\", "C:\\Work\\", 1, 3},
      {"name of C:\\Work\\Sub\\", "C:\\Work\\Sub\\", 2, 4},
      {"name of Z:\\", "Z:\\", -1, 5},
  };
  EXPECT_EQ(items, expected);
  EXPECT_EQ(FindPathItem(items, "C:\\Work\\Sub\\"), 3);
  EXPECT_EQ(FindPathItem(items, "c:\\WORK\\sub\\"), 3);
  EXPECT_EQ(FindPathItem(items, "C:\\Work\\Other\\"), -1);
  // A lower-case drive letter shows the same levels.
  TFakeShell lower;
  EXPECT_EQ(BuildPathItems(DrivesACZ, "c:\\Work\\Sub\\", lower.Query()), expected);
}

TEST(PathItems, SlashesAndDoubledSeparatorsMakeNoEmptyLevels) {
  TFakeShell shell;
  const auto items = BuildPathItems(1u << 3, "D:/a//b\\", shell.Query());
  std::vector<std::string> captions;
  for (const auto& i : items) captions.push_back(i.Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"D:\\", "D:\\a\\", "D:\\a\\b\\"}));
}

TEST(PathItems, AFolderOnNoListedDriveOrANetworkPathShowsDrivesOnly) {
  TFakeShell shell;
  EXPECT_EQ(BuildPathItems(1u << 2, "Q:\\x\\", shell.Query()).size(), 1u);
  EXPECT_EQ(BuildPathItems(1u << 2, "\\\\server\\share\\", shell.Query()).size(), 1u);
  EXPECT_TRUE(BuildPathItems(0, "C:\\x\\", shell.Query()).empty());
  // A name the shell cannot read is empty; the folder stays.
  const auto unread = BuildPathItems(1u << 2, "C:\\", [](const std::string&) { return TShellName{}; });
  EXPECT_EQ(unread, (std::vector<TPathItem>{{"", "C:\\", -1, -1}}));
}

}  // namespace
