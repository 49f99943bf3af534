// Which window is active and which control has the focus as forms open and close, read as a user
// sees them after real input: the foreground and active window and the focused window.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/TButton.h"
#include "framework/win/TCustomEdit.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TScreen.h"

namespace {

// A form with two edits and a close button, placed beside the others so clicks land on it.
class TSideForm : public TTestForm {
public:
  TSideForm(TComponent* owner, int slot) : TTestForm(owner) {
    SetBounds(60 + slot * 90, 60 + slot * 60, 420, 300);
    First = NewControl<TEdit>(this, this, RECT{10, 10, 200, 34});
    Second = NewControl<TEdit>(this, this, RECT{10, 50, 200, 74});
    CloseButton = NewControl<TButton>(this, this, RECT{10, 90, 110, 120});
    CloseButton->SetText("Close");
    CloseButton->SetOnClick(TNotifyEvent::FromFunctor([this](TObject*) { Close(); }));
  }
  TEdit* First;
  TEdit* Second;
  TButton* CloseButton;
};

class Activation : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Table.AddIntegerField("ID");
    Table.AddStringField("Name", 20);
    Table.CreateDataSet();
    for (int i = 1; i <= 5; ++i) Table.AppendRecord({i, "row" + std::to_string(i)});
    Table.First();
    Main = NewComponent<TSideForm>(nullptr, 0);
    Source = NewComponent<TDataSource>(Main);
    Source->SetDataSet(&Table);
    Grid = NewControl<TDBGrid>(Main, Main, RECT{10, 130, 400, 260});
    Grid->SetDataSource(Source);
    Other = NewComponent<TSideForm>(nullptr, 1);
    Third = NewComponent<TSideForm>(nullptr, 2);
    Main->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == Main->Handle(); }));
  }
  void TearDown() override {
    Source->SetDataSet(nullptr);
    for (TForm* f : {static_cast<TForm*>(Third), static_cast<TForm*>(Other), static_cast<TForm*>(Main)}) f->Free();
    Pump();
  }

  // Focuses a control of a form with a real click and waits for the focus to arrive.
  void ClickInto(TWinControl* control) {
    ClickControl(control);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == control->Handle(); }));
  }

  // What the user sees: the foreground window is active and a control of it has the focus.
  static void ExpectActive(TCustomForm* form, TWinControl* focused) {
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == form->Handle() && GetFocus() == focused->Handle(); }))
        << "active " << GetActiveWindow() << ", focus " << GetFocus();
    EXPECT_EQ(GetForegroundWindow(), form->Handle());
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    EXPECT_EQ(GetFocus(), focused->Handle());
    EXPECT_TRUE(form->Active());
    EXPECT_EQ(Screen->ActiveForm(), form);
  }

  TClientDataSet Table;
  TSideForm* Main = nullptr;
  TSideForm* Other = nullptr;
  TSideForm* Third = nullptr;
  TDataSource* Source = nullptr;
  TDBGrid* Grid = nullptr;
};

TEST_F(Activation, ClosingOrHidingAFormActivatesTheFormActiveBeforeItWithItsFocusedControl) {
  ClickInto(Main->Second);
  // Closed by its button.
  Other->Show();
  ExpectActive(Other, Other->First);
  ClickControl(Other->CloseButton);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(Other->Handle()); }));
  ExpectActive(Main, Main->Second);
  // The keyboard reaches the form again: Tab moves on from the control focused before.
  PressKey(VK_TAB);
  ExpectActive(Main, Main->CloseButton);
  PressKey(VK_TAB, true);
  ExpectActive(Main, Main->Second);
  // Hidden from code, after its own control was clicked.
  Other->Show();
  ClickInto(Other->Second);
  Other->Hide();
  ExpectActive(Main, Main->Second);
  // Shown again, the form comes back with the control it had.
  Other->Show();
  ExpectActive(Other, Other->Second);
  Other->Close();
  ExpectActive(Main, Main->Second);
}

TEST_F(Activation, AChainOfFormsUnwindsInTheOrderTheyWereActive) {
  ClickInto(Main->Second);
  Other->Show();
  ClickInto(Other->Second);
  Third->Show();
  ExpectActive(Third, Third->First);
  ClickControl(Third->CloseButton);
  ExpectActive(Other, Other->Second);
  ClickControl(Other->CloseButton);
  ExpectActive(Main, Main->Second);
  // Hiding a form that is not active leaves the active one as it is; closing the active one then
  // skips the hidden one.
  Other->Show();
  Third->Show();
  ClickInto(Third->Second);
  Other->Hide();
  ExpectActive(Third, Third->Second);
  Third->Close();
  ExpectActive(Main, Main->Second);
}

TEST_F(Activation, ADoubleClickThatOpensAFormLeavesItInFrontAndActive) {
  Grid->SetOnDblClick(TNotifyEvent::FromFunctor([this](TObject*) { Other->Show(); }));
  ClickInto(Main->First);
  const RECT cell = Grid->CellRect(1, 2);
  ASSERT_FALSE(IsRectEmpty(&cell));
  ClickAt(CentreOf(Grid->Handle(), cell), 2);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Other->Handle()); }));
  Pump();
  ExpectActive(Other, Other->First);
  EXPECT_TRUE(IsAbove(Other->Handle(), Main->Handle()));
  EXPECT_EQ(Table.RecNo(), 2);
  // The clicked grid is what the main form focuses when it is active again.
  ClickControl(Other->CloseButton);
  ExpectActive(Main, Grid);
}

}  // namespace
