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

// The painters read each section's images from its record: a new skin brings its own indexes,
// never the old skin's, and freeing the masks or patterns forgets them.
TEST_F(SkinTablesTest, SectionImagesFollowEveryNewTable) {
  TsSkinTables a;
  a.Sections = {Section("BUTTON"), Section("EDIT")};
  a.Masks = {Mask("BUTTON", "BORDERSMASK"), Mask("BUTTON", "PATTERN"), Mask("EDIT", "HOTPATTERN")};
  InstallSkinTables(std::move(a));
  EXPECT_EQ(SectionImagesOf(0).BordersMask, 0);
  EXPECT_EQ(SectionImagesOf(0).PatternMask, 1);
  EXPECT_EQ(SectionImagesOf(0).HotPatternMask, -1);
  EXPECT_EQ(SectionImagesOf(1).HotPatternMask, 2);

  TsSkinTables b;
  b.Sections = {Section("EDIT"), Section("BUTTON", "EDIT"), Section("TOOL", "button")};
  b.Masks = {Mask("EDIT", "BORDERSMASK"), Mask("BUTTON", "HOTPATTERN"), Mask("EDIT", "PATTERN"),
             Mask("BUTTON", "BORDERSMASK")};
  b.Patterns = {{nullptr, "EDIT", "HOTPATTERN"}, {nullptr, "TOOL", "PATTERN"}};
  InstallSkinTables(std::move(b));
  const TsSectionImages button = SectionImagesOf(1);
  EXPECT_EQ(button.BordersMask, 3);  // its own before its parent's
  EXPECT_EQ(button.HotPatternMask, 1);
  EXPECT_EQ(button.PatternMask, 2);  // from its parent
  for (std::int32_t i = 0; i < 3; ++i) {
    const std::string& name = ActiveSkin().SkinSectionData[static_cast<std::size_t>(i)].SectionName;
    const TsSectionImages images = SectionImagesOf(i);
    EXPECT_EQ(images.PatternMask, FindMaskIndex(i, name, "PATTERN")) << name;
    EXPECT_EQ(images.HotPatternMask, FindMaskIndex(i, name, "HOTPATTERN")) << name;
    EXPECT_EQ(images.BordersMask, FindMaskIndex(i, name, "BORDERSMASK")) << name;
  }
  EXPECT_EQ(SectionImagesOf(2).Pattern, -1);  // JPEG patterns only while a skin is active
  SkinData().Active = true;
  EXPECT_EQ(SectionImagesOf(2).Pattern, 1);
  EXPECT_EQ(SectionImagesOf(2).HotPattern, 0);  // through BUTTON from EDIT
  EXPECT_EQ(SectionImagesOf(1).Pattern, -1);

  ActiveSkin().FreeMasks();
  EXPECT_EQ(SectionImagesOf(1).BordersMask, -1);
  EXPECT_EQ(SectionImagesOf(2).PatternMask, -1);
  ActiveSkin().FreePatterns();
  EXPECT_EQ(SectionImagesOf(2).Pattern, -1);
  EXPECT_EQ(SectionImagesOf(7).BordersMask, -1);
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

// The sets and sections by wire number, for every number: a name with a wrong number, or one
// missing from a set, shows here.
TEST(SkinKinds, EveryNumberInItsSetsAndSection) {
  auto inList = [](int n, std::initializer_list<int> list) {
    for (int v : list)
      if (v == n) return true;
    return false;
  };
  for (int n = 0; n <= 300; ++n) {
    SCOPED_TRACE(n);
    const auto k = static_cast<TsControlKind>(n);
    EXPECT_EQ(IsNoHoverKind(k), (n >= 51 && n <= 74) || n == 110 || (n >= 141 && n <= 161));
    EXPECT_EQ(IsNoHotTransparencyKind(k),
              inList(n, {51, 52, 54, 56, 57, 58, 59, 60, 68, 73, 74, 110, 141, 143, 151, 161, 226}));
    std::string section;
    if ((n >= 2 && n <= 8) || inList(n, {10, 41, 76, 78, 83, 84, 96, 97, 131, 140, 227}))
      section = "EDIT";
    else if ((n >= 11 && n <= 18) || n == 81 || n == 82)
      section = "COMBOBOX";
    else if (inList(n, {51, 59, 68, 73}))
      section = "PANEL";
    else if (n == 52 || n == 58)
      section = "PANEL_LOW";
    else if (n == 54 || n == 60)
      section = "TOOLBAR";
    else if (n == 74 || n == 226)
      section = "GROUPBOX";
    else if (n == 92 || n == 95)
      section = "SPEEDBUTTON";
    else if (n == 93 || n == 94)
      section = "BUTTON";
    else if (n == 19)
      section = "BAR";
    else if (n == 20)
      section = "BARTITLE";
    else if (n == 32)
      section = "CHECKBOX";
    else if (n == 33)
      section = "RADIOBUTTON";
    else if (n == 56)
      section = "DRAGBAR";
    else if (n == 57)
      section = "TABSHEET";
    else if (n == 75)
      section = "SPLITTER";
    else if (n == 98)
      section = "TOOLBUTTON";
    else if (n == 141)
      section = "PAGECONTROL";
    else if (n == 143)
      section = "TABCONTROL";
    else if (n == 151)
      section = "STATUSBAR";
    else if (n == 161)
      section = "GAUGE";
    else if (n == 165)
      section = "TRACKBAR";
    EXPECT_EQ(DefaultSectionOfKind(k), section);
  }
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
  ActiveSkin().SkinSectionData.push_back(Section("FIVE"));  // filled by hand
  EXPECT_EQ(FindSectionIndex("FIVE"), 2);
  ActiveSkin().SkinSectionData[0].SectionName = "RENAMED";  // changed in place
  EXPECT_EQ(FindSectionIndex("RENAMED"), 0);
  EXPECT_EQ(FindSectionIndex("THREE"), -1);
}

// Two skins asked in turn: each answers from its own tables, inheritance and common indexes, and
// neither is the program's skin.
TEST_F(SkinTablesTest, TwoSkinsAnswerFromTheirOwnTables) {
  TsSkinTables a;
  a.Sections = {Section("GLOBALINFO"), Section("BUTTON"), Section("SPEEDBUTTON", "BUTTON")};
  a.Masks = {Mask("GLOBALINFO", "BOXCHECKED"), Mask("BUTTON", "BORDERSMASK")};
  TsSkinTables b;
  b.Sections = {Section("SPEEDBUTTON", "PANEL"), Section("PANEL"), Section("GLOBALINFO")};
  b.Masks = {Mask("PANEL", "BORDERSMASK")};
  TsActiveSkin first;
  TsActiveSkin second;
  first.InstallTables(std::move(a));
  second.InstallTables(std::move(b));
  first.ResolveCommonIndexes();
  second.ResolveCommonIndexes();
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(first.FindSectionIndex("speedbutton"), 2);
    EXPECT_EQ(second.FindSectionIndex("speedbutton"), 0);
    EXPECT_EQ(first.FindMaskIndex(2, "SPEEDBUTTON", "BORDERSMASK"), 1);
    EXPECT_EQ(second.FindMaskIndex(0, "SPEEDBUTTON", "BORDERSMASK"), 0);
    EXPECT_EQ(first.SectionImagesOf(2).BordersMask, 1);
    EXPECT_EQ(second.SectionImagesOf(0).BordersMask, 0);
  }
  EXPECT_EQ(first.SkinCommonIndexes.GlobalInfo, 0);
  EXPECT_EQ(first.SkinCommonIndexes.CheckGlyphs.BoxChecked, 0);
  EXPECT_EQ(second.SkinCommonIndexes.GlobalInfo, 2);
  EXPECT_EQ(second.SkinCommonIndexes.CheckGlyphs.BoxChecked, -1);
  EXPECT_EQ(FindSectionIndex("SPEEDBUTTON"), -1);
  EXPECT_TRUE(ActiveSkin().SkinCommonIndexes == TsSkinCommonIndexes{});
}

