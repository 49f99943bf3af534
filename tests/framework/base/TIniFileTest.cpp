#include "framework/base/TIniFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "framework/base/Exception.h"
#include "framework/base/TStringList.h"
#include "tests/framework/base/WriteFault.h"

namespace {

std::string TempName(const char* leaf) { return ::testing::TempDir() + leaf; }

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(TIniFile, MissingFileGivesDefaultsAndIsCreatedOnUpdate) {
  std::string name = TempName("tvx_env.ini");
  std::remove(name.c_str());
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadString("Environment", "Language", "English"), "English");
  EXPECT_TRUE(ini.ReadBool("Environment", "Skined", true));
  EXPECT_FALSE(ini.SectionExists("Environment"));
  ini.WriteString("Environment", "Language", "English");
  ini.WriteBool("Environment", "Skined", true);
  ini.WriteString("Environment", "SkinName", "Desert");
  ini.WriteBool("Environment", "ShowHints", false);
  ini.UpdateFile();
  EXPECT_EQ(ReadFile(name), "[Environment]\r\nLanguage=English\r\nSkined=1\r\nSkinName=Desert\r\nShowHints=0\r\n");
  TIniFile back(name);
  EXPECT_FALSE(back.ReadBool("environment", "SHOWHINTS", true));
  std::remove(name.c_str());
}

TEST(TIniFile, OddLinesAreSkippedButKept) {
  std::string name = TempName("tvx_odd.ini");
  std::string text =
      "orphan=1\n"
      "[Project]\r\n"
      "; a comment=with equals\r\n"
      "  Name = C:\\fw\\a.shx  \r\n"
      "=no key\r\n"
      "garbage line\r\n"
      "[Options\r\n"
      "Quoted=\"  spaced  \"\r\n"
      "name=second\r\n"
      "[ options ]\n"
      "IO Buffer Size=$80\n"
      "Order=abc\n"
      "Separate memory map=-1\n"
      "[Options]\n"
      "Order=5\n"
      "\x01\xFF\x80=\x00z";
  WriteFile(name, text);
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadString("project", "name", ""), "C:\\fw\\a.shx");  // first of equal keys wins
  EXPECT_EQ(ini.ReadString("Project", "Quoted", ""), "  spaced  ");
  EXPECT_FALSE(ini.ValueExists("", "orphan"));
  EXPECT_EQ(ini.ReadInteger("Options", "IO Buffer Size", 128), 128);  // the first [Options] is empty
  EXPECT_EQ(ini.ReadInteger("OPTIONS", "Order", 0), 0);
  EXPECT_TRUE(ini.ReadBool("Options", "Separate memory map", false));
  TStringList sections;
  ini.ReadSections(sections);
  EXPECT_EQ(sections.CommaText(), "Project,options");

  ini.WriteString("Project", "Name", "D:\\b.shx");
  ini.UpdateFile();
  std::string written = ReadFile(name);
  EXPECT_NE(written.find("; a comment=with equals\r\n"), std::string::npos);
  EXPECT_NE(written.find("garbage line\r\n"), std::string::npos);
  EXPECT_NE(written.find("orphan=1\r\n"), std::string::npos);
  EXPECT_NE(written.find("Name=D:\\b.shx\r\n"), std::string::npos);
  TIniFile back(name);
  EXPECT_EQ(back.ReadString("Project", "name", ""), "D:\\b.shx");
  EXPECT_EQ(back.ReadString("Project", "Quoted", ""), "  spaced  ");
  std::remove(name.c_str());
}

TEST(TIniFile, EraseDeleteAndSectionLists) {
  TIniFile ini(TempName("tvx_never_written.ini"));
  ini.WriteInteger("A", "x", -7);
  ini.WriteString("A", "y", "1");
  ini.WriteString("B", "z", "2");
  EXPECT_EQ(ini.ReadInteger("a", "X", 0), -7);
  TStringList keys;
  ini.ReadSection("A", keys);
  EXPECT_EQ(keys.CommaText(), "x,y");
  ini.ReadSectionValues("A", keys);
  EXPECT_EQ(keys.CommaText(), "x=-7,y=1");
  ini.DeleteKey("A", "X");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  ini.EraseSection("a");
  EXPECT_FALSE(ini.SectionExists("A"));
  EXPECT_EQ(ini.Text(), "[B]\r\nz=2\r\n");
  // A line break in a value must not split the line and invent keys.
  ini.WriteString("B", "z", "1\r\nevil=1");
  EXPECT_FALSE(ini.ValueExists("B", "evil"));
  EXPECT_THROW(ini.WriteString("B", "a=b", "1"), Exception);
}

// A line break in a new or changed value, or in a section name, is kept out of the saved file's lines.
TEST(TIniFile, LineBreaksInValuesMakeNoKeysInTheSavedFile) {
  std::string name = TempName("tvx_breaks.ini");
  WriteFile(name, "[A]\r\nold=0\r\n");
  {
    TIniFile ini(name);
    ini.WriteString("A", "old", "1\nevil=1");
    ini.WriteString("A", "new", "1\revil=1");
    ini.WriteString("B\r\n[C]", "x", "2\r\nevil=2");
    ini.UpdateFile();
  }
  std::string written = ReadFile(name);
  EXPECT_EQ(written.find("\nevil"), std::string::npos) << written;
  EXPECT_EQ(written.find("\revil"), std::string::npos) << written;
  TIniFile back(name);
  TStringList sections;
  back.ReadSections(sections);
  EXPECT_EQ(sections.Count(), 2) << sections.CommaText();
  for (const char* section : {"A", "B", "C"}) EXPECT_FALSE(back.ValueExists(section, "evil")) << section;
  TStringList keys;
  back.ReadSection("A", keys);
  EXPECT_EQ(keys.CommaText(), "old,new");
  std::remove(name.c_str());
}

