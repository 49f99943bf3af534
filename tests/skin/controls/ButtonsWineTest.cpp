#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "ControlPixels.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCheckBox.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPopupMenu.h"
#include "skin/controls/TsBitBtn.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsSpeedButton.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsAnimTimer.h"
#include "skin/engine/TsFadeTimer.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

// The skinned buttons' own behaviour: clicks, window regions, the default look, hints during
// presses and menus, fades, and the handles they leave behind.

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
void Send(TWinControl* c, UINT msg, WPARAM w, LPARAM l) { SendMessageA(c->Handle(), msg, w, l); }

// Closes whatever menu is open once its loop runs.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

// Steps a fade by hand, as its timer would, without pumping (so the platform timer never ticks
// meanwhile), until it ends or has shown `most` frames: each frame it showed. A tick that leaves
// the timer running has shown one.
std::vector<TPixels> FadeFrames(TsFadeTimer* fade, std::size_t most = 100) {
  std::vector<TPixels> frames;
  for (int i = 0; i < 100 && fade->Enabled() && frames.size() < most; ++i) {
    fade->Timer();
    if (fade->Enabled()) frames.push_back(PixelsOf(*fade->Frame()));
  }
  return frames;
}

// Each frame is the hot look blended toward the normal one at the alpha of its step (out of 256),
// channel by channel, rounded.
void ExpectBlends(const std::vector<TPixels>& frames, const TPixels& normal, const TPixels& hot,
                  const std::vector<int>& alphas) {
  ASSERT_EQ(frames.size(), alphas.size());
  for (std::size_t f = 0; f < frames.size(); ++f) {
    ASSERT_EQ(frames[f].size(), normal.size());
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < normal.size(); ++i)
      for (int shift : {0, 8, 16}) {
        const int n = (normal[i] >> shift) & 255, h = (hot[i] >> shift) & 255, got = (frames[f][i] >> shift) & 255;
        wrong += std::abs(got - (h + (n - h) * alphas[f] / 256.0)) > 0.5;
      }
    EXPECT_EQ(wrong, 0u) << "frame " << f << " at alpha " << alphas[f];
  }
}

TPixels CacheNow(TsSkinnedControl* control) { return PixelsOf(*control->SkinData().CacheBitmap()); }

