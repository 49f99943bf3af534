#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ControlPixels.h"
#include "framework//win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsMaskEdit.h"
#include "skin/controls/TsMemo.h"
#include "skin/controls/TsPageControl.h"
#include "skin/controls/TsPanel.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TGuiCensus.h"

// The edits under the skin, driven by real messages and read back from the screen: without a skin
// each is the standard control; with one the screen shows the cache, or while focused the native
// client inside the cache's frame.

namespace {

using TPixels = std::vector<std::uint32_t>;


TPixels PixelsOf(TBitmap& bmp, const RECT& r) {
  TPixels pixels;
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint8_t* row = bmp.ScanLine(y);
    for (int x = r.left; x < r.right; ++x)
      pixels.push_back(row[3 * x] | (row[3 * x + 1] << 8) | (std::uint32_t(row[3 * x + 2]) << 16));
  }
  return pixels;
}

RECT Whole(TControl* c) { return RECT{0, 0, c->Width(), c->Height()}; }

// The frame's four 2-pixel strips of an image of the control.
TPixels FrameOf(TBitmap& bmp) {
  const int w = bmp.Width(), h = bmp.Height();
  TPixels all;
  for (const RECT& r : {RECT{0, 0, w, 2}, RECT{0, h - 2, w, h}, RECT{0, 2, 2, h - 2}, RECT{w - 2, 2, w, h - 2}}) {
    const TPixels strip = PixelsOf(bmp, r);
    all.insert(all.end(), strip.begin(), strip.end());
  }
  return all;
}

// What the screen shows of the whole window, frame included, read into our own bitmap (the caret
// hidden meanwhile: it blinks).
void Capture(TWinControl* control, TBitmap& bmp) {
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(control->Width(), control->Height());
  const bool caret = HideCaret(control->Handle());
  {
    const TWindowDC dc(control->Handle(), TWindowDC::Whole);
    BitBlt(bmp.Canvas()->Handle(), 0, 0, control->Width(), control->Height(), dc.Handle(), 0, 0, SRCCOPY);
  }
  if (caret) ShowCaret(control->Handle());
}

TPixels CapturedWhole(TWinControl* control) {
  TBitmap bmp;
  Capture(control, bmp);
  return PixelsOf(bmp, Whole(control));
}

TPixels CachePixels(TsSkinnedControl* control) {
  TBitmap* cache = control->SkinData().CacheBitmap();
  return cache ? PixelsOf(*cache, RECT{0, 0, cache->Width(), cache->Height()}) : TPixels{};
}

void Send(TWinControl* c, UINT msg, WPARAM w, LPARAM l) { SendMessageA(c->Handle(), msg, w, l); }

void Type(TWinControl* c, const std::string& text) {
  for (char ch : text) Send(c, WM_CHAR, static_cast<unsigned char>(ch), 1);
}

struct TStep {
  std::string Name;
  std::function<void(TCustomEdit*, TWinControl* other)> Act;
};

