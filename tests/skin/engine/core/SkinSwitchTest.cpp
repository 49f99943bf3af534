#include "skin/engine/core/SkinSwitch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "SkinTestImages.h"
#include "skin/engine/core/ESkinError.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/support/TAllocationProbe.h"
#include "tests/support/ThrownText.h"

namespace {

namespace fs = std::filesystem;

class SkinSwitchTest : public ::testing::Test {
protected:
  void SetUp() override {
    FApp = fs::temp_directory_path() / ("tarvex-switch-" + std::to_string(::getpid()));
    fs::remove_all(FApp);
    Write("Skins/Plain/Options.dat", "[GLOBALINFO]\nVERSION=2\nAUTHOR=Me\n[BUTTON]\nCOLOR=255\n");
    Write("Skins/Old/Options.dat", "[TSEDIT]\nCOLOR=1\n[BUTTON]\nCOLOR=2\n");
    FOldHandler = SetSkinMessageBoxHandler([this](TsBoxKind kind, const std::string& text) {
      FBoxes.push_back({kind, text});
      return false;
    });
  }
  void TearDown() override {
    SetSkinMessageBoxHandler(FOldHandler);
    ReleaseSkinGlobals();
    fs::remove_all(FApp);
  }
  void Write(const std::string& rel, const std::string& text) {
    fs::create_directories((FApp / rel).parent_path());
    std::ofstream(FApp / rel, std::ios::binary) << text;
  }
  TsSkinRequest Request(const std::string& name) {
    TsSkinRequest r;
    r.SkinDirectory = "Skins";
    r.SkinName = name;
    r.AppFolder = FApp.string() + "/";
    r.InternalSkins = &FInternal;
    return r;
  }

