#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ControlPixels.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TImageList.h"
#include "framework/win/TListView.h"
#include "skin/controls/TsListView.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/TsSkinManager.h"
#include "tests/framework/win/TGuiCensus.h"

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Rows [top, bottom) of w-wide pixels.
TPixels Rows(const TPixels& p, int w, int top, int bottom) {
  return TPixels(p.begin() + std::ptrdiff_t(w) * top, p.begin() + std::ptrdiff_t(w) * bottom);
}

// Columns [left, right) of the rows of a w-wide image.
TPixels Columns(const TPixels& p, int w, int left, int right) {
  TPixels out;
  for (std::size_t y = 0; y < p.size() / std::size_t(w); ++y)
    for (int x = left; x < right; ++x) out.push_back(p[y * std::size_t(w) + std::size_t(x)]);
  return out;
}

class ListViewTest : public TSkinnedFormTest {
protected:
  template <typename T>
  T* PutReport(int items, int columnWidth = 80, RECT bounds = RECT{10, 10, 230, 170}) {
    auto* list = NewControl<T>(Form, Form, bounds);
    list->SetViewStyle(vsReport);
    list->AddColumn("Name", columnWidth);
    list->AddColumn("Size", columnWidth, 1);
    list->BeginUpdate();
    for (int i = 0; i < items; ++i) {
      TListItem* item = list->AddItem();
      item->SetCaption("Item " + std::to_string(i));
      item->AddSubItem(std::to_string(i * 7));
    }
    list->EndUpdate();
    Pump();
    return list;
  }

  HWND Header(TWinControl* list) { return reinterpret_cast<HWND>(SendMessageA(list->Handle(), LVM_GETHEADER, 0, 0)); }
};

TEST_F(ListViewTest, WithoutASkinItIsTheStandardListView) {
  std::vector<TPixels> expected, shown;
  auto script = [&](TListView* list, std::vector<TPixels>& shots) {
    shots.push_back(Captured(list, true));
    list->SetItemIndex(3);
    Pump();
    shots.push_back(Captured(list, true));
    SendMessageA(list->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    Pump();
    shots.push_back(Captured(list, true));
    list->SetViewStyle(vsIcon);
    Pump();
    shots.push_back(Captured(list, true));
  };
  auto* standard = PutReport<TListView>(40);
  script(standard, expected);
  standard->Free();
  auto* skinned = PutReport<TsCustomListView>(40);
  script(skinned, shown);
  EXPECT_FALSE(skinned->IsSkinned());
  EXPECT_EQ(skinned->VScrollBar(), nullptr);
  EXPECT_EQ(skinned->HeaderHandle(), nullptr);
  ASSERT_EQ(shown.size(), expected.size());
  for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], expected[i]) << "shot " << i;
  EXPECT_NE(expected[0], expected[2]);  // the screen was read: the scroll shows
}

class SkinnedListView : public ListViewTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedListView, TheFrameComesFromTheCacheAndTheBarsLieOverTheNativeOnes) {
  LoadSkin(GetParam());
  auto* list = PutReport<TsCustomListView>(60, 150);
  ASSERT_TRUE(list->IsSkinned());
  const int w = list->Width(), h = list->Height();
  const TPixels cache = CacheOf(list), screen = Captured(list, true);
  EXPECT_EQ(Rows(screen, w, 0, 2), Rows(cache, w, 0, 2));
  EXPECT_EQ(Rows(screen, w, h - 2, h), Rows(cache, w, h - 2, h));
  EXPECT_EQ(Columns(screen, w, 0, 2), Columns(cache, w, 0, 2));

  TsScrollBar* v = list->VScrollBar();
  TsScrollBar* hbar = list->HScrollBar();
  ASSERT_NE(v, nullptr);
  ASSERT_NE(hbar, nullptr);  // two 150-pixel columns in a 220-pixel list
  EXPECT_TRUE(v->Visible() && v->IsSkinned());
  EXPECT_EQ(v->Left(), list->Left() + w - v->Width() - 2);
  EXPECT_EQ(v->Top(), list->Top() + 2);
  EXPECT_EQ(v->Top() + v->Height(), hbar->Top());
  EXPECT_EQ(hbar->Left() + hbar->Width(), v->Left());
  EXPECT_EQ(v->Max(), 60 - int(SendMessageA(list->Handle(), LVM_GETCOUNTPERPAGE, 0, 0)));
  EXPECT_EQ(Captured(v), CacheOf(v));

