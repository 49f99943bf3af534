#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPopupMenu.h"
#include "skin/engine/TsFormFrameLink.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsSkinableMenus.h"
#include "skin/windows/TsSystemMenu.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

namespace {

constexpr int kCensusCycles = 200;

struct TAppHandlers {
  void Draw(TObject*, TCanvas*, const RECT&, TOwnerDrawState) { ++Draws; }
  void Measure(TObject*, TCanvas*, int&, int&) {}
  int Draws = 0;
};

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption) {
  auto* item = NewComponent<TMenuItem>(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

std::uint32_t PixelAt(TBitmap& bmp, int x, int y) {
  const std::uint8_t* row = bmp.ScanLine(y);
  return row[3 * x] | (row[3 * x + 1] << 8) | (std::uint32_t(row[3 * x + 2]) << 16);
}

int Brightness(std::uint32_t p) { return int(p & 0xFF) + int((p >> 8) & 0xFF) + int((p >> 16) & 0xFF); }

class Menus : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Form = NewComponent<TForm>(Application);
    Form->SetBounds(60, 60, 360, 240);
    Bar = NewComponent<TMainMenu>(Form);
    File = AddItem(Form, Bar->Items(), "&File");
    Open = AddItem(Form, File, "&Open");
    Open->SetShortCut(ShortCut('O', ssCtrl));
    Own = AddItem(Form, File, "Own drawn");
    Own->SetOnAdvancedDrawItem(TAdvancedMenuDrawItemEvent(&App, &TAppHandlers::Draw));
    Form->SetMenu(Bar);
    Popup = NewComponent<TPopupMenu>(Form);
    Title = AddItem(Form, Popup->Items(), "-Tools-");
    Checked = AddItem(Form, Popup->Items(), "Checked");
    Checked->SetChecked(true);
    Line = AddItem(Form, Popup->Items(), "-");
    Plain = AddItem(Form, Popup->Items(), "Plain");
    PlainMeasure = TMenuMeasureItemEvent(&App, &TAppHandlers::Measure);
    Plain->SetOnMeasureItem(PlainMeasure);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    InstallSkinTables({});
    SkinData().Active = false;
    ClearMenuList(true);
    Pump();
  }
  void LoadSkin(const char* name = "Desert") {
    if (Manager == nullptr) {
      Manager = NewComponent<TsSkinManager>(Form);
      Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    }
    Manager->SetSkinName(name);
    ASSERT_TRUE(SkinData().Active);
    Painter = dynamic_cast<TsSkinableMenus*>(Manager->MenuSkinner());
    ASSERT_NE(Painter, nullptr);
  }
  // The item drawn by the painter into a bitmap of our own.
  void Draw(TBitmap& bmp, TMenuItem* item, int width, int height, TOwnerDrawState state, int top = 0) {
    bmp.SetPixelFormat(TPixelFormat::Bit24);
    bmp.SetSize(width, top + height);
    bmp.Canvas()->Brush()->SetColor(clFuchsia);
    bmp.Canvas()->FillRect(RECT{0, 0, width, top + height});
    Painter->DrawItem(item, bmp.Canvas(), RECT{0, top, width, top + height}, state);
  }

  TForm* Form = nullptr;
  TMainMenu* Bar = nullptr;
  TMenuItem *File = nullptr, *Open = nullptr, *Own = nullptr;
  TPopupMenu* Popup = nullptr;
  TMenuItem *Title = nullptr, *Checked = nullptr, *Line = nullptr, *Plain = nullptr;
  TMenuMeasureItemEvent PlainMeasure;
  TAppHandlers App;
  TsSkinManager* Manager = nullptr;
  TsSkinableMenus* Painter = nullptr;
};

