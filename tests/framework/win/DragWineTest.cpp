// Drag and drop between framework controls, driven by the mouse and keyboard as the user drives
// them (SendInput) and taken through the application's message loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "TGuiCensus.h"
#include "TestSupport.h"
#include "framework/win/TButton.h"
#include "framework/win/TLabel.h"
#include "framework/win/TPanel.h"
#include "framework/win/TScreen.h"

namespace {

// What the drag told each control, in order: "start", "over <name> enter|move|leave <source>",
// "drop <name> <source> x,y", "end <target or none> x,y".
class TDragForm : public TTestForm {
public:
  TDragForm() {
    Source = Place<TPanel>("source", RECT{10, 10, 110, 60});
    Accepting = Place<TPanel>("accepting", RECT{150, 10, 250, 60});
    Refusing = Place<TPanel>("refusing", RECT{150, 80, 250, 130});
    Label = Place<TLabel>("label", RECT{10, 150, 110, 180});
    Label->SetAutoSize(false);
    Focus = NewControl<TButton>(this, this, RECT{280, 10, 370, 35});
    Source->SetDragCursor(crHandPoint);
    Source->SetOnStartDrag(TNotifyEvent::FromFunctor([this](TObject*) { Log.push_back("start"); }));
    Source->SetOnEndDrag(TEndDragEvent::FromFunctor([this](TObject*, TObject* target, int x, int y) {
      Log.push_back("end " + Name(target) + " " + std::to_string(x) + "," + std::to_string(y));
    }));
    for (TControl* c : std::initializer_list<TControl*>{Accepting, Refusing, Label}) {
      const bool accepts = c != Refusing;
      c->SetOnDragOver(TDragOverEvent::FromFunctor(
          [this, c, accepts](TObject*, TObject* source, int, int, TDragState state, bool& accept) {
            static const char* const kStates[] = {"enter", "leave", "move"};
            const std::string line = "over " + Name(c) + " " + kStates[int(state)] + " " + Name(source);
            if (Log.empty() || Log.back() != line) Log.push_back(line);
            accept = accepts;
          }));
      c->SetOnDragDrop(TDragDropEvent::FromFunctor([this, c](TObject*, TObject* source, int x, int y) {
        Log.push_back("drop " + Name(c) + " " + Name(source) + " " + std::to_string(x) + "," + std::to_string(y));
      }));
    }
  }

  template <typename T>
  T* Place(const char* name, const RECT& r) {
    T* c = NewControl<T>(this, this, r);
    c->SetName(name);
    return c;
  }
  static std::string Name(TObject* o) {
    auto* c = dynamic_cast<TComponent*>(o);
    return c != nullptr ? c->Name() : "none";
  }
  // The centre of a control on the screen.
  static POINT Centre(TControl* c) { return c->ClientToScreen(POINT{c->Width() / 2, c->Height() / 2}); }
  std::string Last() const { return Log.empty() ? "" : Log.back(); }
  bool Saw(const std::string& line) const { return std::find(Log.begin(), Log.end(), line) != Log.end(); }

  TPanel* Source;
  TPanel* Accepting;
  TPanel* Refusing;
  TLabel* Label;
  TButton* Focus;
  std::vector<std::string> Log;
};

class Drag : public ::testing::Test {
protected:
  void SetUp() override {
    Form = Make<TDragForm>();
    Form->Show();
    Form->Focus->SetFocus();
    Pump();
  }
  void TearDown() override {
    MouseAt(POINT{0, 0}, MOUSEEVENTF_LEFTUP);
    Pump();
  }

  // Moves the mouse to the control's centre with the left button held and waits until the drag
  // has asked it.
  void HoldOver(TControl* c) {
    MouseAt(TDragForm::Centre(c));
    ASSERT_TRUE(PumpUntil([&] { return Form->Last().rfind("over " + c->Name(), 0) == 0; }));
  }
  // A left press on the source that starts an automatic drag.
  void PressSource() {
    Form->Source->SetDragMode(dmAutomatic);
    MouseAt(TDragForm::Centre(Form->Source), MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return Form->Source->Dragging(); }));
  }

  TOwned<TDragForm> Form;
};

