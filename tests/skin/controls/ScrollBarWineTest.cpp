#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ControlPixels.h"
#include "framework//win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TScrollBar.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TGuiCensus.h"

// The scroll bar driven by real messages: without a skin the standard scroll bar, pixel for pixel;
// with one, the screen shows its cache whatever the mouse does, and presses end soundly however the
// capture goes.

namespace {

void Pump() { Application->ProcessMessages(); }

void Send(TWinControl* c, UINT msg, WPARAM w, LPARAM l) { SendMessageA(c->Handle(), msg, w, l); }
LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
void Key(TWinControl* c, WORD vk) {
  Send(c, WM_KEYDOWN, vk, 1);
  Send(c, WM_KEYUP, vk, 0xC0000001);
}

class ScrollBarTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Form = NewComponent<TForm>(nullptr);
    Form->SetBounds(40, 40, 360, 320);
    Other = NewControl<TButton>(Form, Form, RECT{200, 240, 280, 265});
    Form->Show();
    Pump();
    PreviousBoxes = SetSkinMessageBoxHandler([this](TsBoxKind, const std::string& text) {
      Boxes.push_back(text);
      return false;
    });
    Application->SetShowHint(true);
  }
  void TearDown() override {
    SetSkinMessageBoxHandler(PreviousBoxes);
    Form->Free();
    InstallSkinTables({});
    SkinData().Active = false;
    Application->SetShowHint(true);
    Pump();
  }
  void LoadSkin(const std::string& name) {
    Manager = NewComponent<TsSkinManager>(Form);
    auto* manager = Manager;
    manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    manager->SetSkinName(name);
    ASSERT_GE(FindSectionIndex("SCROLLBAR1H"), 0);
  }
  template <typename T>
  T* Put() {
    auto* bar = NewControl<T>(Form, Form, RECT{20, 20, 260, 20 + GetSystemMetrics(SM_CYHSCROLL)});
    bar->SetOnChange(TNotifyEvent::FromFunctor([this](TObject*) { ++Changes; }));
    Pump();
    return bar;
  }
  TsScrollBar* PutSkinned() {
    auto* bar = Put<TsScrollBar>();
    bar->SetHostNotify(TScrollBarHostNotify::FromFunctor([this](TObject*, int old) { Olds.push_back(old); }));
    return bar;
  }
  // The middle of a horizontal bar's 14-pixel slider (no page).
  static int SliderX(TsScrollBar* bar) {
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    const int free = bar->Width() - 2 * arrow - 14;
    return arrow + 7 + free * (bar->Position() - bar->Min()) / (bar->Max() - bar->Min());
  }

  TForm* Form = nullptr;
  TWinControl* Other = nullptr;
  TsSkinManager* Manager = nullptr;
  TsMessageBoxHandler PreviousBoxes;
  std::vector<std::string> Boxes;
  std::vector<int> Olds;
  int Changes = 0;
};

// One scripted run on the keyboard and in code; the native bar's mouse tracking is modal.
template <typename T>
std::vector<TPixels> StandardRun(T* bar, std::vector<int>& positions) {
  const std::vector<std::function<void()>> steps = {
      [] {},
      [&] { bar->SetPageSize(10); },
      [&] { bar->SetPosition(30); },
      [&] { Key(bar, VK_RIGHT); },
      [&] { Key(bar, VK_NEXT); },
      [&] { Key(bar, VK_END); },
      [&] { bar->SetEnabled(false); },
      [&] { bar->SetEnabled(true); },
      [&] { bar->SetKind(sbVertical); },
  };
  std::vector<TPixels> shots;
  for (const auto& step : steps) {
    step();
    Pump();
    shots.push_back(Captured(bar));
    positions.push_back(bar->Position());
  }
  return shots;
}

TEST_F(ScrollBarTest, WithoutASkinItIsTheStandardScrollBar) {
  std::vector<int> standardPositions, positions;
  auto* standard = Put<TScrollBar>();
  standard->SetLargeChange(7);
  const std::vector<TPixels> expected = StandardRun(standard, standardPositions);
  const int standardChanges = std::exchange(Changes, 0);
  standard->Free();
  auto* bar = Put<TsScrollBar>();
  bar->SetLargeChange(7);
  const std::vector<TPixels> shown = StandardRun(bar, positions);
  EXPECT_FALSE(bar->IsSkinned());
  EXPECT_EQ(bar->CacheBuilds(), 0);
  EXPECT_EQ(positions, standardPositions);
  EXPECT_EQ(positions[5], 100);
  EXPECT_EQ(Changes, standardChanges);
  EXPECT_NE(expected[2], expected[3]);  // the screen was read: the key moved the thumb
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(shown[i], expected[i]) << "step " << i;
  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
}