TEST_F(Menus, HookingTakesEmptyEventsOnlyAndUnhookingGivesBackOnlyItsOwn) {
  EXPECT_FALSE(Bar->OwnerDraw());
  LoadSkin();
  EXPECT_TRUE(Painter->Active());
  EXPECT_TRUE(Bar->OwnerDraw());
  EXPECT_TRUE(Popup->OwnerDraw());
  const TAdvancedMenuDrawItemEvent popupDraw(Painter, &TsSkinableMenus::DrawItem);
  const TAdvancedMenuDrawItemEvent barDraw(Painter, &TsSkinableMenus::BarDrawItem);
  const TAdvancedMenuDrawItemEvent appDraw(&App, &TAppHandlers::Draw);
  EXPECT_TRUE(File->OnAdvancedDrawItem() == barDraw);
  EXPECT_TRUE(File->OnMeasureItem() == TMenuMeasureItemEvent(Painter, &TsSkinableMenus::BarMeasureItem));
  EXPECT_TRUE(Open->OnAdvancedDrawItem() == popupDraw);
  EXPECT_TRUE(Checked->OnMeasureItem() == TMenuMeasureItemEvent(Painter, &TsSkinableMenus::MeasureItem));
  // The application's handlers stay; the empty event beside them is the painter's.
  EXPECT_TRUE(Own->OnAdvancedDrawItem() == appDraw);
  EXPECT_TRUE(Own->OnMeasureItem() == TMenuMeasureItemEvent(Painter, &TsSkinableMenus::MeasureItem));
  EXPECT_TRUE(Plain->OnMeasureItem() == PlainMeasure);
  EXPECT_TRUE(Plain->OnAdvancedDrawItem() == popupDraw);

  // A new skin hooks again without doubling anything.
  LoadSkin("Nocturne");
  EXPECT_TRUE(Own->OnAdvancedDrawItem() == appDraw);
  EXPECT_TRUE(Open->OnAdvancedDrawItem() == popupDraw);

  // The application takes an item over while hooked: removing the skin leaves its handler.
  const TAdvancedMenuDrawItemEvent later(&App, &TAppHandlers::Draw);
  Checked->SetOnAdvancedDrawItem(later);
  Manager->SetActive(false);
  EXPECT_FALSE(Painter->Active());
  EXPECT_FALSE(Bar->OwnerDraw());
  EXPECT_FALSE(Popup->OwnerDraw());
  EXPECT_FALSE(bool(File->OnAdvancedDrawItem()));
  EXPECT_FALSE(bool(File->OnMeasureItem()));
  EXPECT_FALSE(bool(Open->OnAdvancedDrawItem()));
  EXPECT_TRUE(Own->OnAdvancedDrawItem() == appDraw);
  EXPECT_FALSE(bool(Own->OnMeasureItem()));
  EXPECT_TRUE(Checked->OnAdvancedDrawItem() == later);
  EXPECT_TRUE(Plain->OnMeasureItem() == PlainMeasure);

  // Popups stay native when the manager does not skin them; the main menu is still hooked.
  Manager->SetSkinnedPopups(false);
  Manager->SetActive(true);
  EXPECT_TRUE(Bar->OwnerDraw());
  EXPECT_FALSE(Popup->OwnerDraw());
  EXPECT_FALSE(bool(Title->OnAdvancedDrawItem()));
  EXPECT_TRUE(Open->OnAdvancedDrawItem() == popupDraw);
}

TEST_F(Menus, APopupOpenedForRealIsMeasuredAndDrawnByThePainter) {
  LoadSkin();
  std::vector<TsMenuItemType> kinds;
  Painter->SetOnDrawItem(TsMenuManagerDrawItemEvent::FromFunctor(
      [&](TObject*, TCanvas*, RECT, TOwnerDrawState, TsMenuItemType kind) { kinds.push_back(kind); }));
  int tracked = 0;
  RunLater(300, [&] {
    tracked = MenuListCount();
    EndMenu();
  });
  Popup->Popup(100, 100);
  Pump();
  // One background for the whole popup, whose items went through the popup painter (the form's
  // menu bar, repainted meanwhile, through the bar painter).
  EXPECT_EQ(tracked, 1);
  EXPECT_GE(std::count(kinds.begin(), kinds.end(), TsMenuItemType::mitNormal), 2);
  // A caption item draws nothing, so nothing is drawn after it either.
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), TsMenuItemType::mitCaption), 0);
  ClearMenuList(true);
  EXPECT_EQ(MenuListCount(), 0);
}

