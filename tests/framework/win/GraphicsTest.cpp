#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"

namespace {

// The blue, green, red bytes of pixel (x, y) of a 24-bit bitmap.
std::vector<int> Bgr(TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

std::unique_ptr<TBitmap> Bitmap24(int w, int h, TColor fill) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::Bit24);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(fill);
  b->Canvas()->FillRect(RECT{0, 0, w, h});
  return b;
}

TEST(Bitmap, TwentyFourBitRowsAreBlueGreenRedPaddedToFourTopRowFirst) {
  auto b = Bitmap24(5, 3, clWhite);
  EXPECT_EQ(b->RowBytes(), 16);
  b->Canvas()->Brush()->SetColor(RGB(200, 100, 50));
  b->Canvas()->FillRect(RECT{0, 0, 5, 1});
  EXPECT_EQ(Bgr(*b, 0, 0), (std::vector<int>{50, 100, 200}));
  EXPECT_EQ(Bgr(*b, 4, 0), (std::vector<int>{50, 100, 200}));
  EXPECT_EQ(Bgr(*b, 0, 1), (std::vector<int>{255, 255, 255}));
  // Writing the rows directly shows through the canvas.
  uint8_t* row = b->ScanLine(2);
  row[3] = 1, row[4] = 2, row[5] = 3;
  EXPECT_EQ(b->Canvas()->Pixel(1, 2), TColor(RGB(3, 2, 1)));
  EXPECT_THROW(b->ScanLine(3), EInvalidGraphic);
  EXPECT_THROW(b->ScanLine(-1), EInvalidGraphic);
}

TEST(Canvas, ShapesAndPixelsLandWhereAsked) {
  auto b = Bitmap24(20, 20, clWhite);
  TCanvas* c = b->Canvas();
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clLime);
  c->Rectangle(2, 2, 10, 10);
  EXPECT_EQ(Bgr(*b, 2, 2), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Bgr(*b, 9, 5), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Bgr(*b, 5, 5), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(Bgr(*b, 10, 10), (std::vector<int>{255, 255, 255}));

  c->SetPixel(15, 15, RGB(10, 20, 30));
  EXPECT_EQ(Bgr(*b, 15, 15), (std::vector<int>{30, 20, 10}));
  EXPECT_EQ(c->Pixel(15, 15), TColor(RGB(10, 20, 30)));

  c->Pen()->SetColor(clRed);
  c->MoveTo(0, 18);
  c->LineTo(19, 18);
  EXPECT_EQ(Bgr(*b, 10, 18), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(c->PenPos().x, 19);

  c->Brush()->SetColor(clBlue);
  c->FrameRect(RECT{12, 2, 18, 8});
  EXPECT_EQ(Bgr(*b, 12, 4), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(Bgr(*b, 14, 4), (std::vector<int>{255, 255, 255}));

  POINT triangle[] = {{0, 11}, {8, 11}, {0, 17}};
  c->Brush()->SetColor(clYellow);
  c->Pen()->SetColor(clYellow);
  c->Polygon(triangle, 3);
  EXPECT_EQ(Bgr(*b, 2, 12), (std::vector<int>{0, 255, 255}));
}

TEST(Canvas, TextIsMeasuredAndDrawnWithTheCanvasFont) {
  auto b = Bitmap24(100, 40, clWhite);
  TCanvas* c = b->Canvas();
  SIZE one = c->TextExtent("W");
  SIZE two = c->TextExtent("WW");
  EXPECT_GT(one.cx, 0);
  EXPECT_GT(two.cx, one.cx);
  EXPECT_EQ(c->TextHeight("W"), one.cy);
  c->Font()->SetSize(20);
  EXPECT_GT(c->TextHeight("W"), one.cy);
  c->Font()->SetSize(8);
  c->Font()->SetColor(clBlack);
  c->Brush()->SetStyle(TBrushStyle::Clear);
  c->TextOut(2, 2, "WW");
  int inside = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x)
      if (Bgr(*b, x, y)[0] < 128) ++(x <= 2 + two.cx && y <= 2 + two.cy ? inside : outside);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
  // TextRect clips to its rectangle.
  auto clip = Bitmap24(40, 20, clWhite);
  clip->Canvas()->Font()->SetColor(clBlack);
  clip->Canvas()->Brush()->SetColor(clWhite);
  clip->Canvas()->TextRect(RECT{0, 0, 5, 20}, 0, 0, "WWWWWW");
  int outsideClip = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 5; x < 40; ++x) outsideClip += Bgr(*clip, x, y)[0] != 255;
  EXPECT_EQ(outsideClip, 0);
}