// One scripted input for every edit.
std::vector<TStep> EditScript() {
  return {
      {"shown", [](TCustomEdit*, TWinControl*) {}},
      {"focused", [](TCustomEdit* e, TWinControl*) { e->SetFocus(); }},
      {"typed", [](TCustomEdit* e, TWinControl*) { Type(e, "abc"); }},
      {"clicked", [](TCustomEdit* e, TWinControl*) {
         // The rich edit tells double clicks by the time since the last click, any window's.
         Sleep(GetDoubleClickTime() + 50);
         Send(e, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
         Send(e, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
       }},
      {"selected", [](TCustomEdit* e, TWinControl*) { e->SelectAll(); }},
      {"left", [](TCustomEdit*, TWinControl* other) { other->SetFocus(); }},
      {"disabled", [](TCustomEdit* e, TWinControl*) { e->SetEnabled(false); }},
      {"enabled", [](TCustomEdit* e, TWinControl*) { e->SetEnabled(true); }},
      {"text set", [](TCustomEdit* e, TWinControl*) { e->SetText("Other text"); }},
  };
}

class Edits : public TSkinnedFormTest {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Other = NewControl<TButton>(Form, Form, RECT{20, 200, 100, 225});
    Pump();
  }
  template <typename T>
  T* Put(const RECT& bounds = RECT{120, 20, 300, 44}) {
    auto* edit = NewControl<T>(Form, Form, bounds);
    edit->SetText("Some text");
    edit->SetOnChange(TNotifyEvent::FromFunctor([this](TObject*) { ++Changes; }));
    Pump();
    return edit;
  }

  // The screen after each step of the script, and the change events it made.
  std::vector<TPixels> Shots(TCustomEdit* edit, int& changes) {
    std::vector<TPixels> shots;
    Changes = 0;
    for (const TStep& step : EditScript()) {
      step.Act(edit, Other);
      Pump();
      shots.push_back(CapturedWhole(edit));

    }
    changes = Changes;
    return shots;
  }

  // Without a skin the skinned edit shows, step by step, what the standard edit shows, with as many
  // change events; the skin never paints.
  template <typename TStandard, typename TSkinned>
  void ExpectStandard(const RECT& bounds) {
    int standardChanges = 0, skinnedChanges = 0;
    auto* standard = Put<TStandard>(bounds);
    const std::vector<TPixels> expected = Shots(standard, standardChanges);
    standard->Free();
    auto* skinned = Put<TSkinned>(bounds);
    const std::vector<TPixels> shown = Shots(skinned, skinnedChanges);
    EXPECT_FALSE(skinned->IsSkinned());
    EXPECT_EQ(skinned->CacheBuilds(), 0);
    EXPECT_EQ(skinnedChanges, standardChanges);
    EXPECT_GT(standardChanges, 0);
    EXPECT_NE(expected[0], expected[2]);  // the screen was read: the typing shows
    for (std::size_t i = 0; i < shown.size(); ++i)
      EXPECT_TRUE(shown[i] == expected[i]) << skinned->ClassName() << " after " << EditScript()[i].Name;
    skinned->Free();
  }

  TWinControl* Other = nullptr;
  int Changes = 0;
};

TEST_F(Edits, WithoutASkinEachEditIsTheStandardOne) {
  ExpectStandard<TMaskEdit, TsMaskEdit>(RECT{120, 20, 300, 44});
  ExpectStandard<TEdit, TsEdit>(RECT{120, 20, 300, 44});
  ExpectStandard<TMemo, TsMemo>(RECT{120, 20, 300, 100});
  ExpectStandard<TRichEdit, TsRichEdit>(RECT{120, 20, 300, 100});
}

class SkinnedEdits : public Edits, public ::testing::WithParamInterface<const char*> {};

// Unfocused the screen is the cache; focused, the cache's frame around the native client. The cache
// is built again only when the look changes: focus, enabling, text.
template <typename T>
void ExpectCacheAndNativeClient(T* edit, TWinControl* other) {
  ASSERT_TRUE(edit->IsSkinned());
  EXPECT_EQ(CapturedWhole(edit), CachePixels(edit));
  auto rebuilt = [&](const std::function<void()>& act) {
    const int builds = edit->CacheBuilds();
    act();
    TSkinnedFormTest::Pump();
    return edit->CacheBuilds() - builds;
  };
  EXPECT_EQ(rebuilt([&] { edit->Repaint(); }), 0);
  EXPECT_EQ(rebuilt([&] { edit->Invalidate(); }), 0);
  EXPECT_EQ(rebuilt([&] { Send(edit, WM_NCPAINT, 1, 0); }), 0);
  EXPECT_EQ(CapturedWhole(edit), CachePixels(edit));

  EXPECT_GT(rebuilt([&] { edit->SetFocus(); }), 0);
  TBitmap shown;
  Capture(edit, shown);
  EXPECT_EQ(FrameOf(shown), FrameOf(*edit->SkinData().CacheBitmap()));
  EXPECT_EQ(rebuilt([&] { Type(edit, "xy"); edit->Repaint(); }), 0);
  Capture(edit, shown);
  EXPECT_EQ(FrameOf(shown), FrameOf(*edit->SkinData().CacheBitmap()));
  EXPECT_NE(PixelsOf(shown, Whole(edit)), CachePixels(edit));  // the client is the native one

  EXPECT_GT(rebuilt([&] { other->SetFocus(); }), 0);
  EXPECT_EQ(CapturedWhole(edit), CachePixels(edit));
  EXPECT_GT(rebuilt([&] { edit->SetEnabled(false); }), 0);
  EXPECT_EQ(CapturedWhole(edit), CachePixels(edit));
  EXPECT_GT(rebuilt([&] { edit->SetEnabled(true); }), 0);
  EXPECT_EQ(rebuilt([&] { edit->Repaint(); }), 0);
  EXPECT_EQ(CapturedWhole(edit), CachePixels(edit));
}

TEST_P(SkinnedEdits, TheScreenShowsTheCacheOrTheNativeClientInTheSkinnedFrame) {
  LoadSkin(GetParam());
  auto* edit = Put<TsEdit>();
  ExpectCacheAndNativeClient(edit, Other);
  const TPixels before = CachePixels(edit);
  EXPECT_GT(edit->CacheBuilds(), 0);
  edit->SetText("Changed");
  Pump();
  EXPECT_NE(CachePixels(edit), before);
  EXPECT_EQ(CapturedWhole(edit), CachePixels(edit));

  auto* mask = Put<TsMaskEdit>(RECT{120, 60, 300, 84});
  EXPECT_EQ(mask->SkinData().SkinIndex(), FindSectionIndex("EDIT"));
  ExpectCacheAndNativeClient(mask, Other);
}

TEST_P(SkinnedEdits, AMemoKeepsItsNativeClientInTheSectionColourInsideTheSkinnedFrame) {
  LoadSkin(GetParam());
  for (TCustomEdit* memo : std::vector<TCustomEdit*>{Put<TsMemo>(RECT{120, 20, 300, 100}),
                                                     Put<TsRichEdit>(RECT{120, 110, 300, 190})}) {
    auto* layer = dynamic_cast<TsSkinnedControl*>(memo);
    ASSERT_TRUE(layer->IsSkinned());
    for (bool focused : {false, true}) {
      if (focused) memo->SetFocus();
      Pump();
      TBitmap shown;
      Capture(memo, shown);
      EXPECT_EQ(FrameOf(shown), FrameOf(*layer->SkinData().CacheBitmap())) << focused;
      const TsSectionData& s =
          ActiveSkin().SkinSectionData[static_cast<std::size_t>(FindSectionIndex("EDIT"))];
      const COLORREF expected = ColorToRGB(focused ? s.HotColor : s.Color);
      const COLORREF below = GetPixel(shown.Canvas()->Handle(), 150, 60);  // under the text
      EXPECT_EQ(below, expected) << memo->ClassName() << (focused ? " focused" : "");
    }
    Other->SetFocus();
  }
}

TEST_P(SkinnedEdits, APasswordEditDrawsOneCharacterPerCharacter) {
  LoadSkin(GetParam());
  auto* secret = Put<TsEdit>(RECT{120, 20, 300, 44});
  secret->SetText("secret");
  secret->SetPasswordChar('*');
  Pump();
  // The password char set after the text hides it in the cache at once.
  auto* stars = Put<TsEdit>(RECT{120, 20, 300, 44});
  stars->SetText("******");
  stars->SetVisible(false);
  Pump();
  stars->SetVisible(true);
  secret->SetVisible(false);
  Pump();
  EXPECT_EQ(CachePixels(secret), CachePixels(stars));
  EXPECT_EQ(CapturedWhole(stars), CachePixels(stars));
}

TEST_P(SkinnedEdits, DisabledKindsAlterTheCacheAsAsked) {
  LoadSkin(GetParam());
  auto* edit = Put<TsEdit>();
  const TPixels enabled = CachePixels(edit);
  edit->SetEnabled(false);
  Pump();
  const TPixels blended = CachePixels(edit);
  EXPECT_NE(blended, enabled);

  edit->SetDisabledKind(TsDisabledKind{false, true});
  Pump();
  for (std::uint32_t p : CachePixels(edit)) ASSERT_TRUE((p & 0xFF) == ((p >> 8) & 0xFF) && (p & 0xFF) == (p >> 16)) << std::hex << p;
  EXPECT_EQ(CapturedWhole(edit), CachePixels(edit));

  // Without a disabled kind only the text tells: the background and frame are the enabled ones.
  edit->SetText("");
  edit->SetEnabled(true);
  Pump();
  const TPixels empty = CachePixels(edit);
  edit->SetDisabledKind(TsDisabledKind{false, false});
  edit->SetEnabled(false);
  Pump();
  EXPECT_EQ(CachePixels(edit), empty);
}

TEST_P(SkinnedEdits, TheSkinGoneTheEditIsTheStandardOneAgain) {
  LoadSkin(GetParam());
  auto* edit = Put<TsEdit>();
  edit->SetFocus();
  Type(edit, "x");
  Other->SetFocus();
  Pump();
  Manager->SetActive(false);
  Pump();
  EXPECT_FALSE(edit->IsSkinned());
  const TPixels shown = CapturedWhole(edit);
  const std::string text = edit->Text();
  edit->Free();
  auto* standard = Put<TEdit>();
  standard->SetText(text);
  Pump();
  EXPECT_EQ(CapturedWhole(standard), shown);
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedEdits, ::testing::Values("Desert", "Nocturne"));

// The bound label.

class BoundLabels : public Edits {
protected:
  TsEdit* LabelledEdit() {
    auto* edit = Put<TsEdit>();
    edit->SetName("Amount");
    edit->BoundLabel()->SetCaption("Amount:");
    edit->BoundLabel()->SetActive(true);
    Pump();
    return edit;
  }
  static TControl* LabelOf(TsEdit* edit) { return edit->BoundLabel()->Label()->Control(); }
};

TEST_F(BoundLabels, TheLabelIsATransparentEditLabelThatFollowsItsEdit) {
  LoadSkin("Desert");
  auto* edit = LabelledEdit();
  auto* label = dynamic_cast<TsEditLabel*>(LabelOf(edit));
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(label->Bound(), edit->BoundLabel());
  EXPECT_EQ(label->Parent(), Form);
  EXPECT_EQ(label->Owner(), Form);
  EXPECT_LT(label->Left() + label->Width(), edit->Left());

  edit->SetVisible(false);
  EXPECT_FALSE(label->Visible());
  edit->SetVisible(true);
  EXPECT_TRUE(label->Visible());
  edit->SetEnabled(false);
  EXPECT_FALSE(label->Enabled());
  edit->SetEnabled(true);
  EXPECT_TRUE(label->Enabled());
  const int gap = edit->Left() - (label->Left() + label->Width());
  edit->SetBounds(200, 120, edit->Width(), edit->Height());
  EXPECT_EQ(edit->Left() - (label->Left() + label->Width()), gap);
  EXPECT_NEAR(label->Top() + label->Height() / 2, edit->Top() + edit->Height() / 2, 2);
}

TEST_F(BoundLabels, LabelAndEditAreFreedInEitherOrder) {
  for (bool skinned : {false, true}) {
    if (skinned) LoadSkin("Nocturne");
    const int controls = Form->ControlCount();
    auto* edit = LabelledEdit();
    LabelOf(edit)->Free();
    EXPECT_EQ(edit->BoundLabel()->Label(), nullptr);
    edit->SetBounds(130, 30, 100, 24);  // the edit moves without its label
    edit->Free();
    EXPECT_EQ(Form->ControlCount(), controls);

    edit = LabelledEdit();
    edit->Free();  // takes its label along
    Pump();
    EXPECT_EQ(Form->ControlCount(), controls);
  }
}

TEST_F(BoundLabels, ALabelDrawsItsCaptionInTheFontItWasSizedFor) {
  auto* label = NewControl<TsLabel>(Form, Form, RECT{10, 10, 100, 30});
  label->SetCaption("Wide caption");
  label->Font()->SetSize(12);
  Pump();
  auto paint = [&](const std::function<void(HDC)>& draw) {
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::Bit24);
    bmp.SetSize(label->Width(), label->Height());
    PatBlt(bmp.Canvas()->Handle(), 0, 0, bmp.Width(), bmp.Height(), WHITENESS);
    draw(bmp.Canvas()->Handle());
    return PixelsOf(bmp, RECT{0, 0, bmp.Width(), bmp.Height()});
  };
  const TPixels painted = paint([&](HDC dc) { label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); });
  const TPixels expected = paint([&](HDC dc) {
    const TSelectObject font(dc, label->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, label->Width(), label->Height()};
    DrawTextA(dc, "Wide caption", 12, &r, DT_EXPANDTABS);
  });
  EXPECT_EQ(painted, expected);
}