TEST_F(Menus, PopupPixelsShowTheCheckedSquareSeparatorAndHotState) {
  LoadSkin();
  TBitmap scratch;
  scratch.SetPixelFormat(TPixelFormat::Bit24);
  scratch.SetSize(1, 1);
  int w = 0, h = 0;
  Painter->MeasureItem(Checked, scratch.Canvas(), w, h);
  ASSERT_GT(h, 16);
  const int width = std::max(w, 120);

  TBitmap checked, plain, hot;
  Draw(checked, Checked, width, h, odChecked);
  Draw(plain, Plain, width, h, 0);
  Draw(hot, Plain, width, h, odSelected);
  // No key colour left: the skin covers the whole item.
  for (int x = 0; x < width; ++x) EXPECT_NE(PixelAt(plain, x, h / 2), 0xFF00FFu) << x;
  // The glyph column of a checked item: a sunken square (dark top-left edge), a check mark in it.
  const int top = (h - 16) / 2, left = Painter->Margin();
  EXPECT_EQ(PixelAt(checked, left + 8, top), 0x808080u);
  EXPECT_EQ(PixelAt(checked, left, top + 8), 0x808080u);
  EXPECT_EQ(PixelAt(checked, left + 8, top + 15), 0xFFFFFFu);
  int dark = 0, darkPlain = 0;
  for (int y = top + 3; y < top + 13; ++y)
    for (int x = left + 3; x < left + 13; ++x) {
      dark += PixelAt(checked, x, y) == 0 ? 1 : 0;
      darkPlain += PixelAt(plain, x, y) == 0 ? 1 : 0;
    }
  EXPECT_GT(dark, 4);
  EXPECT_EQ(darkPlain, 0);
  // The hot item differs from the plain one.
  int differing = 0;
  for (int x = 0; x < width; ++x) differing += PixelAt(hot, x, h / 2) != PixelAt(plain, x, h / 2);
  EXPECT_GT(differing, width / 2);
  // The whole popup shares one background record.
  EXPECT_EQ(MenuListCount(), 1);

  // A separator: a bevel line inset by the margin, dark above, light below.
  TBitmap line;
  line.SetPixelFormat(TPixelFormat::Bit24);
  line.SetSize(width, 2);
  Painter->DrawItem(Line, line.Canvas(), RECT{0, 0, width, 2}, 0);
  EXPECT_EQ(PixelAt(line, width / 2, 0), 0x808080u);
  EXPECT_EQ(PixelAt(line, width / 2, 1), 0xFFFFFFu);
  EXPECT_NE(PixelAt(line, 1, 0), 0x808080u);
  // A caption item draws no title: its row is the popup's background whatever the caption says.
  TBitmap title, other;
  Draw(title, Title, width, h, 0);
  Title->SetCaption("-A much longer title-");
  Draw(other, Title, width, h, odSelected);
  int differ = 0, uncovered = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < width; ++x) {
      uncovered += PixelAt(title, x, y) == 0xFF00FFu;
      differ += PixelAt(title, x, y) != PixelAt(other, x, y);
    }
  EXPECT_EQ(uncovered, 0);
  EXPECT_EQ(differ, 0);
  EXPECT_GT(Brightness(PixelAt(checked, left + 2, top + 2)), 0);
}

