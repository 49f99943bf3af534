#include "workbench/core/TCodeGroupTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "TRecordingHost.h"
#include "framework/base/Exception.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "tests/support/TTempFolder.h"

namespace {

struct TGrid {
  TClientDataSet CDS;
  TCodeGroupTable Table{CDS};
  std::vector<std::string> Warnings;
  TGrid() {
    Table.OnWarning = [this](const std::string& text) { Warnings.push_back(text); };
  }
  std::vector<std::string> Types() {
    std::vector<std::string> types;
    const TBookmark here = CDS.GetBookmark();
    for (CDS.First(); !CDS.Eof(); CDS.Next()) types.push_back(CDS.FieldByName("Type")->AsString());
    if (!here.IsNull()) CDS.GotoBookmark(here);
    return types;
  }
  void Fill() {
    Table.AddCGRecord(4, 100, "/fw/a{@0x11200000}CG4.smg", 0x11200000, 0x11200063);
    Table.AddCGRecord(-2, 6001, "/fw/a{@0x03FD0000}RAMDLD.smg", 0x03FD0000, 0x03FD1770);
    Table.AddCGRecord(15, 10, "/fw/a{@0x12000000}CG15.smg", 0x12000000, 0x12000009);
    Table.AddCGRecord(0, 20, "/fw/a{@0x10000000}CG0.smg", 0x10000000, 0x10000013);
  }
};

}  // namespace

TEST(CodeGroupTable, OrdersByCodeGroupWithEmptyFirstOrByAddress) {
  TGrid g;
  g.Fill();
  EXPECT_EQ(g.CDS.IndexName(), "by_cg");
  EXPECT_EQ(g.Types(),
            (std::vector<std::string>{"RAM Downloader", "Memory map", "LangPack", "DRM (graphics)"}));
  g.CDS.First();
  EXPECT_TRUE(g.CDS.FieldByName("CG")->IsNull());
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "03FD0000");
  EXPECT_EQ(g.CDS.FieldByName("A2Str")->AsString(), "03FD1770");
  g.Table.SetOrder(1);
  EXPECT_EQ(g.Types(),
            (std::vector<std::string>{"RAM Downloader", "Memory map", "LangPack", "DRM (graphics)"}));
  g.Table.AddCGRecord(-1, 5, "/fw/boot.smg", 0x00100000, 0x00100004);
  EXPECT_EQ(g.Types().front(), "Boot Loader");
  // Closing forgets the index; the next open adds both again under the chosen order.
  g.CDS.Close();
  EXPECT_EQ(g.CDS.IndexName(), "");
  g.Table.Reset();
  EXPECT_EQ(g.CDS.IndexName(), "by_a1");
  EXPECT_TRUE(g.CDS.IsEmpty());
}

TEST(CodeGroupTable, OneRowPerTypeAndNoCutPaths) {
  TGrid g;
  EXPECT_TRUE(g.Table.AddCGRecord(5, 1, "/a{@0x00000000}CG5.smg", 0, 0));
  EXPECT_FALSE(g.Table.AddCGRecord(5, 1, "/b{@0x00000000}CG5.smg", 0, 0));
  EXPECT_EQ(g.Warnings, std::vector<std::string>{"\"CG5\" already exists!"});
  EXPECT_EQ(g.CDS.RecordCount(), 1);
  EXPECT_THROW(g.Table.AddCGRecord(6, 1, "/" + std::string(255, 'x'), 0, 0), Exception);
  EXPECT_EQ(g.CDS.RecordCount(), 1);
  // Addresses above 2 GB keep their bits; sizes beyond the field show its largest value.
  EXPECT_TRUE(g.Table.AddCGRecord(19, int64_t{5} << 31, "/big.smg", 0xA0000000u, 0xFFFFFFFFu));
  const TCodeGroupRow row = g.Table.CurrentRow();
  EXPECT_EQ(row.CG, 19);
  EXPECT_EQ(row.Type, "CG19");
  EXPECT_EQ(row.A1, 0xA0000000u);
  EXPECT_EQ(row.A2, 0xFFFFFFFFu);
  EXPECT_EQ(row.Size, 0x7FFFFFFF);
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "A0000000");
}