class Buttons : public TSkinnedFormTest {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Application->SetShowHint(true);
    Other = NewControl<TCheckBox>(Form, Form, RECT{20, 150, 120, 170});
    Pump();
  }
  template <typename T>
  T* Put(RECT bounds = RECT{20, 20, 160, 48}) {
    auto* control = NewControl<T>(Form, Form, bounds);
    control->SetCaption("&Press");
    control->SetOnClick(TNotifyEvent::FromFunctor([this](TObject*) { ++Clicks; }));
    Pump();
    return control;
  }
  // The mouse pressed at (x, y) of the button and released at (ux, uy).
  static void ClickAt(TWinControl* c, int x, int y, int ux, int uy) {
    Send(c, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    Send(c, WM_LBUTTONUP, 0, At(ux, uy));
  }
  static void Key(TWinControl* c, WPARAM key, bool down) {
    Send(c, down ? WM_KEYDOWN : WM_KEYUP, key, down ? 0x00390001 : 0xC0390001);
  }

  template <typename T>
  void ExpectOneClickPerClick() {
    Clicks = 0;
    T* b = Put<T>();
    b->SetFocus();
    Pump();
    ClickAt(b, 10, 10, 12, 11);
    EXPECT_EQ(Clicks, 1) << "mouse";
    ClickAt(b, 10, 10, -20, -20);
    EXPECT_EQ(Clicks, 1) << "released outside";
    Key(b, VK_SPACE, true);
    Key(b, 'A', false);
    EXPECT_EQ(Clicks, 1) << "another key's release while Space holds the button";
    Key(b, VK_SPACE, false);
    EXPECT_EQ(Clicks, 2) << "Space";
    b->SetDown(true);
    Key(b, 'A', true);
    Key(b, 'A', false);
    Key(b, VK_SPACE, false);
    EXPECT_EQ(Clicks, 2) << "key releases on a button held down by the program";
    b->SetDown(false);
    b->SetDefault(true);
    Other->SetFocus();
    b->Perform(CM_DIALOGKEY, VK_RETURN, 0);
    EXPECT_EQ(Clicks, 3) << "Enter on the default button";
  }

  template <typename T>
  void ExpectRegionCutAndRestored() {
    T* b = Put<T>();
    b->Repaint();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(b->Handle(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, b->Width() - 1, b->Height() - 1));
    EXPECT_TRUE(PtInRegion(rgn, b->Width() / 2, b->Height() / 2));
    b->SetWidth(b->Width() + 30);
    Pump();
    ASSERT_NE(GetWindowRgn(b->Handle(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, b->Width() - 1, b->Height() - 1)) << "resized";
    EXPECT_TRUE(PtInRegion(rgn, b->Width() - 31, b->Height() - 1));
    SendSkinCommandTo(b, SkinCommand::RemoveSkin);
    EXPECT_EQ(GetWindowRgn(b->Handle(), rgn), ERROR);  // the whole window again
    DeleteObject(rgn);
  }

  template <typename T>
  void ExpectDefaultLookFollowsFocus() {
    T* first = Put<T>();
    first->SetDefault(true);
    T* second = Put<T>(RECT{20, 60, 160, 88});
    second->SetFocus();
    Other->SetFocus();
    Pump();
    EXPECT_TRUE(first->DefaultLook()) << "focus on a check box";
    const TPixels defaultLook = CacheOf(first);
    second->SetFocus();
    Pump();
    EXPECT_FALSE(first->DefaultLook()) << "focus on another button";
    EXPECT_NE(CacheOf(first), defaultLook);
    EXPECT_EQ(Captured(first), CacheOf(first));
    first->SetFocus();
    Pump();
    EXPECT_TRUE(first->DefaultLook());
    EXPECT_FALSE(second->DefaultLook());
  }

  template <typename T>
  void ExpectHintsBackAfterEachSequence() {
    T* b = Put<T>();
    Send(b, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_FALSE(Application->ShowHint()) << "off while pressed";
    Send(b, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, At(10, 10));
    Send(b, WM_RBUTTONUP, MK_LBUTTON, At(10, 10));
    EXPECT_FALSE(Application->ShowHint());
    Send(b, WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_TRUE(Application->ShowHint()) << "left, right, right, left";

    Send(b, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    ReleaseCapture();
    EXPECT_TRUE(Application->ShowHint()) << "capture lost";
    Send(b, WM_LBUTTONUP, 0, At(10, 10));

    Application->SetShowHint(false);
    Send(b, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    Send(b, WM_LBUTTONDBLCLK, MK_LBUTTON, At(10, 10));
    Send(b, WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_FALSE(Application->ShowHint()) << "a press saves hints once";
    Application->SetShowHint(true);

    Send(b, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    b->Free();
    EXPECT_TRUE(Application->ShowHint()) << "the button freed mid-press";
  }

  template <typename T>
  void ExpectAClickMayFreeTheButton() {
    Clicks = 0;
    T* b = Put<T>();
    b->SetOnClick(TNotifyEvent::FromFunctor([&](TObject*) {
      ++Clicks;
      b->Free();
    }));
    ClickAt(b, 10, 10, 10, 10);
    Pump();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Form->ControlCount(), 1);
  }

  template <typename T>
  void ExpectHoverEventsThatMayFreeTheButton() {
    T* b = Put<T>();
    int enters = 0, leaves = 0;
    b->SetOnMouseEnter(TNotifyEvent::FromFunctor([&](TObject*) { ++enters; }));
    b->SetOnMouseLeave(TNotifyEvent::FromFunctor([&](TObject*) {
      ++leaves;
      b->Free();
    }));
    b->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(enters, 1);
    b->Perform(CM_MOUSELEAVE, 0, 0);
    Pump();
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(Form->ControlCount(), 1);
  }

  // A hover fade ends on the final look, never on a blended frame.
  template <typename T>
  void ExpectFadeEndsOnTheFinalLook() {
    T* b = Put<T>();
    b->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_TRUE(b->Fading());
    const TPixels hot = CacheOf(b);
    for (int i = 0; i < 200 && b->Fading(); ++i) {
      Sleep(5);
      Pump();
    }
    EXPECT_FALSE(b->Fading());
    EXPECT_EQ(CacheOf(b), hot);
    EXPECT_EQ(Captured(b), hot);
  }

  // Entering fades in over the section's five steps and leaving fades out over them on the same
  // timer; a fade reversed half-way runs back over exactly the frames it showed.
  template <typename T>
  void ExpectFadesFollowTheirSteps() {
    T* b = Put<T>();
    const TPixels normal = CacheNow(b);
    b->Perform(CM_MOUSEENTER, 0, 0);
    TsFadeTimer* fade = b->FadeTimer();
    ASSERT_NE(fade, nullptr);
    const TPixels hot = CacheNow(b);
    ASSERT_NE(hot, normal);
    ExpectBlends(FadeFrames(fade), normal, hot, {204, 153, 102, 51, 0});
    EXPECT_FALSE(b->Fading());
    b->Perform(CM_MOUSELEAVE, 0, 0);
    ASSERT_EQ(b->FadeTimer(), fade) << "kept between fades";
    EXPECT_EQ(CacheNow(b), normal);
    ExpectBlends(FadeFrames(fade), normal, hot, {0, 51, 102, 153, 204, 255});
    Pump();
    EXPECT_EQ(b->FadeTimer(), nullptr) << "a finished fade out frees its timer";

    b->Perform(CM_MOUSEENTER, 0, 0);
    fade = b->FadeTimer();
    ASSERT_NE(fade, nullptr);
    ExpectBlends(FadeFrames(fade, 2), normal, hot, {204, 153});
    b->Perform(CM_MOUSELEAVE, 0, 0);
    ASSERT_EQ(b->FadeTimer(), fade);
    ExpectBlends(FadeFrames(fade), normal, hot, {153, 204, 255});
    Pump();
    EXPECT_EQ(CacheNow(b), normal);
  }

  // OnPaint draws over the finished cache, disabled look included, and the screen shows it.
  template <typename T>
  void ExpectOnPaintDrawsOverTheCache(T* b) {
    std::vector<std::pair<TObject*, TBitmap*>> calls;
    b->SetOnPaint(TsBmpPaintEvent::FromFunctor([&](TObject* sender, TBitmap* bmp) {
      calls.emplace_back(sender, bmp);
      SetPixel(bmp->Canvas()->Handle(), 3, 3, RGB(255, 0, 0));
    }));
    b->SetEnabled(false);
    Pump();
    b->Repaint();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().first, b);
    EXPECT_EQ(calls.back().second, b->SkinData().CacheBitmap());
    EXPECT_EQ(CacheNow(b)[3 * std::size_t(b->Width()) + 3], 0xFF0000u);
  }

  template <typename T>
  void ExpectCensusFlat(bool skinned) {
    auto cycle = [&] {
      T* b = NewControl<T>(Form, Form, RECT{20, 20, 160, 48});
      b->SetCaption("Cycle");
      b->Repaint();
      b->Free();
    };
    EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus()) << (skinned ? "skinned" : "unskinned");
  }

  template <typename T>
  void ExpectFadesLeaveNothing() {
    T* b = Put<T>();
    // Most fades are stopped at once; every tenth runs to its end, which must leave nothing either.
    int cycle = 0;
    auto fade = [&] {
      const bool toTheEnd = ++cycle % 10 == 0;
      b->Perform(CM_MOUSEENTER, 0, 0);
      if (toTheEnd) PumpUntil([&] { return !b->Fading(); });
      else SendSkinCommandTo(b, SkinCommand::StopFading);
      b->Perform(CM_MOUSELEAVE, 0, 0);
      if (toTheEnd) PumpUntil([&] { return !b->Fading(); });
      Sleep(1);
      Pump();
      SendSkinCommandTo(b, SkinCommand::StopFading);
    };
    EXPECT_EQ(TGuiCensus::ChangeOver(100, fade), TGuiCensus());
    EXPECT_FALSE(b->Fading());
  }

  TWinControl* Other = nullptr;
  int Clicks = 0;
};

TEST_F(Buttons, UnskinnedEachClicksOncePerClickSpaceOrEnterAndNeverOnAReleaseOutside) {
  ExpectOneClickPerClick<TsButton>();
  ExpectOneClickPerClick<TsBitBtn>();
}

TEST_F(Buttons, UnskinnedTheyLeaveNoHandlesBehind) {
  ExpectCensusFlat<TsButton>(false);
  ExpectCensusFlat<TsBitBtn>(false);
}

TEST_F(Buttons, EachBitButtonKindBringsItsGlyphInANormalAndADisabledFrame) {
  std::vector<TPixels> glyphs;
  for (int k = int(bkOK); k <= int(bkAll); ++k) {
    auto* b = Put<TsBitBtn>();
    b->SetKind(static_cast<TBitBtnKind>(k));
    TBitmap* glyph = b->Glyph();
    ASSERT_EQ(glyph->Width(), 2 * glyph->Height()) << k;
    EXPECT_EQ(b->NumGlyphs(), 2);
    TBitmap frames[2];
    for (int f = 0; f < 2; ++f) {
      frames[f].SetPixelFormat(TPixelFormat::Bit24);
      frames[f].SetSize(glyph->Height(), glyph->Height());
      BitBlt(frames[f].Canvas()->Handle(), 0, 0, glyph->Height(), glyph->Height(), glyph->Canvas()->Handle(),
             f * glyph->Height(), 0, SRCCOPY);
    }
    EXPECT_NE(PixelsOf(frames[0]), PixelsOf(frames[1])) << k;
    glyphs.push_back(PixelsOf(frames[0]));
    b->Free();
  }
  for (std::size_t i = 1; i < glyphs.size(); ++i) EXPECT_NE(glyphs[i], glyphs[i - 1]) << "kind " << i + 1;
}

class SkinnedButtons : public Buttons, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedButtons, EachClicksOncePerClickSpaceOrEnterAndNeverOnAReleaseOutside) {
  LoadSkin(GetParam());
  ExpectOneClickPerClick<TsButton>();
  ExpectOneClickPerClick<TsBitBtn>();
}

TEST_P(SkinnedButtons, TheWindowIsCutToTheBorderMaskAndWholeWithoutTheSkin) {
  LoadSkin(GetParam());
  ExpectRegionCutAndRestored<TsButton>();
  ExpectRegionCutAndRestored<TsBitBtn>();
}

// Cutting a button's window at its first skinned paint repaints the parent only where the button
// gives way, never under the whole button: the button itself is painted once.
TEST_P(SkinnedButtons, TheFirstCutRepaintsTheParentOnlyWhereTheButtonGivesWay) {
  LoadSkin(GetParam());
  // The panel notes, at each paint, whether the point Watched was to be repainted.
  class TCountedPanel : public TsPanel {
  public:
    using TsPanel::TsPanel;
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_PAINT) {
        const TGdiObject<HRGN> update(CreateRectRgn(0, 0, 0, 0));
        GetUpdateRgn(Handle(), update.Handle(), FALSE);
        Paints.push_back(PtInRegion(update.Handle(), Watched.x, Watched.y) != 0);
      }
      TsPanel::WndProc(m);
    }
    POINT Watched{};
    std::vector<bool> Paints;
  };
  class TCountedButton : public TsButton {
  public:
    using TsButton::TsButton;
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_PAINT) ++Paints;
      TsButton::WndProc(m);
    }
    int Paints = 0;
  };
  // As a form shows its controls: the panel's first paint paints its buttons over its image.
  Form->Hide();
  auto* panel = NewControl<TCountedPanel>(Form, Form, RECT{0, 0, 300, 120});
  auto* b = NewControl<TCountedButton>(Form, panel, RECT{20, 20, 160, 48});
  b->SetCaption("&Press");
  panel->Watched = POINT{b->Left() + b->Width() / 2, b->Top() + b->Height() / 2};
  Pump();
  Form->Show();
  Pump();
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(b->Handle(), rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  DeleteObject(rgn);
  EXPECT_EQ(b->Paints + b->PaintsInPlace(), 1);
  // Its first paint shows the whole panel; none after it repaints under the button.
  ASSERT_FALSE(panel->Paints.empty());
  for (size_t i = 1; i < panel->Paints.size(); ++i)
    EXPECT_FALSE(panel->Paints[i]) << "the parent repainted under the button";
}

