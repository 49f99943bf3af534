#include "framework/base/TClientDataSet.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/base/Exception.h"
#include "framework/base/TIntegerField.h"
#include "framework/base/TStringField.h"
#include "framework/base/TWideStringField.h"

namespace {

// The main window's code-group grid, set up as its owner does.
class TGrid : public TObject {
public:
  TGrid() {
    CDS.AddIntegerField("CG");
    CDS.AddStringField("Name", 255);
    CDS.AddStringField("Type", 20);
    CDS.AddIntegerField("A1");
    CDS.AddIntegerField("A2");
    CDS.AddIntegerField("size");
    CDS.AddStringField("A1Str", 8, TFieldKind::fkCalculated);
    CDS.AddStringField("A2Str", 8, TFieldKind::fkCalculated);
    CDS.SetAfterOpen(TDataSetNotifyEvent(this, &TGrid::AfterOpen));
    CDS.SetAfterClose(TDataSetNotifyEvent(this, &TGrid::AfterClose));
    CDS.SetAfterScroll(TDataSetNotifyEvent(this, &TGrid::AfterScroll));
    CDS.SetOnCalcFields(TDataSetNotifyEvent(this, &TGrid::CalcFields));
  }
  void AfterOpen(TClientDataSet* ds) {
    ++Opens;
    ds->AddIndex("by_cg", "cg");
    ds->AddIndex("by_a1", "a1");
    ds->SetIndexName(ByA1 ? "by_a1" : "by_cg");
  }
  void AfterClose(TClientDataSet* ds) {
    ++Closes;
    ds->SetIndexName("");
  }
  void AfterScroll(TClientDataSet*) { ++Scrolls; }
  void CalcFields(TClientDataSet* ds) {
    ++Calcs;
    ds->FieldByName("A1Str")->SetAsString(IntToHex(ds->FieldByName("A1")->AsInteger(), 8));
    ds->FieldByName("A2Str")->SetAsString(IntToHex(ds->FieldByName("A2")->AsInteger(), 8));
  }
  void Add(const std::string& cg, const std::string& type, std::int32_t a1, std::int32_t size) {
    CDS.AppendRecord({cg, "C:\\fw\\" + type + ".smg", type, a1, a1 + size - 1, size});
  }
  std::string Text(int recNo, const char* field) {
    TVariant v = CDS.RowValue(recNo, *CDS.FieldByName(field));
    return v.IsNull() ? "" : v.Type() == TVarType::varInteger ? IntToStr(v.Integer()) : v.String();
  }
  // Rows in the current order as "CG/Type/A1Str", then the current row and the index.
  std::string Dump() {
    if (!CDS.Active()) return "closed";
    std::string out;
    for (int r = 1; r <= CDS.RecordCount(); ++r)
      out += Text(r, "CG") + "/" + Text(r, "Type") + "/" + Text(r, "A1Str") + ";";
    return out + " @" + IntToStr(CDS.RecNo()) + " " + CDS.IndexName();
  }

  TClientDataSet CDS;
  bool ByA1 = false;
  int Opens = 0, Closes = 0, Scrolls = 0, Calcs = 0;
};

std::string TempName(const char* leaf) { return ::testing::TempDir() + leaf; }

}  // namespace

TEST(TClientDataSet, IndexesSortEmptyFirstAndEqualKeysInInsertionOrder) {
  TGrid g;
  g.CDS.CreateDataSet();
  EXPECT_EQ(g.Opens, 1);
  g.Add("4", "LangPack", 0x10000000, 100);
  g.Add("", "RAM Downloader", 0x03FD0000, 50);
  g.Add("0", "Memory map", 0x10800000, 10);
  g.Add("", "Boot Loader", 0x00100000, 10);
  g.Add("-3", "CG-3", -16, 1);
  EXPECT_EQ(g.Dump(),
            "/RAM Downloader/03FD0000;/Boot Loader/00100000;-3/CG-3/FFFFFFF0;0/Memory map/10800000;"
            "4/LangPack/10000000; @3 by_cg");
  g.CDS.SetIndexName("BY_A1");  // names match without regard to case; the current row stays
  EXPECT_EQ(g.Dump(),
            "-3/CG-3/FFFFFFF0;/Boot Loader/00100000;/RAM Downloader/03FD0000;4/LangPack/10000000;"
            "0/Memory map/10800000; @1 by_a1");
  g.CDS.SetIndexName("");
  EXPECT_EQ(g.CDS.RecNo(), 5);
  EXPECT_EQ(g.Text(1, "Type"), "LangPack");
  EXPECT_THROW(g.CDS.SetIndexName("by_name"), EDatabaseError);
  EXPECT_EQ(g.CDS.IndexName(), "");
}