  fs::path FApp;
  std::vector<TsInternalSkin> FInternal;
  std::vector<std::pair<TsBoxKind, std::string>> FBoxes;
  TsMessageBoxHandler FOldHandler;
};

TEST_F(SkinSwitchTest, AFolderSkinFillsTheGlobals) {
  EXPECT_EQ(LoadSkinIntoGlobals(Request("Plain")), "Plain");
  EXPECT_EQ(ActiveSkin().SkinSectionData.size(), 2u);
  EXPECT_DOUBLE_EQ(SkinData().Version, 2);
  EXPECT_EQ(SkinData().Author, "Me");
  ASSERT_TRUE(SkinData().IniFile);
  EXPECT_EQ(SkinData().SkinPath, FApp.string() + "/Skins\\Plain\\");
  EXPECT_FALSE(SkinData().Active);
}

TEST_F(SkinSwitchTest, AMissingSkinEmptiesEveryTableAndForgetsTheOldFile) {
  LoadSkinIntoGlobals(Request("Plain"));
  ASSERT_FALSE(ActiveSkin().SkinSectionData.empty());
  EXPECT_EQ(LoadSkinIntoGlobals(Request("Nowhere")), "Nowhere");
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
  EXPECT_TRUE(ActiveSkin().SkinMaskData.empty());
  EXPECT_FALSE(SkinData().IniFile);
  EXPECT_TRUE(SkinData().SkinPath.empty());
}

TEST_F(SkinSwitchTest, AMissingSkinFallsBackToTheFirstInternalSkin) {
  TsInternalSkin a;
  a.Name = "Inner";
  TsInternalSkin::TGeneral g;
  g.Data.SectionName = "PANEL";
  a.GeneralData.push_back(g);
  TsInternalSkin b;
  b.Name = "Second";
  FInternal = {a, b};
  EXPECT_EQ(LoadSkinIntoGlobals(Request("Nowhere")), "Inner");
  EXPECT_EQ(FindSectionIndex("PANEL"), 0);
  EXPECT_EQ(LoadSkinIntoGlobals(Request("Second")), "Second");
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
  EXPECT_EQ(LoadSkinIntoGlobals(Request("second")), "Inner");  // names compare with case
}

TEST_F(SkinSwitchTest, AnOldSkinIsRefusedWithABox) {
  LoadSkinIntoGlobals(Request("Old"));
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
  ASSERT_EQ(FBoxes.size(), 1u);
  EXPECT_EQ(FBoxes[0].first, TsBoxKind::Error);
  EXPECT_EQ(FBoxes[0].second, OldSkinMessage);
}

TEST_F(SkinSwitchTest, ASkinBeyondTheBoundsIsRefusedBeforeParsingNamingItsFile) {
  std::string huge = "[GLOBALINFO]\nVERSION=5\n";
  for (int i = 0; i < 200000; ++i) huge += "[S" + std::to_string(i) + "]\n";
  Write("Skins/Huge/Options.dat", huge);
  LoadSkinIntoGlobals(Request("Plain"));
  ASSERT_FALSE(ActiveSkin().SkinSectionData.empty());
  std::string refusal;
  {
    TAllocationProbe probe;
    try {
      LoadSkinIntoGlobals(Request("Huge"));
    } catch (const ESkinError& e) {
      refusal = e.Message();
    }
    // The text is read (and copied once into a string), but never parsed.
    EXPECT_LE(probe.Peak(), 3 * huge.size());
  }
  EXPECT_NE(refusal.find("Huge\\Options.dat"), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("200001 sections"), std::string::npos) << refusal;
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
  EXPECT_FALSE(SkinData().IniFile);
  EXPECT_TRUE(FBoxes.empty());  // the caller says it, once
}

TEST_F(SkinSwitchTest, ADescriptionWithoutASectionIsRefusedNamingItsFile) {
  // Bytes of some other file: keys, but no "[name]" line.
  static const char garbage[] = "\x89PNG\r\n\x1a\n\0\0 VERSION=5\nCOLOR=255\n[broken\n";
  Write("Skins/Garbage/Options.dat", std::string(garbage, sizeof garbage - 1));
  LoadSkinIntoGlobals(Request("Plain"));
  const std::string refusal = ThrownText<ESkinError>([this] { LoadSkinIntoGlobals(Request("Garbage")); });
  EXPECT_NE(refusal.find("Garbage\\Options.dat holds no section"), std::string::npos) << refusal;
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
  EXPECT_FALSE(SkinData().IniFile);
  // A malformed value is no refusal: it counts as absent.
  Write("Skins/Odd/Options.dat", "[BUTTON]\nCOLOR=red\n");
  LoadSkinIntoGlobals(Request("Odd"));
  ASSERT_EQ(ActiveSkin().SkinSectionData.size(), 1u);
  EXPECT_EQ(ActiveSkin().SkinSectionData[0].Color, 0xFFFFFF);
}

TEST_F(SkinSwitchTest, AnUnreadableMasterBitmapIsSaidOnceAndTheSkinLoadsWithoutIt) {
  Write("Skins/Cut/Options.dat",
        "[GLOBALINFO]\nVERSION=5\nMASTERBITMAP=Master.bmp\n[FORM]\nBICONCLOSE=#(0,0,30,10)(3,0)\n"
        "[PANEL]\nCOLOR=255\n");
  auto bmp = EncodeBmp24(FilledPixmap(30, 10, 0));
  bmp.resize(bmp.size() - 100);
  Write("Skins/Cut/Master.bmp", std::string(bmp.begin(), bmp.end()));
  LoadSkinIntoGlobals(Request("Cut"));
  ASSERT_EQ(FBoxes.size(), 1u);
  EXPECT_EQ(FBoxes[0].first, TsBoxKind::Warning);
  EXPECT_NE(FBoxes[0].second.find("\"Master.bmp\""), std::string::npos) << FBoxes[0].second;
  EXPECT_NE(FBoxes[0].second.find("\"Cut\""), std::string::npos) << FBoxes[0].second;
  EXPECT_EQ(FindSectionIndex("FORM"), -1);
  EXPECT_GE(FindSectionIndex("PANEL"), 0);
  // One too large to read is there all the same (a sparse file: no disk is used).
  fs::resize_file(FApp / "Skins/Cut/Master.bmp", TsDiskFiles::MaxFileSize + 1);
  LoadSkinIntoGlobals(Request("Cut"));
  ASSERT_EQ(FBoxes.size(), 2u);
  EXPECT_NE(FBoxes[1].second.find("\"Master.bmp\""), std::string::npos) << FBoxes[1].second;
  EXPECT_EQ(FindSectionIndex("FORM"), -1);
  // A missing one stays silent.
  fs::remove(FApp / "Skins/Cut/Master.bmp");
  LoadSkinIntoGlobals(Request("Cut"));
  EXPECT_EQ(FBoxes.size(), 2u);
  EXPECT_GE(FindSectionIndex("FORM"), 0);
}

TEST(SkinSwitch, CommonSectionLinesLoseTheirBlanksExceptComments) {
  EXPECT_EQ(NormalizeCommonSections({"COLOR = 255", "; a note = kept", "", "[ MY SECTION ]"}),
            (std::vector<std::string>{"COLOR=255", "; a note = kept", "", "[MYSECTION]"}));
}

}  // namespace

namespace {

TColor FailingColorToRGB(TColor) {
  throw ESkinError("colour table unavailable");
}

TEST_F(SkinSwitchTest, AnErrorDuringALoadLeavesNoTablesBehind) {
  LoadSkinIntoGlobals(Request("Plain"));
  ASSERT_FALSE(ActiveSkin().SkinSectionData.empty());
  TsSkinRequest r = Request("Plain");
  r.ColorToRGB = &FailingColorToRGB;
  EXPECT_THROW(LoadSkinIntoGlobals(r), ESkinError);
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
  EXPECT_TRUE(ActiveSkin().SkinMaskData.empty());
  EXPECT_FALSE(SkinData().IniFile);
}

}  // namespace
