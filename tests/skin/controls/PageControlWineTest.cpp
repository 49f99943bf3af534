#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ControlPixels.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TImageList.h"
#include "framework/win/TPageControl.h"
#include "framework/win/TTabSheet.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsPageControl.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsUpDown.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "tests/framework/win/TGuiCensus.h"

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// The pixels of r from a w-wide image.
TPixels Area(const TPixels& p, int w, const RECT& r) {
  TPixels out;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) out.push_back(p[std::size_t(y) * std::size_t(w) + std::size_t(x)]);
  return out;
}

// The native up-down windows inside a window.
std::vector<HWND> UpDowns(HWND parent) {
  std::vector<HWND> found;
  for (HWND child = FindWindowExA(parent, nullptr, UPDOWN_CLASSA, nullptr); child;
       child = FindWindowExA(parent, child, UPDOWN_CLASSA, nullptr))
    found.push_back(child);
  return found;
}

class PageControlTest : public TSkinnedFormTest {
protected:
  template <typename TPages, typename TSheet>
  TPages* Put(int pages, RECT bounds = RECT{10, 10, 330, 200}, TTabPosition position = tpTop) {
    auto* control = NewControl<TPages>(Form, Form, bounds);
    control->SetTabPosition(position);
    for (int i = 0; i < pages; ++i) {
      auto* sheet = NewComponent<TSheet>(Form);
      sheet->SetCaption("Page " + std::to_string(i + 1));
      sheet->SetPageControl(control);
    }
    control->SetActivePageIndex(0);
    Pump();
    return control;
  }

  // A press on the middle of visible tab tab.
  static void ClickTab(TPageControl* control, int tab) {
    RECT r{};
    SendMessageA(control->Handle(), TCM_GETITEMRECT, WPARAM(tab), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(control->Handle(), WM_LBUTTONUP, 0, at);
  }
};

TEST_F(PageControlTest, WithoutASkinItIsTheStandardPageControl) {
  std::vector<TPixels> expected, shown;
  int changes[2] = {0, 0};
  auto script = [&](TPageControl* control, std::vector<TPixels>& shots, int& count) {
    control->SetOnChange(TNotifyEvent::FromFunctor([&count](TObject*) { ++count; }));
    shots.push_back(Captured(control));
    ClickTab(control, 2);
    Pump();
    shots.push_back(Captured(control));
    control->SetTabPosition(tpBottom);
    Pump();
    shots.push_back(Captured(control));
  };
  auto* standard = Put<TPageControl, TTabSheet>(3);
  script(standard, expected, changes[0]);
  standard->Free();
  auto* skinned = Put<TsPageControl, TsTabSheet>(3);
  script(skinned, shown, changes[1]);
  EXPECT_FALSE(skinned->IsSkinned());
  EXPECT_EQ(changes[1], changes[0]);
  EXPECT_EQ(changes[0], 1);
  for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], expected[i]) << "shot " << i;
  // A sheet of a page control without a section reports no painted background.
  EXPECT_FALSE(AskHasPaintedBackground(skinned->Pages(0)));
}

