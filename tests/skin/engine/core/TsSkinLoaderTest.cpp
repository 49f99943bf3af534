#include "skin/engine/core/TsSkinLoader.h"

#include <gtest/gtest.h>

#include "SkinTestImages.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

const std::string Folder = "C:\\Skins\\Test\\";

// A master bitmap of 100 x 60, a separate 8-bit glyph, a large JPEG (a pattern) and a small one
// (a mask), plus a corrupt JPEG and a corrupt bitmap.
TsMemoryFiles SkinFiles() {
  TsMemoryFiles files;
  files.Add(Folder + "master.bmp", EncodeBmp24(FilledPixmap(100, 60, 0x336699)));
  files.Add(Folder + "glyphs\\glyph.bmp", EncodeBmp8(12, 8, {0x000000, 0xFF0000, 0x00FF00}));
  files.Add(Folder + "back.jpg", EncodeJpeg(FilledPixmap(320, 300, 0x808080)));
  files.Add(Folder + "small.jpeg", EncodeJpeg(FilledPixmap(50, 50, 0x2080C0)));
  auto broken = EncodeJpeg(FilledPixmap(320, 300, 0x808080));
  broken.resize(broken.size() / 3);
  files.Add(Folder + "broken.jpg", broken);
  files.Add(Folder + "broken.bmp", {'B', 'M', 1, 2, 3});
  return files;
}

const char* const OptionsText = R"([GLOBALINFO]
VERSION=5.25
AUTHOR=Tarvex
DESCRIPTION=Test skin
MASTERBITMAP=master.bmp
COLOR=12632256
BOXCHECKED=#(0,0,48,16)(3,0)

[BUTTON]
COLOR=255
TRANSPARENCY=30
SHOWFOCUS=true
BEVEL=9
BORDERSMASK=# (0,16,60,40) (3,1,4)
GLYPHMASK=glyphs\glyph.bmp
PATTERN=back.jpg
HOTPATTERN=small.jpeg
GRADIENTDATA=255;16711680;50;0;0;16711680;65280;250;0;0;7
FONTCOLOR=$FF

[SpeedButton]
PARENTCLASS=BUTTON
COLOR=-1
FONTCOLOR=16

[TOOLBUTTON]
PARENTCLASS=speedbutton

[EDIT]
COLOR=#12
BORDERSMASK=-
GLYPHMASK=missing.bmp
PATTERN=broken.jpg
HOTPATTERN=broken.bmp
SHADOWCOLOR=42
GRADIENTDATA=1;2;x;0;0
OUTSIDE=#(90,50,120,70)(1,0)
NOCOUNTS=#(0,0,5,5)

[A]
PARENTCLASS=B
[B]
PARENTCLASS=a
[SELF]
PARENTCLASS=SELF
TRANSPARENCY=-1
)";

class SkinLoaderTest : public ::testing::Test {
protected:
  TsLoadedSkin Load(const std::string& text, std::vector<std::string> common = {}) {
    FIni = TsIniText(text);
    TsSkinSource source;
    source.Ini = &FIni;
    source.SkinPath = Folder;
    source.Files = &FFiles;
    source.CommonSections = std::move(common);
    return LoadSkin(source);
  }
  static const TsSectionData& Section(const TsLoadedSkin& s, const std::string& name) {
    for (const auto& r : s.Tables.Sections)
      if (r.SectionName == name) return r;
    throw std::runtime_error("no section " + name);
  }
  static const TsMaskData* Mask(const TsLoadedSkin& s, const std::string& section, const std::string& name) {
    for (const auto& m : s.Tables.Masks)
      if (m.SectionName == section && m.MaskName == name) return &m;
    return nullptr;
  }
  void TearDown() override { InstallSkinTables({}); }

  TsIniText FIni;
  TsMemoryFiles FFiles = SkinFiles();
};