// The label painted into a bitmap of the background colour, and the caption drawn there in color.
struct TLabelPaint {
  TPixels Painted, Expected;
};
TLabelPaint PaintLabel(TsLabel* label, TColor background, TColor color) {
  auto paint = [&](const std::function<void(HDC)>& draw) {
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::Bit24);
    bmp.SetSize(label->Width(), label->Height());
    bmp.Canvas()->Brush()->SetColor(background);
    bmp.Canvas()->FillRect(RECT{0, 0, bmp.Width(), bmp.Height()});
    draw(bmp.Canvas()->Handle());
    return PixelsOf(bmp, RECT{0, 0, bmp.Width(), bmp.Height()});
  };
  TLabelPaint result;
  result.Painted = paint([&](HDC dc) { label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); });
  result.Expected = paint([&](HDC dc) {
    const TSelectObject font(dc, label->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(color));
    RECT r{0, 0, label->Width(), label->Height()};
    DrawTextA(dc, label->Caption().c_str(), int(label->Caption().size()), &r, DT_EXPANDTABS);
  });
  return result;
}

TEST_F(BoundLabels, OnASkinALabelInTheDefaultColourTakesTheTextColourOfTheSkinBelowIt) {
  LoadSkin("Nocturne");
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{10, 60, 250, 120});
  auto* label = NewControl<TsLabel>(Form, panel, RECT{8, 8, 200, 30});
  label->SetCaption("Readable at night");
  Pump();
  const TsSectionData& section = ActiveSkin().SkinSectionData[std::size_t(panel->SkinData().SkinIndex())];
  const TColor night = section.FontColor[0];
  ASSERT_NE(ColorToRGB(night), ColorToRGB(clWindowText));
  EXPECT_EQ(label->TextColor(), night);
  TLabelPaint shown = PaintLabel(label, section.Color, night);
  EXPECT_EQ(shown.Painted, shown.Expected);
  EXPECT_EQ(label->Font()->Color(), clWindowText);  // the font itself keeps the default

  // A colour of the program's own stays; so does the default on an unskinned background.
  label->Font()->SetColor(clRed);
  EXPECT_EQ(label->TextColor(), clRed);
  label->Font()->SetColor(clWindowText);

  // A tab sheet shows its page control's skin: a label on it takes that section's colour.
  auto* pages = NewControl<TsPageControl>(Form, Form, RECT{10, 160, 250, 260});
  auto* sheet = NewComponent<TsTabSheet>(Form);
  sheet->SetPageControl(pages);
  pages->SetActivePageIndex(0);
  auto* onSheet = NewControl<TsLabel>(Form, sheet, RECT{4, 4, 100, 20});
  Pump();
  ASSERT_TRUE(pages->IsSkinned());
  EXPECT_EQ(onSheet->TextColor(), ActiveSkin().SkinSectionData[std::size_t(pages->SkinData().SkinIndex())].FontColor[0]);
  auto* plain = NewControl<TsLabel>(Form, Form, RECT{10, 130, 200, 150});
  EXPECT_EQ(plain->TextColor(), clWindowText);
  Manager->SetActive(false);
  EXPECT_EQ(label->TextColor(), clWindowText);
}

