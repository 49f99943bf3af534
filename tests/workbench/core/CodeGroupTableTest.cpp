#include "workbench/core/TCodeGroupTable.h"

#include <gtest/gtest.h>

#include "TRecordingHost.h"
#include "framework/base/Exception.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"

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