TEST(SkinValue, CutsBitmapsPatternsAndNothing) {
  using K = TsSkinValue::TKind;
  auto v = ClassifySkinValue("#(0,0,90,30)(3,0)", true);
  ASSERT_EQ(v.Kind, K::Cut);
  EXPECT_EQ(v.R, (TsRect{0, 0, 90, 30}));
  EXPECT_EQ(v.ImageCount, 3);
  EXPECT_EQ(v.MaskType, 0);
  EXPECT_EQ(v.BorderWidth, 0);
  v = ClassifySkinValue("# (1,2,3,4) (0,1,-5)", true);
  ASSERT_EQ(v.Kind, K::Cut);
  EXPECT_EQ(v.ImageCount, 1);  // below 1 becomes 1
  EXPECT_EQ(v.MaskType, 1);
  EXPECT_EQ(v.BorderWidth, 0);                                              // negative becomes 0
  EXPECT_EQ(ClassifySkinValue("#(0,0,90,30)(3,0)", false).Kind, K::Other);  // no master bitmap
  EXPECT_EQ(ClassifySkinValue("#", true).Kind, K::Other);
  EXPECT_EQ(ClassifySkinValue("-", true).Kind, K::None);
  EXPECT_EQ(ClassifySkinValue("#(0,0,x,30)(3,0)", true).Kind, K::Other);  // author text with '#'
  EXPECT_EQ(ClassifySkinValue("#(0,0,5,5)", true).Kind, K::Other);
  EXPECT_EQ(ClassifySkinValue("Glyph.Bmp", true).Kind, K::Bitmap);
  EXPECT_EQ(ClassifySkinValue("x.JPEG", true).Kind, K::Jpeg);
  EXPECT_EQ(ClassifySkinValue("TRUE", true).Kind, K::Other);
}

TEST_F(SkinLoaderTest, GlobalInfoAndMasksFromTheMasterBitmapAndOwnFiles) {
  auto s = Load(OptionsText);
  EXPECT_DOUBLE_EQ(s.Version, 5.25);
  EXPECT_EQ(s.Author, "Tarvex");
  EXPECT_EQ(s.Description, "Test skin");
  ASSERT_TRUE(s.Tables.MasterBitmap);
  EXPECT_EQ(s.Tables.MasterBitmap->Width(), 100);

  // The MASTERBITMAP key names a bitmap and so is an own-bitmap mask as well.
  const TsMaskData* master = Mask(s, "GLOBALINFO", "MASTERBITMAP");
  ASSERT_TRUE(master && master->Bmp);
  const TsMaskData* box = Mask(s, "GLOBALINFO", "BOXCHECKED");
  ASSERT_TRUE(box);
  EXPECT_FALSE(box->Bmp);
  EXPECT_EQ(box->ImageCount, 3);
  const TsMaskData* border = Mask(s, "BUTTON", "BORDERSMASK");
  ASSERT_TRUE(border);
  EXPECT_EQ(border->R, (TsRect{0, 16, 60, 40}));
  EXPECT_EQ(border->MaskType, 1);
  EXPECT_EQ(border->BorderWidth, 4);

  // An 8-bit file becomes a 24-bit image with its palette colours.
  const TsMaskData* glyph = Mask(s, "BUTTON", "GLYPHMASK");
  ASSERT_TRUE(glyph && glyph->Bmp);
  EXPECT_EQ(glyph->Bmp->Width(), 12);
  EXPECT_EQ(glyph->Bmp->Pixel(1, 0), 0x0000FF);  // stored $FF0000 as blue, green, red = red
  EXPECT_EQ(glyph->Bmp->Pixel(2, 0), 0x00FF00);

  // A small JPEG is a 24-bit mask, a large one a pattern.
  const TsMaskData* small = Mask(s, "BUTTON", "HOTPATTERN");
  ASSERT_TRUE(small && small->Bmp);
  EXPECT_EQ(small->Bmp->Width(), 50);
  ASSERT_EQ(s.Tables.Patterns.size(), 1u);
  EXPECT_EQ(s.Tables.Patterns[0].SectionName, "BUTTON");
  EXPECT_EQ(s.Tables.Patterns[0].PatternName, "PATTERN");
  EXPECT_EQ(s.Tables.Patterns[0].Image->Height(), 300);
}

