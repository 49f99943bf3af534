#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/SkinFrameDrawing.h"
#include "skin/engine/SkinRegionTemplate.h"
#include "skin/engine/SkinSectionToDC.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

// One section "PANEL" (COLOR red) whose own-bitmap border is white with key-colour top-left corner
// pixels; its mask draws only the image's top row (0) and keeps the background elsewhere (255).
class SkinPaintersWine : public ::testing::Test {
protected:
  void SetUp() override {
    TsSkinTables t;
    TsSectionData s;
    s.SectionName = "PANEL";
    s.Color = 0x0000FF;
    s.FontColor = {0x00FF00, -1, -1, -1, -1};
    t.Sections.push_back(s);
    auto border = std::make_shared<TsPixmap>(18, 12);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 18; ++x) border->SetPixel(x, y, y < 6 ? 0xFFFFFF : (y == 6 ? 0 : 0xFFFFFF));
    border->SetPixel(0, 0, SkinKeyColor);
    border->SetPixel(1, 0, SkinKeyColor);
    t.Masks.push_back({border, "PANEL", "BORDERSMASK", {}, 1, 0, 0});
    Skin.InstallTables(std::move(t));
    SkinData().Active = true;
  }
  void TearDown() override { SkinData().Active = false; }
  TsActiveSkin Skin;
};

COLORREF At(TBitmap& b, int x, int y) { return GetPixel(b.Canvas()->Handle(), x, y); }

TBitmap* ShownCache = nullptr;

LRESULT CALLBACK CacheWindowProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT || !ShownCache) return DefWindowProcA(wnd, msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  BitBlt(dc, 0, 0, ShownCache->Width(), ShownCache->Height(), ShownCache->Canvas()->Handle(), 0, 0, SRCCOPY);
  EndPaint(wnd, &ps);
  return 0;
}

TEST_F(SkinPaintersWine, SectionPaintedIntoACacheAndCopiedToAWindowReadsBack) {
  // The cache bitmap of a control, painted by the pixel painters.
  TBitmap cache;
  cache.SetPixelFormat(TPixelFormat::Bit24);
  cache.SetSize(40, 30);
  const TsBitmap24View rows = BitmapRows(&cache);
  PaintSectionByIndex(Skin, rows, 0, TsCacheView::None(), {0, 0}, rows.Bounds(), TsSkinState::Normal, true,
                      PlatformSkinColors());
  EXPECT_EQ(At(cache, 20, 15), RGB(255, 0, 0));
  EXPECT_EQ(At(cache, 2, 0), RGB(255, 255, 255));  // border edge without a parent image: exact rule

  // A window that shows the cache on every paint, as a skinned control does.
  WNDCLASSA wc{};
  wc.lpfnWndProc = CacheWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarvexCacheWindow";
  RegisterClassA(&wc);
  ShownCache = &cache;
  HWND wnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 40,
                             30, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
  HDC dc = GetDC(wnd);
  GdiFlush();
  TBitmap back;
  back.SetPixelFormat(TPixelFormat::Bit24);
  back.SetSize(40, 30);
  BitBlt(back.Canvas()->Handle(), 0, 0, 40, 30, dc, 0, 0, SRCCOPY);
  ReleaseDC(wnd, dc);
  DestroyWindow(wnd);
  ShownCache = nullptr;
  EXPECT_EQ(At(back, 20, 15), RGB(255, 0, 0));
  EXPECT_EQ(At(back, 39, 29), At(cache, 39, 29));
  EXPECT_EQ(At(back, 2, 0), At(cache, 2, 0));
}

