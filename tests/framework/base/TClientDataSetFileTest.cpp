#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "framework/base/Exception.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/base/TStream.h"
#include "tests/framework/base/WriteFault.h"

namespace {

// The language-pack editor's strings table.
void DefineStrings(TClientDataSet& t) {
  t.AddIntegerField("ID");
  t.AddWideStringField("Text", 200);
  t.AddStringField("IDStr", 4, TFieldKind::fkCalculated);
  t.AddStringField("textstr", 200);
  t.SetOnCalcFields(TDataSetNotifyEvent::FromFunctor(
      [](TClientDataSet* ds) { ds->FieldByName("IDStr")->SetAsString(IntToHex(ds->FieldByName("ID")->AsInteger(), 4)); }));
}

std::string AllAnsiBytes() {
  std::string s;
  for (int b = 1; b < 256; ++b) s += static_cast<char>(b);
  return s;
}

const std::vector<WideString>& HardTexts() {
  static const std::vector<WideString> texts = {
      u"\u4E2D\u6587\u6587\u672C",               // CJK
      u"\U0001F600 pair \U00020000",             // surrogate pairs
      u"  leading and trailing  ",               // blanks
      u"tab\tnew\nline\rcr\r\n",                 // line breaks survive XML attribute rules
      u"&amp; <tag> \"quoted\" 'apos' ]]>",      // markup characters
      WideString(u"nul\0inside", 10),            // a NUL code unit
      WideString(1, char16_t(0xD800)) + u"x" + WideString(1, char16_t(0xDC01)),  // unpaired halves
      u"\uFFFE\uFFFF\u00A0\u2028",
  };
  return texts;
}

void Fill(TClientDataSet& t) {
  int id = 1;
  for (const WideString& text : HardTexts()) t.AppendRecord({id++, text, "copy " + IntToStr(id)});
  t.AppendRecord({INT32_MIN, TVariant(), AllAnsiBytes().substr(0, 200)});
  t.AppendRecord({0, TVariant(), AllAnsiBytes().substr(200)});
  t.AppendRecord({TVariant(), u"empty id", TVariant()});
  t.AppendRecord({INT32_MAX});
}

// Every row with every field, the current row and state: equal dumps, equal tables.
std::string Dump(TClientDataSet& t) {
  if (!t.Active()) return "closed";
  std::string out = IntToStr(t.FieldCount()) + " fields;";
  for (int f = 0; f < t.FieldCount(); ++f) out += t.Fields(f)->FieldName() + ",";
  for (int r = 1; r <= t.RecordCount(); ++r) {
    out += "\n";
    for (int f = 0; f < t.FieldCount(); ++f) {
      TVariant v = t.RowValue(r, *t.Fields(f));
      switch (v.Type()) {
        case TVarType::varNull:
          out += "~";
          break;
        case TVarType::varInteger:
          out += "i" + IntToStr(v.Integer());
          break;
        case TVarType::varString:
          out += "s" + v.String();
          break;
        case TVarType::varWideString:
          for (char16_t u : v.Wide()) out += "w" + IntToHex(static_cast<std::int32_t>(u), 4);
          break;
      }
      out += "|";
    }
  }
  return out + "\n@" + IntToStr(t.RecNo()) + " " + t.IndexName();
}

std::string Saved(TClientDataSet& t, TDataPacketFormat format) {
  TMemoryStream m;
  t.SaveToStream(m, format);
  return std::string(reinterpret_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
}

void LoadBytes(TClientDataSet& t, const std::string& bytes) {
  TMemoryStream m;
  m.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  m.SetPosition(0);
  t.LoadFromStream(m);
}

class TSavedForms : public ::testing::TestWithParam<TDataPacketFormat> {};

}  // namespace

TEST_P(TSavedForms, RoundTripKeepsEveryTextRowIdentityAndDefinition) {
  TClientDataSet source;
  DefineStrings(source);
  source.CreateDataSet();
  Fill(source);
  source.First();
  source.Next();
  TBookmark second = source.GetBookmark();
  std::string bytes = Saved(source, GetParam());

  TClientDataSet same;  // fields defined in code: the file must fit them
  DefineStrings(same);
  LoadBytes(same, bytes);
  source.First();
  EXPECT_EQ(Dump(same), Dump(source));
  same.GotoBookmark(second);  // rows keep their identity
  EXPECT_EQ(same.FieldByName("Text")->AsWideString(), HardTexts()[1]);
  EXPECT_EQ(same.FieldByName("IDStr")->AsString(), "0002");

  TClientDataSet fresh;  // no fields: they come from the file, the calculated one included
  LoadBytes(fresh, bytes);
  ASSERT_EQ(fresh.FieldCount(), 4);
  EXPECT_TRUE(fresh.FieldByName("idstr")->Calculated());
  EXPECT_EQ(fresh.FieldByName("Text")->Size(), 200);
  EXPECT_EQ(fresh.FieldByName("Text")->DataType(), TFieldType::ftWideString);
  fresh.Last();
  EXPECT_EQ(fresh.FieldByName("ID")->AsInteger(), INT32_MAX);
  ASSERT_TRUE(fresh.Locate("ID", INT32_MIN));
  EXPECT_EQ(fresh.FieldByName("textstr")->AsString(), AllAnsiBytes().substr(0, 200));
  // New rows continue after the loaded identities.
  fresh.AppendRecord({99});
  EXPECT_TRUE(fresh.BookmarkValid(fresh.GetBookmark()));
  EXPECT_EQ(Saved(same, GetParam()), bytes);  // saving what was loaded gives the same bytes
}

TEST_P(TSavedForms, EveryTruncationFailsAndLeavesTheTableAsItWas) {
  TClientDataSet source;
  DefineStrings(source);
  source.CreateDataSet();
  Fill(source);
  std::string bytes = Saved(source, GetParam());

  TClientDataSet target;
  DefineStrings(target);
  target.CreateDataSet();
  target.AppendRecord({7, u"keep me"});
  target.AddIndex("by_text", "Text");
  target.SetIndexName("by_text");
  std::string before = Dump(target);
  int opens = 0;
  target.SetAfterOpen(TDataSetNotifyEvent::FromFunctor([&](TClientDataSet*) { ++opens; }));
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    // Cutting only the final line break of the XML form loses nothing.
    if (GetParam() == TDataPacketFormat::dfXML && n + 2 >= bytes.size()) continue;
    EXPECT_THROW(LoadBytes(target, bytes.substr(0, n)), EDatabaseError) << "length " << n;
  }
  EXPECT_EQ(Dump(target), before);
  EXPECT_EQ(opens, 0);
}