// Repeated names in any case: the first wins, whatever was changed since the file was read.
TEST(TIniFile, TheFirstOfEqualNamesWinsThroughEveryChange) {
  const std::string name = TempName("tvx_repeats.ini");
  WriteFile(name, "[A]\r\nk=1\r\nK=2\r\n; note\r\n[b]\r\nx=3\r\n[a]\r\nk=4\r\nz=5\r\n[B]\r\nx=6\r\n[C]\r\n\r\n");
  TIniFile ini(name);
  std::remove(name.c_str());
  TStringList list;
  ini.ReadSections(list);
  EXPECT_EQ(list.CommaText(), "A,b,C");
  ini.ReadSection(" a ", list);
  EXPECT_EQ(list.CommaText(), "k");
  EXPECT_EQ(ini.ReadString("a", "K", ""), "1");
  EXPECT_FALSE(ini.ValueExists("A", "z"));  // only in the second [a]
  ini.DeleteKey("A", "k");
  EXPECT_EQ(ini.ReadString("A", "k", ""), "2");
  ini.ReadSectionValues("A", list);
  EXPECT_EQ(list.CommaText(), "K=2");
  ini.EraseSection("A");  // both of them
  EXPECT_FALSE(ini.SectionExists("a"));
  EXPECT_EQ(ini.ReadString("B", "x", ""), "3");
  ini.WriteString("C", "new", "7");
  ini.WriteString("c", "NEW", "8");
  ini.WriteString("D", "d", "9");
  ini.ReadSections(list);
  EXPECT_EQ(list.CommaText(), "b,C,D");
  EXPECT_EQ(ini.ReadString("C", "New", ""), "8");
  EXPECT_EQ(ini.ReadString("d", "D", ""), "9");
  EXPECT_EQ(ini.Text(), "[b]\r\nx=3\r\n[B]\r\nx=6\r\n[C]\r\nnew=8\r\n\r\n[D]\r\nd=9\r\n");
}

// The same in a section of many lines, which is looked up through its index.
TEST(TIniFile, ALongSectionKeepsItsKeysThroughEveryChange) {
  const std::string name = TempName("tvx_long.ini");
  std::string text = "[S]\r\n";
  for (int i = 0; i < 40; ++i) text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  WriteFile(name, text + "K5=repeat\r\n; note\r\n\r\n");
  TIniFile ini(name);
  std::remove(name.c_str());
  EXPECT_EQ(ini.ReadString("s", " K39 ", ""), "39");
  TStringList list;
  ini.ReadSection("S", list);
  EXPECT_EQ(list.Count(), 40);
  ini.DeleteKey("S", "k5");
  EXPECT_EQ(ini.ReadString("S", "k5", ""), "repeat");
  ini.WriteString("S", "New", "n");
  EXPECT_EQ(ini.ReadString("S", "NEW", ""), "n");
  EXPECT_EQ(ini.ReadString("S", "k39", ""), "39");
  for (int i = 0; i < 40; ++i) ini.DeleteKey("S", "k" + std::to_string(i));  // down to a short section
  ini.ReadSectionValues("S", list);
  EXPECT_EQ(list.CommaText(), "New=n");
  ini.WriteString("S", "k1", "again");
  EXPECT_EQ(ini.ReadString("S", "K1", ""), "again");
}

TEST(TIniFile, UpdateFileReportsAnUnwritableFile) {
  TIniFile ini(TempName("no/such/folder/x.ini"));
  ini.WriteString("S", "k", "v");
  EXPECT_THROW(ini.UpdateFile(), EFCreateError);
}

// The settings file is rewritten whole on every update: a full disk or a kill in mid-write must
// leave the old one.
TEST(TIniFile, AFailedUpdateKeepsTheOldFile) {
  const std::string name = TempName("tvx_keep.ini");
  const std::string old = "; hand-written\r\n[Environment]\r\nLanguage=English\r\nSkinName=Desert\r\n";
  WriteFile(name, old);
  TIniFile ini(name);
  ini.WriteString("Environment", "SkinName", "Snow");
  for (TWriteFault fault : {TWriteFault::DiskFull, TWriteFault::Kill}) {
    TWriteFaultScope scope(fault, 20);
    try {
      ini.UpdateFile();
      ADD_FAILURE();
    } catch (const EInOutError& e) {
      if (fault == TWriteFault::DiskFull) {
        EXPECT_EQ(e.Message(), "Cannot write file \"" + name + "\". " + std::strerror(ENOSPC));
      }
    }
    EXPECT_EQ(ReadFile(name), old);
  }
  EXPECT_EQ(TAtomicFileStream::TemporariesOf(name).size(), 1u);  // what the kill left behind
  ini.UpdateFile();
  EXPECT_EQ(TIniFile(name).ReadString("Environment", "SkinName", ""), "Snow");
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(name).empty());
  std::remove(name.c_str());
}
