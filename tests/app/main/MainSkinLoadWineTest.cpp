// The skin and the ini file at the main window's start and in the environment options: one load at
// start, a skin read again when chosen again, skins refused for their description, the "Skined"
// key kept across a refusal, and an ini file too large to read. Boxes are answered from timers.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
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

std::string ReadText(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string SkinFile(const std::string& skin) { return ExeDir() + "Skins\\" + skin + "\\Options.dat"; }

// The main window counting the skin loads it starts, from its own start on.
class TCountingMain : public TfmMain {
public:
  explicit TCountingMain(TComponent* owner) : TfmMain(owner) {
    SkinManager->SetOnBeforeChange(TsNotifyEvent::FromFunctor([this](TObject*) { ++Loads; }));
  }
  int Loads = 0;
};

class MainSkinLoad : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    PlaceBundledSkins({"Desert"});
    fs::copy(ExeDir() + "Skins\\Desert", ExeDir() + "Skins\\Mine", fs::copy_options::recursive);
    fs::create_directories(ExeDir() + "Skins\\Empty");
    WriteText(SkinFile("Empty"), "");
    fs::create_directories(ExeDir() + "Skins\\Garbage");
    static const char garbage[] = "GIF89a\x01\0\x01\0\x80\0\0\xff\xff\xff\0\0\0!\xf9\x04\x01\0\0\0\0,COLOR=1\n";
    WriteText(SkinFile("Garbage"), std::string(garbage, sizeof garbage - 1));
    CreateProgramForms();
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(ExeDir() + "Skins", ignored);
  }
  void SetUp() override { fs::remove(IniName()); }
  void TearDown() override {
    Close();
    fs::remove(IniName());
  }

  void Open(const std::string& ini) {
    WriteText(IniName(), ini);
    Start();
  }
  void Start() {
    Main = NewComponent<TCountingMain>(Application);
    fmMain = Main;
    Main->Show();
    Pump();
  }
  void Close() {
    if (Main == nullptr) return;
    Main->Free();
    Main = nullptr;
    fmMain = nullptr;
    Pump();
  }
  // The options shown, the "Skin" box clicked when switch is set and the skin chosen, then Ok
  // clicked with the mouse; returns once the options are closed and what Ok does is done.
  static void ChooseInOptions(bool switchSkin, const std::string& skin) {
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
  static bool SkinedWritten() { return TIniFile(IniName()).ReadBool("Environment", "Skined", false); }

  TCountingMain* Main = nullptr;
};

TEST_F(MainSkinLoad, TheStartLoadsTheSkinOnceAndOkOnTheSameSkinReadsItsEdit) {
  Open("[Environment]\r\nSkined=1\r\nSkinName=Mine\r\nShowHints=0\r\n");
  EXPECT_EQ(Main->Loads, 1);
  ASSERT_TRUE(SkinData().Active);
  // The user edits the panel's colour of the skin in use, and chooses that skin again.
  std::string options = ReadText(SkinFile("Mine"));
  const size_t colour = options.find("\nCOLOR=", options.find("[PANEL]"));
  ASSERT_NE(colour, std::string::npos);
  options.replace(colour + 7, options.find_first_of("\r\n", colour + 1) - colour - 7, "1193046");
  WriteText(SkinFile("Mine"), options);
  ChooseInOptions(false, "Mine");
  EXPECT_EQ(Main->Loads, 2);
  EXPECT_TRUE(SkinData().Active);
  EXPECT_EQ(Main->SkinManager->SkinName(), "Mine");
  const int32_t panel = FindSectionIndex("PANEL");
  ASSERT_TRUE(SectionIndexValid(panel));
  EXPECT_EQ(ActiveSkin().SkinSectionData[size_t(panel)].Color, 1193046);
}

