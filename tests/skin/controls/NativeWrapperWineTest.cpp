#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ControlPixels.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsBitBtn.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

// Native controls under the skin: whatever a message makes the native control draw by itself, the
// screen ends up showing the skin's cache (with a skin) or exactly the standard control (without).

namespace {


LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// One user action on a control, and whether it changes how the control looks.
struct TStep {
  std::string Name;
  std::function<void(TWinControl*, TWinControl* other)> Act;
  bool ChangesLook;
};

void Send(TWinControl* c, UINT msg, WPARAM w, LPARAM l) { SendMessageA(c->Handle(), msg, w, l); }

std::vector<TStep> ButtonScript() {
  return {
      {"shown", [](TWinControl*, TWinControl*) {}, false},
      {"repainted", [](TWinControl* c, TWinControl*) { c->Repaint(); }, false},
      {"mouse pressed", [](TWinControl* c, TWinControl*) { Send(c, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10)); }, true},
      {"held and moved", [](TWinControl* c, TWinControl*) { Send(c, WM_MOUSEMOVE, MK_LBUTTON, At(12, 11)); }, false},
      {"released", [](TWinControl* c, TWinControl*) { Send(c, WM_LBUTTONUP, 0, At(12, 11)); }, true},
      {"pressed again", [](TWinControl* c, TWinControl*) { Send(c, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10)); }, true},
      {"dragged out", [](TWinControl* c, TWinControl*) { Send(c, WM_MOUSEMOVE, MK_LBUTTON, At(-20, -20)); }, true},
      {"released outside", [](TWinControl* c, TWinControl*) { Send(c, WM_LBUTTONUP, 0, At(-20, -20)); }, false},
      {"Space down", [](TWinControl* c, TWinControl*) { Send(c, WM_KEYDOWN, VK_SPACE, 0x00390001); }, true},
      {"Space up", [](TWinControl* c, TWinControl*) { Send(c, WM_KEYUP, VK_SPACE, 0xC0390001); }, true},
      {"focus out", [](TWinControl*, TWinControl* other) { other->SetFocus(); }, true},
      {"focus in", [](TWinControl* c, TWinControl*) { c->SetFocus(); }, true},
      {"disabled", [](TWinControl* c, TWinControl*) { c->SetEnabled(false); }, true},
      {"enabled", [](TWinControl* c, TWinControl*) { c->SetEnabled(true); }, true},
      {"caption changed", [](TWinControl* c, TWinControl*) { c->SetCaption("Other &text"); }, true},
  };
}

std::vector<TStep> CheckBoxScript() {
  std::vector<TStep> steps = ButtonScript();
  steps.push_back({"checked in code", [](TWinControl* c, TWinControl*) { static_cast<TCheckBox*>(c)->SetChecked(true); }, true});
  steps.push_back({"grayed in code", [](TWinControl* c, TWinControl*) { static_cast<TCheckBox*>(c)->SetState(cbGrayed); }, true});
  return steps;
}

std::vector<TStep> RadioButtonScript() {
  std::vector<TStep> steps = ButtonScript();
  steps.push_back({"unchecked in code", [](TWinControl* c, TWinControl*) { static_cast<TRadioButton*>(c)->SetChecked(false); }, true});
  return steps;
}

