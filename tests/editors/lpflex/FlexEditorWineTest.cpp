#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "EditorWindowTestSupport.h"
#include "editors/TfmFlexEditor.h"
#include "editors/core/TFlexEditorModel.h"
#include "framework/win/TApplication.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsFileNameEdit.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/support/TTempFolder.h"

namespace {

class FlexEditorWindow : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    FlexName = Folder / "phone_{@0x10F40000}CG2.smg";
    WriteBytes(FlexName, std::vector<uint8_t>(1000, 0x5A));
    Form = NewComponent<TfmFlexEditor>(Application);
  }
  void TearDown() override {
    Form->Free();
    Pump();
  }
  int32_t MakeShxAddress() {
    ClickButton(Form->sButton4);
    return World.Main.Combines.empty() ? -1 : World.Main.Combines.back().Address;
  }

  TTempFolder Folder{"flexeditor"};
  std::string FlexName;
  TScriptedEditorWorld World;
  TfmFlexEditor* Form = nullptr;
};

TEST_F(FlexEditorWindow, TheAddressComesFromTheEditThenTheGridRowThenTheFileName) {
  World.Main.Grid[2] = TGridRow{FlexName, 0x12000000, "12000000"};
  Form->Show();
  Pump();
  EXPECT_EQ(Form->sFilenameEdit1->Text(), FlexName);
  EXPECT_EQ(Form->sEdit1->Text(), "12000000");

  // Typed in the edit, the address wins.
  Form->sEdit1->SetFocus();
  SendMessageA(Form->sEdit1->Handle(), EM_SETSEL, 0, -1);
  TypeText(Form->sEdit1->Handle(), L"13000000");
  Pump();
  EXPECT_EQ(MakeShxAddress(), 0x13000000);
  ASSERT_EQ(World.Main.Combines.size(), 1u);
  EXPECT_EQ(World.Main.Combines[0].CG, 2);
  EXPECT_EQ(World.Main.Combines[0].FileName, FlexName);
  EXPECT_EQ(World.Main.Combines[0].Size, 1000);

  // An empty edit: the grid's row.
  Form->sEdit1->SetText("");
  EXPECT_EQ(MakeShxAddress(), 0x12000000);
  // No row in the grid: the "{@0x" of the file name.
  World.Main.Grid.clear();
  EXPECT_EQ(MakeShxAddress(), 0x10F40000);
  // No file: no combine at all.
  Form->sFilenameEdit1->SetText(Folder / "gone{@0x10F40000}.smg");
  ClickButton(Form->sButton4);
  EXPECT_EQ(World.Main.Combines.size(), 3u);
}

TEST_F(FlexEditorWindow, FlashGivesOneRowAndAMissingFileIsNotShown) {
  Form->Show();
  Pump();
  EXPECT_EQ(Form->sFilenameEdit1->Text(), "") << "no code-group-2 row: nothing named";
  Form->sFilenameEdit1->SetText(FlexName);
  ClickButton(Form->sButton3);
  EXPECT_EQ(World.Main.LoaderFills, 1);
  ASSERT_EQ(World.Flasher.Rows.size(), 1u);
  EXPECT_EQ(World.Flasher.Rows[0].CG, 2);
  EXPECT_EQ(World.Flasher.Rows[0].Type, "Flex");
  EXPECT_EQ(World.Flasher.Rows[0].A1, 0x10F40000);
  EXPECT_EQ(World.Flasher.Rows[0].Size, 1000);
  EXPECT_EQ(World.Flasher.Shows, 1);

  Form->sFilenameEdit1->SetText(Folder / "gone.smg");
  ClickButton(Form->sButton3);
  EXPECT_EQ(World.Flasher.Resets, 2);
  EXPECT_TRUE(World.Flasher.Rows.empty());
  EXPECT_EQ(World.Flasher.Shows, 1) << "a missing file is not shown in the flasher";

  // "Parse" reads the file; "Save" does nothing.
  Form->sFilenameEdit1->SetText(FlexName);
  ClickButton(Form->sButton1);
  EXPECT_EQ(Form->Model().Data().size(), 1000u);
  ClickButton(Form->sButton2);
  EXPECT_EQ(World.Flasher.Resets, 2);
}

TEST_F(FlexEditorWindow, TheCaptionsFollowTheSkinOffAndOnAgain) {
  auto* manager = NewComponent<TsSkinManager>(Application);
  const std::unique_ptr<TsSkinManager, void (*)(TsSkinManager*)> freeManager(manager,
                                                                            [](TsSkinManager* m) { m->Free(); });
  manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
  manager->SetSkinName("Desert");
  Form->Show();
  Pump();
  TsBoundLabel* const labels[] = {Form->sFilenameEdit1->BoundLabel(), Form->sEdit1->BoundLabel()};
  // The form's own section gives the captions their colour.
  auto* provider = dynamic_cast<TsSkinProvider*>(Form->FindComponent("sSkinProvider1"));
  ASSERT_NE(provider, nullptr);
  const int section = provider->SkinData()->SkinIndex();
  ASSERT_TRUE(SectionIndexValid(section));
  const TColor skinned = ActiveSkin().SkinSectionData[size_t(section)].FontColor[0];
  ASSERT_NE(skinned, clWindowText);
  for (TsBoundLabel* label : labels) EXPECT_EQ(label->Font()->Color(), skinned);
  manager->SetActive(false);
  Pump();
  for (TsBoundLabel* label : labels) EXPECT_EQ(label->Font()->Color(), clWindowText);
  manager->SetActive(true);
  Pump();
  for (TsBoundLabel* label : labels) EXPECT_EQ(label->Font()->Color(), skinned);
}

}  // namespace
