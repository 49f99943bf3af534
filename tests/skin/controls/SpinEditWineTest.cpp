#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

#include "ControlPixels.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TTimer.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "tests/framework/win/TGuiCensus.h"

// The spin edit driven by real messages: its buttons step the value within its bounds, a held
// button repeats on the repeat clock, keys pass or beep, and with a skin the buttons show their
// caches over the edit's image.

namespace {

void Send(HWND window, UINT msg, WPARAM w, LPARAM l) { SendMessageA(window, msg, w, l); }

// Holds Ctrl down for GetKeyState while it lives.
class TCtrlHeld {
public:
  TCtrlHeld() {
    GetKeyboardState(FSaved);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
  }
  ~TCtrlHeld() { SetKeyboardState(FSaved); }

private:
  BYTE FSaved[256];
};

class SpinEdit : public TSkinnedFormTest {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Other = NewControl<TButton>(Form, Form, RECT{20, 200, 100, 225});
    Pump();
  }
  TsSpinEdit* Put(const RECT& bounds = RECT{120, 20, 240, 44}) {
    auto* spin = NewControl<TsSpinEdit>(Form, Form, bounds);
    Pump();
    return spin;
  }
  // A press (and release) of a button in the spin button's window, in its coordinates.
  static LPARAM Middle(TControl* button) {
    return MAKELPARAM(button->Left() + button->Width() / 2, button->Top() + button->Height() / 2);
  }
  static void Press(TsSpinEdit* spin, TControl* button) {
    Send(spin->Button()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Middle(button));
  }
  static void Release(TsSpinEdit* spin, TControl* button) {
    Send(spin->Button()->Handle(), WM_LBUTTONUP, 0, Middle(button));
  }
  static void Click(TsSpinEdit* spin, TControl* button) {
    Press(spin, button);
    Release(spin, button);
  }
  static void Char(TWinControl* c, char ch) {
    PostMessageA(c->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
    Pump();
  }
  static void KeyDown(TWinControl* c, WORD vk) {
    PostMessageA(c->Handle(), WM_KEYDOWN, vk, 1);
    PostMessageA(c->Handle(), WM_KEYUP, vk, 0xC0000001);
    Pump();
  }

  TWinControl* Other = nullptr;
};

TEST_F(SpinEdit, ButtonsAndCtrlArrowsStepWithinTheBoundsOrFreelyWithEqualOnes) {
  auto* spin = Put();
  EXPECT_EQ(spin->Text(), "0");
  // Bounds 0 and 0 (the program's forms): any value stays as typed.
  spin->SetText("600");
  Click(spin, spin->Button()->UpButton());
  EXPECT_EQ(spin->Text(), "601");
  Click(spin, spin->Button()->DownButton());
  Click(spin, spin->Button()->DownButton());
  EXPECT_EQ(spin->Value(), 599);
  EXPECT_TRUE(spin->Focused());  // the press gave the edit the focus
  spin->SetText("2147483647");
  Click(spin, spin->Button()->UpButton());
  EXPECT_EQ(spin->Text(), "2147483647");  // no wrap to the most negative number
  // Bounds 1..10: a value beyond them is shown at them; leaving the edit clamps what was typed.
  spin->SetMinValue(1);
  spin->SetMaxValue(10);
  spin->SetValue(20);
  EXPECT_EQ(spin->Text(), "10");
  Click(spin, spin->Button()->UpButton());
  EXPECT_EQ(spin->Text(), "10");
  spin->SetText("0");
  Other->SetFocus();
  Pump();
  EXPECT_EQ(spin->Text(), "1");
  spin->SetText("no number");
  EXPECT_EQ(spin->Value(), 1);
  // Ctrl+Up steps; Up alone moves nothing.
  spin->SetFocus();
  spin->SetText("5");
  KeyDown(spin, VK_UP);
  EXPECT_EQ(spin->Text(), "5");
  {
    const TCtrlHeld ctrl;
    KeyDown(spin, VK_UP);
    EXPECT_EQ(spin->Text(), "6");
    KeyDown(spin, VK_DOWN);
    EXPECT_EQ(spin->Text(), "5");
  }
  // Read-only: the buttons change nothing.
  spin->SetReadOnly(true);
  Click(spin, spin->Button()->UpButton());
  EXPECT_EQ(spin->Text(), "5");
}

TEST_F(SpinEdit, OnlyDigitsAreTypedAndOnlyWhileTheEditorIsEnabled) {
  auto* spin = Put();
  spin->SetFocus();
  spin->SetText("");
  for (char ch : std::string("1-a2+.\r3")) Char(spin, ch);
  EXPECT_EQ(spin->Text(), "123");
  spin->SetEditorEnabled(false);
  Char(spin, '4');
  Char(spin, '\b');
  EXPECT_EQ(spin->Text(), "123");
  spin->SelectAll();
  Send(spin->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(spin->Text(), "123");
  spin->SetEditorEnabled(true);
  Send(spin->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(spin->Text(), "");
}

TEST_F(SpinEdit, AHeldButtonRepeatsAfter400ThenEvery100MillisecondsUntilReleased) {
  auto* spin = Put();
  spin->SetText("0");
  TsTimerSpeedButton* up = spin->Button()->UpButton();
  std::int64_t now = 1000;
  up->SetRepeatClock([&] { return now; });
  Press(spin, up);
  TTimer* timer = up->RepeatTimer();
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 400u);
  auto tick = [&](std::int64_t at) {
    now = at;
    timer->OnTimer()(timer);
    return spin->Value();
  };
  EXPECT_EQ(tick(1399), 0);
  EXPECT_EQ(tick(1400), 1);
  EXPECT_EQ(timer->Interval(), 100u);
  EXPECT_EQ(tick(1450), 1);
  EXPECT_EQ(tick(1500), 2);
  EXPECT_EQ(tick(1600), 3);
  Release(spin, up);
  EXPECT_EQ(spin->Value(), 4);  // the release clicks once more
  EXPECT_FALSE(timer->Enabled());
  // A press whose capture is taken away ends without a release: no more clicks.
  Press(spin, up);
  ReleaseCapture();
  SetCaptureControl(nullptr);
  EXPECT_EQ(tick(now + 400), 4);
  EXPECT_FALSE(timer->Enabled());
}

TEST_F(SpinEdit, UnskinnedTheArrowsAreDrawnInRaisedButtonsInsideTheEditsRightEdge) {
  auto* spin = Put(RECT{120, 20, 240, 44});
  TsSpinButton* button = spin->Button();
  const RECT client = spin->ClientRect();
  EXPECT_EQ(button->Left(), spin->Width() - button->Width() - 4);
  EXPECT_EQ(button->Height(), spin->Height() - 4);
  EXPECT_GE(button->Width(), 15);
  // The text ends before the button.
  RECT text{};
  Send(spin->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_LE(text.right, client.right - button->Width());
  // Each arrow's tip is black in the middle of its button; the faces are the button colour.
  const TWindowDC dc(button->Handle(), TWindowDC::Client);
  for (TsTimerSpeedButton* b : {button->UpButton(), button->DownButton()}) {
    const bool isUp = b == button->UpButton();
    const int x = b->Left() + b->Width() / 2 - 1;
    const int tipY = b->Top() + b->Height() / 2 - 3 + (isUp ? 0 : 3);
    EXPECT_EQ(GetPixel(dc.Handle(), x, tipY), RGB(0, 0, 0)) << isUp;
    EXPECT_EQ(GetPixel(dc.Handle(), b->Left() + 3, b->Top() + 3), ColorToRGB(clBtnFace)) << isUp;
    EXPECT_FALSE(b->IsSkinned());
    EXPECT_EQ(b->CacheBuilds(), 0);
  }
  EXPECT_EQ(spin->CacheBuilds(), 0);
  // A narrow spin button keeps its smallest width.
  button->SetWidth(8);
  EXPECT_EQ(button->Width(), 15);
}

// A spin edit made before its bounds are set (a window laid out in code) keeps its button
// inside its right edge once it is sized.
TEST_F(SpinEdit, TheButtonFollowsTheRightEdgeWhenTheEditIsSizedAfterItsWindowExists) {
  LoadSkin("Nocturne");
  for (bool shown : {true, false}) {
    Form->SetVisible(shown);
    auto* spin = NewControl<TsSpinEdit>(Form, Form);
    Pump();
    ASSERT_TRUE(spin->HandleAllocated());
    // The window's own rectangles: a height below the font's smallest is raised by the window.
    for (int width : {105, 160, 90}) {
      for (int height : {24, 12}) {
        spin->SetBounds(120, 20, width, height);
        Pump();
        RECT edit{}, client{}, button{};
        GetWindowRect(spin->Handle(), &edit);
        GetClientRect(spin->Handle(), &client);
        GetWindowRect(spin->Button()->Handle(), &button);
        MapWindowPoints(HWND_DESKTOP, spin->Handle(), reinterpret_cast<POINT*>(&button), 2);
        EXPECT_EQ(edit.right - edit.left, width) << height << " shown " << shown;
        EXPECT_EQ(button.right, client.right) << width << "x" << height << " shown " << shown;
        EXPECT_EQ(button.bottom, client.bottom) << width << "x" << height << " shown " << shown;
        EXPECT_GE(edit.bottom - edit.top, height);
      }
    }
    spin->Free();
  }
}

// A skin that comes and goes after the spin edit exists reaches its buttons through the spin button.
TEST_F(SpinEdit, SkinChangesReachTheButtonsThroughTheSpinButton) {
  auto* spin = Put();
  TsTimerSpeedButton* up = spin->Button()->UpButton();
  EXPECT_EQ(up->SkinData().SkinIndex(), -1);
  LoadSkin();
  EXPECT_EQ(up->SkinData().SkinIndex(), FindSectionIndex("SPEEDBUTTON_SMALL"));
  EXPECT_GE(up->SkinData().SkinIndex(), 0);
  Manager->SetActive(false);
  EXPECT_EQ(up->SkinData().SkinIndex(), -1);
  EXPECT_FALSE(AskCache(spin->Button()).Valid);
}

class SkinnedSpinEdit : public SpinEdit, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedSpinEdit, TheButtonsShowTheirCachesOverTheEditsImageAndLeaveTheGlobalsAsFound) {
  LoadSkin(GetParam());
  auto* spin = Put();
  ASSERT_TRUE(spin->IsSkinned());
  TsSpinButton* button = spin->Button();
  TsTimerSpeedButton* up = button->UpButton();
  ASSERT_TRUE(up->IsSkinned());
  EXPECT_EQ(up->SkinData().SkinIndex(), FindSectionIndex("SPEEDBUTTON_SMALL"));
  // What shows through the buttons is the edit's image at their place.
  const TsCacheInfo ci = AskCache(button);
  ASSERT_TRUE(ci.Valid);
  EXPECT_EQ(ci.Bitmap, spin->SkinData().CacheBitmap());
  EXPECT_EQ(ci.X, button->Left() + 2);
  EXPECT_EQ(ci.Y, button->Top() + 2);

  // The screen shows each button's cache; repaints copy it without building it again.
  const int builds = up->CacheBuilds();
  button->Repaint();
  up->Repaint();
  Pump();
  EXPECT_EQ(up->CacheBuilds(), builds);
  TBitmap shown;
  shown.SetPixelFormat(TPixelFormat::Bit24);
  shown.SetSize(up->Width(), up->Height());
  {
    const TWindowDC dc(button->Handle(), TWindowDC::Client);
    BitBlt(shown.Canvas()->Handle(), 0, 0, up->Width(), up->Height(), dc.Handle(), up->Left(), up->Top(), SRCCOPY);
  }
  EXPECT_EQ(PixelsOf(shown), CacheOf(up));

  // A painting sets the skin's colours for itself only.
  ActiveSkin().SkinKeyFillColor = ActiveSkin().SkinBackgroundFillColor = SkinKeyColor;
  up->SkinData().SetRepaintNeeded(true);
  up->Repaint();
  EXPECT_GT(up->CacheBuilds(), builds);
  EXPECT_EQ(ActiveSkin().SkinKeyFillColor, SkinKeyColor);
  EXPECT_EQ(ActiveSkin().SkinBackgroundFillColor, SkinKeyColor);

  // A click steps as without the skin; the pressed look is a new cache.
  const int before = up->CacheBuilds();
  Click(spin, up);
  Pump();
  EXPECT_EQ(spin->Value(), 1);
  EXPECT_GT(up->CacheBuilds(), before);

  // The skin goes: the buttons are standard ones again.
  Manager->SetActive(false);
  Pump();
  EXPECT_FALSE(up->IsSkinned());
  EXPECT_FALSE(spin->IsSkinned());
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedSpinEdit, ::testing::Values("Desert", "Nocturne"));

class SpinEditCensus : public SpinEdit, public ::testing::WithParamInterface<const char*> {};

TEST_P(SpinEditCensus, ManyLivesLeaveNoHandles) {
  if (std::string(GetParam()) != "none") LoadSkin(GetParam());
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles,
                                   [&] {
                                     auto* spin = NewControl<TsSpinEdit>(Form, Form, RECT{120, 20, 240, 44});
                                     Click(spin, spin->Button()->UpButton());
                                     spin->Repaint();
                                     Other->SetFocus();
                                     spin->Free();
                                   }),
            TGuiCensus());
}

INSTANTIATE_TEST_SUITE_P(SkinsAndNone, SpinEditCensus, ::testing::Values("none", "Desert"));

}  // namespace
