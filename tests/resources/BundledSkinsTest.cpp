#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "resources/skins/SkinGenerator.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinFolders.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/engine/core/TsSkinLoader.h"

namespace {

namespace fs = std::filesystem;

class BundledSkins : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Dir = fs::temp_directory_path() / ("tarvex-bundled-" + std::to_string(::getpid()));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    Generated = skingen::GenerateSkins(Dir.string());
  }
  static void TearDownTestSuite() { fs::remove_all(Dir); }
  void TearDown() override {
    InstallSkinTables({});
    SkinData().Active = false;
  }

  // Loads a generated skin as the manager does and installs its tables.
  static TsLoadedSkin Load(const std::string& name) {
    const std::string folder = (Dir / name).string() + "/";
    auto text = TsDiskFiles::ReadText(folder + "Options.dat");
    EXPECT_TRUE(text) << name;
    TsIniText ini(text.value_or(""));
    TsDiskFiles files;
    TsSkinSource source;
    source.Ini = &ini;
    source.SkinPath = folder;
    source.Files = &files;
    return LoadSkin(source);
  }

  static inline fs::path Dir;
  static inline bool Generated = false;
};

// Sections the controls, forms and menus look up by name.
const char* const Sections[] = {"GLOBALINFO",
                                "FORM",
                                "DIALOG",
                                "FORMTITLE",
                                "MENULINE",
                                "MENUITEM",
                                "MAINMENU",
                                "MDIAREA",
                                "BUTTON",
                                "SPEEDBUTTON",
                                "SPEEDBUTTON_SMALL",
                                "TOOLBUTTON",
                                "WEBBUTTON",
                                "EDIT",
                                "COMBOBOX",
                                "CHECKBOX",
                                "RADIOBUTTON",
                                "GROUPBOX",
                                "PANEL",
                                "PANEL_LOW",
                                "TOOLBAR",
                                "DRAGBAR",
                                "BAR",
                                "BARTITLE",
                                "SPLITTER",
                                "TRACKBAR",
                                "PAGECONTROL",
                                "TABCONTROL",
                                "TABSHEET",
                                "TABTOP",
                                "TABBOTTOM",
                                "TABLEFT",
                                "TABRIGHT",
                                "SCROLLBTNTOP",
                                "SCROLLBTNBOTTOM",
                                "SCROLLBTNLEFT",
                                "SCROLLBTNRIGHT",
                                "SCROLLSLIDERV",
                                "SCROLLSLIDERH",
                                "SCROLLBAR1H",
                                "SCROLLBAR1V",
                                "SCROLLBAR2H",
                                "SCROLLBAR2V",
                                "STATUSBAR",
                                "DIVIDER",
                                "GAUGE",
                                "PROGRESSH",
                                "PROGRESSV",
                                "COLHEADER",
                                "HINT"};

struct TNeed {
  const char* Section;
  const char* Mask;
};
const TNeed Masks[] = {
    {"FORM", "BORDERSMASK"},        {"FORM", "TITLEBAR"},           {"FORM", "BICONCLOSE"},
    {"FORM", "BICONMAX"},           {"FORM", "BICONMIN"},           {"FORM", "BICONNORM"},
    {"FORM", "BICONHELP"},          {"FORM", "TITLEBUTTON"},        {"FORM", "GRIPIMAGE"},
    {"DIALOG", "BORDERSMASK"},      {"DIALOG", "BICONCLOSE"},       {"BUTTON", "BORDERSMASK"},
    {"TOOLBUTTON", "BORDERSMASK"},  {"EDIT", "BORDERSMASK"},        {"COMBOBOX", "BORDERSMASK"},
    {"COMBOBOX", "GLYPHMASK"},      {"GROUPBOX", "BORDERSMASK"},    {"PANEL_LOW", "BORDERSMASK"},
    {"MENUITEM", "BORDERSMASK"},    {"STATUSBAR", "GRIPIMAGE"},     {"DIVIDER", "BORDERSMASK"},
    {"PAGECONTROL", "BORDERSMASK"}, {"COLHEADER", "BORDERSMASK"},   {"GAUGE", "BORDERSMASK"},
    {"TOOLBAR", "PATTERN"},         {"STATUSBAR", "PATTERN"},       {"SCROLLBAR1H", "BORDERSMASK"},
    {"SCROLLBAR2V", "BORDERSMASK"}, {"SCROLLBTNLEFT", "GLYPHMASK"}, {"SCROLLSLIDERH", "GLYPHMASK"}};