TEST_P(SkinnedButtons, TheDefaultLookFollowsTheFocus) {
  LoadSkin(GetParam());
  ExpectDefaultLookFollowsFocus<TsButton>();
  ExpectDefaultLookFollowsFocus<TsBitBtn>();
}

TEST_P(SkinnedButtons, HintsComeBackAfterEveryPress) {
  LoadSkin(GetParam());
  ExpectHintsBackAfterEachSequence<TsButton>();
  ExpectHintsBackAfterEachSequence<TsBitBtn>();
}

TEST_P(SkinnedButtons, AClickHandlerMayFreeItsButton) {
  LoadSkin(GetParam());
  ExpectAClickMayFreeTheButton<TsButton>();
  ExpectAClickMayFreeTheButton<TsBitBtn>();
}

TEST_P(SkinnedButtons, TheMouseEnteringAndLeavingTellsHandlersThatMayFreeTheButton) {
  LoadSkin(GetParam());
  ExpectHoverEventsThatMayFreeTheButton<TsButton>();
  ExpectHoverEventsThatMayFreeTheButton<TsBitBtn>();
}

TEST_P(SkinnedButtons, AFadeEndsOnTheFinalLook) {
  LoadSkin(GetParam());
  ExpectFadeEndsOnTheFinalLook<TsButton>();
  ExpectFadeEndsOnTheFinalLook<TsBitBtn>();
}

