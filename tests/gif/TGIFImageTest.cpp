#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TIcon.h"
#include "framework/win/TMetafile.h"
#include "framework/win/TPicture.h"
#include "gif/TGIFImage.h"
#include "gif/TGIFPainter.h"
#include "gif/core/TGIFAppExtNSLoop.h"
#include "gif/core/TGIFDocument.h"
#include "gif/core/TGIFGraphicControlExtension.h"

namespace {
// A picture of frames of one colour index each over a 4-colour table: 0 black, 1 red, 2 green, 3 blue.
std::vector<uint8_t> MakeGIF(int frames, int width, int height, int transparentIndex = -1,
                             bool loop = false) {
  TGIFDocument document;
  document.Header().SetWidth(static_cast<uint16_t>(width));
  document.Header().SetHeight(static_cast<uint16_t>(height));
  document.Header().ColorMap().Assign({{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
  for (int i = 0; i < frames; ++i) {
    auto frame = std::make_unique<TGIFSubImage>();
    frame->SetSize(width, height);
    for (int p = 0; p < width * height; ++p) frame->Data()[p] = static_cast<uint8_t>(1 + (i + p) % 3);
    if (transparentIndex >= 0) frame->Data()[0] = static_cast<uint8_t>(transparentIndex);
    auto control = std::make_unique<TGIFGraphicControlExtension>();
    control->SetDelay(3);
    control->SetDisposal(1);
    if (transparentIndex >= 0) {
      control->SetTransparent(true);
      control->SetTransparentIndex(static_cast<uint8_t>(transparentIndex));
    }
    frame->Extensions().push_back(std::move(control));
    if (loop && i == 0) frame->Extensions().push_back(std::make_unique<TGIFAppExtNSLoop>());
    document.Frames().push_back(std::move(frame));
  }
  return document.SaveToBytes();
}

std::string TempPath(const std::string& name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

// RGB of a pixel of a 24-bit bitmap.
COLORREF PixelAt(TBitmap& bitmap, int x, int y) {
  const uint8_t* row = bitmap.ScanLine(y);
  return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
}

std::unique_ptr<TBitmap> Filled(int width, int height, COLORREF color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::Bit24);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* row = bitmap->ScanLine(y);
      row[3 * x] = GetBValue(color), row[3 * x + 1] = GetGValue(color), row[3 * x + 2] = GetRValue(color);
    }
  return bitmap;
}

// Runs the painters' calls to this thread until done() or the painter has had ample time.
template <typename F>
void PumpUntil(F done) {
  for (int i = 0; i < 500 && !done(); ++i) CheckSynchronize(10);
}
}  // namespace

TEST(GIFImage, LoadsByExtensionThroughThePictureClass) {
  const std::string path = TempPath("tarvex-gif-test.gif");
  const std::vector<uint8_t> bytes = MakeGIF(1, 5, 3);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);

  EXPECT_EQ(TPicture::FileFormatClass("GIF"), TGIFImage::Class());
  EXPECT_NE(GraphicFilter(nullptr).find("GIF Image (*.gif)|*.gif"), std::string::npos);
  TPicture picture;
  picture.LoadFromFile(path);
  ASSERT_NE(dynamic_cast<TGIFImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 3);
  DeleteFileA(path.c_str());
}

TEST(GIFImage, BadDataRaisesTheInvalidGraphicKindAndKeepsThePicture) {
  TGIFImage image;
  image.LoadFromBytes(MakeGIF(1, 2, 2));
  const std::vector<uint8_t> junk = {'G', 'I', 'F', '8', '9', 'a', 1};
  EXPECT_THROW(image.LoadFromBytes(junk), EInvalidGraphic);
  EXPECT_EQ(image.Width(), 2);
  std::vector<std::string> warnings;
  image.SetOnWarning(
      TWarningEvent::FromFunctor([&](TObject*, const std::string& message) { warnings.push_back(message); }));
  std::vector<uint8_t> trailing = MakeGIF(1, 2, 2);
  trailing.back() = 0x99;
  image.LoadFromBytes(trailing);
  EXPECT_FALSE(warnings.empty());
}

TEST(GIFImage, TransparentFrameDrawnOverAColouredBitmap) {
  TGIFImage image;
  image.LoadFromBytes(MakeGIF(1, 2, 2, 0));
  auto target = Filled(4, 4, RGB(10, 200, 30));
  image.Draw(target->Canvas(), RECT{0, 0, 4, 4});
  // Pixel (0, 0) of the picture is transparent and covers the target's 2x2 corner.
  EXPECT_EQ(PixelAt(*target, 0, 0), RGB(10, 200, 30));
  EXPECT_EQ(PixelAt(*target, 1, 1), RGB(10, 200, 30));
  EXPECT_EQ(PixelAt(*target, 2, 0), RGB(0, 255, 0));  // pixel 1: index 2
  EXPECT_EQ(PixelAt(*target, 0, 2), RGB(0, 0, 255));  // pixel 2: index 3
  EXPECT_EQ(PixelAt(*target, 3, 3), RGB(255, 0, 0));  // pixel 3: index 1
}

TEST(GIFImage, ClipboardRoundTripKeepsTheFrames) {
  TGIFImage image;
  image.LoadFromBytes(MakeGIF(3, 6, 4, 2));
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(TGIFImage::ClipboardFormat()));
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  image.SaveToClipboardFormat(format, data, palette);
  ASSERT_EQ(format, TGIFImage::ClipboardFormat());
  ASSERT_NE(data, nullptr);

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  ASSERT_NE(SetClipboardData(format, data), nullptr);
  CloseClipboard();
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE back = GetClipboardData(format);
  TPicture picture;
  picture.LoadFromClipboardFormat(format, back, nullptr);
  CloseClipboard();