TEST_F(BundledSkins, BothSkinsAreListedBesideEachOther) {
  ASSERT_TRUE(Generated);
  auto list = ListSkins({}, Dir.string());
  EXPECT_EQ(list.Names, (std::vector<std::string>{"Desert", "Nocturne"}));
}

TEST_F(BundledSkins, EverySectionAndMaskTheWindowsLookUpIsThere) {
  ASSERT_TRUE(Generated);
  for (const char* name : {"Desert", "Nocturne"}) {
    SCOPED_TRACE(name);
    TsLoadedSkin skin = Load(name);
    EXPECT_FALSE(skin.Refused);
    EXPECT_GT(skin.Version, 0);
    ASSERT_TRUE(skin.Tables.MasterBitmap);
    EXPECT_EQ(skin.Tables.Patterns.size(), 1u);  // the form's large texture; the small one is a mask
    InstallSkinTables(std::move(skin.Tables));
    SkinData().Active = true;
    for (const char* section : Sections) EXPECT_GE(FindSectionIndex(section), 0) << section;
    for (const auto& need : Masks) {
      const std::int32_t mask = FindMaskIndex(FindSectionIndex(need.Section), need.Section, need.Mask);
      ASSERT_GE(mask, 0) << need.Section << " " << need.Mask;
      const TsFrameSize frame = MaskFrameSize(mask);
      EXPECT_GT(frame.Width, 0);
      EXPECT_GT(frame.Height, 0);
    }
    EXPECT_GE(FindPatternIndex(FindSectionIndex("DIALOG"), "DIALOG", "PATTERN"), 0);

    // Every common index that names something resolves, each to its own section: scroll parts,
    // tabs, check glyphs.
    ResolveCommonIndexes();
    const TsSkinCommonIndexes& ix = ActiveSkin().SkinCommonIndexes;
    EXPECT_EQ(ix.GlobalInfo, FindSectionIndex("GLOBALINFO"));
    const std::pair<const TsCommonSection*, const char*> sections[] = {
        {&ix.Tabs.Top, "TABTOP"},
        {&ix.Tabs.Bottom, "TABBOTTOM"},
        {&ix.Tabs.Left, "TABLEFT"},
        {&ix.Tabs.Right, "TABRIGHT"},
        {&ix.ScrollButtons.Top, "SCROLLBTNTOP"},
        {&ix.ScrollButtons.Bottom, "SCROLLBTNBOTTOM"},
        {&ix.ScrollButtons.Left, "SCROLLBTNLEFT"},
        {&ix.ScrollButtons.Right, "SCROLLBTNRIGHT"},
        {&ix.SliderH, "SCROLLSLIDERH"},
        {&ix.SliderV, "SCROLLSLIDERV"},
        {&ix.TrackBeforeH, "SCROLLBAR1H"},
        {&ix.TrackBeforeV, "SCROLLBAR1V"},
        {&ix.TrackAfterH, "SCROLLBAR2H"},
        {&ix.TrackAfterV, "SCROLLBAR2V"}};
    for (const auto& [s, name] : sections) {
      EXPECT_GE(s->Section, 0) << name;
      EXPECT_EQ(s->Section, FindSectionIndex(name)) << name;
      EXPECT_EQ(s->BordersMask, FindMaskIndex(s->Section, name, "BORDERSMASK")) << name;
      EXPECT_GE(s->BordersMask, 0) << name;
    }
    for (const TsCommonSection* s : {&ix.ScrollButtons.Top, &ix.ScrollButtons.Right, &ix.SliderH, &ix.SliderV})
      EXPECT_GE(s->GlyphMask, 0);
    const TsCheckGlyphs& g = ix.CheckGlyphs;
    for (std::int16_t glyph : {g.BoxChecked, g.BoxUnchecked, g.BoxGrayed, g.RadioChecked, g.RadioUnchecked,
                               g.RadioGrayed, g.SmallChecked, g.SmallUnchecked, g.SmallGrayed})
      EXPECT_GE(glyph, 0);
    EXPECT_NE(g.BoxChecked, g.RadioChecked);
    EXPECT_EQ(g.RadioGrayed, FindMaskIndex(ix.GlobalInfo, "GLOBALINFO", "RADIOGRAYED"));
  }
}