TEST_F(SkinLoaderTest, UnparseableValuesAndMissingOrCorruptFilesCountAsAbsent) {
  auto s = Load(OptionsText);
  for (const char* key : {"BORDERSMASK", "GLYPHMASK", "PATTERN", "HOTPATTERN", "OUTSIDE", "NOCOUNTS"})
    EXPECT_EQ(Mask(s, "EDIT", key), nullptr) << key;
  const TsSectionData& edit = Section(s, "EDIT");
  EXPECT_EQ(edit.Color, 0xFFFFFF);
  EXPECT_TRUE(edit.Gradient.empty());
  EXPECT_EQ(edit.ShadowColor, 42);
  // The whole table was still read: sections after the bad ones are there.
  EXPECT_EQ(s.Tables.Sections.back().SectionName, "SELF");
}

TEST_F(SkinLoaderTest, SectionFieldsDefaultsAndInheritance) {
  auto s = Load(OptionsText);
  ASSERT_EQ(s.Tables.Sections.size(), 8u);
  const TsSectionData& button = Section(s, "BUTTON");
  EXPECT_EQ(button.Color, 255);
  EXPECT_EQ(button.Transparency, 30);
  EXPECT_TRUE(button.ShowFocus);
  EXPECT_EQ(button.Bevel, TsControlBevel::cbLoweredHard);  // out of range is clamped
  EXPECT_EQ(button.FontColor[0], 255);
  EXPECT_EQ(button.FontColor[1], -1);
  ASSERT_EQ(button.Gradient.size(), 2u);
  EXPECT_EQ(button.Gradient[1].Percent, 100);
  EXPECT_EQ(button.ShadowBlur, 6);
  EXPECT_EQ(button.FadingIntervalIn, 5);
  EXPECT_EQ(button.GradientPercent, 0);

  const TsSectionData& speed = Section(s, "SpeedButton");
  EXPECT_EQ(speed.ParentClass, "BUTTON");
  EXPECT_EQ(speed.Color, 255);  // -1 in the file counts as absent
  EXPECT_EQ(speed.Transparency, 30);
  EXPECT_EQ(speed.FontColor[0], 16);
  const TsSectionData& tool = Section(s, "TOOLBUTTON");
  EXPECT_EQ(tool.Transparency, 30);  // two steps up
  EXPECT_EQ(tool.FontColor[0], 16);
  EXPECT_TRUE(tool.ShowFocus);
  EXPECT_EQ(tool.GradientData, button.GradientData);

  // A cycle and a self-parent end with the defaults.
  EXPECT_EQ(Section(s, "A").Color, 0xFFFFFF);
  EXPECT_EQ(Section(s, "B").Transparency, 0);
  EXPECT_EQ(Section(s, "SELF").Transparency, 0);
  EXPECT_EQ(Section(s, "SELF").GradientData, " ");
}

TEST_F(SkinLoaderTest, LookupsOnTheInstalledTablesFollowInheritance) {
  InstallSkinTables(Load(OptionsText).Tables);
  const std::int32_t tool = FindSectionIndex("toolbutton");
  ASSERT_GE(tool, 0);
  const std::int32_t mask = FindMaskIndex(tool, "TOOLBUTTON", "BORDERSMASK");
  ASSERT_GE(mask, 0);
  EXPECT_EQ(ActiveSkin().SkinMaskData[static_cast<std::size_t>(mask)].SectionName, "BUTTON");
  EXPECT_EQ(MaskFrameSize(mask).Width, 20);
  EXPECT_EQ(MaskFrameSize(mask).Height, 12);
  EXPECT_EQ(FindMaskIndex(FindSectionIndex("A"), "A", "BORDERSMASK"), -1);

  ResolveCommonIndexes();
  EXPECT_EQ(ActiveSkin().SkinCommonIndexes.GlobalInfo, FindSectionIndex("GLOBALINFO"));
  EXPECT_EQ(ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxChecked,
            FindMaskIndex(ActiveSkin().SkinCommonIndexes.GlobalInfo, "GLOBALINFO", "BOXCHECKED"));
  EXPECT_GE(ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxChecked, 0);
  EXPECT_EQ(ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxUnchecked, -1);
  EXPECT_EQ(ActiveSkin().SkinCommonIndexes.Tabs.Top.Section, -1);
  InstallSkinTables({});
  ResolveCommonIndexes();
  EXPECT_TRUE(ActiveSkin().SkinCommonIndexes == TsSkinCommonIndexes{});
}

