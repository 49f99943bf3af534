// The skin and the ini file at the main window's start and in the environment options: one load at
// start, a skin read again when chosen again, skins refused for their description, "Skined" kept
// across a refusal, and an ini file too large to read. Boxes are answered from timers.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/TfmEnvOpt.h"
#include "app/TfmMain.h"
#include "framework/base/TIniFile.h"
#include "framework/win/TApplication.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsComboBox.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/app/main/ProgramForms.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/windows/TBoxAnswerer.h"

namespace fs = std::filesystem;

namespace {

void WriteText(const std::string& fileName, const std::string& text) {
  std::ofstream(fileName, std::ios::binary) << text;
}

std::string SkinFile(const std::string& skin) { return ExeDir() + "Skins\\" + skin + "\\Options.dat"; }

bool SkinedWritten() { return TIniFile(IniName()).ReadBool("Environment", "Skined", false); }

// The main window counting the skin loads it starts, from its own start on.
class TCountingMain : public TfmMain {
public:
  explicit TCountingMain(TComponent* owner) : TfmMain(owner) {
    SkinManager->SetOnBeforeChange(TsNotifyEvent::FromFunctor([this](TObject*) { ++Loads; }));
  }
  int Loads = 0;
};

// The main window from its start, with the ini file as it finds it, to its end.
class TRun {
public:
  TRun() : Main(NewComponent<TCountingMain>(Application)) {
    fmMain = Main;
    Main->Show();
    Pump();
  }
  ~TRun() {
    Main->Free();
    fmMain = nullptr;
    Pump();
  }
  TRun(const TRun&) = delete;
  TRun& operator=(const TRun&) = delete;
  TCountingMain* const Main;
};

// The options shown, the "Skin" box clicked when switchSkin is set, the skin chosen (when named),
// then Ok clicked with the mouse; returns once all that Ok does is done.
void ChooseInOptions(bool switchSkin, const std::string& skin) {
  fmEnvOpt->Show();
  Pump();
  if (switchSkin) {
    ClickControl(fmEnvOpt->Skin);
    ASSERT_TRUE(PumpUntil([] { return fmEnvOpt->SkinName->Enabled(); }));
  }
  if (!skin.empty()) fmEnvOpt->SkinName->SetItemIndex(fmEnvOpt->SkinName->Items().IndexOf(skin));
  bool done = false;
  fmEnvOpt->Ok->SetOnClick(TNotifyEvent::FromFunctor([&done](TObject* sender) {
    fmEnvOpt->OkClick(sender);
    done = true;
  }));
  ClickControl(fmEnvOpt->Ok);
  const bool closed = PumpUntil([&done] { return done; });
  fmEnvOpt->Ok->SetOnClick(TNotifyEvent(fmEnvOpt, &TfmEnvOpt::OkClick));
  ASSERT_TRUE(closed);
}

class MainSkinLoad : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    PlaceBundledSkins({"Desert"});
    fs::copy(ExeDir() + "Skins\\Desert", ExeDir() + "Skins\\Mine", fs::copy_options::recursive);
    fs::create_directories(ExeDir() + "Skins\\Empty");
    WriteText(SkinFile("Empty"), "");
    // Bytes of a picture: a key line, but no "[name]" line.
    static const char garbage[] = "GIF89a\x01\0\x01\0\x80\0\0\xff\xff\xff\0\0\0!\xf9\x04\x01\0\0\0\0,COLOR=1\n";
    fs::create_directories(ExeDir() + "Skins\\Garbage");
    WriteText(SkinFile("Garbage"), std::string(garbage, sizeof garbage - 1));
    CreateProgramForms();
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(ExeDir() + "Skins", ignored);
  }
  void TearDown() override { fs::remove(IniName()); }
};