TEST_P(TSavedForms, RandomCorruptionFailsOrChangesNothing) {
  TClientDataSet source;
  DefineStrings(source);
  source.CreateDataSet();
  Fill(source);
  std::string bytes = Saved(source, GetParam());
  source.First();
  std::string original = Dump(source);

  TClientDataSet target;
  DefineStrings(target);
  target.CreateDataSet();
  target.AppendRecord({7, u"keep me"});
  std::string before = Dump(target);
  std::mt19937 random(1234);
  int refused = 0;
  for (int trial = 0; trial < 600; ++trial) {
    std::string bad = bytes;
    int flips = 1 + static_cast<int>(random() % 4);
    for (int k = 0; k < flips; ++k) bad[random() % bad.size()] = static_cast<char>(random() % 256);
    if (bad == bytes) continue;
    try {
      LoadBytes(target, bad);
    } catch (const EDatabaseError&) {
      ++refused;
      EXPECT_EQ(Dump(target), before);
      continue;
    }
    // Accepted only when the damage hit nothing that matters (blanks outside the data).
    target.First();
    EXPECT_EQ(Dump(target), original) << "trial " << trial;
    target.CreateDataSet();
    target.AppendRecord({7, u"keep me"});
  }
  EXPECT_GT(refused, 500);
}

INSTANTIATE_TEST_SUITE_P(BothForms, TSavedForms,
                         ::testing::Values(TDataPacketFormat::dfBinary, TDataPacketFormat::dfXML),
                         [](const auto& info) { return info.param == TDataPacketFormat::dfXML ? "XML" : "Binary"; });

TEST(TClientDataSetFile, RefusesOtherKindsNewerVersionsAndMismatchedFields) {
  TClientDataSet source;
  DefineStrings(source);
  source.CreateDataSet();
  source.AppendRecord({1, u"x"});
  std::string binary = Saved(source, TDataPacketFormat::dfBinary);
  std::string xml = Saved(source, TDataPacketFormat::dfXML);

  TClientDataSet target;
  DefineStrings(target);
  target.CreateDataSet();
  target.AppendRecord({5, u"mine"});
  std::string before = Dump(target);
  auto message = [&](const std::string& bytes) {
    try {
      LoadBytes(target, bytes);
    } catch (const EDatabaseError& e) {
      return e.Message();
    }
    return std::string("loaded");
  };
  std::string newer = binary;
  newer[8] = 2;  // version word
  EXPECT_NE(message(newer).find("newer version"), std::string::npos);
  std::string newerXml = xml;
  newerXml.replace(newerXml.find("version=\"1\" crc"), 11, "version=\"2\"");
  EXPECT_NE(message(newerXml).find("newer version"), std::string::npos);
  EXPECT_NE(message("").find("not a table file"), std::string::npos);
  EXPECT_NE(message("\x89PNG\r\n\x1A\n").find("not a table file"), std::string::npos);
  EXPECT_NE(message("<html><body/></html>").find("not a table file"), std::string::npos);
  EXPECT_EQ(Dump(target), before);

  TClientDataSet other;  // a table of other fields: the viewer list
  other.AddStringField("Program", 128);
  other.AddStringField("Parameters", 20);
  other.CreateDataSet();
  other.AppendRecord({"C:\\viewer.exe", "-x"});
  EXPECT_NE(message(Saved(other, TDataPacketFormat::dfBinary)).find("not in the table"), std::string::npos);
  TClientDataSet narrower;  // same names, another type
  narrower.AddIntegerField("ID");
  narrower.AddStringField("Text", 200);
  narrower.AddStringField("textstr", 200);
  narrower.CreateDataSet();
  EXPECT_NE(message(Saved(narrower, TDataPacketFormat::dfXML)).find("another type"), std::string::npos);
  TClientDataSet fewer;
  fewer.AddIntegerField("ID");
  fewer.CreateDataSet();
  EXPECT_NE(message(Saved(fewer, TDataPacketFormat::dfBinary)).find("lacks"), std::string::npos);
  EXPECT_EQ(Dump(target), before);

  // A table whose fields came from a file takes the next file's fields instead.
  TClientDataSet loose;
  LoadBytes(loose, binary);
  LoadBytes(loose, Saved(other, TDataPacketFormat::dfXML));
  EXPECT_EQ(loose.FieldCount(), 2);
  EXPECT_EQ(loose.FieldByName("parameters")->AsString(), "-x");
}