// The grid hears of an added row once, as a change of the whole table that leaves the new row
// current; a refused one leaves the current row, and the warning comes after the grid heard.
TEST(CodeGroupTable, TheGridHearsOfEachAddedRowOnce) {
  TGrid g;
  g.Fill();
  struct TEvents {
    std::vector<TDataEvent> Seen;
    void Note(TClientDataSet*, TDataEvent event) { Seen.push_back(event); }
  } events;
  g.CDS.AddDataEventHandler(TDataEventHandler(&events, &TEvents::Note));
  EXPECT_TRUE(g.Table.AddCGRecord(5, 1, "/fw/a{@0x00000000}CG5.smg", 0, 0));
  EXPECT_EQ(events.Seen, std::vector<TDataEvent>{TDataEvent::deDataSetChange});
  EXPECT_EQ(g.Table.CurrentRow().Type, "CG5");
  g.CDS.First();
  const std::string first = g.Table.CurrentRow().Type;
  events.Seen.clear();
  std::vector<TDataEvent> heardBeforeWarning;
  g.Table.OnWarning = [&](const std::string&) { heardBeforeWarning = events.Seen; };
  EXPECT_FALSE(g.Table.AddCGRecord(5, 1, "/fw/b{@0x00000000}CG5.smg", 0, 0));
  EXPECT_EQ(heardBeforeWarning, std::vector<TDataEvent>{TDataEvent::deDataSetChange});
  EXPECT_EQ(g.Table.CurrentRow().Type, first);
  g.CDS.RemoveDataEventHandler(TDataEventHandler(&events, &TEvents::Note));
}

TEST(CodeGroupTable, RowsByCodeGroupKeepTheGridsOrderAndRow) {
  TGrid g;
  g.Table.SetOrder(1);
  g.Fill();
  g.CDS.Locate("Type", TVariant("LangPack"));
  const std::vector<TCodeGroupRow> rows = g.Table.RowsByCG();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_FALSE(rows[0].CG.has_value());
  EXPECT_EQ(rows[0].Type, "RAM Downloader");
  EXPECT_EQ(rows[1].CG, 0);
  EXPECT_EQ(rows[3].CG, 15);
  EXPECT_EQ(g.CDS.IndexName(), "by_a1");
  EXPECT_EQ(g.Table.CurrentRow().Type, "LangPack");
}

TEST(CodeGroupTable, SingleGroupCombineSeesLoaderAndImageAndRestoresTheGrid) {
  TTempFolder dir("tarvex-cgtable-single");
  TGrid g;
  g.Table.SetOrder(1);
  g.Fill();
  g.Table.AddCGRecord(-2, 1, "/second-loader.smg", 0, 0);  // refused: one row per type
  g.CDS.Locate("Type", TVariant("DRM (graphics)"));
  const std::vector<std::string> before = g.Types();

  std::vector<TCodeGroupRow> seen;
  std::string initial;
  g.Table.CombineSingleCG(
      4, "/edit/lang{@0x11200000}CG4.smg", 0x11200000, 0x300,
      [&](const std::string& name) {
        initial = name;
        seen = g.Table.RowsByCG();
      },
      dir / "Tarvex.tmp");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].Type, "RAM Downloader");
  EXPECT_EQ(seen[1].Name, "/edit/lang{@0x11200000}CG4.smg");
  EXPECT_EQ(seen[1].A2, 0x112002FFu);
  EXPECT_EQ(initial, "/edit/lang{@0x11200000}CG4.shx");
  EXPECT_EQ(g.Types(), before);
  EXPECT_EQ(g.CDS.IndexName(), "by_a1");
  EXPECT_EQ(g.Table.CurrentRow().Type, "DRM (graphics)");

  // A combine that raises still gets the grid back.
  EXPECT_THROW(
      g.Table.CombineSingleCG(
          2, "/edit/flex.smg", 0, 1, [](const std::string&) { throw Exception("disk"); }, dir / "Tarvex.tmp"),
      Exception);
  EXPECT_EQ(g.Types(), before);
  EXPECT_EQ(g.Table.CurrentRow().Type, "DRM (graphics)");
}

TEST(CodeGroupTable, SingleGroupCombineOnAClosedGridLeavesJustTheImage) {
  TTempFolder dir("tarvex-cgtable-closed");
  TGrid g;
  int calls = 0;
  g.Table.CombineSingleCG(
      15, "/edit/drm.smg", 0x12000000, 10, [&](const std::string&) { ++calls; }, dir / "t.tmp");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(g.Types(), std::vector<std::string>{"DRM (graphics)"});
}