TEST_F(MainSkinLoad, TheStartLoadsTheSkinOnceAndOkOnTheSameSkinReadsItsEdit) {
  WriteText(IniName(), "[Environment]\r\nSkinName=Mine\r\nShowHints=0\r\n");
  TRun run;
  EXPECT_EQ(run.Main->Loads, 1);
  ASSERT_TRUE(SkinData().Active);
  // The user edits the panel's colour of the skin in use, and chooses that skin again.
  std::ifstream in(SkinFile("Mine"), std::ios::binary);
  std::string options((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  const size_t colour = options.find("\nCOLOR=", options.find("[PANEL]")) + 7;
  options.replace(colour, options.find_first_of("\r\n", colour) - colour, "1193046");
  WriteText(SkinFile("Mine"), options);
  ChooseInOptions(false, "Mine");
  EXPECT_EQ(run.Main->Loads, 2);
  EXPECT_TRUE(SkinData().Active);
  const int32_t panel = FindSectionIndex("PANEL");
  ASSERT_TRUE(SectionIndexValid(panel));
  EXPECT_EQ(ActiveSkin().SkinSectionData[size_t(panel)].Color, 1193046);
}

TEST_F(MainSkinLoad, AnEmptyOrGarbageSkinIsRefusedAtStartNamingItsFileAndSkinedIsKept) {
  for (const char* name : {"Empty", "Garbage"}) {
    SCOPED_TRACE(name);
    WriteText(IniName(), std::string("[Environment]\r\nSkinName=") + name + "\r\n");
    TBoxAnswerer boxes;
    {
      TRun run;
      ASSERT_EQ(boxes.Boxes.size(), 1u);
      EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"OK"});
      EXPECT_NE(boxes.Boxes[0].Text.find(SkinFile(name)), std::string::npos) << boxes.Boxes[0].Text;
      EXPECT_NE(boxes.Boxes[0].Text.find("no section"), std::string::npos) << boxes.Boxes[0].Text;
      EXPECT_FALSE(run.Main->SkinManager->Active());
      EXPECT_FALSE(SkinData().Active);
      EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
      // Ok in the options with the "Skin" box as it was changes nothing of that.
      ChooseInOptions(false, "");
    }
    EXPECT_TRUE(SkinedWritten()) << "the next start tries the skin again";
    EXPECT_EQ(TIniFile(IniName()).ReadString("Environment", "SkinName", ""), name);
  }
}

TEST_F(MainSkinLoad, ARefusedSkinChosenLiveIsSaidAndWhatTheUserDoesDecidesSkined) {
  const std::string refusedAtStart = "[Environment]\r\nSkined=1\r\nSkinName=Empty\r\n";
  TBoxAnswerer boxes;
  // Unskinned after the refusal, the user switches the skin on with a garbage skin: refused too,
  // and the user's switch is what the ini keeps.
  WriteText(IniName(), refusedAtStart);
  {
    TRun run;
    ChooseInOptions(true, "Garbage");
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_NE(boxes.Boxes[1].Text.find(SkinFile("Garbage")), std::string::npos) << boxes.Boxes[1].Text;
    EXPECT_NE(boxes.Boxes[1].Text.find("no section"), std::string::npos) << boxes.Boxes[1].Text;
    EXPECT_EQ(boxes.Boxes[1].Buttons, std::vector<std::string>{"Cancel"});
    EXPECT_FALSE(run.Main->SkinManager->Active());
  }
  EXPECT_FALSE(SkinedWritten());
  // A skin loaded since the refusal ends the keeping too: the ini says what is in force then.
  WriteText(IniName(), refusedAtStart);
  {
    TRun run;
    run.Main->SkinManager->SetSkinName("Desert");
    run.Main->SkinManager->SetActive(true);
    run.Main->SkinManager->SetActive(false);
  }
  EXPECT_FALSE(SkinedWritten());
  // Skinned, an empty skin chosen is refused as the others are: the skin before stays.
  WriteText(IniName(), "[Environment]\r\nSkined=1\r\nSkinName=Desert\r\n");
  boxes.Boxes.clear();
  TRun run;
  ChooseInOptions(false, "Empty");
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_NE(boxes.Boxes[0].Text.find(SkinFile("Empty")), std::string::npos) << boxes.Boxes[0].Text;
  EXPECT_TRUE(SkinData().Active);
  EXPECT_EQ(run.Main->SkinManager->SkinName(), "Desert");
  EXPECT_GE(FindSectionIndex("BUTTON"), 0);
}

TEST_F(MainSkinLoad, AnIniTooLargeToReadIsSaidAtStartNamingItAndLeftAsItIs) {
  // Past the largest ini file that is read; sparse, so it takes no room on the disk.
  const auto size = (std::uintmax_t{1} << 30) + 1;
  WriteText(IniName(), "[Environment]\r\nSkined=0\r\n");
  fs::resize_file(IniName(), size);
  TBoxAnswerer boxes;
  {
    TRun run;
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"Cancel"});
    EXPECT_NE(boxes.Boxes[0].Text.find(IniName()), std::string::npos) << boxes.Boxes[0].Text;
    EXPECT_NE(boxes.Boxes[0].Text.find("too large"), std::string::npos) << boxes.Boxes[0].Text;
    EXPECT_TRUE(run.Main->SkinManager->Active()) << "the defaults are in force";
  }
  EXPECT_EQ(boxes.Boxes.size(), 1u) << "said once";
  EXPECT_EQ(fs::file_size(IniName()), size);
}

}  // namespace
