#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "TestSupport.h"
#include "framework/base/TStream.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TIcon.h"
#include "framework/win/TJPEGImage.h"
#include "framework/win/TPicture.h"

namespace {

// A Windows path for a file in the temporary folder that the Linux side can also reach.
std::string UnixVisible(const std::string& windowsPath) {
  char unixPath[MAX_PATH * 2] = {};
  // Wine maps every drive to a Unix folder; Z: is the root of the Unix file system.
  using TGetUnixName = char* (*)(const WCHAR*);
  auto getUnix = reinterpret_cast<TGetUnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (getUnix == nullptr) return "";
  std::wstring wide(windowsPath.begin(), windowsPath.end());
  char* name = getUnix(wide.c_str());
  if (name == nullptr) return "";
  std::snprintf(unixPath, sizeof unixPath, "%s", name);
  HeapFree(GetProcessHeap(), 0, name);
  return unixPath;
}

// Runs ImageMagick's convert (a program of the machine Wine runs on) with args, writing output
// (a Windows path, given to convert as its Unix name with an optional "FORMAT:" prefix); true when
// the file was made.
bool Convert(const std::string& args, const std::string& prefix, const std::string& output) {
  std::string unixName = UnixVisible(output);
  if (unixName.empty()) return false;
  std::string command = "Z:\\usr\\bin\\convert " + args + " \"" + prefix + unixName + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<char> line(command.begin(), command.end());
  line.push_back(0);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 60000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return GetFileAttributesA(output.c_str()) != INVALID_FILE_ATTRIBUTES;
}


std::vector<int> Bgr(TBitmap* b, int x, int y) {
  const uint8_t* p = b->ScanLine(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

TEST(Picture, LoadsBmpAndJpegMadeByImageMagickByTheirExtension) {
  std::string bmp = TempFileName(".bmp"), jpg = TempFileName(".jpg");
  // 3 x 2: red, green, blue over white, black, grey.
  std::string pixels =
      "-size 3x2 xc:white -fill red -draw \"point 0,0\" -fill lime -draw \"point 1,0\" "
      "-fill blue -draw \"point 2,0\" -fill black -draw \"point 1,1\" -fill gray -draw \"point 2,1\" -type TrueColor";
  ASSERT_TRUE(Convert(pixels, "BMP3:", bmp)) << "ImageMagick did not run";
  ASSERT_TRUE(Convert("-size 64x48 xc:rgb(200,40,90) -quality 95", "", jpg));

  TPicture picture;
  picture.LoadFromFile(bmp);
  auto* bitmap = dynamic_cast<TBitmap*>(picture.Graphic());
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(bitmap->Width(), 3);
  ASSERT_EQ(bitmap->Height(), 2);
  bitmap->SetPixelFormat(TPixelFormat::Bit24);
  EXPECT_EQ(Bgr(bitmap, 0, 0), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(Bgr(bitmap, 1, 0), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(Bgr(bitmap, 2, 0), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(Bgr(bitmap, 0, 1), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(Bgr(bitmap, 1, 1), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Bgr(bitmap, 2, 1)[0], Bgr(bitmap, 2, 1)[2]);

  picture.LoadFromFile(jpg);
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(picture.Width(), 64);
  EXPECT_EQ(picture.Height(), 48);
  TBitmap* decoded = jpeg->Bitmap();
  ASSERT_EQ(decoded->PixelFormat(), TPixelFormat::Bit24);
  std::vector<int> centre = Bgr(decoded, 32, 24);
  EXPECT_NEAR(centre[0], 90, 4);
  EXPECT_NEAR(centre[1], 40, 4);
  EXPECT_NEAR(centre[2], 200, 4);

  // Our own BMP goes back to ImageMagick's reading unchanged: save and read again.
  std::string copy = TempFileName(".bmp");
  TPicture again;
  again.LoadFromFile(bmp);
  again.SaveToFile(copy);
  TPicture reread;
  reread.LoadFromFile(copy);
  EXPECT_EQ(dynamic_cast<TBitmap*>(reread.Graphic())->SaveToBytes(),
            dynamic_cast<TBitmap*>(again.Graphic())->SaveToBytes());
  DeleteFileA(bmp.c_str());
  DeleteFileA(jpg.c_str());
  DeleteFileA(copy.c_str());
}

TEST(Picture, UnknownExtensionIsAnErrorAndThePictureKeepsWhatItHad) {
  TPicture picture;
  picture.Bitmap()->SetSize(2, 2);
  try {
    picture.LoadFromFile("C:\\folder.with.dots\\tmp.JPEGX");
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.jpegx)");
  }
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_THROW(picture.LoadFromFile("noextension"), EInvalidGraphic);
}

// A graphic kind registered by a later unit, as the GIF codec does.
class TFakeGraphic : public TBitmap {
public:
  static TGraphicClass Class() {
    static const TGraphicClassInfo info{"TFakeGraphic", []() -> TGraphic* { return new TFakeGraphic; }};
    return &info;
  }
  TGraphicClass GraphicClass() const override { return Class(); }
};

TEST(Picture, RegisteredFormatsBuildTheFilterAndCanBeUnregistered) {
  EXPECT_EQ(GraphicFilter(TBitmap::Class()), "All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp");
  TPicture::RegisterFileFormat("fak", "Fake Image", TFakeGraphic::Class());
  std::string all = GraphicFilter(nullptr);
  EXPECT_EQ(all.rfind("All (*.fak;", 0), 0u) << all;
  EXPECT_NE(all.find("|Fake Image (*.fak)|*.fak|"), std::string::npos);
  EXPECT_NE(all.find("|JPEG Image File (*.jpg)|*.jpg"), std::string::npos);
  EXPECT_EQ(GraphicExtension(TFakeGraphic::Class()), "fak");
  EXPECT_EQ(TPicture::FileFormatClass("FAK"), TFakeGraphic::Class());

  std::string file = TempFileName(".fak");
  TBitmap plain;
  plain.SetPixelFormat(TPixelFormat::Bit24);
  plain.SetSize(2, 2);
  plain.SaveToFile(file);
  TPicture picture;
  picture.LoadFromFile(file);
  EXPECT_EQ(picture.Graphic()->GraphicClass(), TFakeGraphic::Class());

  TPicture::UnregisterGraphicClass(TFakeGraphic::Class());
  EXPECT_EQ(TPicture::FileFormatClass("fak"), nullptr);
  EXPECT_EQ(GraphicFilter(nullptr).find("fak"), std::string::npos);
  EXPECT_THROW(picture.LoadFromFile(file), EInvalidGraphic);
  DeleteFileA(file.c_str());
}

TEST(Jpeg, EncodesWithAQualityAndDecodesBackCloseToTheOriginal) {
  TBitmap source;
  source.SetPixelFormat(TPixelFormat::Bit24);
  source.SetSize(32, 16);
  source.Canvas()->Brush()->SetColor(RGB(30, 160, 220));
  source.Canvas()->FillRect(RECT{0, 0, 32, 16});
  TJPEGImage jpeg;
  jpeg.Assign(&source);
  jpeg.SetCompressionQuality(100);
  std::vector<uint8_t> best = jpeg.SaveToBytes();
  TJPEGImage low;
  low.Assign(&source);
  low.SetCompressionQuality(5);
  std::vector<uint8_t> worst = low.SaveToBytes();
  ASSERT_GE(best.size(), 4u);
  EXPECT_EQ(best[0], 0xFF);
  EXPECT_EQ(best[1], 0xD8);
  EXPECT_LT(worst.size(), best.size());

  TJPEGImage read;
  read.LoadFromBytes(best);
  EXPECT_EQ(read.Width(), 32);
  EXPECT_EQ(read.Height(), 16);
  std::vector<int> p = Bgr(read.Bitmap(), 10, 10);
  EXPECT_NEAR(p[0], 220, 3);
  EXPECT_NEAR(p[1], 160, 3);
  EXPECT_NEAR(p[2], 30, 3);
  // Unchanged pictures save the bytes they were read from.
  EXPECT_EQ(read.SaveToBytes(), best);

  TBitmap back;
  back.Assign(&read);
  EXPECT_EQ(back.Width(), 32);
}

TEST(Jpeg, CorruptDataIsRefusedWithoutCrashing) {
  TBitmap source;
  source.SetPixelFormat(TPixelFormat::Bit24);
  source.SetSize(16, 16);
  TJPEGImage jpeg;
  jpeg.Assign(&source);
  std::vector<uint8_t> good = jpeg.SaveToBytes();
  TJPEGImage target;
  EXPECT_THROW(target.LoadFromBytes(std::vector<uint8_t>{}), EInvalidGraphic);
  EXPECT_THROW(target.LoadFromBytes(std::vector<uint8_t>{0xFF, 0xD8, 0xFF}), EInvalidGraphic);
  EXPECT_THROW(target.LoadFromBytes(std::vector<uint8_t>(100, 0x42)), EInvalidGraphic);
  // Cut inside the headers: refused. Cut inside the scan: read with the missing part filled.
  for (size_t n = 1; n < good.size(); n += 7) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
    try {
      target.LoadFromBytes(cut);
      EXPECT_EQ(target.Width(), 16);
    } catch (const EInvalidGraphic&) {
    }
  }
  // Random damage to the body never takes the process down.
  srand(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> damaged = good;
    for (int k = 0; k < 4; ++k) damaged[size_t(rand()) % damaged.size()] = uint8_t(rand());
    try {
      target.LoadFromBytes(damaged);
    } catch (const EInvalidGraphic&) {
    }
  }
  // A header claiming a picture too large to allocate.
  std::vector<uint8_t> huge = good;
  for (size_t i = 0; i + 8 < huge.size(); ++i) {
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = 0x7F, huge[i + 6] = 0xFF, huge[i + 7] = 0x7F, huge[i + 8] = 0xFF;
      break;
    }
  }
  EXPECT_THROW(target.LoadFromBytes(huge), EInvalidGraphic);
}

TEST(Graphic, StreamsCarryThePictureAndChangesAreAnnounced) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::Bit24);
  int changes = 0;
  struct TCount {
    int* N;
    void Changed(TObject*) { ++*N; }
  } counter{&changes};
  b.SetOnChange(TNotifyEvent(&counter, &TCount::Changed));
  b.SetSize(3, 3);
  EXPECT_GE(changes, 1);
  TMemoryStream stream;
  b.SaveToStream(stream);
  stream.SetPosition(0);
  TBitmap copy;
  copy.LoadFromStream(stream);
  EXPECT_EQ(copy.Width(), 3);
}

TEST(Icon, BadIconFilesAreRefused) {
  TIcon icon;
  EXPECT_THROW(icon.LoadFromBytes(std::vector<uint8_t>{0, 0, 1, 0, 1, 0}), EInvalidGraphic);
  std::vector<uint8_t> entryPastEnd = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0, 0, 22, 0, 0, 0};
  EXPECT_THROW(icon.LoadFromBytes(entryPastEnd), EInvalidGraphic);
  EXPECT_TRUE(icon.Empty());
}

}  // namespace