// The platform fills a popup in its own menu colour before the items are drawn: every item,
// separators included, covers its whole row with the skin, which a dark skin must not show bright.
TEST_F(Menus, EveryItemRowSeparatorsIncludedShowsThePopupsBackground) {
  for (const char* skin : {"Desert", "Nocturne"}) {
    LoadSkin(skin);
    ClearMenuList(true);
    TBitmap scratch;
    scratch.SetPixelFormat(TPixelFormat::Bit24);
    scratch.SetSize(1, 1);
    TMenuItem* items[] = {Title, Checked, Line, Plain};
    std::vector<int> heights;
    int width = 120;
    for (TMenuItem* item : items) {
      int w = 0, h = 0;
      Painter->MeasureItem(item, scratch.Canvas(), w, h);
      heights.push_back(h);
      width = std::max(width, w);
    }
    ASSERT_EQ(heights[2], 2);
    // The popup drawn item by item into our bitmap, over the key colour.
    int total = 0;
    for (int h : heights) total += h;
    TBitmap popup;
    popup.SetPixelFormat(TPixelFormat::Bit24);
    popup.SetSize(width, total);
    popup.Canvas()->Brush()->SetColor(clFuchsia);
    popup.Canvas()->FillRect(RECT{0, 0, width, total});
    int y = 0, lineTop = 0;
    for (int i = 0; i < 4; ++i) {
      if (items[i] == Line) lineTop = y;
      Painter->DrawItem(items[i], popup.Canvas(), RECT{0, y, width, y + heights[i]}, 0);
      y += heights[i];
    }
    int left = 0;
    for (int py = 0; py < total; ++py)
      for (int px = 0; px < width; ++px) left += PixelAt(popup, px, py) == 0xFF00FFu;
    EXPECT_EQ(left, 0) << skin << ": pixels the painter left to the platform";
    // Beside the separator's bevel line (inset by the margin): the popup's background.
    EXPECT_NE(PixelAt(popup, Painter->Margin() / 2, lineTop), 0xFF00FFu) << skin;
  }
}