  // Narrowed columns that fit hide the horizontal bar.
  SendMessageA(list->Handle(), LVM_SETCOLUMNWIDTH, 0, 60);
  SendMessageA(list->Handle(), LVM_SETCOLUMNWIDTH, 1, 60);
  Pump();
  EXPECT_FALSE(hbar->Visible());
  EXPECT_EQ(v->Height(), h - 4);
}

TEST_P(SkinnedListView, DraggingTheSliderScrollsByWholeItems) {
  LoadSkin(GetParam());
  auto* list = PutReport<TsCustomListView>(100);
  TsScrollBar* bar = list->VScrollBar();
  ASSERT_NE(bar, nullptr);
  const int x = bar->Width() / 2, arrow = GetSystemMetrics(SM_CYVSCROLL);
  SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(x, arrow + 3));
  for (int y = arrow + 10; y <= arrow + 61; y += 17) SendMessageA(bar->Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(x, y));
  SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, At(x, arrow + 61));
  Pump();
  const int top = int(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0));
  EXPECT_GT(top, 5);
  EXPECT_EQ(top, bar->Position());
  // The top item starts right below the header: no item is cut.
  RECT item{};
  item.left = LVIR_BOUNDS;
  SendMessageA(list->Handle(), LVM_GETITEMRECT, WPARAM(top), reinterpret_cast<LPARAM>(&item));
  RECT header{};
  GetWindowRect(Header(list), &header);
  EXPECT_EQ(item.top, header.bottom - header.top);
  // The list scrolled by the wheel moves the slider with it.
  SendMessageA(list->Handle(), LVM_SCROLL, 0, 0);
  list->SetItemIndex(0);
  list->MakeVisible(list->Items(0));
  Pump();
  EXPECT_EQ(bar->Position(), 0);
}

TEST_P(SkinnedListView, OneColumnButtonIsLitAtATimeAndLeavingClearsIt) {
  LoadSkin(GetParam());
  auto* list = PutReport<TsCustomListView>(10);
  HWND header = Header(list);
  ASSERT_EQ(list->HeaderHandle(), header);
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_NE(list->HeaderImage(), nullptr);
  const int w = list->HeaderImage()->Width();
  const TPixels normal = PixelsOf(*list->HeaderImage());
  auto over = [&](int x) {
    POINT p{x, 5};
    ClientToScreen(header, &p);
    SendMessageA(header, WM_NCHITTEST, 0, At(p.x, p.y));
  };
  over(20);
  EXPECT_EQ(list->HotSection(), 0);
  over(100);
  EXPECT_EQ(list->HotSection(), 1);
  const TPixels lit = PixelsOf(*list->HeaderImage());
  EXPECT_EQ(Columns(lit, w, 0, 75), Columns(normal, w, 0, 75));      // the first button is back to normal
  EXPECT_NE(Columns(lit, w, 85, 155), Columns(normal, w, 85, 155));  // the second is lit
  // The pointer on the list's items clears it.
  SendMessageA(list->Handle(), WM_NCHITTEST, 0, At(0, 0));
  EXPECT_EQ(list->HotSection(), -2);
  EXPECT_EQ(PixelsOf(*list->HeaderImage()), normal);
  // A press shows on its button alone and ends with the release.
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 5));
  EXPECT_EQ(list->PressedSection(), 0);
  SendMessageA(header, WM_LBUTTONUP, 0, At(20, 5));
  EXPECT_EQ(list->PressedSection(), -1);
}

// How many pixels of the image are pure red (the test glyph's colour).
int RedPixels(const TPixels& p, int w, int left, int right) {
  int n = 0;
  for (std::uint32_t c : Columns(p, w, left, right)) n += c == 0xFF0000u;  // red read as R << 16
  return n;
}