TEST_P(SkinnedButtons, FadesFollowTheirStepsBothWaysAndBackFromHalfWay) {
  LoadSkin(GetParam());
  ExpectFadesFollowTheirSteps<TsButton>();
  ExpectFadesFollowTheirSteps<TsBitBtn>();
}

TEST_P(SkinnedButtons, ABitButtonsOnPaintDrawsOverItsFinishedCache) {
  LoadSkin(GetParam());
  ExpectOnPaintDrawsOverTheCache(Put<TsBitBtn>());
}

// Turned off and on again with nothing else changed, as a job turns its buttons, a button shows the
// pictures it built before without building them again; a change besides (a new caption) is built.
TEST_P(SkinnedButtons, OffAndOnAgainShowTheKeptPicturesOnlyWhileNothingElseChanged) {
  LoadSkin(GetParam());
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{10, 10, 250, 120});
  auto* b = NewControl<TsButton>(Form, panel, RECT{20, 20, 160, 48});
  b->SetCaption("&Press");
  Pump();
  // Updates held while the button changes; the button painted after.
  const auto turn = [&](bool on) {
    {
      const TUpdatesHeld held;
      b->SetEnabled(on);
    }
    b->Repaint();
    return CacheNow(b);
  };
  const auto rebuilt = [&] {
    b->SkinData().SetRepaintNeeded(true);
    b->Repaint();
    return CacheNow(b);
  };
  const TPixels off = turn(false);
  const TPixels on = turn(true);
  EXPECT_NE(off, on);
  const int builds = b->CacheBuilds();
  EXPECT_EQ(turn(false), off);
  EXPECT_EQ(turn(true), on);
  EXPECT_EQ(turn(false), off);
  EXPECT_EQ(b->CacheBuilds(), builds);
  EXPECT_EQ(rebuilt(), off);
  EXPECT_EQ(turn(true), on);
  b->SetCaption("&Other");
  const TPixels offOther = turn(false);
  EXPECT_NE(offOther, off);
  EXPECT_EQ(offOther, rebuilt());
  const TPixels onOther = turn(true);
  EXPECT_NE(onOther, on);
  EXPECT_EQ(onOther, rebuilt());
}

