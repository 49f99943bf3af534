#include <gtest/gtest.h>

#include <windows.h>

#include <utility>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsGauge.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TGuiCensus.h"

namespace {

class Gauge : public ::testing::Test {
protected:
  void SetUp() override {
    Form = NewComponent<TForm>(Application);  // skin changes reach the application's forms
    Form->SetBounds(40, 40, 300, 200);
    G = NewControl<TsGauge>(Form, Form, RECT{10, 10, 130, 40});
    G->SetOnChange(TNotifyEvent::FromFunctor([this](TObject*) { ++Changes; }));
    Target.SetPixelFormat(TPixelFormat::Bit24);
    Target.SetSize(G->Width(), G->Height());
  }
  void TearDown() override {
    Form->Free();
    InstallSkinTables({});
    SkinData().Active = false;
  }
  void LoadSkin() {
    auto* manager = NewComponent<TsSkinManager>(Form);
    manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    manager->SetSkinName("Desert");
  }
  // The gauge painted as its parent paints it, into our bitmap.
  COLORREF PaintedAt(int x, int y) {
    G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Target.Canvas()->Handle()), 0);
    return GetPixel(Target.Canvas()->Handle(), x, y);
  }

  TForm* Form = nullptr;
  TsGauge* G = nullptr;
  TBitmap Target;
  int Changes = 0;
};

TEST_F(Gauge, UnskinnedTheBarFillsItsShareInsideTheFrame) {
  G->SetShowText(false);
  G->SetMaxValue(3);
  G->SetProgress(2);
  EXPECT_EQ(G->PercentDone(), 66);
  // The paint rectangle is 1 pixel in; the bar covers Trunc(119 x 0.66) = 78 columns from x = 1.
  const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
  EXPECT_EQ(PaintedAt(0, 15), frame);
  EXPECT_EQ(PaintedAt(77, 15), RGB(0, 0, 0));
  EXPECT_EQ(PaintedAt(78, 15), RGB(255, 255, 255));
  EXPECT_EQ(PaintedAt(118, 15), RGB(255, 255, 255));
  EXPECT_EQ(PaintedAt(119, 15), frame);
  EXPECT_EQ(G->CacheBuilds(), 0);
}

TEST_F(Gauge, UnskinnedTheDigitsShowInvertedOverTheBar) {
  G->SetMaxValue(100);
  G->SetProgress(100);
  G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Target.Canvas()->Handle()), 0);
  int white = 0;
  for (int x = 1; x < 119; ++x)
    for (int y = 1; y < 29; ++y) white += GetPixel(Target.Canvas()->Handle(), x, y) == RGB(255, 255, 255);
  EXPECT_GT(white, 0);  // "100%" in white over the full black bar
}

TEST_F(Gauge, UnskinnedTheDigitsOfAnEarlierPaintAreWipedOut) {
  const auto painted = [this](TsGauge* gauge) {
    gauge->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Target.Canvas()->Handle()), 0);
    std::vector<COLORREF> pixels;
    for (int x = 0; x < gauge->Width(); ++x)
      for (int y = 0; y < gauge->Height(); ++y) pixels.push_back(GetPixel(Target.Canvas()->Handle(), x, y));
    return pixels;
  };
  G->SetMaxValue(100);
  G->SetProgress(87);
  painted(G);
  G->SetProgress(100);
  TsGauge* fresh = NewControl<TsGauge>(Form, Form, RECT{10, 50, 130, 80});
  fresh->SetMaxValue(100);
  fresh->SetProgress(100);
  EXPECT_EQ(painted(G), painted(fresh));
}

TEST_F(Gauge, ProgressReportsEachChangeOnceAndRebuildsOnlyForANewPercentage) {
  LoadSkin();
  ASSERT_TRUE(G->IsSkinned());
  G->SetMinValue(0);
  G->SetMaxValue(30'000'000);
  G->SetProgress(0);
  PaintedAt(5, 5);
  const int builds = G->CacheBuilds();
  Changes = 0;
  G->SetProgress(10);  // still 0 %
  G->SetProgress(10);
  PaintedAt(5, 5);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(G->CacheBuilds(), builds);
  G->SetProgress(15'000'000);
  EXPECT_EQ(G->PercentDone(), 50);
  PaintedAt(5, 5);
  EXPECT_EQ(G->CacheBuilds(), builds + 1);
  G->SetMaxValue(100'000'000);
  G->SetProgress(100'000'000);
  EXPECT_EQ(G->PercentDone(), 100);
}

// Held, the gauge follows every value but asks its parent for no painting until the showing or the
// release, whose painting shows the last value.
TEST_F(Gauge, HeldItFollowsEachValueAndAsksForAPaintOnlyWhenShownOrReleased) {
  Form->Show();
  const HWND parent = Form->Handle();
  const auto waiting = [parent] { return GetUpdateRect(parent, nullptr, FALSE) != FALSE; };
  G->SetMaxValue(100);
  UpdateWindow(parent);
  G->SetProgressHeld(true);
  G->SetProgress(30);
  G->SetProgress(50);
  EXPECT_EQ(G->PercentDone(), 50);
  EXPECT_FALSE(waiting());
  G->ShowHeldProgress();
  EXPECT_TRUE(waiting());
  UpdateWindow(parent);
  G->ShowHeldProgress();  // nothing new
  EXPECT_FALSE(waiting());
  G->SetProgress(70);
  EXPECT_FALSE(waiting());
  G->SetProgressHeld(false);
  EXPECT_TRUE(waiting());
  // What the release paints is the last value.
  PaintedAt(0, 0);
  TBitmap held;
  held.Assign(&Target);
  auto* fresh = NewControl<TsGauge>(Form, Form, RECT{10, 50, 130, 80});
  fresh->SetMaxValue(100);
  fresh->SetProgress(70);
  std::swap(G, fresh);
  PaintedAt(0, 0);
  std::swap(G, fresh);
  for (int x = 0; x < Target.Width(); ++x)
    for (int y = 0; y < Target.Height(); ++y)
      ASSERT_EQ(GetPixel(held.Canvas()->Handle(), x, y), GetPixel(Target.Canvas()->Handle(), x, y)) << x << "," << y;
}

