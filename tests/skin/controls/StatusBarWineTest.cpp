#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ControlPixels.h"

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TStatusBar.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

class StatusBar : public TSkinnedFormTest {
protected:
  template <typename T>
  T* Bar() {
    auto* bar = NewControl<T>(Form, Form);
    bar->SetSimplePanel(true);
    bar->SetSimpleText("Ready");
    Pump();
    return bar;
  }
  // The bar's client area as the screen shows it.
  static std::vector<COLORREF> Shown(TWinControl* c) {
    std::vector<COLORREF> pixels;
    const TWindowDC dc(c->Handle(), TWindowDC::Client);
    for (int y = 0; y < c->Height(); y += 2)
      for (int x = 0; x < c->Width(); x += 2) pixels.push_back(GetPixel(dc.Handle(), x, y));
    return pixels;
  }
};

TEST_F(StatusBar, WithoutASkinItIsTheStandardStatusBar) {
  auto* standard = Bar<TStatusBar>();
  standard->SetSimpleText("Extracting done.");
  Pump();
  const auto expected = Shown(standard);
  standard->Free();
  auto* skinned = Bar<TsStatusBar>();
  skinned->SetSimpleText("Extracting done.");
  Pump();
  EXPECT_EQ(Shown(skinned), expected);
  EXPECT_EQ(skinned->CacheBuilds(), 0);
}

TEST_F(StatusBar, SkinnedANewTextShowsAtOnceFromTheCache) {
  auto* manager = NewComponent<TsSkinManager>(Form);
  manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
  manager->SetSkinName("Desert");
  auto* bar = Bar<TsStatusBar>();
  ASSERT_TRUE(bar->IsSkinned());
  const int builds = bar->CacheBuilds();
  bar->SetSimpleText("Extracting done.");
  // No WM_PAINT needed: what the native bar drew is covered at once.
  TBitmap* cache = bar->SkinData().CacheBitmap();
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(bar->CacheBuilds(), builds + 1);
  std::vector<COLORREF> fromCache;
  for (int y = 0; y < bar->Height(); y += 2)
    for (int x = 0; x < bar->Width(); x += 2) fromCache.push_back(cache->Canvas()->Pixel(x, y));
  EXPECT_EQ(Shown(bar), fromCache);
  // Panels with dividers, a text too long for its panel.
  bar->SetSimplePanel(false);
  bar->AddPanel({"A panel text far too long to fit", 60});
  bar->AddPanel({"Last", 50});
  Pump();
  EXPECT_GT(bar->CacheBuilds(), builds + 1);
}

