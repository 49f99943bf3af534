#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EditorWindowTestSupport.h"
#include "editors/TfmLPEditor.h"
#include "editors/core/TLPEditorModel.h"
#include "editors/core/TLanguagePack.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/win/TApplication.h"
#include "framework/win/TDBGrid.h"
#include "skin/controls/TsButton.h"
#include "skin/windows/TsFileDialogs.h"
#include "tests/editors/generators/LangPackGenerator.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/windows/TBoxAnswerer.h"
#include "tests/support/TTempFolder.h"

// Closing the language-pack editor lets its image and strings go: what was changed and not saved
// is asked about first. And characters that packing leaves out are said in the editor.

namespace {

class LPEditorClose : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Gen = GenerateLangPack(SmallLangPackPlan(9, 2));
    PackName = Folder / "phone_{@0x10A40000}CG4.smg";
    WriteBytes(PackName, Gen.Image);
    World.Main.Grid[4] = TGridRow{PackName, int32_t(Gen.Base), ""};
    Form = NewComponent<TfmLPEditor>(Application);
    Form->Show();
    Pump();
    ClickButton(Form->sButton4);  // "Parse language" on the first language
    Pump();
  }
  void TearDown() override {
    Form->Free();
    Pump();
  }

  // Units the first language has codes for, as typed on the keyboard.
  std::wstring Coded(size_t n) const { return CodedUnits(Gen.Languages[0], n); }
  // The user closes the window (its close button, Alt+F4 or Escape all end in WM_CLOSE).
  void CloseWindow() {
    PostMessageA(Form->Handle(), WM_CLOSE, 0, 0);
    Pump();
  }
  std::u16string Text(int recNo) { return StringText(Form, recNo); }

  TTempFolder Folder{"lpeditor-close"};
  TGenPack Gen;
  std::string PackName;
  TScriptedEditorWorld World;
  TfmLPEditor* Form = nullptr;
};

}  // namespace

TEST_F(LPEditorClose, ParsedStringsCloseAtOnce) {
  TBoxAnswerer boxes;
  CloseWindow();
  EXPECT_TRUE(boxes.Boxes.empty());
  EXPECT_FALSE(Form->Visible());
}

TEST_F(LPEditorClose, ATextStillInItsCellIsAskedAboutCancelKeepsItDontSaveLetsItGo) {
  const std::wstring typed = Coded(3);
  ASSERT_EQ(typed.size(), 3u);
  ASSERT_TRUE(TypeIntoCell(Form, 2, typed, false));
  {
    TBoxAnswerer boxes({"Cancel"});
    CloseWindow();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
    EXPECT_EQ(boxes.Boxes[0].Captions, (std::vector<std::string>{"&Save", "&Don't save", "Cancel"}));
    EXPECT_NE(boxes.Boxes[0].Text.find("not packed"), std::string::npos) << boxes.Boxes[0].Text;
  }
  ASSERT_TRUE(Form->Visible());
  ASSERT_TRUE(Form->Model().Loaded());
  EXPECT_EQ(Text(2), std::u16string(typed.begin(), typed.end()));
  {
    TBoxAnswerer boxes({"No"});
    CloseWindow();
    EXPECT_EQ(boxes.Boxes.size(), 1u);
  }
  EXPECT_FALSE(Form->Visible());
  EXPECT_EQ(ReadBytes(PackName), Gen.Image);
}

TEST_F(LPEditorClose, SaveOnClosingPacksTheTypedStringAndRunsSaveLangpack) {
  const std::wstring typed = Coded(4);
  ASSERT_EQ(typed.size(), 4u);
  ASSERT_TRUE(TypeIntoCell(Form, 3, typed, true));
  AnswerDialog(Form->sSaveDialog1, PackName);
  {
    TBoxAnswerer boxes({"Yes"});
    CloseWindow();
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_NE(boxes.Boxes[1].Text.find(PackName), std::string::npos) << "saved: " << boxes.Boxes[1].Text;
  }
  EXPECT_FALSE(Form->Visible());
  std::vector<std::u16string> want = Gen.Languages[0].Strings;
  want[2] = std::u16string(typed.begin(), typed.end());
  EXPECT_EQ(TLanguagePack(ReadBytes(PackName)).Decode(0), want);
}

TEST_F(LPEditorClose, CharactersWithoutACodeAreSaidInAWarningInTheEditor) {
  std::u16string uncodable;
  for (char16_t u = 0x4E00; uncodable.size() < 2; ++u) {
    const auto& units = Gen.Languages[0].TreeUnits;
    if (std::find(units.begin(), units.end(), u) == units.end()) uncodable.push_back(u);
  }
  Form->cdsStr->SetRecNo(4);
  Form->cdsStr->Edit();
  Form->cdsStr->FieldByName("Text")->SetAsWideString(uncodable);
  Form->cdsStr->Post();
  TBoxAnswerer boxes;
  ClickButton(Form->sButton10);  // "Pack strings"
  Pump();
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Warning");
  EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"Cancel"});
  EXPECT_EQ(boxes.Boxes[0].Text.find("2 characters"), 0u) << boxes.Boxes[0].Text;
  EXPECT_NE(boxes.Boxes[0].Text.find("0004"), std::string::npos) << boxes.Boxes[0].Text;
}

TEST_F(LPEditorClose, PackStringsTakesTheTextStillBeingTypedInItsCell) {
  const std::wstring typed = Coded(3);
  ASSERT_EQ(typed.size(), 3u);
  ASSERT_TRUE(TypeIntoCell(Form, 5, typed, false));
  ASSERT_TRUE(Form->DBGrid2->EditorMode());
  // "Pack strings" run with the focus still in the cell's editor: the cell is not left before.
  ASSERT_EQ(GetFocus(), Form->DBGrid2->EditorHandle());
  Form->sButton10->Click();
  Pump();
  EXPECT_FALSE(Form->DBGrid2->EditorMode());
  AnswerDialog(Form->sSaveDialog1, PackName);
  {
    TBoxAnswerer boxes({"OK"});
    ClickButton(Form->sButton1);  // "Save langpack"
    Pump();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_NE(boxes.Boxes[0].Text.find(PackName), std::string::npos) << boxes.Boxes[0].Text;
  }
  std::vector<std::u16string> want = Gen.Languages[0].Strings;
  want[4] = std::u16string(typed.begin(), typed.end());
  EXPECT_EQ(TLanguagePack(ReadBytes(PackName)).Decode(0), want);
}