TEST_F(SkinLoaderTest, OldSkinsAreRefusedOnlyWithoutAVersion) {
  auto old = Load("[GLOBALINFO]\nCOLOR=1\n[TSEdit]\nCOLOR=2\n", {"[X]", "COLOR=3"});
  EXPECT_TRUE(old.Refused);
  EXPECT_TRUE(old.Tables.Sections.empty());
  auto current = Load("[GLOBALINFO]\nVERSION=4\n[TSEdit]\nCOLOR=2\n");
  EXPECT_FALSE(current.Refused);
  EXPECT_EQ(current.Tables.Sections.size(), 2u);
}

TEST_F(SkinLoaderTest, CommonSectionsInheritFromEarlierRecordsAndAddPictures) {
  auto s = Load(OptionsText, {"; extra sections", "[MyButton]", "PARENTCLASS=button", "COLOR=0x00FF00",
                              "[BUTTON]", "TRANSPARENCY=77", "[LATER]", "PARENTCLASS=MYBUTTON",
                              "PATTERN=small.jpeg", "[GLOBALINFO]", "EXTRA=glyphs\\glyph.bmp"});
  const auto& sections = s.Tables.Sections;
  ASSERT_EQ(sections.size(), 12u);  // the common GLOBALINFO is a record too
  const TsSectionData& mine = sections[8];
  EXPECT_EQ(mine.SectionName, "MyButton");
  EXPECT_EQ(mine.ParentClass, "BUTTON");
  EXPECT_EQ(mine.Color, 0x00FF00);
  EXPECT_EQ(mine.Transparency, 30);
  EXPECT_EQ(sections[9].Transparency, 77);  // a second BUTTON record, after the skin's own
  EXPECT_EQ(sections[10].Color, 0x00FF00);  // inherited from the common section before it
  EXPECT_EQ(sections[10].ParentClass, "MYBUTTON");

  // Common pictures: a small JPEG is a pattern here; GLOBALINFO of the common text is skipped.
  bool found = false;
  for (const auto& p : s.Tables.Patterns)
    found = found || (p.SectionName == "LATER" && p.PatternName == "PATTERN");
  EXPECT_TRUE(found);
  EXPECT_EQ(Mask(s, "GLOBALINFO", "EXTRA"), nullptr);
}

TEST_F(SkinLoaderTest, NoSkinFileAndNoInternalSkinGivesEmptyTables) {
  TsSkinSource source;
  source.CommonSections = {"[X]", "COLOR=1"};
  auto s = LoadSkin(source);
  EXPECT_TRUE(s.Tables.Sections.empty());
  EXPECT_TRUE(s.Tables.Masks.empty());
}