TEST_F(ScrollBarTest, WithoutASkinAnInvertedRangeIsAnErrorAndALargePageIsKept) {
  auto* bar = Put<TsScrollBar>();
  try {
    bar->SetParams(0, 10, 5);
    ADD_FAILURE() << "an inverted range was accepted";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(std::string(e.what()), "Scrollbar property out of range");
  }
  bar->SetParams(0, 0, 100);
  bar->SetPageSize(500);
  EXPECT_EQ(bar->PageSize(), 500);
  bar->SetPageSize(-3);
  EXPECT_EQ(bar->PageSize(), 500);
  EXPECT_EQ(bar->Max(), 100);
  Pump();
  EXPECT_TRUE(Boxes.empty());
}

class SkinnedScrollBar : public ScrollBarTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedScrollBar, TheScreenShowsTheCacheWhateverTheMouseDoes) {
  LoadSkin(GetParam());
  TsScrollBar* bar = PutSkinned();
  ASSERT_TRUE(bar->IsSkinned());
  const int h = bar->Height(), w = bar->Width(), arrow = GetSystemMetrics(SM_CXHSCROLL);
  auto hover = [&](int x) {
    const POINT screen = bar->ClientToScreen(POINT{x, h / 2});
    Send(bar, WM_NCHITTEST, 0, At(screen.x, screen.y));
  };
  const std::vector<std::pair<std::string, std::function<void()>>> steps = {
      {"shown", [] {}},
      {"hover on the slider", [&] { hover(SliderX(bar)); }},
      {"hover on the right arrow", [&] { hover(w - 3); }},
      {"right arrow pressed", [&] { Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(w - 3, h / 2)); }},
      {"right arrow released", [&] { Send(bar, WM_LBUTTONUP, 0, At(w - 3, h / 2)); }},
      {"track pressed", [&] { Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(w - arrow - 5, h / 2)); }},
      {"track released", [&] { Send(bar, WM_LBUTTONUP, 0, At(w - arrow - 5, h / 2)); }},
      {"slider grabbed", [&] { Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(SliderX(bar), h / 2)); }},
      {"slider dragged", [&] { Send(bar, WM_MOUSEMOVE, MK_LBUTTON, At(arrow + 30, h / 2)); }},
      {"slider dragged out", [&] { Send(bar, WM_MOUSEMOVE, MK_LBUTTON, At(arrow + 60, h + 40)); }},
      {"slider released", [&] { Send(bar, WM_LBUTTONUP, 0, At(arrow + 60, h + 40)); }},
      {"key End", [&] { Key(bar, VK_END); }},
      {"disabled", [&] { bar->SetEnabled(false); }},
      {"enabled", [&] { bar->SetEnabled(true); }},
      {"made vertical", [&] {
         bar->SetWidth(150);  // to fit the form once turned
         bar->SetKind(sbVertical);
       }},
  };
  std::vector<int> positions;
  for (const auto& [name, act] : steps) {
    act();
    EXPECT_EQ(Captured(bar), CacheOf(bar)) << "right after " << name;
    Pump();
    EXPECT_EQ(Captured(bar), CacheOf(bar)) << "after " << name;
    positions.push_back(bar->Position());
  }
  EXPECT_EQ(positions[3], 1);    // the arrow stepped
  EXPECT_EQ(positions[5], 2);    // the track paged (LargeChange 1)
  EXPECT_GT(positions[8], 2);    // dragged along
  EXPECT_GT(positions[9], positions[8]);  // and on, the pointer off the bar
  EXPECT_EQ(positions[11], 100);
  EXPECT_EQ(bar->Width(), h);    // the kind swapped the sides
  EXPECT_TRUE(bar->IsSkinned());
  EXPECT_TRUE(Boxes.empty());
}

TEST_P(SkinnedScrollBar, ANonSmoothDragReportsOnceFromItsStart) {
  LoadSkin(GetParam());
  TsScrollBar* bar = PutSkinned();
  bar->SetSmooth(false);
  bar->SetPosition(10);
  Changes = 0;
  Olds.clear();
  const int y = bar->Height() / 2, x = SliderX(bar);
  Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  for (int dx = 10; dx <= 80; dx += 10) Send(bar, WM_MOUSEMOVE, MK_LBUTTON, At(x + dx, y));
  EXPECT_GT(bar->Position(), 40);
  EXPECT_EQ(Changes, 0);
  Send(bar, WM_LBUTTONUP, 0, At(x + 80, y));
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Olds, std::vector<int>{10});
  EXPECT_EQ(bar->LastScrollCode(), TScrollAction::Position);
}