// Held, the texts follow SimpleText but the bar shows and paints only the last one, when asked or
// released.
TEST_F(StatusBar, AHeldTextReachesTheBarOnlyWhenShownOrReleased) {
  auto* manager = NewComponent<TsSkinManager>(Form);
  manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
  manager->SetSkinName("Desert");
  auto* bar = Bar<TsStatusBar>();
  ASSERT_TRUE(bar->IsSkinned());
  const auto barText = [bar] {
    char text[256] = {};
    SendMessageA(bar->Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return std::string(text);
  };
  const int builds = bar->CacheBuilds();
  bar->SetTextHeld(true);
  bar->SetSimpleText("Extracting Flash...");
  bar->SetSimpleText("Extracting LangPack...");
  EXPECT_EQ(bar->SimpleText(), "Extracting LangPack...");
  EXPECT_EQ(barText(), "Ready");
  EXPECT_EQ(bar->CacheBuilds(), builds);
  bar->ShowHeldText();
  EXPECT_EQ(barText(), "Extracting LangPack...");
  EXPECT_EQ(bar->CacheBuilds(), builds + 1);
  bar->ShowHeldText();  // nothing new
  EXPECT_EQ(bar->CacheBuilds(), builds + 1);
  bar->SetSimpleText("File done");
  bar->SetTextHeld(false);
  EXPECT_EQ(barText(), "File done");
  bar->SetSimpleText("Ready");
  EXPECT_EQ(barText(), "Ready");
}

// Desert divides its panels with DIVIDER marks, none after the last; Nocturne frames each panel
// with its STATUSPANELMASK and has no marks.
TEST_F(StatusBar, PanelsShowDividersOrTheirOwnFramesAsTheSkinHasThem) {
  for (const char* skin : {"Desert", "Nocturne"}) {
    LoadSkin(skin);
    const int section = FindSectionIndex("STATUSBAR");
    const bool framed = FindMaskIndex(section, "STATUSBAR", "STATUSPANELMASK") >= 0;
    EXPECT_EQ(framed, std::string(skin) == "Nocturne");
    auto* bare = Bar<TsStatusBar>();
    bare->SetSimplePanel(false);
    bare->SetSizeGrip(false);
    auto* bar = Bar<TsStatusBar>();
    bar->SetTop(bare->Top());  // the same background below both
    bar->SetSimplePanel(false);
    bar->SetSizeGrip(false);
    bar->AddPanel({"", 60});
    bar->AddPanel({"", 60});
    Pump();
    ASSERT_TRUE(bar->IsSkinned());
    TBitmap* plain = bare->SkinData().CacheBitmap();
    TBitmap* cache = bar->SkinData().CacheBitmap();
    auto differs = [&](int x0, int x1, int y0, int y1) {
      int n = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += cache->Canvas()->Pixel(x, y) != plain->Canvas()->Pixel(x, y);
      return n > 0;
    };
    const int h = bar->Height();
    // The top edge of the first panel's inside, away from its ends.
    EXPECT_EQ(differs(10, 50, 1, 2), framed) << skin;
    // Where the divider of the first panel goes (its right end), and after the last panel.
    EXPECT_TRUE(differs(52, 61, 3, h - 3)) << skin;
    EXPECT_EQ(differs(bar->Width() - 12, bar->Width() - 1, h / 2, h / 2 + 1), framed) << skin;
    bar->Free();
    bare->Free();
    Manager->Free();
    Manager = nullptr;
    Pump();
  }
}

// A text wider than the bar shows as a start of it that fits, followed by "...": the bar shows what
// it shows for some such text (one that fits the bar is never cut further).
TEST_F(StatusBar, ATextWiderThanTheBarEndsInAnEllipsis) {
  LoadSkin("Nocturne");
  auto* bar = Bar<TsStatusBar>();
  bar->SetSizeGrip(false);
  ASSERT_TRUE(bar->IsSkinned());
  std::string text;
  for (int i = 0; text.size() < 300; ++i) text += "Extracting " + std::to_string(i) + " ";
  bar->SetSimpleText(text);
  Pump();
  const TPixels shown = CacheOf(bar);
  TBitmap measure;
  measure.Canvas()->SetFont(bar->Font());
  bool found = false;
  for (size_t k = text.size(); k > 0 && !found; --k) {
    const std::string candidate = text.substr(0, k) + "...";
    const int width = measure.Canvas()->TextWidth(candidate);
    if (width > bar->Width()) continue;
    if (width < bar->Width() / 2) break;
    bar->SetSimpleText(candidate);
    Pump();
    found = CacheOf(bar) == shown;
  }
  EXPECT_TRUE(found);
}

// Both looks have a grip image; with SizeGrip off none shows, and the grip changes only the
// bar's right end.
TEST_F(StatusBar, NoGripWithSizeGripOff) {
  for (const char* skin : {"Desert", "Nocturne"}) {
    LoadSkin(skin);
    ASSERT_GE(FindMaskIndex(FindSectionIndex("STATUSBAR"), "STATUSBAR", "GRIPIMAGE"), 0) << skin;
    auto* bar = Bar<TsStatusBar>();
    bar->SetSimpleText("");
    bar->SetSizeGrip(true);
    Pump();
    const TPixels on = CacheOf(bar);
    bar->SetSizeGrip(false);
    Pump();
    const TPixels off = CacheOf(bar);
    ASSERT_EQ(on.size(), off.size()) << skin;
    EXPECT_NE(on, off) << skin;
    int leftmost = bar->Width();
    for (size_t i = 0; i < on.size(); ++i)
      if (on[i] != off[i]) leftmost = std::min(leftmost, static_cast<int>(i % bar->Width()));
    EXPECT_GT(leftmost, bar->Width() / 2) << skin;
    bar->Free();
    Manager->Free();
    Manager = nullptr;
    Pump();
  }
}

// An empty section name is stored as "UNKNOWN", a section no skin has.
TEST_F(StatusBar, AnEmptySkinSectionIsStoredAsUnknown) {
  LoadSkin();
  auto* bar = Bar<TsStatusBar>();
  ASSERT_TRUE(bar->IsSkinned());
  bar->SkinData().SetSkinSection("");
  EXPECT_EQ(bar->SkinData().SkinSection(), "UNKNOWN");
  EXPECT_EQ(bar->SkinData().SkinIndex(), -1);
  bar->SkinData().SetSkinSection("STATUSBAR");
  EXPECT_EQ(bar->SkinData().SkinIndex(), FindSectionIndex("STATUSBAR"));
}

// The focus lights a skinned control only when it is a tab stop.
TEST_F(StatusBar, FocusLightsOnlyATabStop) {
  LoadSkin();
  auto* edit = NewControl<TsEdit>(Form, Form, RECT{10, 10, 150, 35});
  auto* other = NewControl<TsEdit>(Form, Form, RECT{10, 50, 150, 75});
  Pump();
  ASSERT_TRUE(edit->IsSkinned());
  for (bool tabStop : {false, true}) {
    edit->SetTabStop(tabStop);
    SetFocus(other->Handle());
    Pump();
    edit->SkinData().SetFocusHot(false);
    SetFocus(edit->Handle());
    Pump();
    ASSERT_EQ(GetFocus(), edit->Handle());
    EXPECT_EQ(edit->SkinData().FocusHot(), tabStop) << tabStop;
  }
}

// An empty skin name clears the skin folder of the active default manager, and only of it.
TEST_F(StatusBar, AnEmptySkinNameClearsTheSkinDirectory) {
  LoadSkin();
  auto* second = NewComponent<TsSkinManager>(Form);
  second->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
  second->SetSkinName("");
  EXPECT_EQ(second->SkinDirectory(), TARVEX_BUNDLED_SKINS);
  Manager->SetActive(false);
  Manager->SetSkinName("");
  EXPECT_EQ(Manager->SkinDirectory(), TARVEX_BUNDLED_SKINS);
  Manager->SetSkinName("Desert");
  Manager->SetActive(true);
  ASSERT_TRUE(SkinData().Active);
  Manager->SetSkinName("");
  EXPECT_EQ(Manager->SkinDirectory(), "");
  EXPECT_LT(FindSectionIndex("BUTTON"), 0);
}

}  // namespace