// Around its items a popup window has a margin the platform frames and fills in its standard
// colours, until the painter covers it with the popup's background.
TEST_F(Menus, APopupShownUnderADarkSkinHasNoEdgeInThePlatformsColours) {
  LoadSkin("Nocturne");
  int frame = 0, platformColoured = 0;
  // Looked at 300 ms after the popup was asked for; a popup slow to show is waited for (then given
  // the same time to paint), for up to 5 s.
  int waits = 0;
  bool seen = false;
  std::function<void()> look = [&] {
    HWND popup = nullptr;
    while ((popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr)
      if (IsWindowVisible(popup) && GetWindowThreadProcessId(popup, nullptr) == GetCurrentThreadId()) break;
    if (popup != nullptr && !seen && waits > 0) {
      seen = true;
      RunLater(300, look);
      return;
    }
    if (popup == nullptr && ++waits < 50) {
      RunLater(100, look);
      return;
    }
    if (popup != nullptr) {
      RECT window;
      GetWindowRect(popup, &window);
      const int w = window.right - window.left, h = window.bottom - window.top;
      // The two outermost rings of pixels: the platform's frame and fill there, the items inside.
      const RECT inner{2, 2, w - 2, h - 2};
      // The edge as the window shows it, read into our bitmap.
      TBitmap bmp;
      bmp.SetPixelFormat(TPixelFormat::Bit24);
      bmp.SetSize(w, h);
      HDC dc = GetWindowDC(popup);
      BitBlt(bmp.Canvas()->Handle(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
      ReleaseDC(popup, dc);
      auto rgb = [](int index) {
        const COLORREF c = GetSysColor(index);
        return std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
      };
      const std::uint32_t standard[] = {rgb(COLOR_MENU), rgb(COLOR_BTNHIGHLIGHT), rgb(COLOR_3DLIGHT),
                                        rgb(COLOR_BTNSHADOW), rgb(COLOR_WINDOWFRAME)};
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          if (PtInRect(&inner, POINT{x, y})) continue;
          ++frame;
          platformColoured += std::count(std::begin(standard), std::end(standard), PixelAt(bmp, x, y)) > 0;
        }
    }
    EndMenu();
  };
  RunLater(300, look);
  Popup->Popup(100, 100);
  Pump();
  ASSERT_GT(frame, 0) << "no popup seen";
  EXPECT_EQ(platformColoured, 0) << "of " << frame;
}

// A provider that only has a window image of one colour.
class TImageProvider final : public TsFormFrameLink {
public:
  explicit TImageProvider(TCustomForm* form) : FForm(form) {
    Image.SetPixelFormat(TPixelFormat::Bit24);
    Image.SetSize(400, 100);
    Image.Canvas()->Brush()->SetColor(TColor(RGB(0, 120, 0)));
    Image.Canvas()->FillRect(RECT{0, 0, 400, 100});
  }
  virtual ~TImageProvider() = default;
  TCustomForm* Form() const override { return FForm; }
  bool FrameSkinned() const override { return true; }
  int FrameBorderWidth() const override { return 4; }
  int FrameBorderHeight() const override { return 4; }
  int TitleBarHeight() const override { return 20; }
  bool MenuBarShown() const override { return true; }
  int MenuRowCount() const override { return 1; }
  int MenuLineHeight() const override { return 20; }
  TBitmap* WindowImage() override { return &Image; }
  void SetBackgroundChanged(bool) override {}
  void MarkCacheFresh() override {}
  void RepaintMenuLine() override {}
  void RefreshFrame() override {}
  TBitmap Image;

private:
  TCustomForm* FForm;
};

TEST_F(Menus, BarItemsMeasureAndPaintOverTheProvidersImage) {
  LoadSkin();
  TImageProvider provider(Form);
  SetMDIFormProvider(&provider);
  std::vector<TsMenuItemType> kinds;
  Painter->SetOnDrawItem(TsMenuManagerDrawItemEvent::FromFunctor(
      [&](TObject*, TCanvas*, RECT, TOwnerDrawState, TsMenuItemType kind) { kinds.push_back(kind); }));
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(400, 100);
  int w = 10, h = 19;
  Painter->BarMeasureItem(File, bmp.Canvas(), w, h);
  EXPECT_EQ(h, GetSystemMetrics(SM_CYMENU) - 1);
  EXPECT_GT(w, 10);
  // The maximized child's item is narrow and draws nothing.
  auto* icon = NewComponent<TMenuItem>(Form);
  icon->SetName("sMDICII");
  w = 10;
  Painter->BarMeasureItem(icon, bmp.Canvas(), w, h);
  EXPECT_EQ(w, 8);
  bmp.Canvas()->Brush()->SetColor(clFuchsia);
  bmp.Canvas()->FillRect(RECT{0, 0, 400, 100});
  Painter->BarDrawItem(icon, bmp.Canvas(), RECT{4, 24, 12, 43}, 0);
  EXPECT_EQ(PixelAt(bmp, 8, 30), 0xFF00FFu);
  // A bar item is painted whole at its place in the band.
  Painter->BarDrawItem(File, bmp.Canvas(), RECT{4, 24, 60, 43}, odSelected);
  for (int x = 4; x < 60; ++x) EXPECT_NE(PixelAt(bmp, x, 33), 0xFF00FFu) << x;
  EXPECT_EQ(PixelAt(bmp, 70, 33), 0xFF00FFu);
  EXPECT_EQ(kinds, (std::vector<TsMenuItemType>{TsMenuItemType::mitBar}));
  SetMDIFormProvider(nullptr);
  icon->Free();
}

// Items turned off and on in the menu shown, which is not built again: without a skin the platform's
// menu has them greyed; in either skin the painter draws them greyed, in a drop-down and on the bar,
// and as before once they are on again.
TEST_F(Menus, ItemsTurnedOffInTheMenuShownAreDrawnGreyedInEveryLook) {
  const HMENU shown = GetMenu(Form->Handle());
  ASSERT_NE(shown, nullptr);
  const auto state = [shown](TMenuItem* item) -> TOwnerDrawState {
    return (GetMenuState(shown, item->Command(), MF_BYCOMMAND) & MF_GRAYED) ? odGrayed | odDisabled : 0;
  };
  Open->SetEnabled(false);
  File->SetEnabled(false);
  EXPECT_EQ(GetMenu(Form->Handle()), shown);
  EXPECT_EQ(state(Open), odGrayed | odDisabled);
  EXPECT_EQ(state(File), odGrayed | odDisabled);
  Open->SetEnabled(true);
  File->SetEnabled(true);
  EXPECT_EQ(state(Open), 0);
  EXPECT_EQ(state(File), 0);

  TImageProvider provider(Form);
  SetMDIFormProvider(&provider);
  for (const char* skin : {"Desert", "Nocturne"}) {
    SCOPED_TRACE(skin);
    LoadSkin(skin);
    Pump();
    const HMENU skinned = GetMenu(Form->Handle());
    const auto drawn = [&](TMenuItem* item, bool bar) {
      TBitmap bmp;
      bmp.SetPixelFormat(TPixelFormat::Bit24);
      bmp.SetSize(120, 20);
      bmp.Canvas()->Brush()->SetColor(clFuchsia);
      bmp.Canvas()->FillRect(RECT{0, 0, 120, 20});
      const TOwnerDrawState st = (GetMenuState(skinned, item->Command(), MF_BYCOMMAND) & MF_GRAYED) ? odGrayed | odDisabled : 0;
      if (bar)
        Painter->BarDrawItem(item, bmp.Canvas(), RECT{0, 0, 120, 20}, st);
      else
        Painter->DrawItem(item, bmp.Canvas(), RECT{0, 0, 120, 20}, st);
      std::vector<std::uint32_t> pixels;
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x) pixels.push_back(PixelAt(bmp, x, y));
      return pixels;
    };
    const auto openOn = drawn(Open, false), fileOn = drawn(File, true);
    Open->SetEnabled(false);
    File->SetEnabled(false);
    EXPECT_EQ(GetMenu(Form->Handle()), skinned);
    EXPECT_NE(drawn(Open, false), openOn);
    EXPECT_NE(drawn(File, true), fileOn);
    // What a menu built anew with the items off shows.
    const auto openOff = drawn(Open, false), fileOff = drawn(File, true);
    Open->SetCaption("&Open ");
    Open->SetCaption("&Open");
    Pump();
    EXPECT_EQ(drawn(Open, false), openOff);
    EXPECT_EQ(drawn(File, true), fileOff);
    Open->SetEnabled(true);
    File->SetEnabled(true);
    EXPECT_EQ(drawn(Open, false), openOn);
    EXPECT_EQ(drawn(File, true), fileOn);
  }
  SetMDIFormProvider(nullptr);
}

// The loaded skin without its menu sections, as a skin whose options lack them loads.
void DropMenuSections() {
  TsSkinTables tables;
  for (const TsSectionData& section : ActiveSkin().SkinSectionData) {
    std::string name = section.SectionName;
    for (char& c : name) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (name != "MAINMENU" && name != "MENUITEM" && name != "MENULINE") tables.Sections.push_back(section);
  }
  tables.Masks = ActiveSkin().SkinMaskData;
  tables.Patterns = ActiveSkin().SkinPatternData;
  tables.MasterBitmap = ActiveSkin().SkinMasterBitmap;
  InstallSkinTables(std::move(tables));
  ClearMenuList(true);
}

std::uint32_t SysPixel(int index) {
  const COLORREF c = GetSysColor(index);
  return GetBValue(c) | (GetGValue(c) << 8) | (std::uint32_t(GetRValue(c)) << 16);
}

// How many pixels of r have colour c.
int CountOf(TBitmap& bmp, const RECT& r, std::uint32_t c) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += PixelAt(bmp, x, y) == c ? 1 : 0;
  return n;
}