TEST(Canvas, CopyRectAndStretchDrawMovePixelsBetweenBitmaps) {
  auto src = Bitmap24(4, 4, clWhite);
  src->Canvas()->SetPixel(1, 1, clRed);
  auto dst = Bitmap24(8, 8, clBlack);
  dst->Canvas()->CopyRect(RECT{0, 0, 4, 4}, src->Canvas(), RECT{0, 0, 4, 4});
  EXPECT_EQ(Bgr(*dst, 1, 1), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(Bgr(*dst, 0, 0), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(Bgr(*dst, 5, 5), (std::vector<int>{0, 0, 0}));
  dst->Canvas()->StretchDraw(RECT{0, 0, 8, 8}, src.get());
  EXPECT_EQ(Bgr(*dst, 2, 2), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(Bgr(*dst, 3, 3), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(Bgr(*dst, 4, 4), (std::vector<int>{255, 255, 255}));
}

TEST(Bitmap, TransparentDrawingSkipsTheTransparentColour) {
  auto glyph = Bitmap24(3, 1, clFuchsia);
  glyph->Canvas()->SetPixel(1, 0, clBlue);
  glyph->SetTransparent(true);
  glyph->SetTransparentColor(clFuchsia);
  auto dst = Bitmap24(3, 1, clLime);
  dst->Canvas()->Draw(0, 0, glyph.get());
  EXPECT_EQ(Bgr(*dst, 0, 0), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(Bgr(*dst, 1, 0), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(Bgr(*dst, 2, 0), (std::vector<int>{0, 255, 0}));
  // Auto mode takes the bottom-left pixel.
  glyph->SetTransparentMode(TTransparentMode::Auto);
  EXPECT_EQ(glyph->TransparentColor(), clFuchsia);
}

TEST(Bitmap, ResizingKeepsTheTopLeftAndFormatChangesKeepThePicture) {
  auto b = Bitmap24(4, 4, clWhite);
  b->Canvas()->SetPixel(0, 0, clRed);
  b->Canvas()->SetPixel(3, 3, clBlue);
  b->SetSize(2, 6);
  EXPECT_EQ(Bgr(*b, 0, 0), (std::vector<int>{0, 0, 255}));
  b->SetPixelFormat(TPixelFormat::Bit32);
  EXPECT_EQ(b->RowBytes(), 8);
  EXPECT_EQ(b->ScanLine(0)[2], 255);
  b->SetMonochrome(true);
  EXPECT_TRUE(b->Monochrome());
  EXPECT_EQ(b->PixelFormat(), TPixelFormat::Bit1);
}

// Every pixel format survives a BMP round trip byte for byte.
TEST(Bitmap, BmpRoundTripIsExactForEveryFormat) {
  for (TPixelFormat format : {TPixelFormat::Bit1, TPixelFormat::Bit4, TPixelFormat::Bit8, TPixelFormat::Bit15,
                              TPixelFormat::Bit16, TPixelFormat::Bit24, TPixelFormat::Bit32}) {
    TBitmap b;
    b.SetPixelFormat(format);
    b.SetSize(7, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < b.RowBytes(); ++x) b.ScanLine(y)[x] = uint8_t(x * 37 + y * 11);
    std::vector<uint8_t> saved = b.SaveToBytes();
    TBitmap loaded;
    loaded.LoadFromBytes(saved);
    EXPECT_EQ(loaded.PixelFormat(), format);
    EXPECT_EQ(loaded.Width(), 7);
    EXPECT_EQ(loaded.Height(), 5);
    EXPECT_EQ(loaded.SaveToBytes(), saved) << int(format);
  }
}

std::vector<uint8_t> SmallBmp() {
  auto b = Bitmap24(3, 2, clWhite);
  b->Canvas()->SetPixel(0, 0, clRed);
  return b->SaveToBytes();
}

TEST(Bitmap, EveryTruncationIsRefusedAndLeavesTheBitmapAsItWas) {
  std::vector<uint8_t> bmp = SmallBmp();
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::Bit24);
  target.SetSize(1, 1);
  for (size_t n = 0; n < bmp.size(); ++n) {
    std::vector<uint8_t> cut(bmp.begin(), bmp.begin() + long(n));
    EXPECT_THROW(target.LoadFromBytes(cut), EInvalidGraphic) << n;
    ASSERT_EQ(target.Width(), 1);
  }
  target.LoadFromBytes(bmp);
  EXPECT_EQ(Bgr(target, 0, 0), (std::vector<int>{0, 0, 255}));
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) { std::memcpy(&v[at], &x, 4); }
void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) { std::memcpy(&v[at], &x, 2); }

TEST(Bitmap, MalformedHeadersAreRefused) {
  const std::vector<uint8_t> good = SmallBmp();
  auto refuses = [](std::vector<uint8_t> bytes) {
    TBitmap b;
    EXPECT_THROW(b.LoadFromBytes(bytes), EInvalidGraphic);
  };
  auto bad = good;
  bad[0] = 'X';  // signature
  refuses(bad);
  bad = good;
  Put32(bad, 10, uint32_t(good.size() + 1));  // pixel offset beyond the file
  refuses(bad);
  bad = good;
  Put32(bad, 14, 39);  // header size no version has
  refuses(bad);
  bad = good;
  Put32(bad, 18, 0);  // width 0
  refuses(bad);
  bad = good;
  Put32(bad, 18, uint32_t(-3));  // negative width
  refuses(bad);
  bad = good;
  Put32(bad, 18, 40000);  // width beyond any screen and the data
  Put32(bad, 22, 40000);
  refuses(bad);
  bad = good;
  Put32(bad, 22, 0x80000000u);  // height that cannot be negated
  refuses(bad);
  bad = good;
  Put16(bad, 26, 2);  // two planes
  refuses(bad);
  bad = good;
  Put16(bad, 28, 7);  // 7 bits per pixel
  refuses(bad);
  bad = good;
  Put32(bad, 30, 1);  // run-length coding for 24 bits
  refuses(bad);
  bad = good;
  Put32(bad, 30, 9);  // unknown compression
  refuses(bad);
}

// A 4 x 3, 8-bit run-length coded bitmap built field by field.
std::vector<uint8_t> Rle8Bmp(const std::vector<uint8_t>& codes) {
  std::vector<uint8_t> v(14 + 40 + 4 * 2, 0);
  v[0] = 'B', v[1] = 'M';
  Put32(v, 10, uint32_t(v.size()));  // pixels follow the two-colour table
  Put32(v, 14, 40);
  Put32(v, 18, 4);  // width
  Put32(v, 22, 3);  // height (bottom-up)
  Put16(v, 26, 1);
  Put16(v, 28, 8);
  Put32(v, 30, 1);  // BI_RLE8
  Put32(v, 46, 2);  // two colours
  v[54 + 4] = 255, v[54 + 5] = 255, v[54 + 6] = 255;  // colour 1 white
  for (uint8_t code : codes) v.push_back(code);
  Put32(v, 2, uint32_t(v.size()));
  return v;
}

TEST(Bitmap, RunLengthCodedBitmapsDecodeAndOverrunsAreClipped) {
  TBitmap b;
  // Bottom row: 2 x colour 1; end of line; middle row: absolute run 1,0,1; end of bitmap.
  b.LoadFromBytes(Rle8Bmp({2, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 1}));
  ASSERT_EQ(b.PixelFormat(), TPixelFormat::Bit8);
  EXPECT_EQ(b.ScanLine(2)[0], 1);
  EXPECT_EQ(b.ScanLine(2)[1], 1);
  EXPECT_EQ(b.ScanLine(2)[2], 0);
  EXPECT_EQ(b.ScanLine(1)[0], 1);
  EXPECT_EQ(b.ScanLine(1)[1], 0);
  EXPECT_EQ(b.ScanLine(1)[2], 1);
  // A run far past the row, a delta past the image and a truncated absolute run.
  TBitmap clipped;
  clipped.LoadFromBytes(Rle8Bmp({255, 1, 0, 2, 200, 200, 5, 1, 0, 9, 1}));
  EXPECT_EQ(clipped.ScanLine(2)[3], 1);
}

}  // namespace
