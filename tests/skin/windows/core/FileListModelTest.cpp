#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "skin/windows/core/FileListModel.h"

namespace {

TFileEntry File(const std::string& name, std::uint64_t size, std::uint64_t time = 0) {
  TFileEntry e;
  e.Kind = TFileEntryKind::File;
  e.Name = e.Caption = name;
  e.Path = "C:\\t\\" + name;
  e.Size = size;
  e.WriteTime = time;
  return e;
}

TFileEntry Folder(const std::string& name) {
  TFileEntry e = File(name, 0);
  e.Kind = TFileEntryKind::Folder;
  e.Attributes = faDirectory;
  return e;
}

TFileEntry Parent() {
  TFileEntry e = Folder("..");
  e.Kind = TFileEntryKind::Parent;
  e.Path = "C:\\";
  return e;
}

// The captions of entries sorted by column with the inverse flag, as the list sorts them.
std::vector<std::string> Sorted(std::vector<TFileEntry> entries, int column, bool inverse) {
  std::stable_sort(entries.begin(), entries.end(), [&](const TFileEntry& a, const TFileEntry& b) {
    return CompareEntries(a, b, column, inverse) < 0;
  });
  std::vector<std::string> names;
  for (const TFileEntry& e : entries) names.push_back(e.Caption);
  return names;
}

}  // namespace

TEST(FileListModel, SizeTextsRoundSmallFilesUpAndStay64Bit) {
  EXPECT_EQ(SizeText(0), "0 KB");
  EXPECT_EQ(SizeText(1), "1 KB");
  EXPECT_EQ(SizeText(1023), "1 KB");
  EXPECT_EQ(SizeText(1024), "1 KB");
  EXPECT_EQ(SizeText(1025), "1 KB");
  EXPECT_EQ(SizeText(2048), "2 KB");
  EXPECT_EQ(SizeText(3ull << 30), "3145728 KB");      // 3 GB, past 32 bits' sign
  EXPECT_EQ(SizeText(5ull << 32), "20971520 KB");     // 20 GB, past 32 bits
  // Folders show a blank, drives their type and disk sizes.
  TFileEntry folder = Folder("Sub");
  EXPECT_EQ(SubItemTexts(folder)[0], " ");
  TFileEntry drive;
  drive.Kind = TFileEntryKind::Drive;
  drive.Path = "C:\\";
  drive.TypeName = DriveTypeText(3);
  drive.DiskKnown = true;
  drive.DiskSize = 40960000000ull;
  drive.DiskFree = 0;
  const auto texts = SubItemTexts(drive);
  EXPECT_EQ(texts[0], "Fixed Disk");
  EXPECT_EQ(texts[1], "40,000 Mb");
  EXPECT_EQ(texts[2], "0 Mb");
  EXPECT_EQ(texts[4], "C:\\");
  EXPECT_EQ(texts[5], "drv");
  EXPECT_EQ(DriveTypeText(5), "CD-ROM Disk");
  EXPECT_EQ(DriveTypeText(99), "Unknown");
}

TEST(FileListModel, AttributeLettersInFixedOrder) {
  EXPECT_EQ(AttributeText(faSystem | faHidden | faReadOnly | faArchive), "ARHS");
  EXPECT_EQ(AttributeText(faSystem | faReadOnly), "RS");
  EXPECT_EQ(AttributeText(faNormal | faDirectory), "");
}

TEST(FileListModel, SearchKeepsEntriesByFilter) {
  const std::uint32_t all = FileTypeBits(ftAll);
  EXPECT_EQ(all, faReadOnly | faHidden | faSystem | faArchive | faNormal);
  EXPECT_FALSE(TakeEntry(".", faDirectory, all | faDirectory, true));
  EXPECT_FALSE(TakeEntry("..", faDirectory, all | faDirectory, false));
  EXPECT_TRUE(TakeEntry("..", faDirectory, all | faDirectory, true));
  // Folders only in the folder pass, files only in the file passes.
  EXPECT_TRUE(TakeEntry("Sub", faDirectory, all | faDirectory, false));
  EXPECT_FALSE(TakeEntry("Sub", faDirectory, all, false));
  EXPECT_FALSE(TakeEntry("a.txt", faArchive, all | faDirectory, false));
  // Hidden files only when hidden ones are asked for; archive and normal never restrict.
  const std::uint32_t plain = FileTypeBits(ftArchive | ftNormal);
  EXPECT_FALSE(TakeEntry("h.sys", faHidden | faArchive, plain, false));
  EXPECT_TRUE(TakeEntry("h.sys", faHidden | faArchive, plain | faHidden, false));
  EXPECT_TRUE(TakeEntry("a.txt", faArchive, FileTypeBits(ftNormal), false));
  EXPECT_FALSE(TakeEntry("r.txt", faReadOnly, FileTypeBits(ftNormal), false));
}

