#include <gtest/gtest.h>

#include <set>
#include <string>

#include "skin/windows/core/FileNameEditRules.h"

namespace {

// Folders that exist for these cases.
const std::set<std::string> kFolders{"C:\\data\\", "C:\\", "C:"};

TDialogPriming Prime(const std::string& text) {
  return PrimeFileDialog(text, [](const std::string& f) { return kFolders.count(f) != 0; });
}

TEST(FileDialogPriming, AnExistingFolderAndAValidNameBothReachTheDialog) {
  const TDialogPriming p = Prime("C:\\data\\new name.txt");
  EXPECT_EQ(p.InitialDir, "C:\\data\\");
  EXPECT_EQ(p.FileName, "C:\\data\\new name.txt");
  // A missing folder keeps the dialog's own starting folder; the name still goes.
  const TDialogPriming missing = Prime("C:\\gone\\a.txt");
  EXPECT_FALSE(missing.InitialDir.has_value());
  EXPECT_EQ(missing.FileName, "C:\\gone\\a.txt");
  // A bare name, a drive-relative one.
  EXPECT_FALSE(Prime("a.txt").InitialDir.has_value());
  EXPECT_EQ(Prime("a.txt").FileName, "a.txt");
  EXPECT_EQ(Prime("C:a.txt").InitialDir, "C:");
}

TEST(FileDialogPriming, AFolderAloneOrAnInvalidTextGivesNoName) {
  const TDialogPriming folder = Prime("C:\\data\\");
  EXPECT_EQ(folder.InitialDir, "C:\\data\\");
  EXPECT_EQ(folder.FileName, "");
  EXPECT_EQ(Prime("C:/data/").FileName, "");
  for (const char* bad : {"C:\\data\\a|b", "C:\\data\\[1].txt", "<x>", ""}) {
    const TDialogPriming p = Prime(bad);
    EXPECT_FALSE(p.InitialDir.has_value()) << bad;
    EXPECT_EQ(p.FileName, "") << bad;
  }
}

}  // namespace