TEST_P(SkinnedScrollBar, ALostCaptureEndsThePressAndBringsTheHintsBack) {
  LoadSkin(GetParam());
  TsScrollBar* bar = PutSkinned();
  bar->SetSmooth(false);
  const int y = bar->Height() / 2;
  for (UINT loss : {UINT(WM_CAPTURECHANGED), UINT(WM_CANCELMODE)}) {
    Changes = 0;
    const int x = SliderX(bar);
    Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    EXPECT_EQ(GetCapture(), bar->Handle());
    EXPECT_FALSE(Application->ShowHint());
    Send(bar, WM_MOUSEMOVE, MK_LBUTTON, At(x + 40, y));
    const int moved = bar->Position();
    if (loss == WM_CAPTURECHANGED)
      SetCapture(Other->Handle());  // another window takes the mouse
    else
      Send(bar, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    EXPECT_TRUE(Application->ShowHint());
    EXPECT_EQ(Changes, 1) << "the held report is made";
    Send(bar, WM_MOUSEMOVE, 0, At(x + 120, y));
    EXPECT_EQ(bar->Position(), moved) << "the slider no longer follows";
    Pump();
    EXPECT_EQ(Captured(bar), CacheOf(bar));
    bar->SetPosition(0);
    EXPECT_EQ(Changes, 2) << "reports are live again";
  }
}

TEST_P(SkinnedScrollBar, HintsAreRestoredOnlyByTheReleaseOfTheLeftPressThatSavedThem) {
  LoadSkin(GetParam());
  TsScrollBar* bar = PutSkinned();
  const LPARAM track = At(bar->Width() / 2 + 30, bar->Height() / 2);
  // Left down, right down, right up: the right release ends the press and restores.
  Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, track);
  Send(bar, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, track);
  Send(bar, WM_RBUTTONUP, MK_LBUTTON, track);
  EXPECT_TRUE(Application->ShowHint());
  Send(bar, WM_LBUTTONUP, 0, track);
  EXPECT_TRUE(Application->ShowHint());
  // A second press before the release does not save the "off" the first one made.
  Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, track);
  Send(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, track);
  Send(bar, WM_LBUTTONUP, 0, track);
  EXPECT_TRUE(Application->ShowHint());
  // A release with no press of the bar behind it leaves the program's choice alone.
  Application->SetShowHint(false);
  Send(bar, WM_RBUTTONDOWN, MK_RBUTTON, track);
  Send(bar, WM_RBUTTONUP, 0, track);
  EXPECT_FALSE(Application->ShowHint());
}

TEST_P(SkinnedScrollBar, HeldArrowsRepeatOnTheRepeatClock) {
  LoadSkin(GetParam());
  TsScrollBar* bar = PutSkinned();
  std::int64_t now = 0;
  bar->SetRepeatClock([&] { return now; });
  const LPARAM arrow = At(bar->Width() - 3, bar->Height() / 2);
  Send(bar, WM_NCHITTEST, 0, [&] {
    const POINT p = bar->ClientToScreen(POINT{bar->Width() - 3, bar->Height() / 2});
    return At(p.x, p.y);
  }());
  Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, arrow);
  EXPECT_EQ(bar->Position(), 1);
  std::vector<int> positions;
  for (int at : {100, 499, 500, 599, 600, 700}) {
    now = at;
    Send(bar, WM_TIMER, TsScrollBar::RepeatTimerId, 0);
    positions.push_back(bar->Position());
  }
  EXPECT_EQ(positions, (std::vector<int>{1, 1, 2, 2, 3, 4}));
  Send(bar, WM_LBUTTONUP, 0, arrow);
  now = 2000;
  Send(bar, WM_TIMER, TsScrollBar::RepeatTimerId, 0);
  EXPECT_EQ(bar->Position(), 4);
}