TEST_F(PageControlTest, WithoutASkinTheNativeTabsShowTheImagesAndCallOnDrawTab) {
  auto* images = NewComponent<TImageList>(Form);
  auto* control = Put<TsPageControl, TsTabSheet>(3);
  control->SetImages(images);
  control->Pages(1)->SetImageIndex(0);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(control->Handle(), TCM_GETIMAGELIST, 0, 0)), images->Handle());
  TCITEMA item{};
  item.mask = TCIF_IMAGE;
  ASSERT_TRUE(SendMessageA(control->Handle(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(item.iImage, 0);
  std::vector<int> drawn;
  control->SetOnDrawTab(TDrawTabEvent::FromFunctor([&](TPageControl*, int tab, const RECT&, bool) { drawn.push_back(tab); }));
  control->SetOwnerDraw(true);
  RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  std::sort(drawn.begin(), drawn.end());
  drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
  EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
  // The list freed: the control lets go of it.
  images->Free();
  EXPECT_EQ(control->Images(), nullptr);
  EXPECT_EQ(SendMessageA(control->Handle(), TCM_GETIMAGELIST, 0, 0), 0);
}

class SkinnedPageControl : public PageControlTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedPageControl, EveryPositionPaintsItsBodySectionAndShowsItsCache) {
  LoadSkin(GetParam());
  const TTabPosition positions[] = {tpTop, tpBottom, tpLeft, tpRight};
  const char* bodies[] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"};
  for (int i = 0; i < 4; ++i) {
    auto* control = Put<TsPageControl, TsTabSheet>(3, RECT{10, 10, 330, 200}, positions[i]);
    ASSERT_TRUE(control->IsSkinned());
    EXPECT_EQ(control->BodySectionName(), bodies[i]);
    EXPECT_GE(FindSectionIndex(bodies[i]), 0);
    const int w = control->Width();
    const RECT strip = control->TabsArea();
    EXPECT_GT(strip.right - strip.left, 0) << bodies[i];
    EXPECT_GT(strip.bottom - strip.top, 0) << bodies[i];
    // The whole strip on screen is the cache's, the active tab included.
    EXPECT_EQ(Area(Captured(control), w, strip), Area(CacheOf(control), w, strip)) << bodies[i];
    // The active tab is painted over the body: its part inside the body is not the body's look.
    const RECT active = control->SkinTabRect(0, true), inactive = control->SkinTabRect(1, false);
    EXPECT_GT(active.right - active.left, inactive.right - inactive.left - 2) << bodies[i];
    control->Free();
  }
}

TEST_P(SkinnedPageControl, AHiddenTabHasNoRectangleAndTheNextPageKeepsItsOwn) {
  LoadSkin(GetParam());
  auto* control = Put<TsPageControl, TsTabSheet>(3);
  const RECT third = control->SkinTabRect(2, false);
  control->Pages(1)->SetTabVisible(false);
  Pump();
  const RECT none = control->SkinTabRect(1, false);
  EXPECT_TRUE(IsRectEmpty(&none));
  EXPECT_EQ(control->TabRow(1), 0);
  // Page 2 now has tab 1: the second tab's place.
  RECT native{};
  SendMessageA(control->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&native));
  const RECT moved = control->SkinTabRect(2, false);
  EXPECT_EQ(moved.left, native.left);
  EXPECT_LT(moved.left, third.left);
  EXPECT_EQ(control->TabRow(2), 1);
  EXPECT_EQ(Captured(control), CacheOf(control));
}

TEST_P(SkinnedPageControl, TenTabsInANarrowControlGetTheSkinnedScrollerUntilWidened) {
  LoadSkin(GetParam());
  auto* control = Put<TsPageControl, TsTabSheet>(10, RECT{10, 10, 200, 150});
  TsUpDown* scroller = control->TabScroller();
  ASSERT_NE(scroller, nullptr);
  EXPECT_TRUE(UpDowns(control->Handle()).empty());  // the native one is gone
  EXPECT_EQ(GetParent(scroller->Handle()), control->Handle());
  EXPECT_EQ(scroller->Max(), control->HiddenTabCount());
  EXPECT_GT(scroller->Max(), 0);
  EXPECT_EQ(scroller->Left() + scroller->Width(), control->Width());
  // The right arrow scrolls the strip by one tab.
  RECT before{}, after{};
  SendMessageA(control->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&before));
  const LPARAM right = At(scroller->Width() - 3, scroller->Height() / 2);
  SendMessageA(scroller->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, right);
  SendMessageA(scroller->Handle(), WM_LBUTTONUP, 0, right);
  Pump();
  SendMessageA(control->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&after));
  EXPECT_LT(after.left, before.left);
  // The strip left of the scroller, which is a window of its own.
  RECT strip = control->TabsArea();
  strip.right = scroller->Left();
  EXPECT_EQ(Area(Captured(control), control->Width(), strip), Area(CacheOf(control), control->Width(), strip));
  control->SetBounds(10, 10, 900, 150);
  Form->SetBounds(Form->Left(), Form->Top(), 960, Form->Height());
  Pump();
  EXPECT_EQ(control->TabScroller(), nullptr);
  EXPECT_TRUE(UpDowns(control->Handle()).empty());
}