TEST(TClientDataSet, FieldsByNameAndValueConversions) {
  TGrid g;
  EXPECT_THROW(g.CDS.AddIntegerField("cg"), EDatabaseError);  // duplicate without regard to case
  EXPECT_EQ(g.CDS.FieldByName("type"), g.CDS.FieldByName("Type"));
  EXPECT_EQ(g.CDS.FieldByName("SIZE")->FieldName(), "size");
  try {
    g.CDS.FieldByName("Adress");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Adress' not found");
  }
  EXPECT_EQ(g.CDS.FindField("nope"), nullptr);
  g.CDS.CreateDataSet();
  EXPECT_THROW(g.CDS.AddIntegerField("late"), EDatabaseError);
  g.Add(" ", "RAM Downloader", 1, 1);  // a blank text into an integer leaves it empty
  TField* cg = g.CDS.FieldByName("CG");
  EXPECT_TRUE(cg->IsNull());
  EXPECT_EQ(cg->AsInteger(), 0);
  EXPECT_EQ(cg->AsString(), "");
  EXPECT_THROW(g.CDS.AppendRecord({"x1"}), EConvertError);
  EXPECT_THROW(g.CDS.AppendRecord({1, "a", "b", 1, 2, 3, 4}), EDatabaseError);  // more values than fields
  EXPECT_EQ(g.CDS.RecordCount(), 1);
  EXPECT_EQ(g.CDS.State(), TDataSetState::dsBrowse);
  g.CDS.AppendRecord({7});  // missing values stay empty
  EXPECT_TRUE(g.CDS.FieldByName("Name")->IsNull());
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "00000000");
  EXPECT_THROW(cg->SetAsInteger(3), EDatabaseError);  // not editing
  EXPECT_THROW(g.CDS.FieldByName("A1Str")->SetAsString("x"), EDatabaseError);  // only in OnCalcFields
  // Values of another table's fields carry over.
  TClientDataSet flasher;
  flasher.AddIntegerField("CG");
  flasher.AddStringField("Name", 255);
  flasher.CreateDataSet();
  g.CDS.First();
  flasher.AppendRecord({g.CDS.FieldByName("CG")->Value(), g.CDS.FieldByName("Name")->Value()});
  EXPECT_TRUE(flasher.FieldByName("cg")->IsNull());
  EXPECT_EQ(flasher.FieldByName("name")->AsString(), "C:\\fw\\RAM Downloader.smg");
}

TEST(TClientDataSet, TextsLongerThanTheirFieldAreCutWithoutSplittingPairs) {
  TClientDataSet t;
  TStringField* s = t.AddStringField("S", 4);
  TWideStringField* w = t.AddWideStringField("W", 3);
  TIntegerField* i = t.AddIntegerField("I");
  t.CreateDataSet();
  t.AppendRecord({"abcdef", u"ab\U0001F600", 5});
  EXPECT_EQ(s->AsString(), "abcd");
  EXPECT_EQ(w->AsWideString(), u"ab");  // the pair would not fit whole
  t.Edit();
  w->SetAsWideString(u"a\U0001F600x");
  s->SetAsInteger(123456);
  i->SetAsString("$10");
  t.Post();
  EXPECT_EQ(w->AsWideString(), u"a\U0001F600");
  EXPECT_EQ(s->AsString(), "1234");
  EXPECT_EQ(i->AsInteger(), 16);
  t.Edit();
  s->SetAsString("");
  t.Post();
  EXPECT_TRUE(s->IsNull());
}

