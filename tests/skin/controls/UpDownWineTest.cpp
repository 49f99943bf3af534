#include <gtest/gtest.h>

#include <windows.h>

#include "ControlPixels.h"

#include <functional>
#include <tuple>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsUpDown.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TestSupport.h"

namespace {

class UpDown : public TSkinnedFormTest {
protected:
  // The screen over the control's upper (or lower) half.
  static std::vector<COLORREF> Half(TWinControl* c, bool upper) {
    std::vector<COLORREF> pixels;
    const TWindowDC dc(c->Handle(), TWindowDC::Client);
    const int h = c->Height() / 2, top = upper ? 0 : c->Height() - h;
    for (int y = top; y < top + h; ++y)
      for (int x = 0; x < c->Width(); ++x) pixels.push_back(GetPixel(dc.Handle(), x, y));
    return pixels;
  }
  // A hit test at a point of the control, in screen coordinates as the platform sends it.
  static void HitAt(TWinControl* c, int x, int y) {
    POINT p{x, y};
    ClientToScreen(c->Handle(), &p);
    SendMessageA(c->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  }
};

TEST_F(UpDown, WithoutASkinItIsTheStandardUpDown) {
  auto* standard = NewControl<TUpDown>(Form, Form, RECT{10, 10, 27, 50});
  standard->SetPosition(100);
  Pump();
  const auto upper = Half(standard, true), lower = Half(standard, false);
  standard->Free();
  auto* skinned = NewControl<TsUpDown>(Form, Form, RECT{10, 10, 27, 50});
  skinned->SetPosition(100);
  Pump();
  EXPECT_EQ(Half(skinned, true), upper);
  EXPECT_EQ(Half(skinned, false), lower);

  // Skinned, then the skin released: the standard look again, the arrows' model still followed.
  LoadSkin();
  Pump();
  EXPECT_NE(Half(skinned, true), upper);
  Manager->SetActive(false);
  Pump();
  EXPECT_EQ(Half(skinned, true), upper);
  EXPECT_EQ(Half(skinned, false), lower);
  HitAt(skinned, 5, 35);
  EXPECT_EQ(skinned->ArrowState(), 2);
}

TEST_F(UpDown, SkinnedAnArrowAtItsBoundLooksDisabledAndDoesNotLight) {
  LoadSkin();
  auto* updown = NewControl<TsUpDown>(Form, Form, RECT{10, 10, 27, 50});
  updown->SetPosition(50);
  Pump();
  const auto upperFree = Half(updown, true);
  updown->SetPosition(100);
  Pump();
  const auto upperAtMax = Half(updown, true);
  EXPECT_NE(upperAtMax, upperFree);
  updown->SetShowInaccessibility(false);
  Pump();
  EXPECT_EQ(Half(updown, true), upperFree);

  updown->SetShowInaccessibility(true);
  HitAt(updown, 5, 3);  // over the up arrow, at its bound
  EXPECT_EQ(updown->ArrowState(), 0);
  HitAt(updown, 5, 35);  // over the down arrow
  EXPECT_EQ(updown->ArrowState(), 2);
  Pump();
  const auto lowerHot = Half(updown, false);
  updown->Perform(CM_MOUSELEAVE);
  Pump();
  EXPECT_EQ(updown->ArrowState(), 0);
  EXPECT_NE(Half(updown, false), lowerHot);

  // A double click on the frame presses as a double click inside does.
  HitAt(updown, 5, 35);
  SendMessageA(updown->Handle(), WM_NCLBUTTONDBLCLK, HTBORDER, 0);
  EXPECT_EQ(updown->ArrowState(), 4);
}

// Each step by the arrows (the real mouse) or the keys asks OnChangingEx first, with the position
// it moves to and its direction, while the position is still the old one; a refusal keeps it.
TEST_F(UpDown, OnChangingExIsToldWhereAStepGoesAndMayRefuseIt) {
  for (const bool skinned : {false, true}) {
    SCOPED_TRACE(skinned ? "Desert" : "no skin");
    if (skinned) LoadSkin();
    auto* edit = NewControl<TsEdit>(Form, Form, RECT{10, 10, 90, 34});
    auto* updown = NewControl<TsUpDown>(Form, Form, RECT{100, 10, 100 + GetSystemMetrics(SM_CXVSCROLL), 50});
    updown->SetMax(10);
    updown->SetPosition(9);
    updown->SetAssociate(edit);
    bool refuse = false;
    using TStep = std::tuple<int, TUpDownDirection, int>;  // moves to, direction, position meanwhile
    std::vector<TStep> steps;
    updown->SetOnChangingEx(TUDChangingEventEx::FromFunctor(
        [&](TObject* sender, bool& allow, int next, TUpDownDirection direction) {
          EXPECT_EQ(sender, updown);
          steps.emplace_back(next, direction, updown->Position());
          if (refuse) allow = false;
        }));
    Pump();
    ASSERT_EQ(updown->IsSkinned(), skinned);
    // The step asked after an input, once it came.
    const auto stepAfter = [&](const std::function<void()>& input) {
      const std::size_t before = steps.size();
      input();
      const bool asked = PumpUntil([&] { return steps.size() > before; });
      Pump();
      return asked ? steps.back() : TStep(-1, updNone, -1);
    };
    const auto arrow = [&](bool up) {
      const int h = updown->Height() / 2, bottom = updown->Height();
      return stepAfter([&] {
        ClickAt(CentreOf(updown->Handle(), RECT{0, up ? 0 : bottom - h, updown->Width(), up ? h : bottom}));
      });
    };
    EXPECT_EQ(arrow(true), TStep(10, updUp, 9));
    EXPECT_EQ(updown->Position(), 10);
    EXPECT_EQ(arrow(true), TStep(10, updNone, 10)) << "at Max the step goes nowhere";
    refuse = true;
    EXPECT_EQ(arrow(false), TStep(9, updDown, 10));
    EXPECT_EQ(updown->Position(), 10);
    EXPECT_EQ(edit->Text(), "10");

    // Keys on the associate; a wrapping up-down steps from Max to Min.
    refuse = false;
    SetForegroundWindow(Form->Handle());
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->Handle(); }));
    const auto key = [&](WORD vk) { return stepAfter([vk] { PressKey(vk); }); };
    EXPECT_EQ(key(VK_DOWN), TStep(9, updDown, 10));
    EXPECT_EQ(edit->Text(), "9");
    updown->SetWrap(true);
    updown->SetPosition(10);
    EXPECT_EQ(key(VK_UP), TStep(0, updUp, 10));
    EXPECT_EQ(updown->Position(), 0);
    refuse = true;
    EXPECT_EQ(key(VK_DOWN), TStep(10, updDown, 0));
    EXPECT_EQ(edit->Text(), "0");
    updown->Free();
    edit->Free();
  }
}

// Disabled, each arrow looks as it does at its bound, whatever the position and ShowInaccessibility.
TEST_F(UpDown, DisabledBothArrowsLookAsAtTheirBound) {
  LoadSkin();
  auto* updown = NewControl<TsUpDown>(Form, Form, RECT{10, 10, 27, 50});
  updown->SetPosition(100);
  Pump();
  const auto upperAtMax = Half(updown, true);
  updown->SetPosition(0);
  Pump();
  const auto lowerAtMin = Half(updown, false);
  updown->SetPosition(50);
  Pump();
  EXPECT_NE(Half(updown, true), upperAtMax);
  EXPECT_NE(Half(updown, false), lowerAtMin);
  updown->SetEnabled(false);
  for (bool show : {true, false}) {
    updown->SetShowInaccessibility(show);
    Pump();
    EXPECT_EQ(Half(updown, true), upperAtMax) << show;
    EXPECT_EQ(Half(updown, false), lowerAtMin) << show;
  }
}

}  // namespace