TEST_F(SkinPaintersWine, SectionToDCPaintsOnlyItsRectangle) {
  TBitmap cache;
  cache.SetPixelFormat(TPixelFormat::Bit24);
  cache.SetSize(40, 30);
  const TsBitmap24View rows = BitmapRows(&cache);
  PaintSectionByIndex(Skin, rows, 0, TsCacheView::None(), {0, 0}, rows.Bounds(), TsSkinState::Normal, true,
                      PlatformSkinColors());
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::Bit24);
  target.SetSize(50, 40);
  PaintSectionToDC(Skin, 0, "PANEL", TsCacheView::None(), target.Canvas()->Handle(), {0, 0},
                   RECT{5, 5, 45, 35}, TsSkinState::Normal, true);
  for (int y = 0; y < 30; y += 3)
    for (int x = 0; x < 40; x += 3) ASSERT_EQ(At(target, x + 5, y + 5), At(cache, x, y)) << x << "," << y;
  EXPECT_EQ(At(target, 4, 4), RGB(0, 0, 0));
  EXPECT_EQ(At(target, 45, 35), RGB(0, 0, 0));
  PaintSectionToDC(Skin, 7, "NONE", TsCacheView::None(), target.Canvas()->Handle(), {0, 0}, RECT{0, 0, 5, 5},
                   TsSkinState::Normal, true);
  EXPECT_EQ(At(target, 0, 0), RGB(0, 0, 0));
}

TEST_F(SkinPaintersWine, TemplateRegionLosesTheKeyPixelsOnly) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(10, 8);
  HRGN rgn = CreateRectRgn(0, 0, 10, 8);
  PaintSkinTemplateRgn(Skin, &bmp, rgn, true, TsSkinState::Normal, 0);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, 1, 0));
  EXPECT_TRUE(PtInRegion(rgn, 2, 0));
  EXPECT_TRUE(PtInRegion(rgn, 0, 1));
  // Painting again never brings a cut pixel back.
  PaintSkinTemplateRgn(Skin, &bmp, rgn, true, TsSkinState::Normal, 0);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(rgn, 9, 7));
  DeleteObject(rgn);
}

TEST_F(SkinPaintersWine, CaptionIsFittedToItsMeasuredText) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(200, 40);
  TCanvas* canvas = bmp.Canvas();
  const SIZE s = canvas->TextExtent("Split file");
  RECT r{0, 0, 200, 40};
  DrawSkinTextByIndex(Skin, canvas, "Split file", true, r, DT_CENTER | DT_SINGLELINE, 0, false);
  EXPECT_EQ(r.right - r.left, 200 - 2 * ((200 - s.cx) / 2) + 2);
  EXPECT_EQ(r.bottom - r.top, 40 - 2 * ((40 - s.cy) / 2) + 2);
  // The text is drawn in the section's colour.
  bool green = false;
  for (int y = r.top + 1; y < r.bottom - 1 && !green; ++y)
    for (int x = r.left + 1; x < r.right - 1 && !green; ++x) green = At(bmp, x, y) == RGB(0, 255, 0);
  EXPECT_TRUE(green);
}

TEST_F(SkinPaintersWine, BevelFrameReturnsTheInnerRectangle) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(10, 10);
  RECT r{0, 0, 10, 10};
  int count = 3;
  DrawBevelFrame(bmp.Canvas()->Handle(), r, clWhite, 0x000000, count);
  EXPECT_EQ(r.left, 3);
  EXPECT_EQ(r.bottom, 7);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(At(bmp, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(At(bmp, 9, 9), RGB(0, 0, 0));
}

TEST_F(SkinPaintersWine, GripDotsEveryThirdPixelWithALightCompanion) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(12, 12);
  bmp.Canvas()->Brush()->SetColor(0x808080);
  bmp.Canvas()->FillRect({0, 0, 12, 12});
  DrawGripDots(bmp.Canvas(), {2, 2, 8, 8});
  EXPECT_EQ(At(bmp, 5, 2), RGB(0, 0, 0));
  EXPECT_EQ(At(bmp, 4, 1), RGB(255, 255, 255));
  EXPECT_EQ(At(bmp, 8, 5), RGB(0, 0, 0));
  EXPECT_EQ(At(bmp, 4, 2), RGB(128, 128, 128));
}

}  // namespace