TEST_P(SkinnedScrollBar, AnEmptyRangeSetByAProgramShowsTheErrorBoxAndGoesOn) {
  LoadSkin(GetParam());
  TsScrollBar* bar = PutSkinned();
  bar->SetName("Bar1");
  bar->SetMax(5);
  bar->SetMin(5);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "Scrollbar property out of range\n\rMax = 5(Bar1)");
  EXPECT_EQ(bar->Min(), 5);
  bar->SetLinkedControl(Other);
  Other->SetName("Memo1");
  bar->SetMax(2);  // inverted: an empty bar, nothing divided by zero
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[1], "Scrollbar property out of range\n\rMax = 2(Owner=Memo1)");
  bar->SetPageSize(3);
  bar->Repaint();
  Pump();
  EXPECT_EQ(Captured(bar), CacheOf(bar));
  Other->Free();
  EXPECT_EQ(bar->LinkedControl(), nullptr);
}

TEST_P(SkinnedScrollBar, AHostFillsTheBarWithoutBoxesOrReports) {
  LoadSkin(GetParam());
  TsScrollBar* bar = PutSkinned();
  bar->SetLinkedControl(Other);
  Changes = 0;
  bar->FillFromScrollInfo({0, 99, 10, 40, true});
  EXPECT_EQ(bar->Max(), 90);
  EXPECT_EQ(bar->Position(), 40);
  EXPECT_TRUE(bar->Enabled());
  bar->FillFromScrollInfo({0, 9, 20, 0, true});  // would pass Max < Min
  EXPECT_FALSE(bar->Enabled());
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Changes, 0);
  EXPECT_TRUE(Olds.empty());
  Pump();
  EXPECT_EQ(Captured(bar), CacheOf(bar));
}

// On a form the skin broadcasts reach (owned by the application) and on one they do not: either
// way the bar ends as the native control without a skin, and as a plain window with one.
TEST_P(SkinnedScrollBar, SwitchingTheSkinOffAndOnKeepsTheBarAndSwapsItsWindow) {
  LoadSkin(GetParam());
  auto* reached = NewComponent<TForm>(Application);
  reached->SetBounds(420, 40, 300, 120);
  reached->Show();
  std::vector<TsScrollBar*> bars = {PutSkinned(), NewControl<TsScrollBar>(reached, reached, RECT{10, 10, 250, 27})};
  for (TsScrollBar* bar : bars) {
    bar->SetPageSize(10);
    bar->SetPosition(40);
  }
  Pump();
  auto nativeInfo = [](TsScrollBar* bar) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    char className[64] = {};
    GetClassNameA(bar->Handle(), className, sizeof className);
    if (std::string(className).find("Skinned") != std::string::npos) si.cbSize = 0;
    else GetScrollInfo(bar->Handle(), SB_CTL, &si);
    return si;
  };
  for (TsScrollBar* bar : bars) EXPECT_EQ(nativeInfo(bar).cbSize, 0u) << "a plain window while skinned";
  Manager->SetActive(false);
  for (TsScrollBar* bar : bars) bar->Invalidate();
  Pump();
  for (TsScrollBar* bar : bars) {
    EXPECT_FALSE(bar->IsSkinned());
    const SCROLLINFO si = nativeInfo(bar);
    EXPECT_NE(si.cbSize, 0u) << "the native control again";
    EXPECT_EQ(si.nPos, 40);
    EXPECT_EQ(si.nPage, 10u);
  }
  Manager->SetActive(true);
  for (TsScrollBar* bar : bars) bar->Invalidate();
  Pump();
  for (TsScrollBar* bar : bars) {
    EXPECT_TRUE(bar->IsSkinned());
    EXPECT_EQ(nativeInfo(bar).cbSize, 0u);
    EXPECT_EQ(bar->Position(), 40);
    EXPECT_EQ(Captured(bar), CacheOf(bar));
  }
  reached->Free();
}

TEST_P(SkinnedScrollBar, ThousandBarsLeaveNoHandlesBehind) {
  LoadSkin(GetParam());
  auto cycle = [&] {
    auto* bar = NewControl<TsScrollBar>(Form, Form, RECT{20, 60, 200, 77});
    bar->SetPosition(30);
    bar->Repaint();
    Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(bar->Width() - 3, 5));
    bar->Free();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus());
  EXPECT_TRUE(Application->ShowHint());  // a bar freed mid-press gives the hints back
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedScrollBar, ::testing::Values("Desert", "Nocturne"));

TEST_F(ScrollBarTest, ThousandStandardBarsLeaveNoHandlesBehind) {
  auto cycle = [&] {
    auto* bar = NewControl<TsScrollBar>(Form, Form, RECT{20, 60, 200, 77});
    bar->SetPosition(30);
    bar->Repaint();
    bar->Free();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus());
}

}  // namespace