// Turned off or on while updates are held, as a job turns its controls, a skinned button or check
// box waits and is then painted once, from the skin alone: the native control draws nothing.
TEST_P(SkinnedButtons, OffAndOnUnderAHoldArePaintedOnceFromTheSkinAlone) {
  LoadSkin(GetParam());
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{10, 10, 250, 120});
  auto* button = NewControl<TsButton>(Form, panel, RECT{20, 20, 160, 48});
  auto* check = NewControl<TsCheckBox>(Form, panel, RECT{20, 60, 160, 80});
  check->SetCaption("Check");
  Pump();
  // A native BUTTON asks its parent for its colours each time it draws itself.
  int nativeDraws = 0, buttonPaints = 0, checkPaints = 0;
  const auto count = [](TControl* control, const std::function<void(UINT)>& seen) {
    const TWndMethod old = control->WindowProc();
    control->SetWindowProc(TWndMethod::FromFunctor([old, seen](TMessage& m) {
      seen(m.Msg);
      old(m);
    }));
  };
  count(panel, [&](UINT msg) { nativeDraws += msg == WM_CTLCOLORBTN || msg == WM_CTLCOLORSTATIC; });
  count(button, [&](UINT msg) { buttonPaints += msg == WM_PAINT; });
  count(check, [&](UINT msg) { checkPaints += msg == WM_PAINT; });
  for (const bool on : {false, true}) {
    nativeDraws = buttonPaints = checkPaints = 0;
    {
      const TUpdatesHeld held;
      button->SetEnabled(on);
      check->SetEnabled(on);
      EXPECT_EQ(buttonPaints + checkPaints, 0);
    }
    EXPECT_TRUE(GetUpdateRect(button->Handle(), nullptr, FALSE));
    EXPECT_TRUE(GetUpdateRect(check->Handle(), nullptr, FALSE));
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(buttonPaints, 1) << (on ? "on" : "off");
    EXPECT_EQ(checkPaints, 1) << (on ? "on" : "off");
    EXPECT_EQ(nativeDraws, 0) << (on ? "on" : "off");
  }
  for (TControl* c : std::vector<TControl*>{panel, button, check}) c->SetWindowProc(TWndMethod());
}

