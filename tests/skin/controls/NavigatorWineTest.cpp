#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "ControlPixels.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TButton.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TDataSource.h"
#include "skin/controls/TsDBNavigator.h"
#include "skin/engine/TsSkinManager.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

// The skinned navigator on a record table: layout, enabling, the keyboard and the question before
// a delete, answered by the test through the real message box.

namespace {

constexpr TButtonSet Moves = NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) | NavButton(nbLast);

class Navigator : public TSkinnedFormTest {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Table = TableStore.get();
    Table->AddIntegerField("N");
    Table->CreateDataSet();
    Source = NewComponent<TDataSource>(Form);
    Source->SetDataSet(Table);
    Nav = NewControl<TsDBNavigator>(Form, Form, RECT{10, 10, 250, 35});
    Nav->SetDataSource(Source);
    Other = NewControl<TButton>(Form, Form, RECT{10, 100, 90, 125});
    Pump();
  }
  void Fill(int rows) {
    for (int i = 1; i <= rows; ++i) Table->AppendRecord({TVariant(i)});
    Table->First();
  }
  bool On(TNavigateBtn b) const { return Nav->Buttons(b)->Enabled(); }
  // Posted as the user's press arrives, for the message loop to hand on.
  void Key(WORD key) {
    PostMessageA(Nav->Handle(), WM_KEYDOWN, key, 1);
    PostMessageA(Nav->Handle(), WM_KEYUP, key, 0xC0000001);
    Pump();
  }

  // The source goes with the form before the table goes.
  std::unique_ptr<TClientDataSet> TableStore = std::make_unique<TClientDataSet>();
  TClientDataSet* Table = nullptr;
  TDataSource* Source = nullptr;
  TsDBNavigator* Nav = nullptr;
  TButton* Other = nullptr;
};

TEST_F(Navigator, FourButtonsShareTheWidthAndTheOthersHide) {
  Nav->SetVisibleButtons(Moves);
  for (TNavigateBtn b : {nbFirst, nbPrior, nbNext, nbLast}) {
    EXPECT_EQ(Nav->Buttons(b)->Width(), 60);
    EXPECT_EQ(Nav->Buttons(b)->Left(), 60 * int(b));
    EXPECT_TRUE(Nav->Buttons(b)->Visible());
  }
  EXPECT_FALSE(Nav->Buttons(nbDelete)->Visible());
  EXPECT_GT(Nav->Buttons(nbDelete)->Left(), Nav->Width());
  // Never smaller than its buttons at their minimum size.
  Nav->SetWidth(10);
  EXPECT_EQ(Nav->Width(), 4 * NavigatorModel::MinButtonWidth);
}

TEST_F(Navigator, ButtonsFollowTheTable) {
  for (TNavigateBtn b : {nbFirst, nbPrior, nbNext, nbLast, nbDelete, nbEdit, nbPost, nbCancel}) EXPECT_FALSE(On(b)) << int(b);
  EXPECT_TRUE(On(nbInsert));
  Fill(3);
  EXPECT_FALSE(On(nbFirst));
  EXPECT_TRUE(On(nbNext));
  EXPECT_TRUE(On(nbDelete));
  Nav->Buttons(nbLast)->Click();
  EXPECT_EQ(Table->RecNo(), 3);
  EXPECT_TRUE(On(nbPrior));
  EXPECT_FALSE(On(nbNext));
  Nav->Buttons(nbEdit)->Click();
  EXPECT_TRUE(On(nbPost));
  EXPECT_FALSE(On(nbEdit));
  Nav->Buttons(nbCancel)->Click();
  EXPECT_FALSE(On(nbPost));
  Source->SetEnabled(false);
  EXPECT_FALSE(On(nbInsert));
  Source->SetEnabled(true);
  Nav->SetEnabled(false);
  EXPECT_FALSE(On(nbInsert));
}