TEST_F(Menus, ASkinWithoutMenuSectionsPaintsItemsAndTheBandInTheStandardMenuColours) {
  auto* provider = NewComponent<TsSkinProvider>(Form);
  LoadSkin();
  ASSERT_GE(FindSectionIndex("MENUITEM"), 0);
  DropMenuSections();
  ASSERT_LT(FindSectionIndex("MENUITEM"), 0);
  ASSERT_NE(SysPixel(COLOR_MENU), SysPixel(COLOR_HIGHLIGHT));

  // Popup items: the face in the menu colour, the selected one in the highlight, text on both.
  const int width = 120, h = 24;
  const RECT whole{0, 0, width, h};
  TBitmap plain, hot;
  Draw(plain, Open, width, h, 0);
  Draw(hot, Open, width, h, odSelected);
  EXPECT_GT(CountOf(plain, whole, SysPixel(COLOR_MENU)), width * h / 2);
  EXPECT_GT(CountOf(plain, whole, SysPixel(COLOR_MENUTEXT)), 0);
  EXPECT_GT(CountOf(hot, whole, SysPixel(COLOR_HIGHLIGHT)), width * h / 2);
  EXPECT_GT(CountOf(hot, whole, SysPixel(COLOR_HIGHLIGHTTEXT)), 0);
  // A title item lies on the popup's background.
  TBitmap title;
  Draw(title, Title, width, h, 0);
  EXPECT_GT(CountOf(title, whole, SysPixel(COLOR_MENU)), width * h / 2);

  // The band of the form's frame, title items included, as the provider's window image has it.
  provider->RepaintMenuLine();
  Pump();
  TBitmap* image = provider->WindowImage();
  ASSERT_NE(image, nullptr);
  ASSERT_TRUE(provider->MenuBarShown());
  const int top = provider->TitleBarHeight() + provider->FrameBorderHeight();
  const RECT band{provider->FrameBorderWidth(), top, Form->Width() - provider->FrameBorderWidth(),
                  top + provider->MenuLineHeight()};
  const int area = (band.right - band.left) * (band.bottom - band.top);
  EXPECT_GT(CountOf(*image, band, SysPixel(COLOR_MENU)), area * 3 / 4);
  EXPECT_GT(CountOf(*image, band, SysPixel(COLOR_MENUTEXT)), 0) << "the title's text";

  // A bar item drawn by itself, normal and hot.
  TBitmap bar;
  bar.SetPixelFormat(TPixelFormat::Bit24);
  bar.SetSize(200, 60);
  const RECT item{10, 20, 70, 20 + h};
  Painter->BarDrawItem(File, bar.Canvas(), item, 0);
  EXPECT_GT(CountOf(bar, item, SysPixel(COLOR_MENU)), 60 * h / 2);
  Painter->BarDrawItem(File, bar.Canvas(), item, odSelected);
  EXPECT_GT(CountOf(bar, item, SysPixel(COLOR_HIGHLIGHT)), 60 * h / 2);
  EXPECT_GT(CountOf(bar, item, SysPixel(COLOR_HIGHLIGHTTEXT)), 0);
}