TEST_P(SkinnedButtons, TheyLeaveNoHandlesBehind) {
  LoadSkin(GetParam());
  ExpectCensusFlat<TsButton>(true);
  ExpectCensusFlat<TsBitBtn>(true);
  ExpectFadesLeaveNothing<TsButton>();
  ExpectFadesLeaveNothing<TsBitBtn>();
}

// What the form shows where a graphic control lies.
TPixels CapturedOn(TWinControl* parent, TControl* c) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(c->Width(), c->Height());
  const TWindowDC dc(parent->Handle(), TWindowDC::Client);
  BitBlt(bmp.Canvas()->Handle(), 0, 0, c->Width(), c->Height(), dc.Handle(), c->Left(), c->Top(), SRCCOPY);
  return PixelsOf(bmp);
}

class SpeedButtons : public Buttons {
protected:
  TsSpeedButton* PutSpeed(TsToolButtonStyle style = tbsButton) {
    auto* b = NewControl<TsSpeedButton>(Form, Form, RECT{200, 20, 223, 42});
    b->SetButtonStyle(style);
    b->SetOnClick(TNotifyEvent::FromFunctor([this](TObject*) { ++Clicks; }));
    Pump();
    return b;
  }
  // A drop-down menu that counts its showings and is closed by a timer.
  TPopupMenu* Menu() {
    auto* menu = NewComponent<TPopupMenu>(Form);
    auto* item = NewComponent<TMenuItem>(Form);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    menu->SetOnPopup(TNotifyEvent::FromFunctor([this](TObject*) {
      ++Popups;
      HintsDuringMenu = Application->ShowHint();
      SetTimer(nullptr, 0, 30, CloseMenu);
    }));
    return menu;
  }
  // A left press and release at (x, y) of a graphic control, through its parent.
  void PressOn(TControl* c, int x, int y) {
    Send(Form, WM_LBUTTONDOWN, MK_LBUTTON, At(c->Left() + x, c->Top() + y));
    Send(Form, WM_LBUTTONUP, 0, At(c->Left() + x, c->Top() + y));
    Pump();
  }