TEST_F(MainSkinLoad, AnEmptyOrGarbageSkinIsRefusedAtStartNamingItsFileAndSkinedIsKept) {
  for (const char* name : {"Empty", "Garbage"}) {
    SCOPED_TRACE(name);
    TBoxAnswerer boxes;
    Open(std::string("[Environment]\r\nSkinName=") + name + "\r\n");
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"OK"});
    EXPECT_NE(boxes.Boxes[0].Text.find(SkinFile(name)), std::string::npos) << boxes.Boxes[0].Text;
    EXPECT_NE(boxes.Boxes[0].Text.find("no section"), std::string::npos) << boxes.Boxes[0].Text;
    EXPECT_FALSE(Main->SkinManager->Active());
    EXPECT_FALSE(SkinData().Active);
    EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
    // Ok in the options with the "Skin" box as it was changes nothing of that.
    ChooseInOptions(false, "");
    Close();
    EXPECT_TRUE(SkinedWritten()) << "the next start tries the skin again";
    EXPECT_EQ(TIniFile(IniName()).ReadString("Environment", "SkinName", ""), name);
  }
}

TEST_F(MainSkinLoad, ARefusedSkinChosenLiveIsSaidAndTheUsersSwitchDecidesSkined) {
  // Unskinned after a refusal, the user switches the skin on with a garbage skin: refused too,
  // and the user's switch is what the ini keeps.
  {
    TBoxAnswerer boxes;
    Open("[Environment]\r\nSkined=1\r\nSkinName=Empty\r\n");
    ChooseInOptions(true, "Garbage");
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_NE(boxes.Boxes[1].Text.find(SkinFile("Garbage")), std::string::npos) << boxes.Boxes[1].Text;
    EXPECT_NE(boxes.Boxes[1].Text.find("no section"), std::string::npos) << boxes.Boxes[1].Text;
    EXPECT_EQ(boxes.Boxes[1].Buttons, std::vector<std::string>{"Cancel"});
    EXPECT_FALSE(Main->SkinManager->Active());
    Close();
    EXPECT_FALSE(SkinedWritten());
  }
  // A skin loaded since the refusal ends the keeping too: the ini says what is in force then.
  {
    TBoxAnswerer boxes;
    Open("[Environment]\r\nSkined=1\r\nSkinName=Empty\r\n");
    Main->SkinManager->SetSkinName("Desert");
    Main->SkinManager->SetActive(true);
    Main->SkinManager->SetActive(false);
    Close();
    EXPECT_FALSE(SkinedWritten());
  }
  // Skinned, an empty skin chosen is refused as the others are: the skin before stays.
  TBoxAnswerer boxes;
  Open("[Environment]\r\nSkined=1\r\nSkinName=Desert\r\n");
  ChooseInOptions(false, "Empty");
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_NE(boxes.Boxes[0].Text.find(SkinFile("Empty")), std::string::npos) << boxes.Boxes[0].Text;
  EXPECT_TRUE(SkinData().Active);
  EXPECT_EQ(Main->SkinManager->SkinName(), "Desert");
  EXPECT_GE(FindSectionIndex("BUTTON"), 0);
}

TEST_F(MainSkinLoad, AnIniTooLargeToReadIsSaidAtStartNamingItAndLeftAsItIs) {
  // Longer than any ini file may be; sparse, so it takes no room on the disk.
  constexpr LONGLONG size = (LONGLONG{1} << 30) + 1;
  {
    const HANDLE file = CreateFileA(IniName().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = size;
    const bool sized = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(sized);
  }
  TBoxAnswerer boxes;
  Start();
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"Cancel"});
  EXPECT_NE(boxes.Boxes[0].Text.find(IniName()), std::string::npos) << boxes.Boxes[0].Text;
  EXPECT_NE(boxes.Boxes[0].Text.find("too large"), std::string::npos) << boxes.Boxes[0].Text;
  // The defaults are in force.
  EXPECT_TRUE(Main->SkinManager->Active());
  EXPECT_EQ(Main->SkinManager->SkinName(), "Desert");
  Close();
  EXPECT_EQ(boxes.Boxes.size(), 1u) << "said once";
  EXPECT_EQ(static_cast<LONGLONG>(fs::file_size(IniName())), size);
}

}  // namespace