TEST_P(SkinnedListView, AColumnShowsItsImageBeforeItsCaption) {
  LoadSkin(GetParam());
  auto* images = NewComponent<TImageList>(Form);
  TBitmap glyph;
  glyph.SetPixelFormat(TPixelFormat::Bit24);
  glyph.SetSize(images->Width(), images->Height());
  glyph.Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(255, 0, 0)));
  glyph.Canvas()->FillRect(RECT{0, 0, images->Width(), images->Height()});
  ASSERT_EQ(images->Add(&glyph, nullptr), 0);
  auto* list = PutReport<TsCustomListView>(3, 100);
  list->SetSmallImages(images);
  TListColumn size = list->Columns(1);
  size.ImageIndex = 0;
  list->SetColumn(1, size);
  Pump();
  HWND header = Header(list);
  HDITEMA item{};
  item.mask = HDI_FORMAT | HDI_IMAGE;
  ASSERT_TRUE(SendMessageA(header, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
  EXPECT_TRUE(item.fmt & HDF_IMAGE);
  EXPECT_EQ(item.iImage, 0);
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_NE(list->HeaderImage(), nullptr);
  const int w = list->HeaderImage()->Width();
  const TPixels painted = PixelsOf(*list->HeaderImage());
  // The whole glyph in the second button, at its left, and nothing red in the first.
  EXPECT_EQ(RedPixels(painted, w, 100, 100 + 4 + images->Width() + 2), images->Width() * images->Height());
  EXPECT_EQ(RedPixels(painted, w, 0, 100), 0);
  // Taken away again (-1): the column has no image flag and the button no glyph.
  size.ImageIndex = -1;
  list->SetColumn(1, size);
  Pump();
  item = HDITEMA{};
  item.mask = HDI_FORMAT;
  ASSERT_TRUE(SendMessageA(header, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
  EXPECT_FALSE(item.fmt & HDF_IMAGE);
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(RedPixels(PixelsOf(*list->HeaderImage()), w, 0, w), 0);
}

TEST_F(ListViewTest, AColumnMessageWithoutAnImageKeepsTheCallersRecord) {
  LoadSkin("Desert");
  auto* list = PutReport<TsCustomListView>(1);
  char caption[] = "Named";
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_IMAGE;
  column.pszText = caption;
  column.iImage = -1;
  ASSERT_TRUE(SendMessageA(list->Handle(), LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_EQ(column.mask, UINT(LVCF_TEXT | LVCF_IMAGE));
  LVCOLUMNA read{};
  read.mask = LVCF_FMT;
  ASSERT_TRUE(SendMessageA(list->Handle(), LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&read)));
  EXPECT_FALSE(read.fmt & LVCFMT_IMAGE);
}

TEST_P(SkinnedListView, AnIconViewWithoutItemsShowsNoHorizontalBar) {
  LoadSkin(GetParam());
  auto* list = NewControl<TsCustomListView>(Form, Form, RECT{10, 10, 120, 90});
  list->SetViewStyle(vsIcon);
  Pump();
  EXPECT_TRUE(list->HScrollBar() == nullptr || !list->HScrollBar()->Visible());
}

TEST_P(SkinnedListView, TheSkinGoesAndComesBackWithTheListAlive) {
  LoadSkin(GetParam());
  auto* list = PutReport<TsCustomListView>(60);
  ASSERT_NE(list->VScrollBar(), nullptr);
  Manager->SetActive(false);
  Pump();
  EXPECT_FALSE(list->IsSkinned());
  EXPECT_EQ(list->VScrollBar(), nullptr);  // the native bars show again
  EXPECT_NE(GetWindowLongA(list->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  Manager->SetActive(true);
  list->Invalidate();
  Pump();
  EXPECT_TRUE(list->IsSkinned());
  ASSERT_NE(list->VScrollBar(), nullptr);
  EXPECT_TRUE(list->VScrollBar()->Visible());
  EXPECT_EQ(list->HeaderHandle(), Header(list));
}

TEST_F(ListViewTest, ARecreatedListHooksItsNewHeader) {
  LoadSkin("Desert");
  auto* list = PutReport<TsCustomListView>(6);
  ASSERT_EQ(list->HeaderHandle(), Header(list));
  // A style that recreates the window: the new header is hooked too.
  list->SetMultiSelect(true);
  list->AddColumn("Type", 60);
  Pump();
  EXPECT_NE(Header(list), nullptr);
  EXPECT_EQ(list->HeaderHandle(), Header(list));
}

TEST_F(ListViewTest, CreatingAndFreeingASkinnedListLeavesNoHandles) {
  LoadSkin("Desert");
  // Both bars and the header come and go with the list.
  auto cycle = [&] {
    auto* list = PutReport<TsCustomListView>(6, 150, RECT{10, 10, 130, 90});
    list->Free();
  };
  // Frame, header and bars each hold a window DC at once: let Wine's cache of them grow first.
  cycle();
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus());
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedListView, ::testing::Values("Desert", "Nocturne"));

}  // namespace