TEST_F(BundledSkins, MasksFollowTheFrameLayout) {
  ASSERT_TRUE(Generated);
  TsLoadedSkin skin = Load("Desert");
  const TsPixmap& master = *skin.Tables.MasterBitmap;
  for (const auto& m : skin.Tables.Masks) {
    SCOPED_TRACE(m.SectionName + "." + m.MaskName);
    if (m.Bmp) {
      if (m.MaskName == "MASTERBITMAP" || m.MaskName == "PATTERN") continue;
      // Own glyphs and borders: three frames, image above mask.
      EXPECT_EQ(m.Bmp->Width() % 3, 0);
      EXPECT_EQ(m.Bmp->Height() % 2, 0);
      continue;
    }
    EXPECT_EQ(m.MaskType, 1);
    EXPECT_EQ(WidthOf(m.R) % m.ImageCount, 0);
    EXPECT_EQ(HeightOf(m.R) % 2, 0);
    EXPECT_LE(m.R.Right, master.Width());
    EXPECT_LE(m.R.Bottom, master.Height());
    if (m.MaskName == "BORDERSMASK") {
      EXPECT_EQ((WidthOf(m.R) / m.ImageCount) % 3, 0);
    }
  }
}

TEST_F(BundledSkins, TheTwoSkinsLookDifferent) {
  ASSERT_TRUE(Generated);
  auto desert = Load("Desert");
  auto nocturne = Load("Nocturne");
  auto colour = [](const TsLoadedSkin& s, const std::string& name) {
    for (const auto& r : s.Tables.Sections)
      if (r.SectionName == name) return r.Color;
    return -1;
  };
  auto brightness = [](TColor c) { return (c & 255) + ((c >> 8) & 255) + ((c >> 16) & 255); };
  EXPECT_GT(brightness(colour(desert, "FORM")), 600);    // a light theme
  EXPECT_LT(brightness(colour(nocturne, "FORM")), 200);  // a dark one
  EXPECT_NE(colour(desert, "BUTTON"), colour(nocturne, "BUTTON"));
}

// The title button glyphs are drawn on the title bar and, for a maximized MDI child, on the menu
// band: over the band's colour each glyph's normal frame stands out clearly in both skins.
TEST_F(BundledSkins, TitleButtonGlyphsStandOutOnTheMenuBand) {
  ASSERT_TRUE(Generated);
  auto brightness = [](int c) { return (c & 255) + ((c >> 8) & 255) + ((c >> 16) & 255); };
  for (const char* name : {"Desert", "Nocturne"}) {
    TsLoadedSkin skin = Load(name);
    int band = -1;
    for (const auto& r : skin.Tables.Sections)
      if (r.SectionName == "MENULINE") band = r.Color;
    ASSERT_GE(band, 0) << name;
    const TsPixmap& master = *skin.Tables.MasterBitmap;
    for (const auto& m : skin.Tables.Masks) {
      if (m.SectionName != "FORM" || (m.MaskName != "BICONCLOSE" && m.MaskName != "BICONMIN" && m.MaskName != "BICONMAX"))
        continue;
      SCOPED_TRACE(std::string(name) + " " + m.MaskName);
      ASSERT_FALSE(m.Bmp);
      const int w = WidthOf(m.R) / m.ImageCount, h = HeightOf(m.R) / 2;
      int contrast = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const int image = master.Pixel(m.R.Left + x, m.R.Top + y);
          const float opaque = 1.0f - (master.Pixel(m.R.Left + x, m.R.Top + h + y) & 255) / 255.0f;
          const float seen = opaque * brightness(image) + (1 - opaque) * brightness(band);
          contrast = std::max(contrast, static_cast<int>(std::fabs(seen - brightness(band))));
        }
      EXPECT_GE(contrast, 300);
    }
  }
}

}  // namespace