TEST_F(SkinLoaderTest, InternalSkinsCopyTheirRecordsWithoutInheritance) {
  TsInternalSkin skin;
  skin.Name = "Inside";
  skin.MasterBitmap = std::make_shared<TsPixmap>(FilledPixmap(40, 20, 0));
  TsInternalSkin::TGeneral g;
  g.Data.SectionName = "Button";
  g.Data.ParentClass = "PANEL";
  g.Data.Color = -2147483633;  // a system colour stays as stored
  g.Data.GradientData = "1;2;50;1;0";
  g.FontColor = "1 2 3 4 5";
  g.HotFontColor = "1 2 3";  // not five words: ignored
  skin.GeneralData.push_back(g);
  skin.Images.push_back({"button", "bordersmask", nullptr, {0, 0, 30, 20}, 3, 0, 2});
  skin.Images.push_back(
      {"button", "glyphmask", std::make_shared<TsPixmap>(FilledPixmap(9, 4, 0)), {}, 0, 0, 0});
  skin.Images.push_back({"button", "outside", nullptr, {0, 0, 50, 20}, 1, 0, 0});
  skin.Patterns.push_back({"button", "pattern", std::make_shared<TsPixmap>(FilledPixmap(400, 300, 0))});
  TsSkinSource source;
  source.Internal = &skin;
  auto s = LoadSkin(source);
  ASSERT_EQ(s.Tables.Sections.size(), 1u);
  const auto& b = s.Tables.Sections[0];
  EXPECT_TRUE(b.ParentClass.empty());
  EXPECT_EQ(b.Color, -2147483633);
  EXPECT_EQ(b.FontColor, (std::array<TColor, 5>{1, 2, 3, 4, 5}));
  EXPECT_EQ(b.HotFontColor, (std::array<TColor, 5>{0, -1, -1, -1, -1}));
  ASSERT_EQ(b.Gradient.size(), 1u);
  EXPECT_EQ(b.Gradient[0].Mode, 1);
  ASSERT_EQ(s.Tables.Masks.size(), 2u);
  EXPECT_EQ(s.Tables.Masks[0].SectionName, "BUTTON");
  EXPECT_EQ(s.Tables.Masks[0].MaskName, "BORDERSMASK");
  EXPECT_EQ(s.Tables.Masks[0].BorderWidth, 2);
  EXPECT_TRUE(s.Tables.Masks[1].Bmp);
  ASSERT_EQ(s.Tables.Patterns.size(), 1u);
}

}  // namespace

// Description lines indented or ended with tabs are read like any other.
TEST_F(SkinLoaderTest, TabsAroundDescriptionLinesAreBlanks) {
  auto s = Load("\t[GLOBALINFO]\t\r\n\tVersion=5\r\n\tAUTHOR\t=\tTarvex\t\r\n[TSEDIT]\n\tCOLOR=2\n");
  EXPECT_FALSE(s.Refused);
  EXPECT_DOUBLE_EQ(s.Version, 5);
  EXPECT_EQ(s.Author, "Tarvex");
  EXPECT_EQ(Section(s, "TSEDIT").Color, 2);
}

// A JPEG below 90000 pixels is a mask, one of 90000 or more a pattern.
TEST_F(SkinLoaderTest, JpegsBecomeMasksJustBelowThePatternSize) {
  FFiles.Add(Folder + "at.jpg", EncodeJpeg(FilledPixmap(300, 300, 0x808080)));
  FFiles.Add(Folder + "below.jpg", EncodeJpeg(FilledPixmap(299, 301, 0x808080)));
  FFiles.Add(Folder + "wide.jpg", EncodeJpeg(FilledPixmap(900, 100, 0x808080)));
  FFiles.Add(Folder + "narrow.jpg", EncodeJpeg(FilledPixmap(899, 100, 0x808080)));
  auto s = Load("[GLOBALINFO]\nVERSION=5\n[BUTTON]\nA=at.jpg\nB=below.jpg\nC=wide.jpg\nD=narrow.jpg\n");
  std::vector<std::string> patterns;
  for (const auto& p : s.Tables.Patterns) patterns.push_back(p.PatternName);
  EXPECT_EQ(patterns, (std::vector<std::string>{"A", "C"}));
  for (const char* key : {"B", "D"}) {
    const TsMaskData* m = Mask(s, "BUTTON", key);
    ASSERT_TRUE(m && m->Bmp) << key;
    EXPECT_EQ(static_cast<std::int64_t>(m->Bmp->Width()) * m->Bmp->Height(), key[0] == 'B' ? 89999 : 89900);
  }
  EXPECT_EQ(Mask(s, "BUTTON", "A"), nullptr);
  EXPECT_EQ(Mask(s, "BUTTON", "C"), nullptr);
}
