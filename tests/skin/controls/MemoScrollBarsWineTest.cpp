#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "ControlPixels.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TButton.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsMemo.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/TsSkinManager.h"
#include "tests/framework/win/TGuiCensus.h"

// The memo's and rich edit's skinned scroll bars: laid 2 pixels inside the frame over the native
// bars, moved by whatever scrolls the text, and scrolling the text when dragged.

namespace {

void Send(TWinControl* c, UINT msg, WPARAM w, LPARAM l) { SendMessageA(c->Handle(), msg, w, l); }

int FirstLine(TWinControl* memo) { return int(SendMessageA(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)); }
// The native vertical position: lines in the memo, pixels in the rich edit.
int NativePos(TWinControl* memo) { return GetScrollPos(memo->Handle(), SB_VERT); }

std::string Lines(int count, int width) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "Line " + std::to_string(i) + " " + std::string(std::size_t(width), 'x') + "\r\n";
  return text;
}

class MemoScrollBars : public TSkinnedFormTest {
protected:
  template <typename T>
  T* Put(TScrollStyle bars = ssBoth) {
    auto* memo = NewControl<T>(Form, Form, RECT{60, 20, 260, 140});
    memo->SetWordWrap(false);
    memo->SetScrollBars(bars);
    memo->SetText(Lines(60, 60));
    Pump();
    return memo;
  }
};