TEST(TClientDataSet, NavigationEndsAndPositions) {
  TGrid g;
  g.CDS.CreateDataSet();
  EXPECT_TRUE(g.CDS.IsEmpty());
  EXPECT_TRUE(g.CDS.Bof() && g.CDS.Eof());
  EXPECT_EQ(g.CDS.RecNo(), 0);
  g.CDS.Next();
  EXPECT_TRUE(g.CDS.Eof());
  EXPECT_THROW(g.CDS.Edit(), EDatabaseError);
  EXPECT_THROW(g.CDS.Delete(), EDatabaseError);
  for (int cg = 1; cg <= 5; ++cg) g.Add(IntToStr(cg), "CG" + IntToStr(cg), cg * 16, 16);
  int seen = 0;
  for (g.CDS.First(); !g.CDS.Eof() && seen < 10; g.CDS.Next()) ++seen;
  EXPECT_EQ(seen, 5);
  EXPECT_EQ(g.CDS.RecNo(), 5);
  g.CDS.Prior();
  EXPECT_FALSE(g.CDS.Eof());
  EXPECT_EQ(g.CDS.MoveBy(-10), -3);
  EXPECT_TRUE(g.CDS.Bof());
  EXPECT_EQ(g.CDS.MoveBy(2), 2);
  EXPECT_FALSE(g.CDS.Bof());
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "00000030");
  g.CDS.SetRecNo(5);
  EXPECT_EQ(g.CDS.FieldByName("CG")->AsInteger(), 5);
  g.CDS.SetRecNo(9);  // out of range: stays
  EXPECT_EQ(g.CDS.RecNo(), 5);
  g.CDS.Last();
  EXPECT_TRUE(g.CDS.Eof());
  g.CDS.Close();
  EXPECT_THROW(g.CDS.First(), EDatabaseError);
  EXPECT_EQ(g.CDS.RecordCount(), 0);  // closing discards the rows
  EXPECT_EQ(g.CDS.IndexName(), "");
  EXPECT_EQ(g.Closes, 1);
}

TEST(TClientDataSet, LocateIsExactAndMovesOnlyWhenFound) {
  TGrid g;
  g.CDS.CreateDataSet();
  g.Add("", "RAM Downloader", 0x03FD0000, 10);
  g.Add("4", "LangPack", 0x10000000, 10);
  g.Add("15", "DRM (graphics)", 0x12000000, 10);
  g.CDS.First();
  int scrolls = g.Scrolls;
  EXPECT_TRUE(g.CDS.Locate("cg", 15));
  EXPECT_EQ(g.CDS.FieldByName("Type")->AsString(), "DRM (graphics)");
  EXPECT_EQ(g.Scrolls, scrolls + 1);
  EXPECT_TRUE(g.CDS.Locate("CG", "4"));  // converted to the field's type
  EXPECT_FALSE(g.CDS.Locate("Type", "langpack"));  // case counts
  EXPECT_FALSE(g.CDS.Locate("Type", "LangPac"));   // whole value
  g.Add("5", "ABCDEFGHIJKLMNOPQRST", 0, 1);         // Type is 20 characters wide
  EXPECT_FALSE(g.CDS.Locate("Type", "ABCDEFGHIJKLMNOPQRSTU"));  // longer: no prefix match
  EXPECT_TRUE(g.CDS.Locate("Type", u"ABCDEFGHIJKLMNOPQRST"));
  EXPECT_FALSE(g.CDS.Locate("CG", "four"));
  EXPECT_EQ(g.CDS.FieldByName("CG")->AsInteger(), 5);
  EXPECT_TRUE(g.CDS.Locate("Type", "RAM Downloader"));
  EXPECT_TRUE(g.CDS.FieldByName("CG")->IsNull());
  EXPECT_TRUE(g.CDS.Locate("A1Str", "12000000"));  // a calculated field
  EXPECT_EQ(g.CDS.FieldByName("CG")->AsInteger(), 15);
  EXPECT_THROW(g.CDS.Locate("Nope", 1), EDatabaseError);
}

TEST(TClientDataSet, BookmarksFollowTheirRowAcrossIndexChangesAndDeletes) {
  TGrid g;
  g.CDS.CreateDataSet();
  g.Add("2", "Flex", 0x30, 1);
  g.Add("1", "Flash", 0x20, 1);
  g.Add("3", "DSP", 0x10, 1);
  ASSERT_TRUE(g.CDS.Locate("Type", "Flash"));
  TBookmark flash = g.CDS.GetBookmark();
  ASSERT_TRUE(g.CDS.Locate("Type", "DSP"));
  TBookmark dsp = g.CDS.GetBookmark();
  g.CDS.SetIndexName("by_a1");
  g.CDS.GotoBookmark(flash);
  EXPECT_EQ(g.CDS.RecNo(), 2);
  g.CDS.SetIndexName("");
  EXPECT_EQ(g.CDS.RecNo(), 2);
  g.CDS.GotoBookmark(dsp);
  g.CDS.Delete();
  EXPECT_FALSE(g.CDS.BookmarkValid(dsp));
  EXPECT_THROW(g.CDS.GotoBookmark(dsp), EDatabaseError);
  EXPECT_TRUE(g.CDS.BookmarkValid(flash));
  g.CDS.FreeBookmark(flash);
  EXPECT_TRUE(flash.IsNull());
  EXPECT_FALSE(g.CDS.BookmarkValid(flash));
}