namespace {

std::string WriteImage(const TTempFolder& folder, const std::string& name, size_t size) {
  const std::string path = folder / name;
  std::ofstream(path, std::ios::binary) << std::string(size, '\x5A');
  return path;
}

}  // namespace

TEST(CodeGroupTable, AddTakesTheDialogsImageOrSaysWhyNot) {
  using R = TCodeGroupTable::TAddOutcome;
  TTempFolder folder("cgadd");
  const std::string image = WriteImage(folder, "x.smg", 0x40);
  TGrid g;
  g.Table.Reset();
  // A missing file or an empty address: nothing, and nothing said.
  EXPECT_EQ(g.Table.AddImage(folder / "none.smg", "4", "10000000"), R::Ignored);
  EXPECT_EQ(g.Table.AddImage("", "4", "10000000"), R::Ignored);
  EXPECT_EQ(g.Table.AddImage(image, "4", ""), R::Ignored);
  // Input the grid cannot hold.
  EXPECT_EQ(g.Table.AddImage(image, "21", "10000000"), R::Invalid);
  EXPECT_EQ(g.Table.AddImage(image, "4", "FFFFFFF0"), R::Invalid);
  EXPECT_EQ(g.Table.AddImage(image, "4", "12G"), R::Invalid);
  EXPECT_TRUE(g.CDS.IsEmpty());
  // An empty code group is the RAM downloader; the row ends at the image's last byte.
  EXPECT_EQ(g.Table.AddImage(image, "", "3fd0000"), R::Added);
  EXPECT_EQ(g.Table.CurrentRow().Type, "RAM Downloader");
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "03FD0000");
  EXPECT_EQ(g.CDS.FieldByName("A2Str")->AsString(), "03FD003F");
  EXPECT_EQ(g.Table.AddImage(image, "4", "11200000"), R::Added);
  EXPECT_EQ(g.Table.CurrentRow().Size, 0x40);
  // A second row of a type is refused with a warning.
  EXPECT_EQ(g.Table.AddImage(image, "4", "11300000"), R::Refused);
  EXPECT_EQ(g.Warnings, (std::vector<std::string>{"\"LangPack\" already exists!"}));
  EXPECT_EQ(g.Types().size(), 2u);
}

TEST(CodeGroupTable, EveryRowButTheRamDownloadersMayBeDeleted) {
  TGrid g;
  EXPECT_FALSE(g.Table.CanDeleteCurrent()) << "a closed grid";
  g.Table.Reset();
  EXPECT_FALSE(g.Table.CanDeleteCurrent()) << "an empty grid";
  g.Fill();
  for (g.CDS.First(); !g.CDS.Eof(); g.CDS.Next())
    EXPECT_EQ(g.Table.CanDeleteCurrent(), g.CDS.FieldByName("Type")->AsString() != "RAM Downloader")
        << g.CDS.FieldByName("Type")->AsString();
}

TEST(CodeGroupTable, ReplaceKeepsTheStartAndFollowsTheNewFileOrLeavesTheRow) {
  TTempFolder folder("cgreplace");
  TGrid g;
  g.Fill();
  g.CDS.First();
  g.CDS.Next();  // "Memory map", 20 bytes at 10000000
  const TCodeGroupRow before = g.Table.CurrentRow();
  // Refused: the row is left as it was, and the text says why.
  const std::string missing = folder / "gone.smg";
  EXPECT_EQ(g.Table.ReplaceCurrentImage(missing),
            "The file \"" + missing + "\" was not found; the row is left as it was.");
  const std::string longName = "/" + std::string(TCodeGroupTable::kMaxNameLength, 'n');
  EXPECT_NE(g.Table.ReplaceCurrentImage(longName).find("is longer than 255 characters"), std::string::npos);
  EXPECT_EQ(g.Table.CurrentRow().Name, before.Name);
  EXPECT_EQ(g.Table.CurrentRow().Size, before.Size);

  const std::string image = WriteImage(folder, "new.smg", 0x100);
  EXPECT_EQ(g.Table.ReplaceCurrentImage(image), "");
  const TCodeGroupRow after = g.Table.CurrentRow();
  EXPECT_EQ(after.Name, image);
  EXPECT_EQ(after.Type, before.Type);
  EXPECT_EQ(after.Size, 0x100);
  EXPECT_EQ(g.CDS.FieldByName("A1Str")->AsString(), "10000000");
  EXPECT_EQ(g.CDS.FieldByName("A2Str")->AsString(), "100000FF");
  EXPECT_EQ(g.Types().size(), 4u);
}