TEST_F(MemoScrollBars, WithoutASkinTheNativeBarsStayAlone) {
  auto* memo = Put<TsMemo>();
  EXPECT_EQ(memo->VScrollBar(), nullptr);
  EXPECT_EQ(memo->HScrollBar(), nullptr);
  Send(memo, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  Pump();
  EXPECT_EQ(memo->VScrollBar(), nullptr);
}

class SkinnedMemoScrollBars : public MemoScrollBars, public ::testing::WithParamInterface<const char*> {};

template <typename T>
void ExpectBarsInsideTheFrame(T* memo) {
  TsScrollBar* v = memo->VScrollBar();
  TsScrollBar* h = memo->HScrollBar();
  ASSERT_NE(v, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(v->Visible() && h->Visible());
  EXPECT_EQ(v->Parent(), memo->Parent());
  const int cxV = GetSystemMetrics(SM_CXVSCROLL), cyH = GetSystemMetrics(SM_CYHSCROLL);
  EXPECT_EQ(v->BoundsRect().right, memo->BoundsRect().right - 2);
  EXPECT_EQ(v->Top(), memo->Top() + 2);
  EXPECT_EQ(v->Width(), cxV);
  EXPECT_EQ(v->Height(), memo->Height() - cyH - 4);
  EXPECT_EQ(h->Left(), memo->Left() + 2);
  EXPECT_EQ(h->BoundsRect().bottom, memo->BoundsRect().bottom - 2);
  EXPECT_EQ(h->Width(), memo->Width() - cxV - 4);
  EXPECT_TRUE(v->IsSkinned());
  EXPECT_TRUE(v->Enabled());
}

TEST_P(SkinnedMemoScrollBars, BarsLieInsideTheFrameAndFollowTheWheel) {
  LoadSkin(GetParam());
  auto* memo = Put<TsMemo>();
  ExpectBarsInsideTheFrame(memo);
  TsScrollBar* v = memo->VScrollBar();
  EXPECT_EQ(v->Position(), 0);
  Send(memo, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  Pump();
  EXPECT_GT(FirstLine(memo), 0);
  EXPECT_EQ(v->Position(), FirstLine(memo));
  // Keys scroll too.
  memo->SetFocus();
  PostMessageA(memo->Handle(), WM_KEYDOWN, VK_NEXT, 1);
  PostMessageA(memo->Handle(), WM_KEYUP, VK_NEXT, 0xC0000001);
  Pump();
  EXPECT_EQ(v->Position(), FirstLine(memo));

  auto* rich = Put<TsRichEdit>();
  rich->SetTop(150);
  Pump();
  ExpectBarsInsideTheFrame(rich);
  Send(rich, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  Pump();
  EXPECT_GT(FirstLine(rich), 0);
  EXPECT_EQ(rich->VScrollBar()->Position(), NativePos(rich));
}

TEST_P(SkinnedMemoScrollBars, DraggingTheSliderScrollsTheTextOnEveryMove) {
  LoadSkin(GetParam());
  for (TCustomEdit* memo : {static_cast<TCustomEdit*>(Put<TsMemo>()), static_cast<TCustomEdit*>(Put<TsRichEdit>())}) {
    TsScrollBar* v = dynamic_cast<TsMemo*>(memo) ? dynamic_cast<TsMemo*>(memo)->VScrollBar()
                                                   : dynamic_cast<TsRichEdit*>(memo)->VScrollBar();
    ASSERT_NE(v, nullptr);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    const int x = v->Width() / 2, grab = arrow + 3;
    Send(v, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, grab));
    int last = FirstLine(memo);
    for (int y = grab + 10; y < v->Height() - arrow; y += 10) {
      Send(v, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
      EXPECT_EQ(NativePos(memo), v->Position()) << memo->ClassName() << " at " << y;
      EXPECT_GE(FirstLine(memo), last);
      last = FirstLine(memo);
    }
    Send(v, WM_LBUTTONUP, 0, MAKELPARAM(x, v->Height() - arrow - 1));
    Pump();
    EXPECT_GT(FirstLine(memo), 20);
    EXPECT_EQ(v->Position(), NativePos(memo));
    memo->Free();
    Pump();
  }
}

TEST_P(SkinnedMemoScrollBars, ARichEditHidesTheBarsItsTextFitsWithoutUnlessToldToKeepThem) {
  LoadSkin(GetParam());
  auto* rich = Put<TsRichEdit>();
  ASSERT_TRUE(rich->HideScrollBars());
  ExpectBarsInsideTheFrame(rich);
  auto shown = [](TsScrollBar* bar) { return bar && bar->Visible(); };
  rich->SetText("Short");
  Pump();
  EXPECT_FALSE(shown(rich->VScrollBar()));
  EXPECT_FALSE(shown(rich->HScrollBar()));
  // Lines too many but narrow: the vertical bar alone.
  rich->SetText(Lines(60, 2));
  Pump();
  EXPECT_TRUE(shown(rich->VScrollBar()));
  EXPECT_FALSE(shown(rich->HScrollBar()));
  // Kept: the short text still shows both bars.
  rich->SetHideScrollBars(false);
  rich->SetText("Short");
  Pump();
  EXPECT_TRUE(shown(rich->VScrollBar()));
  EXPECT_TRUE(shown(rich->HScrollBar()));
}

TEST_P(SkinnedMemoScrollBars, SmallOrBarlessMemosShowNoBarsAndTheSkinsGoingFreesThem) {
  LoadSkin(GetParam());
  auto* none = Put<TsMemo>(ssNone);
  EXPECT_TRUE(!none->VScrollBar() || !none->VScrollBar()->Visible());
  auto* small = Put<TsMemo>();
  small->SetBounds(10, 150, 15, 60);
  Pump();
  EXPECT_FALSE(small->VScrollBar()->Visible());
  auto* memo = Put<TsMemo>(ssVertical);
  ASSERT_NE(memo->VScrollBar(), nullptr);
  EXPECT_TRUE(memo->VScrollBar()->Visible());
  EXPECT_TRUE(!memo->HScrollBar() || !memo->HScrollBar()->Visible());
  EXPECT_EQ(memo->VScrollBar()->Height(), memo->Height() - 4);
  Manager->SetActive(false);
  Pump();
  EXPECT_EQ(memo->VScrollBar(), nullptr);
  EXPECT_EQ(small->VScrollBar(), nullptr);
}

// The frame repainted over a window marked in one colour: what is left of the mark.
int MarkLeftAfterFramePaint(TWinControl* memo) {
  constexpr COLORREF mark = RGB(255, 0, 255);
  {
    const TWindowDC dc(memo->Handle(), TWindowDC::Whole);
    const RECT all{0, 0, memo->Width(), memo->Height()};
    TBrush brush;
    brush.SetColor(TColor(mark));
    FillRect(dc.Handle(), &all, brush.Handle());
  }
  RedrawWindow(memo->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const TPixels pixels = Captured(memo, true);
  return int(std::count(pixels.begin(), pixels.end(), std::uint32_t(0xFF00FF)));
}

TEST_P(SkinnedMemoScrollBars, EveryPixelOfTheFrameIsPaintedWhetherTheBarsCoverTheNativeOnesOrNot) {
  LoadSkin(GetParam());
  for (TScrollStyle style : {ssBoth, ssVertical, ssNone}) {
    auto* memo = Put<TsMemo>(style);
    EXPECT_EQ(MarkLeftAfterFramePaint(memo), 0) << int(style);
    // Too narrow for the skinned bars: the native ones are painted by the edit.
    memo->SetWidth(15);
    Pump();
    ASSERT_TRUE(!memo->VScrollBar() || !memo->VScrollBar()->Visible());
    EXPECT_EQ(MarkLeftAfterFramePaint(memo), 0) << int(style);
    memo->Free();
    Pump();
  }
}

TEST_F(MemoScrollBars, ManyLivesOfAMemoWithBarsLeaveNoHandles) {
  LoadSkin("Desert");
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles,
                                   [&] {
                                     auto* memo = NewControl<TsMemo>(Form, Form, RECT{60, 20, 260, 140});
                                     memo->SetScrollBars(ssBoth);
                                     memo->SetText("Two\r\nlines");
                                     ASSERT_NE(memo->VScrollBar(), nullptr);
                                     memo->Free();
                                   }),
            TGuiCensus());
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedMemoScrollBars, ::testing::Values("Desert", "Nocturne"));

}  // namespace
