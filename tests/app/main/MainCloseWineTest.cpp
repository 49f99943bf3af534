// The program's end with the language-pack editor open: what was typed and not saved there is asked
// about before the main window lets the program close. Boxes are answered from timers.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/TfmMain.h"
#include "editors/TfmLPEditor.h"
#include "editors/core/TLPEditorModel.h"
#include "editors/core/TLanguagePack.h"
#include "framework/win/TApplication.h"
#include "skin/controls/TsButton.h"
#include "skin/windows/TsFileDialogs.h"
#include "tests/app/main/ProgramForms.h"
#include "tests/editors/generators/LangPackGenerator.h"
#include "tests/editors/lpflex/EditorWindowTestSupport.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/windows/TBoxAnswerer.h"
#include "tests/support/TTempFolder.h"
#include "workbench/core/TCodeGroupTable.h"

namespace {

class MainClose : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    CreateProgramForms();
  }

  // The main window unskinned, with the generated pack as its code group 4, and the editor opened
  // on it with the first language parsed.
  void SetUp() override {
    std::ofstream(IniName(), std::ios::binary) << "[Environment]\r\nSkined=0\r\nSkinName=Desert\r\n";
    Gen = GenerateLangPack(SmallLangPackPlan(9, 2));
    PackName = Folder / "phone_{@0x10A40000}CG4.smg";
    WriteBytes(PackName, Gen.Image);
    Main = NewComponent<TfmMain>(Application);
    fmMain = Main;
    Main->Show();
    Pump();
    const uint32_t size = uint32_t(Gen.Image.size());
    ASSERT_TRUE(Main->Rows().AddCGRecord(4, size, PackName, Gen.Base, Gen.Base + size - 1));
    fmLPEditor->Show();
    Pump();
    ASSERT_TRUE(fmLPEditor->Model().Loaded());
    ClickButton(fmLPEditor->sButton4);  // "Parse language" on the first language
    Pump();
  }
  void TearDown() override {
    fmLPEditor->Hide();
    Main->Free();
    fmMain = Main = nullptr;
    Pump();
    std::filesystem::remove(IniName());
  }

  std::wstring Coded(size_t n) const { return CodedUnits(Gen.Languages[0], n); }
  std::u16string Text(int recNo) { return StringText(fmLPEditor, recNo); }

  TTempFolder Folder{"main-close"};
  TGenPack Gen;
  std::string PackName;
  TfmMain* Main = nullptr;
};

}  // namespace

TEST_F(MainClose, NothingIsAskedWhenTheEditorHasNothingUnsavedOrIsHidden) {
  {
    TBoxAnswerer boxes;
    EXPECT_TRUE(Main->CloseQuery());
    EXPECT_TRUE(boxes.Boxes.empty());
  }
  const std::wstring typed = Coded(2);
  ASSERT_TRUE(TypeIntoCell(fmLPEditor, 1, typed, false));
  fmLPEditor->Hide();
  Pump();
  TBoxAnswerer boxes;
  EXPECT_TRUE(Main->CloseQuery());
  EXPECT_TRUE(boxes.Boxes.empty());
}

TEST_F(MainClose, TextTypedInTheEditorIsAskedAboutCancelKeepsProgramAndTextNoLetsTheProgramEnd) {
  const std::wstring typed = Coded(3);
  ASSERT_EQ(typed.size(), 3u);
  ASSERT_TRUE(TypeIntoCell(fmLPEditor, 2, typed, false));
  {
    // The user closes the main window; refused, it stays with the editor.
    TBoxAnswerer boxes({"Cancel"});
    PostMessageA(Main->Handle(), WM_CLOSE, 0, 0);
    Pump();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
    EXPECT_EQ(boxes.Boxes[0].Captions, (std::vector<std::string>{"&Save", "&Don't save", "Cancel"}));
    EXPECT_NE(boxes.Boxes[0].Text.find("not packed"), std::string::npos) << boxes.Boxes[0].Text;
  }
  EXPECT_TRUE(IsWindowVisible(Main->Handle()));
  EXPECT_TRUE(fmLPEditor->Visible());
  ASSERT_TRUE(fmLPEditor->Model().Loaded());
  EXPECT_EQ(Text(2), std::u16string(typed.begin(), typed.end()));
  {
    TBoxAnswerer boxes({"No"});
    EXPECT_TRUE(Main->CloseQuery());
    EXPECT_EQ(boxes.Boxes.size(), 1u);
  }
  EXPECT_EQ(ReadBytes(PackName), Gen.Image);
}

TEST_F(MainClose, YesSavesTheTypedStringIntoThePackBeforeTheProgramEnds) {
  const std::wstring typed = Coded(4);
  ASSERT_EQ(typed.size(), 4u);
  ASSERT_TRUE(TypeIntoCell(fmLPEditor, 3, typed, false));
  AnswerDialog(fmLPEditor->sSaveDialog1, PackName);
  {
    TBoxAnswerer boxes({"Yes"});
    EXPECT_TRUE(Main->CloseQuery());
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_NE(boxes.Boxes[1].Text.find(PackName), std::string::npos) << "saved: " << boxes.Boxes[1].Text;
  }
  std::vector<std::u16string> want = Gen.Languages[0].Strings;
  want[2] = std::u16string(typed.begin(), typed.end());
  EXPECT_EQ(TLanguagePack(ReadBytes(PackName)).Decode(0), want);
}