TEST(FileListModel, MasksAndCaptions) {
  EXPECT_EQ(SplitMasks("*.smg; *.shx"), (std::vector<std::string>{"*.smg", "*.shx"}));
  EXPECT_EQ(SplitMasks("*.*"), (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(SplitMasks(";;").empty());
  EXPECT_EQ(EntryCaption("fw.part.smg", true), "fw");
  EXPECT_EQ(EntryCaption("fw.part.smg", false), "fw.part.smg");
  EXPECT_EQ(EntryCaption("..", true), "..");
  EXPECT_EQ(EntryCaption(".profile", true), ".profile");
  EXPECT_EQ(DriveCaption("Local Disk (C:)", 'C'), "Local Disk  (C:)  ");
  EXPECT_EQ(DriveCaption("C:\\", 'C'), " (C:)  ");
  EXPECT_EQ(DateFormatOfKind(0), "MM/dd/yyyy");
  EXPECT_EQ(DateFormatOfKind(7), "yy-MM-dd");
  EXPECT_EQ(DateFormatOfKind(8), "");
}

TEST(FileListModel, SortSequences) {
  const std::vector<TFileEntry> entries = {File("b.bin", 5000, 30), Folder("Zeta"), File("a.bin", 100, 20),
                                           Parent(), Folder("alpha"), File("C.bin", 70000, 10)};
  int column = 0;
  bool inverse = true;
  // Refreshed: names ascending, ".." then folders first.
  EXPECT_EQ(Sorted(entries, 0, false), (std::vector<std::string>{"..", "alpha", "Zeta", "a.bin", "b.bin", "C.bin"}));
  // Size: largest first, then smallest first. A reversed order reverses the folders too (they end
  // the list); ".." stays on top.
  ClickColumn(1, column, inverse);
  EXPECT_EQ(column, 1);
  EXPECT_TRUE(inverse);
  EXPECT_EQ(Sorted(entries, column, inverse), (std::vector<std::string>{"..", "C.bin", "b.bin", "a.bin", "Zeta", "alpha"}));
  ClickColumn(1, column, inverse);
  EXPECT_FALSE(inverse);
  EXPECT_EQ(Sorted(entries, column, inverse), (std::vector<std::string>{"..", "Zeta", "alpha", "a.bin", "b.bin", "C.bin"}));
  // Name after that: descending first, folders last.
  ClickColumn(0, column, inverse);
  EXPECT_TRUE(inverse);
  EXPECT_EQ(Sorted(entries, column, inverse), (std::vector<std::string>{"..", "C.bin", "b.bin", "a.bin", "Zeta", "alpha"}));
  // Date by file time (newest first on the first click).
  EXPECT_EQ(Sorted(entries, 3, true), (std::vector<std::string>{"..", "b.bin", "a.bin", "C.bin", "Zeta", "alpha"}));
}

TEST(FileListModel, DatesAndSizesCompareByValueNotText) {
  // Sizes past 4 GB and times a century apart: the texts would overflow or misparse.
  TFileEntry small = File("s", 4ull << 30), big = File("b", 9ull << 32);
  EXPECT_LT(CompareEntries(small, big, 1, false), 0);
  constexpr std::uint64_t year = 10000000ull * 3600 * 24 * 365;
  TFileEntry old = File("o", 0, 60 * year), recent = File("r", 0, 160 * year);
  EXPECT_LT(CompareEntries(old, recent, 3, false), 0);
  EXPECT_GT(CompareEntries(old, recent, 3, true), 0);
  // ".." is never negated.
  EXPECT_LT(CompareEntries(Parent(), Folder("!x"), 0, true), 0);
  EXPECT_LT(CompareEntries(Parent(), Folder("!x"), 0, false), 0);
  // Text columns compare without case.
  TFileEntry x = File("x", 1), y = File("y", 1);
  x.TypeName = "bin file";
  y.TypeName = "BIN File";
  EXPECT_EQ(CompareEntries(x, y, 2, false), 0);
}

TEST(FileListModel, EveryRefusedRename) {
  for (const char* bad : {"", ".", "..", "..\\x.txt", "a/b", "c:x", "a*", "a?", "a\"b", "a<b", "a>b", "a|b", "sub\\"})
    EXPECT_FALSE(ValidRenameCaption(bad)) << bad;
  for (const char* good : {"x.txt", "New Folder(2)", "...x", "a b"}) EXPECT_TRUE(ValidRenameCaption(good)) << good;
  EXPECT_EQ(RenameTarget("C:\\t\\old.txt", "new.txt", false), "C:\\t\\new.txt");
  // The hidden extension is kept.
  EXPECT_EQ(RenameTarget("C:\\t\\fw.part.smg", "boot", true), "C:\\t\\boot.part.smg");
  EXPECT_EQ(RenameTarget("C:\\t\\README", "notes", true), "C:\\t\\notes");
}

TEST(FileListModel, NewFolderNamesCount) {
  std::set<std::string> existing;
  const auto exists = [&](const std::string& p) { return existing.count(p) != 0; };
  EXPECT_EQ(NewFolderName("C:\\t\\", exists), "C:\\t\\New Folder");
  existing = {"C:\\t\\New Folder", "C:\\t\\New Folder(1)"};
  EXPECT_EQ(NewFolderName("C:\\t\\", exists), "C:\\t\\New Folder(2)");
  // The count starts at 1 and takes the first free number, gaps included.
  existing = {"C:\\t\\New Folder"};
  EXPECT_EQ(NewFolderName("C:\\t\\", exists), "C:\\t\\New Folder(1)");
  existing = {"C:\\t\\New Folder", "C:\\t\\New Folder(2)", "C:\\t\\New Folder(3)"};
  EXPECT_EQ(NewFolderName("C:\\t\\", exists), "C:\\t\\New Folder(1)");
  existing.clear();
  for (int n = 0; n <= 11; ++n)
    existing.insert(n == 0 ? "C:\\t\\New Folder" : "C:\\t\\New Folder(" + std::to_string(n) + ")");
  EXPECT_EQ(NewFolderName("C:\\t\\", exists), "C:\\t\\New Folder(12)");
  // Numbered names alone leave the plain name free.
  existing = {"C:\\t\\New Folder(1)"};
  EXPECT_EQ(NewFolderName("C:\\t\\", exists), "C:\\t\\New Folder");
}

TEST(FileListModel, ShellListsEndInTwoZeros) {
  const std::string list = ShellPathList({"C:\\a.txt", "C:\\b"});
  EXPECT_EQ(list, std::string("C:\\a.txt\0C:\\b\0\0", 15));
  const std::string one = ShellPathList({"C:\\a"});
  ASSERT_EQ(one.size(), 6u);
  EXPECT_EQ(one.substr(4), std::string("\0\0", 2));
  EXPECT_EQ(ShellPathList({}), std::string("\0\0", 2));
}

TEST(FileListModel, ParentsViewersAndOperableEntries) {
  EXPECT_EQ(ParentFolder("C:\\a\\b\\"), "C:\\a\\");
  EXPECT_EQ(ParentFolder("C:\\a\\"), "C:\\");
  EXPECT_EQ(ParentFolder("C:\\"), "");
  EXPECT_EQ(ViewerOfExtension("C:\\x\\notes.TxT"), 1);
  EXPECT_EQ(ViewerOfExtension("a.rtf"), 2);
  EXPECT_EQ(ViewerOfExtension("a.bmp"), 3);
  EXPECT_EQ(ViewerOfExtension("a.exe"), 0);
  EXPECT_EQ(ViewerOfExtension("C:\\x.txt\\noext"), 0);
  // Programs, icons and shortcuts have icons of their own; other files share their extension's.
  EXPECT_TRUE(ShellInfoPerFile("setup.Exe"));
  EXPECT_TRUE(ShellInfoPerFile("C:\\a.b\\tool.lnk"));
  EXPECT_FALSE(ShellInfoPerFile("flash.smg"));
  EXPECT_FALSE(ShellInfoPerFile("exe"));
  TFileEntry drive;
  drive.Kind = TFileEntryKind::Drive;
  EXPECT_FALSE(OperableEntry(drive));
  EXPECT_FALSE(OperableEntry(Parent()));
  EXPECT_TRUE(OperableEntry(Folder("x")));
  EXPECT_TRUE(OperableEntry(File("x", 1)));
}

TEST(FileListModel, PasteNeverOntoOrIntoItself) {
  EXPECT_EQ(PasteTarget("C:\\a\\x.bin", "C:\\b\\"), "C:\\b\\x.bin");
  EXPECT_EQ(PasteTarget("C:\\a\\x.bin", "c:\\A\\"), "");
  EXPECT_EQ(PasteTarget("C:\\a\\Sub", "C:\\a\\sub\\"), "");
  EXPECT_EQ(PasteTarget("C:\\a\\Sub", "C:\\a\\Sub\\deep\\"), "");
  EXPECT_EQ(PasteTarget("C:\\a\\Sub", "C:\\a\\Subway\\"), "C:\\a\\Subway\\Sub");
}