TEST_F(Drag, ADropReachesOnlyAnAcceptingTargetAndTellsItTheSource) {
  PressSource();
  HoldOver(Form->Refusing);
  EXPECT_EQ(GetCursor(), Screen->Cursors(crNoDrop));
  HoldOver(Form->Accepting);
  EXPECT_EQ(GetCursor(), Screen->Cursors(crHandPoint));
  MouseAt(TDragForm::Centre(Form->Accepting), MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !Form->Source->Dragging(); }));
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"start", "over refusing enter source", "over refusing leave source",
                                                 "over accepting enter source", "drop accepting source 50,25",
                                                 "end accepting 50,25"}));
  EXPECT_EQ(GetCapture(), nullptr);

  // A graphic control takes a drop as a window does; a refusing one gets none, and the end is told in
  // the source's coordinates.
  const std::vector<std::string> label{"start", "over label enter source", "drop label source 50,15", "end label 50,15"},
      refusing{"start", "over refusing enter source", "over refusing leave source", "end none 190,95"};
  for (TControl* target : std::initializer_list<TControl*>{Form->Label, Form->Refusing}) {
    Form->Log.clear();
    PressSource();
    HoldOver(target);
    MouseAt(TDragForm::Centre(target), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return !Form->Source->Dragging(); }));
    EXPECT_EQ(Form->Log, target == Form->Label ? label : refusing);
  }
}

TEST_F(Drag, EscapeARightPressAndEndDragCancelWithoutADropOrALeftWindow) {
  PressSource();  // the first makes the capture window's class
  Form->Source->EndDrag(false);
  const TGuiCensus before = TGuiCensus::Now();
  for (int way = 0; way < 3; ++way) {
    Form->Log.clear();
    PressSource();
    HoldOver(Form->Accepting);
    if (way == 0) PressKey(VK_ESCAPE);
    if (way == 1) MouseAt(TDragForm::Centre(Form->Accepting), MOUSEEVENTF_RIGHTDOWN);
    if (way == 2) Form->Source->EndDrag(false);
    ASSERT_TRUE(PumpUntil([&] { return !Form->Source->Dragging(); })) << way;
    if (way == 1) MouseAt(TDragForm::Centre(Form->Accepting), MOUSEEVENTF_RIGHTUP);
    // The release that follows finds no drag.
    MouseAt(TDragForm::Centre(Form->Accepting), MOUSEEVENTF_LEFTUP);
    Pump();
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"start", "over accepting enter source", "over accepting leave source",
                                                   "end none 190,25"}))
        << way;
  }
  EXPECT_EQ(TGuiCensus::Now() - before, TGuiCensus{});
  // EndDrag(true) drops where the mouse is.
  Form->Log.clear();
  PressSource();
  HoldOver(Form->Accepting);
  Form->Source->EndDrag(true);
  EXPECT_TRUE(Form->Saw("drop accepting source 50,25"));
}

TEST_F(Drag, WithoutImmediateTheDragWaitsForTheThresholdAndAnEarlyReleaseEndsItQuietly) {
  TPanel* source = Form->Source;
  source->SetOnMouseDown(TMouseEvent::FromFunctor([source](TObject*, TMouseButton, TShiftState, int, int) {
    source->BeginDrag(false, 5);
  }));
  const POINT start = TDragForm::Centre(source);
  for (const bool early : {false, true}) {
    Form->Log.clear();
    MouseAt(start, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([] { return GetCapture() != nullptr; }));
    MouseAt(POINT{start.x + 4, start.y});
    Pump();
    EXPECT_FALSE(source->Dragging());
    EXPECT_TRUE(Form->Log.empty());
    if (early) {
      MouseAt(start, MOUSEEVENTF_LEFTUP);
      ASSERT_TRUE(PumpUntil([] { return GetCapture() == nullptr; }));
      EXPECT_TRUE(Form->Log.empty());
    } else {
      MouseAt(POINT{start.x + 4, start.y + 5});
      ASSERT_TRUE(PumpUntil([&] { return source->Dragging(); }));
      EXPECT_EQ(Form->Log.front(), "start");
      source->EndDrag(false);
    }
  }
}

}  // namespace
