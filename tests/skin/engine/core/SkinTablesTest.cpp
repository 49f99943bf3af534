#include "skin/engine/core/SkinTables.h"

#include <gtest/gtest.h>

#include "skin/engine/core/TsSkinData.h"

namespace {

TsSectionData Section(const std::string& name, const std::string& parent = "") {
  TsSectionData s;
  s.SectionName = name;
  s.ParentClass = parent;
  return s;
}

TsMaskData Mask(const std::string& section, const std::string& name) {
  TsMaskData m;
  m.SectionName = section;
  m.MaskName = name;
  return m;
}

class SkinTablesTest : public ::testing::Test {
protected:
  void TearDown() override {
    InstallSkinTables({});
    SkinData().Active = false;
  }
};

TEST_F(SkinTablesTest, SectionsAreFoundIgnoringCaseFirstRecordWins) {
  TsSkinTables t;
  t.Sections = {Section("Button"), Section("EDIT"), Section("BUTTON")};
  InstallSkinTables(std::move(t));
  EXPECT_EQ(FindSectionIndex("BUTTON"), 0);
  EXPECT_EQ(FindSectionIndex("edit"), 1);
  EXPECT_EQ(FindSectionIndex("PANEL"), -1);
  InstallSkinTables({});
  EXPECT_EQ(FindSectionIndex("BUTTON"), -1);
}

TEST_F(SkinTablesTest, MasksAndPatternsAreInheritedAlongTheParentChain) {
  TsSkinTables t;
  t.Sections = {Section("BUTTON"), Section("SPEEDBUTTON", "button"), Section("TOOLBUTTON", "SpeedButton")};
  t.Masks = {Mask("BUTTON", "BORDERSMASK"), Mask("TOOLBUTTON", "GLYPHMASK")};
  t.Patterns = {{nullptr, "BUTTON", "PATTERN"}};
  InstallSkinTables(std::move(t));
  EXPECT_EQ(FindMaskIndex(2, "ToolButton", "BORDERSMASK"), 0);
  EXPECT_EQ(FindMaskIndex(2, "TOOLBUTTON", "GLYPHMASK"), 1);
  EXPECT_EQ(FindMaskIndex(1, "SPEEDBUTTON", "GLYPHMASK"), -1);   // a child's mask is not the parent's
  EXPECT_EQ(FindMaskIndex(2, "TOOLBUTTON", "bordersmask"), -1);  // mask names are exact
  EXPECT_EQ(FindMaskIndex(-1, "BUTTON", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskIndex(7, "BUTTON", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskIndex(0, "", "BORDERSMASK"), -1);

  EXPECT_EQ(FindPatternIndex(2, "TOOLBUTTON", "PATTERN"), -1);  // patterns only while a skin is active
  SkinData().Active = true;
  EXPECT_EQ(FindPatternIndex(2, "TOOLBUTTON", "PATTERN"), 0);
}

TEST_F(SkinTablesTest, ParentCyclesAndSelfParentsEndTheSearch) {
  TsSkinTables t;
  t.Sections = {Section("A", "B"), Section("B", "A"), Section("C", "C"), Section("D", "MISSING")};
  t.Masks = {Mask("X", "BORDERSMASK")};
  InstallSkinTables(std::move(t));
  EXPECT_EQ(FindMaskIndex(0, "A", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskIndex(2, "C", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskIndex(3, "D", "BORDERSMASK"), -1);
}

TEST_F(SkinTablesTest, FrameSizeOfCutsAndOwnBitmaps) {
  TsSkinTables t;
  t.Sections = {Section("BUTTON")};
  TsMaskData cut = Mask("BUTTON", "BORDERSMASK");
  cut.R = {10, 20, 100, 80};
  cut.ImageCount = 3;
  cut.MaskType = 1;
  TsMaskData own = Mask("BUTTON", "GLYPHMASK");
  own.Bmp = std::make_shared<TsPixmap>(31, 21);
  t.Masks = {cut, own};
  InstallSkinTables(std::move(t));
  EXPECT_EQ(MaskFrameSize(0).Width, 30);
  EXPECT_EQ(MaskFrameSize(0).Height, 30);
  EXPECT_EQ(MaskFrameSize(1).Width, 10);
  EXPECT_EQ(MaskFrameSize(1).Height, 10);
  EXPECT_EQ(MaskFrameSize(2).Width, 0);
  EXPECT_TRUE(MaskIndexValid(1));
  EXPECT_FALSE(MaskIndexValid(2));
}

}  // namespace

#include "skin/engine/core/SkinKinds.h"

namespace {

TEST(SkinKinds, DefaultSectionsAndKindSets) {
  auto kind = [](std::int32_t number) { return static_cast<TsControlKind>(number); };
  EXPECT_EQ(DefaultSectionOfKind(TsControlKind::Button), "BUTTON");
  EXPECT_EQ(DefaultSectionOfKind(TsControlKind::Memo), "EDIT");
  EXPECT_EQ(DefaultSectionOfKind(kind(82)), "COMBOBOX");
  EXPECT_EQ(DefaultSectionOfKind(kind(226)), "GROUPBOX");
  EXPECT_EQ(DefaultSectionOfKind(TsControlKind::MaskEdit), "");  // named by its class
  EXPECT_TRUE(IsNoHoverKind(TsControlKind::Panel));
  EXPECT_TRUE(IsNoHoverKind(TsControlKind::Gauge));
  EXPECT_FALSE(IsNoHoverKind(TsControlKind::Button));
  EXPECT_FALSE(IsNoHoverKind(kind(300)));
  EXPECT_TRUE(IsNoHotTransparencyKind(kind(226)));
  EXPECT_FALSE(IsNoHotTransparencyKind(kind(53)));
}

// A named kind carries the number its section and its sets belong to.
TEST(SkinKinds, NamedKindsMeetTheirSections) {
  const std::pair<TsControlKind, const char*> sections[] = {{TsControlKind::Edit, "EDIT"},
                                                            {TsControlKind::ListView, "EDIT"},
                                                            {TsControlKind::CurrencyEdit, "EDIT"},
                                                            {TsControlKind::GridItem, "EDIT"},
                                                            {TsControlKind::Bar, "BAR"},
                                                            {TsControlKind::BarTitle, "BARTITLE"},
                                                            {TsControlKind::CheckBox, "CHECKBOX"},
                                                            {TsControlKind::RadioButton, "RADIOBUTTON"},
                                                            {TsControlKind::Panel, "PANEL"},
                                                            {TsControlKind::PanelLow, "PANEL_LOW"},
                                                            {TsControlKind::ToolBar, "TOOLBAR"},
                                                            {TsControlKind::DragBar, "DRAGBAR"},
                                                            {TsControlKind::TabSheet, "TABSHEET"},
                                                            {TsControlKind::GroupBox, "GROUPBOX"},
                                                            {TsControlKind::Splitter, "SPLITTER"},
                                                            {TsControlKind::SpeedButton, "SPEEDBUTTON"},
                                                            {TsControlKind::BitBtn, "BUTTON"},
                                                            {TsControlKind::ToolButton, "TOOLBUTTON"},
                                                            {TsControlKind::PageControl, "PAGECONTROL"},
                                                            {TsControlKind::TabControl, "TABCONTROL"},
                                                            {TsControlKind::StatusBar, "STATUSBAR"},
                                                            {TsControlKind::TrackBar, "TRACKBAR"}};
  for (const auto& [k, section] : sections) EXPECT_EQ(DefaultSectionOfKind(k), section) << int(k);
  for (TsControlKind k : {TsControlKind::ListControl, TsControlKind::FileDirEdit, TsControlKind::FilenameEdit,
                          TsControlKind::ComboEdit, TsControlKind::ScrollBar, TsControlKind::SkinProvider})
    EXPECT_EQ(DefaultSectionOfKind(k), "") << int(k);
  EXPECT_TRUE(IsNoHoverKind(TsControlKind::ScrollBar));
  EXPECT_TRUE(IsNoHotTransparencyKind(TsControlKind::TabSheet));
  EXPECT_FALSE(IsNoHotTransparencyKind(TsControlKind::ScrollBar));
}

}  // namespace

namespace {

TEST_F(SkinTablesTest, LookupsFollowEveryNewTable) {
  TsSkinTables a;
  a.Sections = {Section("ONE"), Section("TWO")};
  InstallSkinTables(std::move(a));
  EXPECT_EQ(FindSectionIndex("TWO"), 1);
  TsSkinTables b;
  b.Sections = {Section("THREE"), Section("FOUR")};  // same size, other names
  InstallSkinTables(std::move(b));
  EXPECT_EQ(FindSectionIndex("TWO"), -1);
  EXPECT_EQ(FindSectionIndex("four"), 1);
  SkinSectionData.push_back(Section("FIVE"));  // filled by hand
  EXPECT_EQ(FindSectionIndex("FIVE"), 2);
  SkinSectionData[0].SectionName = "RENAMED";  // changed in place
  EXPECT_EQ(FindSectionIndex("RENAMED"), 0);
  EXPECT_EQ(FindSectionIndex("THREE"), -1);
}

}  // namespace