TEST_F(BoundLabels, ALabelKeepsItsPlaceBesideItsEditWhenItsFontGrows) {
  LoadSkin("Desert");
  for (TsCaptionLayout layout : {TsCaptionLayout::sclLeft, TsCaptionLayout::sclTopLeft}) {
    auto* edit = LabelledEdit();
    edit->SetBounds(150, 80, 150, 24);
    edit->BoundLabel()->SetLayout(layout);
    TControl* label = LabelOf(edit);
    const int width = label->Width();
    edit->BoundLabel()->Font()->SetSize(16);
    Pump();
    ASSERT_GT(label->Width(), width);
    if (layout == TsCaptionLayout::sclLeft) {
      EXPECT_EQ(label->Left() + label->Width(), edit->Left() - 4);
      EXPECT_EQ(label->Top(), edit->Top() + (edit->Height() - label->Height()) / 2 - 1);
    } else {
      EXPECT_EQ(label->Left(), edit->Left());
      EXPECT_EQ(label->Top() + label->Height(), edit->Top());
    }
    edit->Free();
  }
}

// Watches the edit's window from in front of the framework's procedure.
struct TWindowWatch {
  static inline WNDPROC Next = nullptr;
  static inline bool LabelAliveAtDestroy = false;
  static inline bool Destroyed = false;
  static inline bool* LabelAlive = nullptr;
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_DESTROY) {
      Destroyed = true;
      LabelAliveAtDestroy = *LabelAlive;
    }
    return CallWindowProcA(Next, h, msg, w, l);
  }
};

