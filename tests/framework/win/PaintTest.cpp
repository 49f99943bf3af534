#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "TGuiCensus.h"
#include "TestSupport.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TGraphicControl.h"

namespace {

// A graphic child that fills itself, or throws from its paint.
class TBox : public TGraphicControl {
public:
  TBox(TComponent* owner, TWinControl* parent, RECT bounds, TColor color) : TGraphicControl(owner) {
    SetBoundsRect(bounds);
    SetParent(parent);
    Fill = color;
  }
  TColor Fill;
  bool Throws = false;
  POINT SeenOrigin{-1, -1};

protected:
  void Paint() override {
    GetViewportOrgEx(Canvas()->Handle(), &SeenOrigin);
    // Leaves state behind that the parent must not see.
    SetViewportOrgEx(Canvas()->Handle(), SeenOrigin.x + 77, SeenOrigin.y + 77, nullptr);
    if (Throws) throw std::runtime_error("paint failed");
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(RECT{-77, -77, Width() - 77, Height() - 77});
  }
};

// A parent that paints its graphic children its own way: over a background of its own colour.
class TUnderlay : public TWinControl {
public:
  explicit TUnderlay(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 100, 60);
  }
  std::vector<TControl*> Painted;

protected:
  void PaintGraphicChild(HDC dc, TControl* child) override {
    Painted.push_back(child);
    RECT all{0, 0, child->Width(), child->Height()};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    // Only the left half is the child's.
    IntersectClipRect(dc, 0, 0, child->Width() / 2, child->Height());
    TWinControl::PaintGraphicChild(dc, child);
  }
};

COLORREF PixelAt(HDC dc, int x, int y) {
  GdiFlush();
  return GetPixel(dc, x, y);
}

TEST(Paint, APaintingParentHandsEachVisibleGraphicChildToItsHookInPlace) {
  auto form = Make<TTestForm>();
  auto* parent = new TUnderlay(form.get());
  parent->SetParent(form.get());
  auto* left = new TBox(form.get(), parent, RECT{0, 0, 20, 20}, clRed);
  auto* right = new TBox(form.get(), parent, RECT{40, 10, 60, 30}, clBlue);
  auto* hidden = new TBox(form.get(), parent, RECT{70, 0, 90, 20}, clGreen);
  hidden->SetVisible(false);
  TMemoryDC dc(nullptr, 100, 60);
  parent->PaintControls(dc.Handle(), nullptr);
  EXPECT_EQ(parent->Painted, (std::vector<TControl*>{left, right}));
  EXPECT_EQ(right->SeenOrigin.x, 40);
  EXPECT_EQ(right->SeenOrigin.y, 10);
  EXPECT_EQ(PixelAt(dc.Handle(), 45, 15), ColorToRGB(clBlue));
  EXPECT_EQ(PixelAt(dc.Handle(), 55, 15), RGB(255, 255, 255));
  // Painting from a child on leaves the ones before it alone.
  parent->Painted.clear();
  parent->PaintControls(dc.Handle(), right);
  EXPECT_EQ(parent->Painted, std::vector<TControl*>{right});
}

TEST(Paint, AChildThatThrowsLeavesTheDeviceContextAndItsCanvasAsTheyWere) {
  auto form = Make<TTestForm>();
  auto* first = new TBox(form.get(), form.get(), RECT{0, 0, 20, 20}, clRed);
  auto* broken = new TBox(form.get(), form.get(), RECT{30, 0, 50, 20}, clBlue);
  broken->Throws = true;
  TMemoryDC dc(nullptr, 100, 60);
  int level = SaveDC(dc.Handle());
  RestoreDC(dc.Handle(), level);
  HGDIOBJ brush = GetCurrentObject(dc.Handle(), OBJ_BRUSH);
  // Repeated failing paints leave no DC, bitmap or brush behind.
  EXPECT_EQ(TGuiCensus::ChangeOver(20, [&] {
              EXPECT_THROW(form->PaintControls(dc.Handle(), nullptr), std::runtime_error);
            }),
            TGuiCensus());
  // Nothing saved is left on the stack, the origin and clipping are back.
  int after = SaveDC(dc.Handle());
  RestoreDC(dc.Handle(), after);
  EXPECT_EQ(after, level);
  POINT origin{-1, -1};
  GetViewportOrgEx(dc.Handle(), &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc.Handle(), clip), 0);
  DeleteObject(clip);
  EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_BRUSH), brush);
  // The canvas let go of the borrowed DC and of its lock.
  EXPECT_FALSE(broken->Canvas()->HandleAllocated());
  EXPECT_EQ(broken->Canvas()->LockCount(), 0);
  EXPECT_EQ(first->SeenOrigin.x, 0);
  // A later paint works.
  broken->Throws = false;
  form->PaintControls(dc.Handle(), nullptr);
  EXPECT_EQ(PixelAt(dc.Handle(), 40, 10), ColorToRGB(clBlue));
}

// A buffer for a DC takes the screen's format, whether the DC is a window's or a memory DC holding
// a bitmap of another format.
TEST(Paint, ABufferTakesTheScreensFormatFromAWindowsDCAsFromAMemoryDC) {
  auto form = Make<TTestForm>();
  form->Show();
  Pump();
  int screenBits = 0;
  {
    const TScreenDC screen;
    screenBits = GetDeviceCaps(screen.Handle(), BITSPIXEL);
  }
  const TWindowDC window(form->Handle(), TWindowDC::Client);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  TGdiObject<HBITMAP> dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const TMemoryDC memory(dib.Handle());
  for (HDC dc : {window.Handle(), memory.Handle()}) {
    const TMemoryDC buffer(dc, 8, 6);
    BITMAP made{};
    ASSERT_EQ(GetObjectA(buffer.Bitmap(), sizeof made, &made), int(sizeof made));
    EXPECT_EQ(made.bmBitsPixel, screenBits);
    EXPECT_EQ(made.bmWidth, 8);
  }
  form->Hide();
}

TEST(Paint, ScopesDeleteWhatTheyMadeAndPutBackWhatTheyChangedWhenLeftByAnException) {
  HDC dcHandle = nullptr;
  HBITMAP bitmap = nullptr;
  HBRUSH brush = nullptr;
  HGDIOBJ brushBefore = nullptr;
  TMemoryDC outer(nullptr, 10, 10);
  brushBefore = GetCurrentObject(outer.Handle(), OBJ_BRUSH);
  const TGuiCensus before = TGuiCensus::Now();
  try {
    TMemoryDC dc(outer.Handle(), 16, 8);
    dcHandle = dc.Handle();
    bitmap = dc.Bitmap();
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 8);
    TGdiObject<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
    brush = red.Handle();
    TSelectObject selected(outer.Handle(), brush);
    TSaveDC saved(outer.Handle());
    SetViewportOrgEx(outer.Handle(), 5, 5, nullptr);
    EXPECT_EQ(GetCurrentObject(outer.Handle(), OBJ_BRUSH), brush);
    throw std::runtime_error("stop");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetObjectType(dcHandle), 0u);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_EQ(TGuiCensus::Now() - before, TGuiCensus());
  EXPECT_EQ(GetCurrentObject(outer.Handle(), OBJ_BRUSH), brushBefore);
  POINT origin{-1, -1};
  GetViewportOrgEx(outer.Handle(), &origin);
  EXPECT_EQ(origin.x, 0);
}

}  // namespace