class NativeWrapper : public TSkinnedFormTest {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Other = NewControl<TButton>(Form, Form, RECT{20, 140, 100, 165});
    Pump();
  }
  template <typename T>
  T* Put() {
    auto* control = NewControl<T>(Form, Form, RECT{20, 20, 160, 48});
    control->SetCaption("&Press");
    control->SetOnClick(TNotifyEvent::FromFunctor([this](TObject*) { ++Clicks; }));
    Pump();
    return control;
  }

  // With a skin, after every step the screen shows exactly the cache, which was rebuilt only for
  // the steps that change the look.
  void ExpectSkinnedThrough(TWinControl* control, TsSkinnedControl* layer, const std::vector<TStep>& steps) {
    ASSERT_TRUE(layer->IsSkinned());
    for (const TStep& step : steps) {
      const int builds = layer->CacheBuilds();
      const TPixels before = CacheOf(layer);
      step.Act(control, Other);
      // What the native control drew by itself is covered at once, not at the next WM_PAINT.
      EXPECT_EQ(Captured(control), CacheOf(layer)) << "right after " << step.Name;
      Pump();
      EXPECT_EQ(Captured(control), CacheOf(layer)) << "after " << step.Name;
      if (step.ChangesLook) {
        EXPECT_GT(layer->CacheBuilds(), builds) << "after " << step.Name;
        EXPECT_NE(CacheOf(layer), before) << "after " << step.Name;
      } else {
        EXPECT_EQ(layer->CacheBuilds(), builds) << "after " << step.Name;
      }
    }
  }

  // The screen after each step, and the clicks the steps made.
  std::vector<TPixels> Shots(TWinControl* control, const std::vector<TStep>& steps, int& clicks) {
    std::vector<TPixels> shots;
    Clicks = 0;
    for (const TStep& step : steps) {
      step.Act(control, Other);
      Pump();
      shots.push_back(Captured(control));
    }
    clicks = Clicks;
    return shots;
  }

  // Without a skin the skinned control shows, step by step, what the standard control shows, and
  // clicks as often.
  template <typename TStandard, typename TSkinned>
  void ExpectStandardThrough(const std::vector<TStep>& steps) {
    int standardClicks = 0, skinnedClicks = 0;
    TStandard* standard = Put<TStandard>();
    const std::vector<TPixels> expected = Shots(standard, steps, standardClicks);
    standard->Free();
    TSkinned* skinned = Put<TSkinned>();
    const std::vector<TPixels> shown = Shots(skinned, steps, skinnedClicks);
    EXPECT_FALSE(skinned->IsSkinned());
    EXPECT_EQ(skinned->CacheBuilds(), 0);
    EXPECT_EQ(skinnedClicks, standardClicks);
    EXPECT_GT(standardClicks, 0);
    EXPECT_NE(expected.front(), expected[2]);  // the screen was read: the press shows
    for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(shown[i], expected[i]) << "after " << steps[i].Name;
  }

  TWinControl* Other = nullptr;
  int Clicks = 0;
};

TEST_F(NativeWrapper, AButtonWithoutASkinIsTheStandardButton) { ExpectStandardThrough<TButton, TsButton>(ButtonScript()); }

TEST_F(NativeWrapper, ABitButtonWithoutASkinIsTheStandardBitButton) {
  ExpectStandardThrough<TBitBtn, TsBitBtn>(ButtonScript());
}

TEST_F(NativeWrapper, ACheckBoxWithoutASkinIsTheStandardCheckBox) {
  ExpectStandardThrough<TCheckBox, TsCheckBox>(CheckBoxScript());
}

TEST_F(NativeWrapper, ARadioButtonWithoutASkinIsTheStandardRadioButton) {
  ExpectStandardThrough<TRadioButton, TsRadioButton>(RadioButtonScript());
}

class SkinnedWrapper : public NativeWrapper, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedWrapper, AButtonShowsOnlyItsSkinWhateverTheNativeButtonDraws) {
  LoadSkin(GetParam());
  auto* button = Put<TsButton>();
  ExpectSkinnedThrough(button, button, ButtonScript());
  EXPECT_EQ(Clicks, 2);  // the mouse release inside and Space; not the release outside
}

TEST_P(SkinnedWrapper, ABitButtonShowsOnlyItsSkinWhateverTheNativeButtonDraws) {
  LoadSkin(GetParam());
  auto* button = Put<TsBitBtn>();
  button->SetShowFocus(true);  // a focus change shows even while the mouse keeps the button hot
  ExpectSkinnedThrough(button, button, ButtonScript());
  EXPECT_EQ(Clicks, 2);
}

TEST_P(SkinnedWrapper, ACheckBoxShowsOnlyItsSkinWhateverTheNativeCheckBoxDraws) {
  LoadSkin(GetParam());
  auto* box = Put<TsCheckBox>();
  ExpectSkinnedThrough(box, box, CheckBoxScript());
  EXPECT_EQ(box->State(), cbGrayed);
}

TEST_P(SkinnedWrapper, ARadioButtonShowsOnlyItsSkinWhateverTheNativeRadioButtonDraws) {
  LoadSkin(GetParam());
  auto* radio = Put<TsRadioButton>();
  ExpectSkinnedThrough(radio, radio, RadioButtonScript());
  EXPECT_FALSE(radio->Checked());
}

TEST_P(SkinnedWrapper, APlainNewSkinnedControlIsSkinnedOncePlaced) {
  LoadSkin(GetParam());
  auto* button = new TsButton(Form);
  EXPECT_FALSE(button->IsSkinned());
  button->SetParent(Form);
  EXPECT_TRUE(button->IsSkinned());
  EXPECT_EQ(button->SkinData().SkinIndex(), FindSectionIndex("BUTTON"));
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedWrapper, ::testing::Values("Desert", "Nocturne"));

}  // namespace