  auto* copy = dynamic_cast<TGIFImage*>(picture.Graphic());
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->Document().Frames().size(), 3u);
  for (size_t i = 0; i < 3; ++i)
    EXPECT_EQ(copy->Document().Frames()[i]->Data(), image.Document().Frames()[i]->Data());
}

TEST(GIFImage, AnimatesThroughAPainterAndRepaintsAfterEachFrame) {
  TGIFImage image;
  image.LoadFromBytes(MakeGIF(3, 4, 4, -1, true));
  int changes = 0, painted = 0;
  image.SetOnChange(TNotifyEvent::FromFunctor([&](TObject*) { ++changes; }));
  image.SetOnAfterPaint(TNotifyEvent::FromFunctor([&](TObject*) { ++painted; }));
  auto target = Filled(8, 8, RGB(1, 2, 3));
  image.Draw(target->Canvas(), RECT{0, 0, 8, 8});
  EXPECT_TRUE(image.Animating());
  EXPECT_EQ(PixelAt(*target, 0, 0), RGB(255, 0, 0));  // first frame drawn before Draw returns
  PumpUntil([&] { return painted >= 4; });
  EXPECT_GE(painted, 4);
  EXPECT_GE(changes, painted);
  image.Draw(target->Canvas(), RECT{0, 0, 8, 8});  // from the rendered bitmap, no new painter
  EXPECT_TRUE(image.Animating());

  // Loading a new picture stops the painter first.
  image.LoadFromBytes(MakeGIF(1, 3, 3));
  EXPECT_FALSE(image.Animating());
  EXPECT_EQ(image.Width(), 3);
}

TEST(GIFImage, OneFramePicturesAreDrawnDirectly) {
  TGIFImage image;
  image.LoadFromBytes(MakeGIF(1, 2, 2));
  auto target = Filled(2, 2, RGB(0, 0, 0));
  image.Draw(target->Canvas(), RECT{0, 0, 2, 2});
  EXPECT_FALSE(image.Animating());
  EXPECT_EQ(PixelAt(*target, 0, 0), RGB(255, 0, 0));
}

TEST(GIFImage, BitmapsBecomeFramesAndBack) {
  auto source = Filled(3, 2, RGB(255, 0, 0));
  TGIFImage image;
  image.Assign(source.get());
  ASSERT_EQ(image.Document().Frames().size(), 1u);
  EXPECT_EQ(image.Width(), 3);
  TBitmap back;
  back.Assign(&image);
  EXPECT_EQ(PixelAt(back, 2, 1), RGB(255, 0, 0));
  EXPECT_THROW(image.SetWidth(2), EInvalidGraphic);
}