// Tells when a component goes.
class TFreeWatch : public TComponent {
public:
  using TComponent::TComponent;
  bool Alive = true;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == TOperation::Remove && component == Watched) Alive = false;
    TComponent::Notification(component, operation);
  }

public:
  TComponent* Watched = nullptr;
};

// Freed (Free) or deleted, the edit's window goes while its label and skin object are whole.
TEST_F(BoundLabels, TheWindowGoesBeforeTheLabelAndTheSkinObject) {
  LoadSkin("Desert");
  for (bool deleted : {false, true}) {
    auto* edit = LabelledEdit();
    edit->SetFocus();
    Pump();
    auto* watch = NewComponent<TFreeWatch>(Form);
    watch->Watched = LabelOf(edit);
    watch->Watched->FreeNotification(watch);
    TWindowWatch::LabelAlive = &watch->Alive;
    TWindowWatch::Destroyed = false;
    TWindowWatch::Next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindowWatch::Proc)));
    if (deleted)
      delete edit;
    else
      edit->Free();
    Pump();
    EXPECT_TRUE(TWindowWatch::Destroyed) << deleted;
    EXPECT_TRUE(TWindowWatch::LabelAliveAtDestroy) << deleted;
    EXPECT_FALSE(watch->Alive) << deleted;
    watch->Free();
  }
}

// Handles: back where they started after many lives of each edit, with and without a skin.

class EditCensus : public Edits, public ::testing::WithParamInterface<const char*> {};

TEST_P(EditCensus, ThousandLivesOfEachEditLeaveNoHandles) {
  if (std::string(GetParam()) != "none") LoadSkin(GetParam());
  auto cycle = [this](auto* edit) {
    edit->SetText("Text");
    edit->BoundLabel()->SetActive(true);
    edit->Repaint();
    edit->SetFocus();
    Other->SetFocus();
    edit->Free();
  };
  const RECT at{120, 20, 300, 100};
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, [&] { cycle(NewControl<TsEdit>(Form, Form, at)); }), TGuiCensus());
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, [&] { cycle(NewControl<TsMaskEdit>(Form, Form, at)); }), TGuiCensus());
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, [&] { cycle(NewControl<TsMemo>(Form, Form, at)); }), TGuiCensus());
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, [&] { cycle(NewControl<TsRichEdit>(Form, Form, at)); }), TGuiCensus());
}

INSTANTIATE_TEST_SUITE_P(SkinsAndNone, EditCensus, ::testing::Values("none", "Desert", "Nocturne"));

}  // namespace
