#include "framework/base/TStringList.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "framework/base/Exception.h"
#include "framework/base/TStream.h"
#include "tests/framework/base/WriteFault.h"

TEST(TStringList, UnsortedListEditsAndBounds) {
  TStringList list;
  list.Add("b");
  list.Add("a");
  list.Insert(0, "c");
  EXPECT_EQ(list.Text(), "c\r\nb\r\na\r\n");
  EXPECT_EQ(list.IndexOf("B"), 1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("B"), -1);
  list.Delete(1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.Strings(2), EStringListError);
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Insert(3, "x"), EStringListError);
  TObject o;
  list.SetObjects(1, &o);
  EXPECT_EQ(list.IndexOfObject(&o), 1);
}

TEST(TStringList, SortedListDuplicatesRule) {
  TStringList list;
  list.SetSorted(true);
  list.Add("pear");
  list.Add("Apple");
  EXPECT_EQ(list.Add("apple"), 0);  // ignored: equal without regard to case
  EXPECT_EQ(list.Count(), 2);
  list.SetDuplicates(TDuplicates::dupAccept);
  TObject first, second;
  list.AddObject("fig", &first);
  list.AddObject("FIG", &second);
  EXPECT_EQ(list.Objects(1), &first);  // equal items keep the order they came in
  EXPECT_EQ(list.Objects(2), &second);
  list.SetDuplicates(TDuplicates::dupError);
  EXPECT_THROW(list.Add("PEAR"), EStringListError);
  EXPECT_THROW(list.Insert(0, "z"), EStringListError);
  int index;
  EXPECT_FALSE(list.Find("grape", index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(list.IndexOf("fig"), 1);
}

TEST(TStringList, TextSplitsEveryLineBreakKind) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd\r\n\r\ne");
  ASSERT_EQ(list.Count(), 6);
  EXPECT_EQ(list[4], "");
  EXPECT_EQ(list[5], "e");
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  list.SetText("\n");
  EXPECT_EQ(list.Count(), 1);
}

TEST(TStringList, CommaTextQuotesWhatNeedsIt) {
  TStringList list;
  list.Add("plain");
  list.Add("with blank");
  list.Add("say \"hi\"");
  list.Add("a,b");
  EXPECT_EQ(list.CommaText(), "plain,\"with blank\",\"say \"\"hi\"\"\",\"a,b\"");
  TStringList back;
  back.SetCommaText(list.CommaText());
  EXPECT_EQ(back.Text(), list.Text());
  back.SetCommaText(" x , y z,");
  ASSERT_EQ(back.Count(), 4);
  EXPECT_EQ(back[1], "y");
  EXPECT_EQ(back[2], "z");
  EXPECT_EQ(back[3], "");
  back.SetCommaText("\"unterminated");
  EXPECT_EQ(back[0], "unterminated");
}

TEST(TStringList, NamesAndValues) {
  TStringList list;
  list.Add("Key=1");
  list.Add("noequals");
  list.Add("x==y");
  EXPECT_EQ(list.Values("key"), "1");
  EXPECT_EQ(list.Values("x"), "=y");
  EXPECT_EQ(list.Names(1), "");
  list.SetValues("new", "v");
  list.SetValues("KEY", "2");
  EXPECT_EQ(list[0], "KEY=2");
  list.SetValues("key", "");
  EXPECT_EQ(list.IndexOfName("key"), -1);
  EXPECT_EQ(list.Count(), 3);
}

TEST(TStringList, ChangeEventsAndFiles) {
  TStringList list;
  int changes = 0;
  list.SetOnChange(TNotifyEvent::FromFunctor([&](TObject*) { ++changes; }));
  list.BeginUpdate();
  list.Add("1");
  list.Add("2");
  EXPECT_EQ(changes, 0);
  list.EndUpdate();
  EXPECT_EQ(changes, 1);
  std::string name = ::testing::TempDir() + "tvx_list.txt";
  list.SaveToFile(name);
  TStringList back;
  back.LoadFromFile(name);
  EXPECT_EQ(back.Text(), "1\r\n2\r\n");
  std::remove(name.c_str());
  EXPECT_THROW(back.LoadFromFile(name), EFOpenError);
}

// A list or a memory stream saved over a file on a full disk leaves the old file as it was.
TEST(TStringList, SavesOnAFullDiskKeepTheOldFile) {
  const std::string name = ::testing::TempDir() + "tvx_list_full.txt";
  TStringList old;
  old.Add("kept");
  old.SaveToFile(name);
  const std::string before = diskfile::Bytes(name);

  TStringList list;
  for (int i = 0; i < 1000; ++i) list.Add("line " + std::to_string(i));
  {
    TWriteFaultScope full(TWriteFault::DiskFull, 100);
    EXPECT_THROW(list.SaveToFile(name), EInOutError);
  }
  TMemoryStream memory;
  memory.WriteBuffer("0123456789", 10);
  {
    TWriteFaultScope full(TWriteFault::DiskFull, 5);
    EXPECT_THROW(memory.SaveToFile(name), EInOutError);
  }
  EXPECT_EQ(diskfile::Bytes(name), before);
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(name).empty());
  std::remove(name.c_str());
}