TEST_P(SkinnedPageControl, ARefusedTabChangeAsksOnceAndRepaints) {
  LoadSkin(GetParam());
  auto* control = Put<TsPageControl, TsTabSheet>(3);
  int asked = 0;
  control->SetOnChanging(TTabChangingEvent::FromFunctor([&](TObject*, bool& allow) {
    ++asked;
    allow = false;
  }));
  // Blank the window, as a covering window would; the refused switch must still bring it back.
  {
    const TWindowDC dc(control->Handle(), TWindowDC::Client);
    const RECT all{0, 0, control->Width(), control->Height()};
    FillRect(dc.Handle(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  ValidateRect(control->Handle(), nullptr);
  ClickTab(control, 1);
  Pump();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(control->ActivePageIndex(), 0);
  EXPECT_FALSE(control->TabChanging());
  const int w = control->Width();
  EXPECT_EQ(Area(Captured(control), w, control->TabsArea()), Area(CacheOf(control), w, control->TabsArea()));
  // An item-size change leaves the flag clear too.
  SendMessageA(control->Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(60, 20));
  Pump();
  EXPECT_FALSE(control->TabChanging());
  EXPECT_EQ(Area(Captured(control), w, control->TabsArea()), Area(CacheOf(control), w, control->TabsArea()));
  // An accepted switch shows the new active tab.
  control->SetOnChanging(nullptr);
  const TPixels before = CacheOf(control);
  ClickTab(control, 2);
  Pump();
  EXPECT_EQ(control->ActivePageIndex(), 2);
  EXPECT_NE(CacheOf(control), before);
  EXPECT_EQ(Area(Captured(control), w, control->TabsArea()), Area(CacheOf(control), w, control->TabsArea()));
}

TEST_P(SkinnedPageControl, TheSheetShowsTheBodyAndAnswersForIt) {
  LoadSkin(GetParam());
  auto* control = Put<TsPageControl, TsTabSheet>(2);
  TTabSheet* sheet = control->ActivePage();
  const TsCacheInfo ci = AskCache(sheet);
  ASSERT_TRUE(ci.Valid);
  EXPECT_EQ(ci.Bitmap, control->SkinData().CacheBitmap());
  EXPECT_EQ(ci.X, sheet->Left());
  EXPECT_EQ(ci.Y, sheet->Top());
  EXPECT_TRUE(IsSkinnedControl(sheet));
  const TPixels cache = CacheOf(control);
  const RECT under{sheet->Left(), sheet->Top(), sheet->Left() + sheet->Width(), sheet->Top() + sheet->Height()};
  EXPECT_EQ(Captured(sheet), Area(cache, control->Width(), under));
}

TEST_P(SkinnedPageControl, TheSkinGoesAndComesBackWithThePagesAlive) {
  LoadSkin(GetParam());
  auto* control = Put<TsPageControl, TsTabSheet>(10, RECT{10, 10, 200, 150});
  ASSERT_NE(control->TabScroller(), nullptr);
  Manager->SetActive(false);
  Pump();
  EXPECT_FALSE(control->IsSkinned());
  EXPECT_EQ(control->TabScroller(), nullptr);
  Manager->SetActive(true);
  Pump();
  EXPECT_TRUE(control->IsSkinned());
  EXPECT_NE(control->TabScroller(), nullptr);
  TTabSheet* sheet = control->ActivePage();
  const RECT under{sheet->Left(), sheet->Top(), sheet->Left() + sheet->Width(), sheet->Top() + sheet->Height()};
  EXPECT_EQ(Captured(sheet), Area(CacheOf(control), control->Width(), under));
}

TEST_P(SkinnedPageControl, ControlsOnEverySheetAreSkinnedAgainWhenTheSkinComesBack) {
  LoadSkin(GetParam());
  auto* control = Put<TsPageControl, TsTabSheet>(2);
  std::vector<TsButton*> buttons;
  for (int i = 0; i < 2; ++i) buttons.push_back(NewControl<TsButton>(Form, control->Pages(i), RECT{10, 10, 90, 35}));
  auto* nested = NewControl<TsPanel>(Form, control->Pages(1), RECT{10, 50, 150, 120});
  buttons.push_back(NewControl<TsButton>(Form, nested, RECT{5, 5, 85, 30}));
  Pump();
  for (TsButton* b : buttons) EXPECT_TRUE(b->IsSkinned());
  Manager->SetActive(false);
  Pump();
  for (TsButton* b : buttons) EXPECT_FALSE(b->IsSkinned());
  Manager->SetActive(true);
  Pump();
  for (TsButton* b : buttons) EXPECT_TRUE(b->IsSkinned());
  EXPECT_TRUE(nested->IsSkinned());
}

TEST_P(SkinnedPageControl, AGraphicControlOnASheetShowsThePageControlsSkinAroundItsText) {
  LoadSkin(GetParam());
  auto* control = Put<TsPageControl, TsTabSheet>(2);
  TTabSheet* sheet = control->Pages(0);
  auto* label = NewControl<TsLabel>(Form, sheet, RECT{10, 10, 150, 50});
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 140, 40);
  label->SetCaption("x");
  Pump();
  {
    // Whatever the screen held there before (the sheet erases nothing); the label then repaints.
    const TWindowDC dc(sheet->Handle(), TWindowDC::Client);
    PatBlt(dc.Handle(), 0, 0, sheet->Width(), sheet->Height(), BLACKNESS);
  }
  label->Repaint();
  Pump();
  // Right of and below the one letter, the label shows the body under it.
  const RECT bare{60, 30, 150, 50};
  RECT inControl = bare;
  OffsetRect(&inControl, sheet->Left(), sheet->Top());
  EXPECT_EQ(Area(Captured(sheet), sheet->Width(), bare), Area(CacheOf(control), control->Width(), inControl));
}

// A list with one solid glyph in colour (read back from our bitmaps as R << 16 | G << 8 | B).
TImageList* SolidGlyphs(TComponent* owner, COLORREF color) {
  auto* images = NewComponent<TImageList>(owner);
  TBitmap glyph;
  glyph.SetPixelFormat(TPixelFormat::Bit24);
  glyph.SetSize(images->Width(), images->Height());
  glyph.Canvas()->Brush()->SetColor(static_cast<TColor>(color));
  glyph.Canvas()->FillRect(RECT{0, 0, images->Width(), images->Height()});
  images->Add(&glyph, nullptr);
  return images;
}

int Count(const TPixels& p, std::uint32_t pixel) { return int(std::count(p.begin(), p.end(), pixel)); }

TEST_P(SkinnedPageControl, TabsShowTheirImagesAndOwnerDrawingOverTheSkin) {
  LoadSkin(GetParam());
  TImageList* images = SolidGlyphs(Form, RGB(255, 0, 0));
  const int glyph = images->Width() * images->Height();
  for (TTabPosition position : {tpTop, tpLeft}) {
    auto* control = Put<TsPageControl, TsTabSheet>(3, RECT{10, 10, 330, 200}, position);
    control->SetImages(images);
    // At the top an inactive tab, which the body half hides; on the left the active one (the active
    // tab of side tabs overlaps the row beside it).
    const int page = position == tpTop ? 1 : 0;
    control->Pages(page)->SetImageIndex(0);
    control->SkinData().RequestRepaint();
    Pump();
    const int w = control->Width();
    // One whole glyph, on the second tab.
    EXPECT_EQ(Count(CacheOf(control), 0xFF0000u), glyph) << int(position);
    EXPECT_EQ(Count(Area(CacheOf(control), w, control->SkinTabRect(page, page == 0)), 0xFF0000u), glyph)
        << int(position);
    control->Free();
  }
  // Owner-drawn: the skinned tab below, then what the handler draws, told which tab is active.
  auto* control = Put<TsPageControl, TsTabSheet>(3);
  std::vector<std::pair<int, bool>> drawn;
  control->SetOnDrawTab(TDrawTabEvent::FromFunctor([&](TPageControl* c, int tab, const RECT& r, bool active) {
    drawn.emplace_back(tab, active);
    RECT mark{r.left + 2, r.top + 2, r.left + 6, r.top + 6};
    c->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(0, 255, 0)));
    c->Canvas()->FillRect(mark);
  }));
  control->SetOwnerDraw(true);
  drawn.clear();
  control->SkinData().RequestRepaint();
  Pump();
  EXPECT_EQ(Count(CacheOf(control), 0x00FF00u), 3 * 16);
  std::sort(drawn.begin(), drawn.end());
  drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
  EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>>{{0, true}, {1, false}, {2, false}}));
}

TEST_P(SkinnedPageControl, TabCaptionsShowWhenTheSkinHasNoTabLook) {
  LoadSkin(GetParam());
  TsCommonSection& top = ActiveSkin().SkinCommonIndexes.Tabs.Top;
  const TsCommonSection kept = top;
  top.BordersMask = -1;
  auto* control = Put<TsPageControl, TsTabSheet>(3);
  const int w = control->Width();
  const RECT tab = control->SkinTabRect(1, false);
  const TPixels named = Area(CacheOf(control), w, tab);
  control->Pages(1)->SetCaption("");
  control->SkinData().RequestRepaint();
  Pump();
  const TPixels empty = Area(CacheOf(control), w, tab);
  top = kept;
  EXPECT_NE(named, empty);
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedPageControl, ::testing::Values("Desert", "Nocturne"));

TEST_F(PageControlTest, CreatingAndFreeingASkinnedPageControlLeavesNoHandles) {
  LoadSkin("Desert");
  auto cycle = [&] {
    // Tabs that do not fit: the scroller comes and goes with the control.
    auto* control = Put<TsPageControl, TsTabSheet>(4, RECT{10, 10, 120, 100});
    ClickTab(control, 1);
    control->Free();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus());
}

}  // namespace
