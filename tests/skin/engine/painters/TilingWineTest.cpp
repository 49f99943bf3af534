#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TJPEGImage.h"
#include "skin/engine/SkinBitmapPainters.h"
#include "skin/engine/SkinTiling.h"

namespace {

COLORREF At(TBitmap& b, int x, int y) { return GetPixel(b.Canvas()->Handle(), x, y); }

TBitmap* Target() {
  auto* b = new TBitmap();
  b->SetPixelFormat(TPixelFormat::Bit24);
  b->SetSize(12, 12);
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect({0, 0, 12, 12});
  return b;
}

TEST(TilingWine, PictureTilesStopAtTheTargetRectangle) {
  TBitmap tile;
  tile.SetPixelFormat(TPixelFormat::Bit24);
  tile.SetSize(4, 4);
  tile.Canvas()->Brush()->SetColor(clWhite);
  tile.Canvas()->FillRect({0, 0, 4, 4});
  TJPEGImage jpeg;
  jpeg.Assign(&tile);
  jpeg.LoadFromBytes(jpeg.SaveToBytes());
  std::unique_ptr<TBitmap> target(Target());
  TileGraphic(target->Canvas(), {1, 1, 7, 6}, &jpeg);
  EXPECT_GT(GetRValue(At(*target, 6, 5)), 200);  // inside: the picture
  EXPECT_EQ(At(*target, 7, 5), RGB(0, 0, 255));  // the second tile is cut at the right edge
  EXPECT_EQ(At(*target, 6, 6), RGB(0, 0, 255));  // and at the bottom edge
  EXPECT_EQ(At(*target, 0, 0), RGB(0, 0, 255));
}

TEST(TilingWine, BitmapTilesRepeatFromTheTopLeft) {
  TBitmap tile;
  tile.SetPixelFormat(TPixelFormat::Bit24);
  tile.SetSize(2, 2);
  tile.Canvas()->Brush()->SetColor(clWhite);
  tile.Canvas()->FillRect({0, 0, 2, 2});
  tile.Canvas()->Brush()->SetColor(clRed);
  tile.Canvas()->FillRect({0, 0, 1, 1});
  std::unique_ptr<TBitmap> target(Target());
  TileGraphic(target->Canvas(), {1, 1, 6, 6}, &tile);
  EXPECT_EQ(At(*target, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(At(*target, 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(At(*target, 6, 5), RGB(0, 0, 255));
}

TEST(BitmapPaintersWine, BlendAndGradientOnFrameworkBitmaps) {
  std::unique_ptr<TBitmap> b(Target());  // blue
  TBitmap white;
  white.SetPixelFormat(TPixelFormat::Bit24);
  white.SetSize(2, 2);
  white.Canvas()->Brush()->SetColor(clWhite);
  white.Canvas()->FillRect({0, 0, 2, 2});
  BlendRectKeyed(b.get(), 1, 1, static_cast<TColor>(0xFF000000u), 0.4, {0, 0, 1, 1}, &white);
  EXPECT_EQ(At(*b, 1, 1), RGB(153, 153, 255));  // the target keeps 40 percent
  EXPECT_EQ(At(*b, 3, 3), RGB(0, 0, 255));
  // A bitmap blended with itself reads a snapshot of its pixels.
  BlendRectKeyed(b.get(), 2, 1, static_cast<TColor>(0xFF000000u), 0.0, {1, 1, 1, 1}, b.get());
  EXPECT_EQ(At(*b, 2, 1), RGB(153, 153, 255));
  FillGradient(b.get(), {0, 5, 12, 12}, {{0x000000, 0x0000FF, 100, 0}});
  EXPECT_EQ(At(*b, 0, 5), RGB(0, 0, 0));
  EXPECT_EQ(At(*b, 11, 11), RGB(255, 0, 0));
}

}  // namespace