// Paint colours set around nested paintings come back level by level; a colour not given is kept.
TEST(TsPaintColorsScope, PutsBackWhatEachLevelFound) {
  TsActiveSkin skin;
  {
    const TsPaintColorsScope outer(skin, 0x102030, 0x405060);
    {
      const TsPaintColorsScope inner(skin, 0x707070, std::nullopt);
      EXPECT_EQ(skin.SkinKeyFillColor, 0x707070);
      EXPECT_EQ(skin.SkinBackgroundFillColor, 0x405060);
    }
    EXPECT_EQ(skin.SkinKeyFillColor, 0x102030);
    EXPECT_EQ(skin.SkinBackgroundFillColor, 0x405060);
  }
  EXPECT_EQ(skin.SkinKeyFillColor, SkinKeyColor);
  EXPECT_EQ(skin.SkinBackgroundFillColor, SkinKeyColor);
  EXPECT_EQ(ActiveSkin().SkinKeyFillColor, SkinKeyColor);
}

}  // namespace

namespace {

// Every named kind keeps the number other windows know it by: the control kinds, and the kinds
// that only select a section or a set.
TEST(SkinKinds, NamesKeepTheirNumbers) {
  using K = TsControlKind;
  const std::pair<TsControlKind, int> numbers[] = {{K::MaskEdit, 0},
                                                   {K::ListControl, 1},
                                                   {K::ListBox, 2},
                                                   {K::Edit, 3},
                                                   {K::CheckListBox, 4},
                                                   {K::TreeView, 5},
                                                   {K::HotKey, 6},
                                                   {K::Memo, 7},
                                                   {K::Calendar, 8},
                                                   {K::ListView, 10},
                                                   {K::DriveComboBox, 11},
                                                   {K::ColorComboBox, 12},
                                                   {K::FontComboBox, 13},
                                                   {K::ImageComboBox, 14},
                                                   {K::DBComboBox, 15},
                                                   {K::DBLookupComboBox, 16},
                                                   {K::CheckComboBox, 17},
                                                   {K::TreeComboBox, 18},
                                                   {K::Bar, 19},
                                                   {K::BarTitle, 20},
                                                   {K::CheckBox, 32},
                                                   {K::RadioButton, 33},
                                                   {K::CurrencyEdit, 41},
                                                   {K::Panel, 51},
                                                   {K::PanelLow, 52},
                                                   {K::ToolBar, 54},
                                                   {K::DragBar, 56},
                                                   {K::TabSheet, 57},
                                                   {K::ScrollBox, 58},
                                                   {K::Frame, 59},
                                                   {K::ControlBar, 60},
                                                   {K::FlowPanel, 68},
                                                   {K::GridPanel, 73},
                                                   {K::GroupBox, 74},
                                                   {K::Splitter, 75},
                                                   {K::MonthCalendar, 76},
                                                   {K::IPAddressEdit, 78},
                                                   {K::ColorBox, 81},
                                                   {K::HistoryComboBox, 82},
                                                   {K::DateEdit, 83},
                                                   {K::TimeEdit, 84},
                                                   {K::SpeedButton, 92},
                                                   {K::Button, 93},
                                                   {K::BitBtn, 94},
                                                   {K::ArrowButton, 95},
                                                   {K::DBEdit, 96},
                                                   {K::DBMemo, 97},
                                                   {K::ToolButton, 98},
                                                   {K::PaintBox, 110},
                                                   {K::DirectoryEdit, 131},
                                                   {K::FileDirEdit, 132},
                                                   {K::FilenameEdit, 133},
                                                   {K::ComboEdit, 138},
                                                   {K::DateTimePicker, 140},
                                                   {K::PageControl, 141},
                                                   {K::ScrollBar, 142},
                                                   {K::TabControl, 143},
                                                   {K::StatusBar, 151},
                                                   {K::Gauge, 161},
                                                   {K::TrackBar, 165},
                                                   {K::SkinProvider, 224},
                                                   {K::RadioGroup, 226},
                                                   {K::GridItem, 227}};
  EXPECT_EQ(std::size(numbers), 63u);
  for (const auto& [k, n] : numbers) EXPECT_EQ(static_cast<int>(k), n);
  // The table has a row for each of them, in the same order, and no other.
  const auto table = ControlKindTable();
  ASSERT_EQ(table.size(), std::size(numbers));
  for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(table[i].Kind, numbers[i].first) << i;
}

}  // namespace