TEST(TClientDataSet, EditPostCancelDeleteKeepOrderAndCurrentRow) {
  TGrid g;
  g.CDS.CreateDataSet();
  g.Add("1", "Flash", 0x100, 0x10);
  g.Add("4", "LangPack", 0x200, 0x10);
  g.Add("15", "DRM (graphics)", 0x300, 0x10);
  ASSERT_TRUE(g.CDS.Locate("CG", 4));
  g.CDS.Edit();
  g.CDS.FieldByName("CG")->SetAsInteger(20);
  g.CDS.FieldByName("A1")->SetAsInteger(0x1234);
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "00001234");  // recalculated while editing
  EXPECT_EQ(g.Text(2, "A1Str"), "00001234");                      // and shown so for its row
  g.CDS.Cancel();
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "00000200");
  g.CDS.Edit();
  g.CDS.FieldByName("CG")->SetAsInteger(20);
  g.CDS.Post();
  EXPECT_EQ(g.Dump(), "1/Flash/00000100;15/DRM (graphics)/00000300;20/LangPack/00000200; @3 by_cg");
  g.CDS.Edit();
  g.CDS.FieldByName("A1")->SetAsInteger(0x50);
  g.CDS.First();  // moving posts the pending edit
  EXPECT_EQ(g.CDS.State(), TDataSetState::dsBrowse);
  EXPECT_TRUE(g.CDS.Locate("A1", 0x50));
  g.CDS.Append();
  EXPECT_EQ(g.CDS.State(), TDataSetState::dsInsert);
  g.CDS.Delete();  // deleting an unposted row cancels it
  EXPECT_EQ(g.CDS.RecordCount(), 3);
  g.CDS.Last();
  g.CDS.Delete();  // the last row: the new last row becomes current
  EXPECT_EQ(g.CDS.RecNo(), 2);
  EXPECT_FALSE(g.CDS.Eof());
  g.CDS.First();
  g.CDS.Delete();
  EXPECT_EQ(g.CDS.FieldByName("CG")->AsInteger(), 15);
  g.CDS.Delete();
  EXPECT_TRUE(g.CDS.IsEmpty() && g.CDS.Bof() && g.CDS.Eof());
}

TEST(TClientDataSet, UniquePrimaryIndexRefusesDuplicateKeys) {
  TClientDataSet remarks;
  TIntegerField* id = remarks.AddIntegerField("ImgID");
  remarks.AddStringField("Remark", 80);
  remarks.AddIndex("By_ID", "ImgID", TIndexOptions::ixPrimary | TIndexOptions::ixUnique);
  remarks.SetIndexName("By_ID");
  remarks.CreateDataSet();
  remarks.AppendRecord({2, "second"});
  remarks.AppendRecord({1, "first"});
  try {
    remarks.AppendRecord({2, "again"});
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("Key violation"), std::string::npos);
  }
  EXPECT_EQ(remarks.RecordCount(), 2);
  EXPECT_EQ(remarks.State(), TDataSetState::dsBrowse);
  remarks.First();
  EXPECT_EQ(id->AsInteger(), 1);
  remarks.Edit();
  id->SetAsInteger(2);
  EXPECT_THROW(remarks.Post(), EDatabaseError);
  EXPECT_EQ(remarks.State(), TDataSetState::dsEdit);  // the edit stays pending to be corrected
  id->SetAsInteger(1);
  remarks.Post();  // its own key is no violation
  remarks.AppendRecord({TVariant(), "no id"});
  EXPECT_THROW(remarks.AppendRecord({"", "no id either"}), EDatabaseError);  // empty is a key too
  TClientDataSet dup;
  dup.AddIntegerField("K");
  dup.CreateDataSet();
  dup.AppendRecord({1});
  dup.AppendRecord({1});
  EXPECT_THROW(dup.AddIndex("u", "K", TIndexOptions::ixUnique), EDatabaseError);
  EXPECT_THROW(dup.SetIndexName("u"), EDatabaseError);
}