TEST_F(Navigator, DeleteRunsOnlyWhenTheQuestionIsAnsweredOk) {
  Fill(3);
  Application->SetTitle("Navigator test");
  auto answer = [](WPARAM reply) {
    RunLater(50, [reply] {
      HWND box = FindWindowA("#32770", "Navigator test");
      if (box) PostMessageA(box, WM_COMMAND, reply, 0);
    });
  };
  int clicks = 0;
  Nav->SetOnNavClick(ENavClick::FromFunctor([&](TObject*, TNavigateBtn) { ++clicks; }));
  answer(IDCANCEL);
  Nav->Buttons(nbDelete)->Click();
  EXPECT_EQ(Table->RecordCount(), 3);
  EXPECT_EQ(clicks, 1);
  // Closing the box is no answer either.
  RunLater(50, [] {
    HWND box = FindWindowA("#32770", "Navigator test");
    if (box) PostMessageA(box, WM_CLOSE, 0, 0);
  });
  Nav->Buttons(nbDelete)->Click();
  EXPECT_EQ(Table->RecordCount(), 3);
  answer(IDOK);
  Nav->Buttons(nbDelete)->Click();
  EXPECT_EQ(Table->RecordCount(), 2);
  // A replaced question, and none without ConfirmDelete.
  TsNavDeleteConfirmation saved = NavigatorDeleteConfirmation();
  int asked = 0;
  NavigatorDeleteConfirmation() = [&](TsDBNavigator*) { return ++asked, false; };
  Nav->Buttons(nbDelete)->Click();
  EXPECT_EQ(Table->RecordCount(), 2);
  Nav->SetConfirmDelete(false);
  Nav->Buttons(nbDelete)->Click();
  EXPECT_EQ(Table->RecordCount(), 1);
  EXPECT_EQ(asked, 1);
  NavigatorDeleteConfirmation() = saved;
}

TEST_F(Navigator, KeysMoveTheFocusAmongVisibleButtonsOnly) {
  Fill(3);
  Nav->SetFocus();
  Pump();
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(Nav->FocusedButton(), nbNext);
  Key(VK_SPACE);
  EXPECT_EQ(Table->RecNo(), 2);
  for (int i = 0; i < 4; ++i) Key(VK_RIGHT);
  EXPECT_EQ(Nav->FocusedButton(), nbEdit);
  // Edit is hidden now: the focus moves to a visible button, and Space runs that one.
  Nav->SetVisibleButtons(Moves);
  EXPECT_EQ(Nav->FocusedButton(), nbLast);
  Key(VK_SPACE);
  EXPECT_EQ(Table->RecNo(), 3);
  EXPECT_NE(Table->State(), TDataSetState::dsEdit);
  Key(VK_RIGHT);
  EXPECT_EQ(Nav->FocusedButton(), nbLast);  // no wrap
  EXPECT_EQ(Nav->Perform(WM_GETDLGCODE), LRESULT(DLGC_WANTARROWS));
}

TEST_F(Navigator, SkinnedButtonsPaintFromTheirCachesAndSurviveSkinChanges) {
  Fill(2);
  LoadSkin("Desert");
  Pump();
  TsNavButton* next = Nav->Buttons(nbNext);
  ASSERT_TRUE(next->IsSkinned());
  Nav->Repaint();
  Pump();
  const TPixels cache = CacheOf(next);
  ASSERT_EQ(cache.size(), size_t(next->Width() * next->Height()));
  const TPixels screen = Captured(Nav);
  int mismatch = 0;
  for (int y = 0; y < next->Height(); ++y)
    for (int x = 0; x < next->Width(); ++x)
      mismatch += screen[size_t((next->Top() + y) * Nav->Width() + next->Left() + x)] != cache[size_t(y * next->Width() + x)];
  EXPECT_EQ(mismatch, 0);
  // The focused button shows hot while the navigator has the focus.
  Nav->SetFocus();
  Pump();
  Nav->Repaint();
  Pump();
  EXPECT_NE(CacheOf(Nav->Buttons(nbFirst)), CacheOf(Nav->Buttons(nbLast)));
  Manager->SetActive(false);
  Pump();
  EXPECT_FALSE(next->IsSkinned());
  next->Click();
  EXPECT_EQ(Table->RecNo(), 2);
  Manager->SetActive(true);
  Pump();
  EXPECT_TRUE(next->IsSkinned());
  EXPECT_FALSE(On(nbNext));
}

class NavigatorCensus : public Navigator, public ::testing::WithParamInterface<const char*> {};

TEST_P(NavigatorCensus, NavigatorsLeaveNoHandles) {
  if (std::string(GetParam()) != "none") LoadSkin(GetParam());
  Fill(2);
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles,
                                   [&] {
                                     auto* nav = NewControl<TsDBNavigator>(Form, Form, RECT{10, 40, 250, 65});
                                     nav->SetDataSource(Source);
                                     nav->Repaint();
                                     nav->Free();
                                   }),
            TGuiCensus());
}

INSTANTIATE_TEST_SUITE_P(Skinned, NavigatorCensus, ::testing::Values("Desert"));

}  // namespace
