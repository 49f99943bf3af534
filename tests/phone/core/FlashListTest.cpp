#include "phone/core/TFlashList.h"

#include <gtest/gtest.h>

#include <fstream>

#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "tests/support/TTempFolder.h"

namespace {

struct TList {
  TClientDataSet CDS;
  TFlashList List{CDS};
  std::string Text(const char* field) { return CDS.FieldByName(field)->AsString(); }
};

std::string WriteImage(const TTempFolder& folder, const std::string& name, const std::string& bytes) {
  const std::string path = folder / name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

}  // namespace

TEST(FlashList, RowsKeepTheListsOrderAndMarkWhatIsNotKnown) {
  TList l;
  EXPECT_TRUE(l.List.Rows().empty()) << "a closed list";
  l.List.AppendRow(15, "/fw/d.smg", "DRM (graphics)", 0x11600000, 200);
  l.List.AppendRow(std::nullopt, "/fw/r.smg", "RAM Downloader", -1, 10);
  EXPECT_EQ(l.Text("A1Str"), "FFFFFFFF");
  l.CDS.Edit();
  l.CDS.FieldByName("A1")->Clear();
  l.CDS.FieldByName("size")->Clear();
  l.CDS.Post();
  EXPECT_EQ(l.Text("A1Str"), "");
  const std::vector<TFlashRow> rows = l.List.Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].CG, 15);
  EXPECT_EQ(rows[0].Name, "/fw/d.smg");
  EXPECT_EQ(rows[0].A1, 0x11600000u);
  EXPECT_EQ(rows[0].Size, 200);
  EXPECT_FALSE(rows[1].CG.has_value());
  EXPECT_EQ(rows[1].A1, 0xFFFFFFFFu);
  EXPECT_EQ(rows[1].Size, -1);
  // Delete takes the current row only; Reset empties the list and leaves it open.
  l.CDS.First();
  EXPECT_TRUE(l.List.DeleteCurrent());
  ASSERT_EQ(l.List.Rows().size(), 1u);
  EXPECT_EQ(l.List.Rows()[0].Name, "/fw/r.smg");
  l.List.Reset();
  EXPECT_TRUE(l.CDS.Active());
  EXPECT_FALSE(l.List.DeleteCurrent());
  EXPECT_TRUE(l.List.Rows().empty());
}

// The table may outlive the list: it keeps no handler that points at the freed list.
TEST(FlashList, ATableThatOutlivesItsListKeepsNoHandlerOfIt) {
  TClientDataSet cds;
  {
    TFlashList list(cds);
    list.AppendRow(4, "/fw/a.smg", "LangPack", 0x10001200, 600);
    EXPECT_EQ(cds.FieldByName("A1Str")->AsString(), "10001200");
  }
  EXPECT_FALSE(cds.OnCalcFields());
  cds.Edit();
  cds.FieldByName("A1")->SetAsInteger(0x20);
  cds.Post();
  EXPECT_EQ(cds.FieldByName("A1Str")->AsString(), "");
}

TEST(FlashList, AnImageFileIsAddedWhateverItsNameSays) {
  TTempFolder folder("flashlist");
  TList l;
  l.List.Reset();
  // A langpack's name gives the group; its first word the address, without the low byte.
  const std::string lang = WriteImage(folder, "fw_CG4.smg", std::string("\x10\xC0\x00\x7F", 4) + std::string(60, 'x'));
  // A name without a number: no group, no address, the file's own size.
  const std::string plain = WriteImage(folder, "image.bin", std::string(33, 'y'));
  l.List.AddImageFile(lang);
  EXPECT_EQ(l.Text("Type"), "LangPack");
  EXPECT_EQ(l.Text("A1Str"), "10C00000");
  l.List.AddImageFile(plain);
  const std::vector<TFlashRow> rows = l.List.Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].CG, 4);
  EXPECT_EQ(rows[0].Size, 64);
  EXPECT_EQ(rows[1].CG, -1);
  EXPECT_EQ(rows[1].A1, 0xFFFFFFFFu);
  EXPECT_EQ(rows[1].Size, 33);
}