// An item of a menu on the screen, as the platform holds it.
struct TShownItem {
  TMenuItem* Item = nullptr;
  UINT Type = 0, State = 0;
};

void CollectShown(HMENU menu, std::vector<TShownItem>& items) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
    GetMenuItemInfoA(menu, UINT(i), TRUE, &mii);
    items.push_back({TMenuItem::FromData(mii.dwItemData), mii.fType, mii.fState});
    if (mii.hSubMenu != nullptr) CollectShown(mii.hSubMenu, items);
  }
}

// The item measured and drawn through the framework's routing of the platform's messages, in the
// state the shown menu gives it, into bmp.
void DrawAsShown(const TShownItem& shown, TBitmap& bmp) {
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemData = reinterpret_cast<ULONG_PTR>(shown.Item);
  TMenuItem::DispatchMeasureItem(mis);
  const int w = std::max<int>(int(mis.itemWidth), 120), h = int(mis.itemHeight);
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(w, h);
  bmp.Canvas()->Brush()->SetColor(clFuchsia);
  bmp.Canvas()->FillRect(RECT{0, 0, w, h});
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemData = mis.itemData;
  dis.hDC = bmp.Canvas()->Handle();
  dis.rcItem = RECT{0, 0, w, h};
  if (shown.State & MFS_GRAYED) dis.itemState |= ODS_GRAYED | ODS_DISABLED;
  if (shown.State & MFS_CHECKED) dis.itemState |= ODS_CHECKED;
  TMenuItem::DispatchDrawItem(dis);
}

int Luma(std::uint32_t p) { return (30 * int((p >> 16) & 0xFF) + 59 * int((p >> 8) & 0xFF) + 11 * int(p & 0xFF)) / 100; }

// How far the text stands out: the largest difference of brightness from the item's face (its
// most frequent colour).
int TextContrast(TBitmap& bmp) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) pixels.push_back(PixelAt(bmp, x, y));
  std::vector<std::uint32_t> sorted = pixels;
  std::sort(sorted.begin(), sorted.end());
  std::uint32_t face = sorted[0];
  std::size_t best = 0;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i;
    while (j < sorted.size() && sorted[j] == sorted[i]) ++j;
    if (j - i > best) best = j - i, face = sorted[i];
    i = j;
  }
  int contrast = 0;
  for (std::uint32_t p : pixels) contrast = std::max(contrast, std::abs(Luma(p) - Luma(face)));
  return contrast;
}

