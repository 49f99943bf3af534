#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "ControlPixels.h"
#include "framework//win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsPanel.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TGuiCensus.h"

namespace {

// Records the system commands it gets instead of running them (a move loop would block the test).
class TMoveProbe : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_SYSCOMMAND) {
      Commands.push_back(message.WParam);
      return;
    }
    TCustomControl::WndProc(message);
  }
  std::vector<WPARAM> Commands;
};

// A form built as the program builds its windows, with a drag bar given no control to drag; it
// records the system commands it gets instead of running them.
class TDragBarForm : public TForm {
public:
  explicit TDragBarForm(TComponent* owner) : TForm(owner) {
    SetBounds(60, 60, 200, 120);
    Bar = NewControl<TsDragBar>(this, this);
  }
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_SYSCOMMAND) {
      Commands.push_back(message.WParam);
      return;
    }
    TForm::WndProc(message);
  }
  TsDragBar* Bar = nullptr;
  std::vector<WPARAM> Commands;
};

class Panels : public TSkinnedFormTest {
protected:
};

TEST_F(Panels, OnPaintGetsTheCacheCanvasWhenSkinnedAndThePanelsOwnWhenNot) {
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{10, 10, 110, 60});
  TCanvas* seen = nullptr;
  panel->SetOnPaint(TsPaintEvent::FromFunctor([&](TObject*, TCanvas* canvas) { seen = canvas; }));
  panel->Repaint();
  Pump();
  EXPECT_EQ(seen, panel->Canvas());
  LoadSkin();
  ASSERT_TRUE(panel->IsSkinned());
  seen = nullptr;
  panel->Repaint();
  Pump();
  ASSERT_NE(panel->SkinData().CacheBitmap(), nullptr);
  EXPECT_EQ(seen, panel->SkinData().CacheBitmap()->Canvas());
}

TEST_F(Panels, ADragBarStartsTheMoveOfItsControlUntilThatIsFreed) {
  auto* bar = NewControl<TsDragBar>(Form, Form);
  EXPECT_EQ(bar->Align(), alTop);
  EXPECT_EQ(bar->Height(), 20);
  EXPECT_EQ(bar->Caption(), " ");
  EXPECT_EQ(bar->Cursor(), crHandPoint);
  EXPECT_EQ(bar->Font()->Style(), fsBold);
  auto* dragged = NewControl<TMoveProbe>(Form, Form, RECT{0, 100, 50, 150});
  bar->SetDraggedControl(dragged);
  bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  bar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(dragged->Commands, (std::vector<WPARAM>{SC_MOVE | HTCAPTION}));
  bar->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(dragged->Commands.size(), 1u);
  dragged->Free();
  EXPECT_EQ(bar->DraggedControl(), nullptr);
  bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // nothing left to move
  bar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(Panels, ADragBarMadeWithItsFormDragsTheFormUnlessToldOtherwise) {
  TDragBarForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Bar->DraggedControl(), form);
  form->Bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  form->Bar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(form->Commands, (std::vector<WPARAM>{SC_MOVE | HTCAPTION}));
  form->Free();
  // Placed later, by a program, it drags only what it is given.
  auto* bar = NewControl<TsDragBar>(Form, Form);
  EXPECT_EQ(bar->DraggedControl(), nullptr);
}

TEST_F(Panels, AGripShowsTheCornerOfItsLinkedControlsCacheAndStaysOnTop) {
  LoadSkin();
  auto* linked = NewControl<TsPanel>(Form, Form, RECT{10, 10, 110, 70});
  linked->SetCaption("");
  auto* grip = NewControl<TsGrip>(Form, Form, RECT{200, 10, 220, 30});
  EXPECT_EQ(grip->Width(), 20);
  EXPECT_EQ(grip->Align(), alNone);
  NewControl<TsPanel>(Form, Form, RECT{200, 100, 260, 140});  // placed after the grip
  grip->SetLinkedControl(linked, true);
  Pump();
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::Bit24);
  shot.SetSize(20, 20);
  grip->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.Canvas()->Handle()), 0);
  TBitmap* cache = linked->SkinData().CacheBitmap();
  ASSERT_NE(cache, nullptr);
  for (int y = 0; y < 20; y += 3)
    for (int x = 0; x < 20; x += 3)
      ASSERT_EQ(shot.Canvas()->Pixel(x, y), cache->Canvas()->Pixel(80 + x, 40 + y)) << x << "," << y;
  EXPECT_EQ(Form->Controls(Form->ControlCount() - 1), grip);
  // Painted again on top, it does not raise itself again (which would repaint it, for ever).
  const int builds = grip->CacheBuilds();
  grip->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.Canvas()->Handle()), 0);
  Pump();
  EXPECT_EQ(grip->CacheBuilds(), builds);
  linked->Free();
  grip->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.Canvas()->Handle()), 0);  // a panel again
}

// Making and freeing each control, skinned and not, leaves no GDI or USER object behind.
TEST_F(Panels, ControlsLeakNothingOverCreateAndDestroyCycles) {
  auto cycle = [&] {
    const RECT r{10, 10, 100, 40};
    NewControl<TsButton>(Form, Form, r)->Free();
    NewControl<TsCheckBox>(Form, Form, r)->Free();
    NewControl<TsPanel>(Form, Form, r)->Free();
    NewControl<TsDragBar>(Form, Form)->Free();
    auto* gauge = NewControl<TsGauge>(Form, Form, r);
    gauge->Repaint();
    gauge->Free();
  };
  int n = 0;
  auto shownCycle = [&] {
    cycle();
    if (++n % 50 == 0) Pump();
  };
  shownCycle();
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, shownCycle), TGuiCensus());
  LoadSkin();
  shownCycle();
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, shownCycle), TGuiCensus());
}

}  // namespace