TEST(GIFImage, IndexedBitmapsKeepTheirColourTable) {
  TBitmap source;
  source.SetPixelFormat(TPixelFormat::Bit8);
  source.SetSize(4, 2);
  struct {
    WORD Version, Count;
    PALETTEENTRY Entries[3];
  } log{0x300, 3, {{200, 10, 10, 0}, {10, 200, 10, 0}, {1, 2, 250, 0}}};
  source.SetPalette(CreatePalette(reinterpret_cast<LOGPALETTE*>(&log)));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) source.ScanLine(y)[x] = static_cast<uint8_t>((x + y) % 3);
  TGIFImage image;
  image.Assign(&source);
  ASSERT_EQ(image.Document().Frames().size(), 1u);
  const TGIFSubImage& frame = *image.Document().Frames()[0];
  ASSERT_EQ(frame.ColorMap().Count(), 3);
  // Colours survive exactly (the web palette would have moved them).
  const TGIFColor c = frame.ColorMap().Data()[frame.Pixel(2, 0)];
  EXPECT_EQ(c, (TGIFColor{1, 2, 250}));
}

TEST(GIFImage, PainterRestoresToBackgroundThroughItsBitmaps) {
  // Frame 0 red all over; frame 1 green in the corner, restored to the background after it; frame
  // 2 one blue pixel. The background is what the caller had under the picture.
  TGIFDocument document;
  document.Header().SetWidth(4);
  document.Header().SetHeight(4);
  document.Header().ColorMap().Assign({{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
  const struct {
    int Left, Top, Size, Color, Disposal;
  } frames[] = {{0, 0, 4, 1, 1}, {0, 0, 2, 2, 2}, {3, 3, 1, 3, 1}};
  for (const auto& f : frames) {
    auto frame = std::make_unique<TGIFSubImage>();
    frame->SetLeft(static_cast<uint16_t>(f.Left));
    frame->SetTop(static_cast<uint16_t>(f.Top));
    frame->SetSize(f.Size, f.Size);
    std::fill(frame->Data().begin(), frame->Data().end(), static_cast<uint8_t>(f.Color));
    auto control = std::make_unique<TGIFGraphicControlExtension>();
    control->SetDisposal(f.Disposal);
    control->SetDelay(3);
    frame->Extensions().push_back(std::move(control));
    document.Frames().push_back(std::move(frame));
  }
  TGIFImage image;
  image.LoadFromBytes(document.SaveToBytes());
  auto target = Filled(4, 4, RGB(7, 8, 9));
  image.Draw(target->Canvas(), RECT{0, 0, 4, 4});
  PumpUntil([&] { return !image.Animating(); });
  ASSERT_FALSE(image.Animating());  // plays once without a loop block
  auto shown = Filled(4, 4, RGB(0, 0, 0));
  image.Draw(shown->Canvas(), RECT{0, 0, 4, 4});
  EXPECT_EQ(PixelAt(*shown, 0, 0), RGB(7, 8, 9));
  EXPECT_EQ(PixelAt(*shown, 1, 1), RGB(7, 8, 9));
  EXPECT_EQ(PixelAt(*shown, 2, 2), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(*shown, 3, 3), RGB(0, 0, 255));
}

TEST(GIFImage, ResizingWhileAnimatingStopsThePainterFirst) {
  TGIFImage image;
  image.LoadFromBytes(MakeGIF(3, 4, 4, -1, true));
  auto target = Filled(4, 4, RGB(1, 2, 3));
  image.Draw(target->Canvas(), RECT{0, 0, 4, 4});
  ASSERT_TRUE(image.Animating());
  image.SetWidth(6);
  EXPECT_FALSE(image.Animating());
  EXPECT_EQ(image.Width(), 6);
}

namespace {
// A 16 x 16 icon: its left half masked out (transparent), its right half solid red.
HICON HalfTransparentIcon() {
  const int size = 16;
  std::vector<uint16_t> andBits(size);
  for (int y = 0; y < size; ++y) andBits[y] = 0x00FF;  // bytes: left 8 pixels set (big-endian bit order)
  HBITMAP mask = CreateBitmap(size, size, 1, 1, andBits.data());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<uint8_t*>(bits);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      uint8_t* p = pixels + y * size * 3 + x * 3;
      p[0] = 0, p[1] = 0, p[2] = x < 8 ? 0 : 255;
    }
  ICONINFO icon{TRUE, 0, 0, mask, color};
  HICON handle = CreateIconIndirect(&icon);
  DeleteObject(mask);
  DeleteObject(color);
  return handle;
}

// Whether a frame pixel is the frame's transparent index.
bool ClearAt(const TGIFImage& image, int x, int y) {
  const TGIFSubImage& frame = *image.Document().Frames()[0];
  for (const auto& e : frame.Extensions())
    if (auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(e.get()))
      return control->Transparent() && frame.Data()[size_t(y) * frame.Width() + x] == control->TransparentIndex();
  return false;
}
}  // namespace

// Icons and metafiles paint only part of their area: the rest stays transparent in the frame, and
// a drawn frame leaves the target's pixels there.
TEST(GIFImage, IconsAndMetafilesKeepTheirTransparency) {
  TIcon icon;
  icon.SetHandle(HalfTransparentIcon());
  TGIFImage image;
  image.Assign(&icon);
  ASSERT_EQ(image.Width(), 16);
  EXPECT_TRUE(ClearAt(image, 0, 0));
  EXPECT_TRUE(ClearAt(image, 7, 15));
  EXPECT_FALSE(ClearAt(image, 8, 0));
  auto target = Filled(16, 16, RGB(10, 200, 30));
  image.Draw(target->Canvas(), RECT{0, 0, 16, 16});
  EXPECT_EQ(PixelAt(*target, 3, 3), RGB(10, 200, 30));
  EXPECT_EQ(PixelAt(*target, 12, 3), RGB(255, 0, 0));

  // A metafile that fills its top half only.
  HDC reference = GetDC(nullptr);
  const int mmX = GetDeviceCaps(reference, HORZSIZE), pxX = GetDeviceCaps(reference, HORZRES);
  const int mmY = GetDeviceCaps(reference, VERTSIZE), pxY = GetDeviceCaps(reference, VERTRES);
  ReleaseDC(nullptr, reference);
  const RECT frame{0, 0, MulDiv(20, mmX * 100, pxX), MulDiv(20, mmY * 100, pxY)};
  HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  const RECT top{0, 0, 20, 10};
  FillRect(recorder, &top, blue);
  DeleteObject(blue);
  TMetafile metafile;
  metafile.SetHandle(CloseEnhMetaFile(recorder));
  image.Assign(&metafile);
  ASSERT_GT(image.Height(), 12);
  EXPECT_FALSE(ClearAt(image, 2, 2));
  EXPECT_TRUE(ClearAt(image, 2, image.Height() - 2));
}

// Written to an open clipboard, the picture offers its bitmap beside "GIF Image"; both read back.
TEST(GIFImage, ClipboardOffersTheBitmapBesideTheGIF) {
  TGIFImage image;
  image.LoadFromBytes(MakeGIF(1, 3, 2));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  image.SaveToClipboardFormat(format, data, palette);
  ASSERT_EQ(format, TGIFImage::ClipboardFormat());
  EXPECT_NE(SetClipboardData(format, data), nullptr);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(IsClipboardFormatAvailable(TGIFImage::ClipboardFormat()));

  ASSERT_TRUE(OpenClipboard(nullptr));
  TBitmap bitmap;
  bitmap.LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP), nullptr);
  TGIFImage fromBitmap;
  fromBitmap.LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP), nullptr);
  CloseClipboard();
  ASSERT_EQ(bitmap.Width(), 3);
  ASSERT_EQ(bitmap.Height(), 2);
  bitmap.SetPixelFormat(TPixelFormat::Bit24);
  // Frame 0 of MakeGIF: pixel p has colour index 1 + p % 3 (red, green, blue).
  EXPECT_EQ(PixelAt(bitmap, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(bitmap, 2, 1), RGB(0, 0, 255));
  ASSERT_EQ(fromBitmap.Width(), 3);
  EXPECT_EQ(fromBitmap.Document().Frames().size(), 1u);
}

// Without a colour of its own the painter takes the global table's background entry, or the window
// colour when there is no global table.
TEST(GIFImage, PainterBackgroundComesFromTheHeader) {
  TGIFDocument document;
  document.Header().SetWidth(2);
  document.Header().SetHeight(2);
  document.Header().ColorMap().Assign({{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
  document.Header().SetBackgroundIndex(2);
  auto frame = std::make_unique<TGIFSubImage>();
  frame->SetSize(2, 2);
  document.Frames().push_back(std::move(frame));
  TGIFImage image;
  image.LoadFromBytes(document.SaveToBytes());
  EXPECT_EQ(COLORREF(TGIFPainter::BackgroundOf(image)), RGB(0, 255, 0));

  document.Header().ColorMap().Assign({});
  document.Frames()[0]->ColorMap().Assign({{1, 2, 3}, {4, 5, 6}});
  image.LoadFromBytes(document.SaveToBytes());
  EXPECT_EQ(COLORREF(TGIFPainter::BackgroundOf(image)), GetSysColor(COLOR_WINDOW));
}