TEST(TClientDataSetFile, LoadedRowsMustKeepUniqueIndexes) {
  TClientDataSet source;
  source.AddIntegerField("ImgID");
  source.AddStringField("Remark", 80);
  source.CreateDataSet();
  source.AppendRecord({3, "a"});
  source.AppendRecord({3, "b"});
  TClientDataSet remarks;
  remarks.AddIntegerField("ImgID");
  remarks.AddStringField("Remark", 80);
  remarks.AddIndex("By_ID", "ImgID", TIndexOptions::ixPrimary);
  remarks.SetIndexName("By_ID");
  remarks.CreateDataSet();
  remarks.AppendRecord({1, "one"});
  std::string before = Dump(remarks);
  EXPECT_THROW(LoadBytes(remarks, Saved(source, TDataPacketFormat::dfBinary)), EDatabaseError);
  EXPECT_EQ(Dump(remarks), before);
}

TEST(TClientDataSetFile, FilesByNameAndTheKeptFileName) {
  std::string name = ::testing::TempDir() + "tvx_Tarvex.cds";
  std::remove(name.c_str());
  TClientDataSet viewers;
  viewers.AddStringField("Program", 128);
  viewers.AddStringField("Parameters", 20);
  viewers.SetFileName(name);
  viewers.SetLogChanges(false);
  viewers.Open();  // no file yet: open and empty
  EXPECT_TRUE(viewers.Active());
  viewers.AppendRecord({"C:\\hex.exe", TVariant()});
  viewers.SaveToFile();
  viewers.Close();
  EXPECT_TRUE(viewers.IsEmpty());
  viewers.Open();  // reads the file back
  EXPECT_EQ(viewers.FieldByName("Program")->AsString(), "C:\\hex.exe");
  viewers.AppendRecord({"C:\\view.exe", "-x"});
  viewers.SaveToFile(name, TDataPacketFormat::dfXML);  // over the existing file
  viewers.LoadFromFile();
  EXPECT_EQ(viewers.RecordCount(), 2);
  std::ifstream probe(name + ".tmp~");
  EXPECT_FALSE(probe.good());  // no temporary left behind
  TClientDataSet nameless;
  nameless.AddIntegerField("x");
  nameless.CreateDataSet();
  EXPECT_THROW(nameless.SaveToFile(), EDatabaseError);
  EXPECT_THROW(nameless.LoadFromFile(), EDatabaseError);
  try {
    nameless.LoadFromFile(name + ".missing");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find(name + ".missing"), std::string::npos);
  }
  EXPECT_THROW(nameless.SaveToFile(::testing::TempDir() + "no/such/dir/t.cds"), EStreamError);
  std::remove(name.c_str());
}

// A table saved over its file on a full disk, or by a run killed half way, leaves the old file.
TEST(TClientDataSetFile, AFailedSaveKeepsTheOldFile) {
  const std::string name = ::testing::TempDir() + "tvx_keep.cds";
  TClientDataSet t;
  DefineStrings(t);
  t.CreateDataSet();
  t.AppendRecord({1, u"first"});
  t.SaveToFile(name);
  const std::string old = diskfile::Bytes(name);
  for (int i = 2; i < 200; ++i) t.AppendRecord({i, u"more"});
  for (TDataPacketFormat format : {TDataPacketFormat::dfBinary, TDataPacketFormat::dfXML}) {
    for (TWriteFault fault : {TWriteFault::DiskFull, TWriteFault::Kill}) {
      TWriteFaultScope scope(fault, static_cast<std::int64_t>(old.size()));
      EXPECT_THROW(t.SaveToFile(name, format), EInOutError);
      EXPECT_EQ(diskfile::Bytes(name), old);
    }
  }
  t.SaveToFile(name);
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(name).empty());
  TClientDataSet back;
  back.LoadFromFile(name);
  EXPECT_EQ(back.RecordCount(), 199);
  std::remove(name.c_str());
}