  int Popups = 0;
  bool HintsDuringMenu = true;
};

TEST_F(SpeedButtons, TheDropDownStyleAddsTheArrowPartAndBlendIsClamped) {
  TsSpeedButton* b = PutSpeed();
  b->SetButtonStyle(tbsDropDown);
  EXPECT_EQ(b->Width(), 39);
  b->SetButtonStyle(tbsCheck);
  EXPECT_EQ(b->Width(), 23);
  TsButtonLook look;
  look.Blend = 150;
  b->SetLook(look);
  EXPECT_EQ(b->Look().Blend, 100);
  look.Blend = -5;
  b->SetLook(look);
  EXPECT_EQ(b->Look().Blend, 0);
}

TEST_F(SpeedButtons, UnskinnedItIsTheStandardSpeedButton) {
  auto* standard = NewControl<TSpeedButton>(Form, Form, RECT{200, 20, 223, 42});
  standard->SetCaption("S");
  Pump();
  const TPixels expected = CapturedOn(Form, standard);
  standard->Free();
  TsSpeedButton* b = PutSpeed();
  b->SetCaption("S");
  Pump();
  EXPECT_EQ(CapturedOn(Form, b), expected);
  EXPECT_EQ(b->CacheBuilds(), 0);
  PressOn(b, 5, 5);
  EXPECT_EQ(Clicks, 1);
}

class SkinnedSpeedButtons : public SpeedButtons, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedSpeedButtons, TheArrowPartOpensTheMenuBelowWithHintsOffAndTheRestClicks) {
  LoadSkin(GetParam());
  TsSpeedButton* b = PutSpeed(tbsDropDown);
  b->SetDropdownMenu(Menu());
  PressOn(b, 5, 5);
  EXPECT_EQ(Popups, 0);
  EXPECT_EQ(Clicks, 1);
  PressOn(b, b->Width() - 5, 5);
  EXPECT_EQ(Popups, 1);
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(HintsDuringMenu);
  EXPECT_TRUE(Application->ShowHint()) << "back when the menu returns";
  EXPECT_FALSE(b->MenuOpen());
  EXPECT_EQ(CapturedOn(Form, b), CacheOf(b));
}

TEST_P(SkinnedSpeedButtons, TheMenuMayFreeItsButton) {
  LoadSkin(GetParam());
  TsSpeedButton* b = PutSpeed(tbsDropDown);
  TPopupMenu* menu = Menu();
  b->SetDropdownMenu(menu);
  const TNotifyEvent count = menu->OnPopup();
  menu->SetOnPopup(TNotifyEvent::FromFunctor([&](TObject* sender) {
    count(sender);
    b->Free();
  }));
  PressOn(b, b->Width() - 5, 5);
  EXPECT_EQ(Popups, 1);
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_EQ(Form->ControlCount(), 1);
}