// Started without a skin and given one while running, as the options do it: the system menu on the
// screen, its skins submenu included, is drawn by the skin's painter (the current skin with the
// skin's checked square), and its disabled "Restore" stands out less than the enabled "Move".
TEST_F(Menus, TheSystemMenuAfterALiveSwitchIsTheSkinsOwnAndRestoreLooksDisabled) {
  auto* provider = NewComponent<TsSkinProvider>(Form);
  Manager = NewComponent<TsSkinManager>(Form);
  Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
  Manager->SetActive(false);
  Manager->SetSkinName("Desert");
  ASSERT_FALSE(SkinData().Active);
  for (const char* skin : {"Nocturne", "Desert"}) {
    SCOPED_TRACE(skin);
    Manager->SetSkinName(skin);
    Manager->SetActive(true);
    ASSERT_TRUE(SkinData().Active);
    Painter = dynamic_cast<TsSkinableMenus*>(Manager->MenuSkinner());
    ASSERT_NE(Painter, nullptr);
    Pump();
    std::vector<TShownItem> shown;
    RunLater(50, [&] {
      HWND popup = FindWindowExA(nullptr, nullptr, "#32768", nullptr);
      if (popup != nullptr) CollectShown(reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)), shown);
      EndMenu();
    });
    RunLater(2000, [] { EndMenu(); });  // never left open
    RECT w;
    GetWindowRect(Form->Handle(), &w);
    provider->ShowSystemMenu(w.left + 10, w.top + 30);
    Pump();

    const TAdvancedMenuDrawItemEvent painter(Painter, &TsSkinableMenus::DrawItem);
    TsSystemMenu* menu = provider->SystemMenu();
    const TShownItem* current = nullptr;
    const TShownItem *restore = nullptr, *move = nullptr;
    int skins = 0;
    for (const TShownItem& item : shown) {
      ASSERT_NE(item.Item, nullptr);
      EXPECT_TRUE(item.Type & MFT_OWNERDRAW) << item.Item->Caption();
      EXPECT_TRUE(item.Item->OnAdvancedDrawItem() == painter) << item.Item->Caption();
      if (item.Item->Parent() != menu->Items()) ++skins;
      if (item.Item->Caption() == skin) current = &item;
      if (item.Item == menu->ItemRestore()) restore = &item;
      if (item.Item == menu->ItemMove()) move = &item;
    }
    EXPECT_GE(skins, 2) << "the skins submenu";
    ASSERT_TRUE(current && restore && move);
    EXPECT_TRUE(current->State & MFS_CHECKED);
    EXPECT_TRUE(restore->State & MFS_GRAYED);

    // The current skin: a sunken square in the glyph column, no letter.
    TBitmap checked;
    DrawAsShown(*current, checked);
    const int top = (checked.Height() - 16) / 2, left = Painter->Margin();
    EXPECT_EQ(PixelAt(checked, left + 8, top), 0x808080u);
    EXPECT_EQ(PixelAt(checked, left + 8, top + 15), 0xFFFFFFu);
    TBitmap restoreBmp, moveBmp;
    DrawAsShown(*restore, restoreBmp);
    DrawAsShown(*move, moveBmp);
    EXPECT_LT(TextContrast(restoreBmp) * 4, TextContrast(moveBmp) * 3);
  }
}

TEST_F(Menus, CensusStaysFlatOverHookedPopupsDrawnAndFreed) {
  LoadSkin();
  auto cycle = [&] {
    auto* popup = NewComponent<TPopupMenu>(Form);
    TMenuItem* a = AddItem(Form, popup->Items(), "Alpha");
    AddItem(Form, popup->Items(), "Beta");
    Painter->HookComponent(popup, true);
    TBitmap bmp;
    Draw(bmp, a, 100, 24, odSelected | odChecked);
    Painter->HookComponent(popup, false);
    popup->Free();
    ClearMenuList(true);
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus());
}

}  // namespace