TEST_F(Gauge, AnEmptyRangeShowsNothingAndBoundsAreChecked) {
  G->SetMaxValue(0);
  EXPECT_EQ(G->PercentDone(), 0);
  EXPECT_THROW(G->SetMaxValue(-5), EInvalidOperation);
  EXPECT_EQ(G->MaxValue(), 0);
}

// Everything the gauge paints, into our bitmap.
std::vector<COLORREF> Painted(TsGauge* gauge, TBitmap& target) {
  gauge->Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas()->Handle()), 0);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < gauge->Height(); ++y)
    for (int x = 0; x < gauge->Width(); ++x) pixels.push_back(GetPixel(target.Canvas()->Handle(), x, y));
  return pixels;
}

TEST_F(Gauge, TheSkinnedTextEndsWithTheSuffixAndTheStandardOneWithAPercentSign) {
  G->SetKind(TsGaugeKind::gkText);
  G->SetProgress(50);
  const std::vector<COLORREF> percent = Painted(G, Target);
  G->SetSuffix(" done");
  EXPECT_EQ(Painted(G, Target), percent) << "unskinned";
  LoadSkin();
  ASSERT_TRUE(G->IsSkinned());
  const std::vector<COLORREF> done = Painted(G, Target);
  G->SetSuffix("%");
  EXPECT_NE(Painted(G, Target), done);
  G->SetShowText(false);
  EXPECT_NE(Painted(G, Target), done) << "the text is drawn";
}

// Skinned, the pie and the needle are drawn in ForeColor over the skin, which shows through their
// free part; unskinned, that part is BackColor.
TEST_F(Gauge, SkinnedPieAndNeedleShowTheSkinInsideTheirOutline) {
  LoadSkin();
  ASSERT_TRUE(G->IsSkinned());
  G->SetShowText(false);
  G->SetForeColor(RGB(255, 0, 0));
  G->SetBackColor(RGB(0, 0, 255));
  G->SetKind(TsGaugeKind::gkText);
  const std::vector<COLORREF> skin = Painted(G, Target);
  const int w = G->Width(), h = G->Height();
  auto at = [&](const std::vector<COLORREF>& p, int x, int y) { return p[std::size_t(y * w + x)]; };

  // A quarter: the upper right quadrant is filled, the rest of the ellipse is the skin.
  G->SetKind(TsGaugeKind::gkPie);
  G->SetProgress(25);
  std::vector<COLORREF> pie = Painted(G, Target);
  EXPECT_EQ(at(pie, w * 7 / 10, h * 3 / 10), RGB(255, 0, 0));
  EXPECT_EQ(at(pie, w * 3 / 10, h * 7 / 10), at(skin, w * 3 / 10, h * 7 / 10));
  int outline = 0;
  for (int y = h * 3 / 4; y < h; ++y) outline += at(pie, w / 2, y) == RGB(255, 0, 0);
  EXPECT_GT(outline, 0) << "the ellipse";

  // Half-way: the needle stands upright in the half ellipse, outlined in ForeColor.
  G->SetKind(TsGaugeKind::gkNeedle);
  G->SetProgress(50);
  std::vector<COLORREF> needle = Painted(G, Target);
  EXPECT_EQ(at(needle, w / 4, h * 3 / 4), at(skin, w / 4, h * 3 / 4));
  EXPECT_EQ(at(needle, w / 2, h / 2), RGB(255, 0, 0)) << "the needle";
  outline = 0;
  for (int y = 0; y < h / 2; ++y) outline += at(needle, w / 6, y) == RGB(255, 0, 0);
  EXPECT_GT(outline, 0) << "the arc";

  SendSkinCommandTo(G, SkinCommand::RemoveSkin);
  ASSERT_FALSE(G->IsSkinned());
  needle = Painted(G, Target);
  EXPECT_EQ(at(needle, w / 4, h * 3 / 4), RGB(0, 0, 255));
  G->SetKind(TsGaugeKind::gkPie);
  pie = Painted(G, Target);
  EXPECT_EQ(at(pie, w * 3 / 10, h * 7 / 10), RGB(0, 0, 255));
}

TEST_F(Gauge, PaintingEveryKindSkinnedAndUnskinnedLeaksNothing) {
  auto paintAll = [&] {
    for (TsGaugeKind kind : {TsGaugeKind::gkText, TsGaugeKind::gkHorizontalBar, TsGaugeKind::gkVerticalBar,
                             TsGaugeKind::gkPie, TsGaugeKind::gkNeedle}) {
      G->SetKind(kind);
      PaintedAt(1, 1);
    }
  };
  paintAll();
  EXPECT_EQ(TGuiCensus::ChangeOver(50, paintAll), TGuiCensus());
  LoadSkin();
  paintAll();
  EXPECT_EQ(TGuiCensus::ChangeOver(50, paintAll), TGuiCensus());
}

}  // namespace