TEST(TClientDataSet, EventsAndControlNotifications) {
  TGrid g;
  std::vector<TDataEvent> events;
  auto handler = TDataEventHandler::FromFunctor([&](TClientDataSet*, TDataEvent e) { events.push_back(e); });
  g.CDS.AddDataEventHandler(handler);
  g.CDS.AddDataEventHandler(handler);  // once only
  g.CDS.CreateDataSet();
  EXPECT_EQ(g.Scrolls, 1);
  events.clear();
  g.Add("1", "Flash", 1, 1);
  EXPECT_EQ(g.Scrolls, 2);  // the appended row became current
  EXPECT_NE(std::count(events.begin(), events.end(), TDataEvent::deDataSetChange), 0);
  events.clear();
  g.CDS.DisableControls();
  g.CDS.DisableControls();
  g.Add("2", "Flex", 2, 1);
  g.CDS.First();
  g.CDS.EnableControls();
  EXPECT_TRUE(events.empty());
  g.CDS.EnableControls();
  EXPECT_EQ(events, std::vector<TDataEvent>{TDataEvent::deDataSetChange});
  EXPECT_EQ(g.Scrolls, 4);  // AfterScroll is an event, not a control notification
  g.CDS.Edit();
  g.CDS.FieldByName("size")->SetAsInteger(9);
  events.clear();
  g.CDS.Refresh();  // posts the edit, then asks for a full redraw
  EXPECT_EQ(events.back(), TDataEvent::deDataSetChange);
  EXPECT_EQ(g.CDS.State(), TDataSetState::dsBrowse);
  g.CDS.RemoveDataEventHandler(handler);
  events.clear();
  g.CDS.Next();
  EXPECT_TRUE(events.empty());

  // A field's OnChange keeps a copy field in step, as the strings table does.
  TClientDataSet strings;
  strings.AddIntegerField("ID");
  TWideStringField* text = strings.AddWideStringField("Text", 200);
  TStringField* copy = strings.AddStringField("textstr", 200);
  text->SetOnChange(TFieldNotifyEvent::FromFunctor([&](TField* f) { copy->SetAsString(f->AsString()); }));
  strings.CreateDataSet();
  strings.AppendRecord({1, u"caf\u00E9 \u4E2D"});
  EXPECT_EQ(copy->AsString(), "caf\xE9 ?");
}

TEST(TClientDataSet, RowValueReadsOtherRowsWithoutScrolling) {
  TGrid g;
  g.CDS.CreateDataSet();
  g.Add("1", "Flash", 0x100, 1);
  g.Add("2", "Flex", 0x200, 1);
  g.CDS.First();
  int scrolls = g.Scrolls;
  EXPECT_EQ(g.CDS.RowValue(2, *g.CDS.FieldByName("A1Str")).String(), "00000200");
  EXPECT_EQ(g.CDS.RowValue(2, *g.CDS.FieldByName("Type")).String(), "Flex");
  EXPECT_EQ(g.CDS.RecNo(), 1);
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "00000100");
  EXPECT_EQ(g.Scrolls, scrolls);
  EXPECT_THROW(g.CDS.RowValue(3, *g.CDS.FieldByName("CG")), EDatabaseError);
  // A handler that tries to move the table while calculating is refused, not looped.
  g.CDS.SetOnCalcFields(TDataSetNotifyEvent::FromFunctor([](TClientDataSet* ds) { ds->Next(); }));
  g.CDS.Last();  // values are calculated when first read
  EXPECT_THROW(g.CDS.FieldByName("A1Str")->AsString(), EDatabaseError);
  EXPECT_EQ(g.CDS.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(g.CDS.RecNo(), 2);
}

TEST(TClientDataSet, SingleGroupCombineRestoresTheGridExactly) {
  std::string tmp = TempName("tvx_Tarvex.tmp");
  TGrid g;
  g.CDS.CreateDataSet();
  g.Add("4", "LangPack", 0x10000000, 100);
  g.Add("", "RAM Downloader", 0x03FD0000, 50);
  g.Add("15", "DRM (graphics)", 0x12000000, 10);
  ASSERT_TRUE(g.CDS.Locate("CG", 15));
  std::string before = g.Dump();
  g.CDS.SaveToFile(tmp);
  TBookmark current = g.CDS.GetBookmark();
  std::string index = g.CDS.IndexName();
  g.CDS.SetIndexName("");
  g.CDS.First();
  for (int guard = 0; g.CDS.RecordCount() >= 2 && guard < 10; ++guard) {
    if (g.CDS.FieldByName("Type")->AsString() != "RAM Downloader") g.CDS.Delete();
    else g.CDS.Next();
  }
  EXPECT_EQ(g.CDS.RecordCount(), 1);
  g.Add("2", "Flex", 0x10100000, 4);
  g.CDS.LoadFromFile(tmp);
  g.CDS.SetIndexName(index);
  g.CDS.GotoBookmark(current);
  g.CDS.FreeBookmark(current);
  EXPECT_EQ(g.Dump(), before);
  std::remove(tmp.c_str());
}