TEST_P(SkinnedSpeedButtons, EachStyleShowsItsCacheAndASeparatorOnlyTheBackground) {
  LoadSkin(GetParam());
  for (TsToolButtonStyle style : {tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider}) {
    TsSpeedButton* b = PutSpeed(style);
    b->SetCaption("S");
    Pump();
    EXPECT_TRUE(b->IsSkinned());
    EXPECT_EQ(CapturedOn(Form, b), CacheOf(b)) << int(style);
    if (style == tbsSeparator) {
      const TPixels cache = CacheOf(b);
      EXPECT_EQ(std::count(cache.begin(), cache.end(), cache.front()), long(cache.size()));
    }
    b->Free();
  }
}

TEST_P(SkinnedSpeedButtons, AFadeEndsOnTheFinalLookAndLeavesNothing) {
  LoadSkin(GetParam());
  TsSpeedButton* b = PutSpeed();
  b->SetCaption("S");
  Pump();
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_TRUE(b->Fading());
  for (int i = 0; i < 200 && b->Fading(); ++i) {
    Sleep(5);
    Pump();
  }
  EXPECT_FALSE(b->Fading());
  EXPECT_EQ(CapturedOn(Form, b), CacheOf(b));
  auto fade = [&] {
    b->Perform(CM_MOUSELEAVE, 0, 0);
    SendSkinCommandTo(b, SkinCommand::StopFading);
    b->Perform(CM_MOUSEENTER, 0, 0);
    Sleep(1);
    Pump();
    SendSkinCommandTo(b, SkinCommand::StopFading);
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(100, fade), TGuiCensus());
}

TEST_P(SkinnedSpeedButtons, FadesFollowTheirStepsAndTheParentPaintsEachFrame) {
  LoadSkin(GetParam());
  TsSpeedButton* b = PutSpeed();
  b->SetCaption("S");
  Pump();
  const TPixels normal = CacheNow(b);
  b->Perform(CM_MOUSEENTER, 0, 0);
  TsAnimTimer* fade = b->FadeTimer();
  ASSERT_NE(fade, nullptr);
  const TPixels hot = CacheNow(b);
  ASSERT_NE(hot, normal);
  ExpectBlends(FadeFrames(fade, 2), normal, hot, {204, 153});
  // The button paints the frame on whatever its parent hands it.
  TBitmap shown;
  shown.SetPixelFormat(TPixelFormat::Bit24);
  shown.SetSize(b->Width(), b->Height());
  b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shown.Canvas()->Handle()), 0);
  EXPECT_EQ(PixelsOf(shown), PixelsOf(*fade->Frame()));
  b->Perform(CM_MOUSELEAVE, 0, 0);
  ASSERT_EQ(b->FadeTimer(), fade);
  ExpectBlends(FadeFrames(fade), normal, hot, {153, 204, 255});
  Pump();
  EXPECT_EQ(b->FadeTimer(), nullptr);
  b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shown.Canvas()->Handle()), 0);
  EXPECT_EQ(PixelsOf(shown), normal);
}

TEST_P(SkinnedSpeedButtons, OnPaintDrawsOverTheFinishedCache) {
  LoadSkin(GetParam());
  ExpectOnPaintDrawsOverTheCache(PutSpeed());
}

TEST_P(SkinnedSpeedButtons, SkinnedAndUnskinnedTheyLeaveNoHandlesBehind) {
  auto cycle = [&] {
    auto* b = NewControl<TsSpeedButton>(Form, Form, RECT{200, 20, 223, 42});
    b->SetCaption("S");
    b->Repaint();
    b->Free();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus()) << "unskinned";
  LoadSkin(GetParam());
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus()) << "skinned";
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedSpeedButtons, ::testing::Values("Desert", "Nocturne"));

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedButtons, ::testing::Values("Desert", "Nocturne"));

}  // namespace
