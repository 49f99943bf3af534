#include "tests/editors/drm/DRMTestImages.h"

#include "framework/win/TBitmap.h"
#include "tests/editors/generators/DRMGenerator.h"

namespace {

// LZW codes of 3 bits (minimum code size 2): a clear before every two pixels keeps the width.
std::vector<uint8_t> FrameData(const std::vector<int>& pixels) {
  std::vector<int> codes;
  for (size_t i = 0; i < pixels.size(); i += 2) {
    codes.push_back(4);
    codes.push_back(pixels[i]);
    if (i + 1 < pixels.size()) codes.push_back(pixels[i + 1]);
  }
  codes.push_back(5);
  std::vector<uint8_t> packed;
  uint32_t bits = 0;
  int count = 0;
  for (int code : codes) {
    bits |= uint32_t(code) << count;
    count += 3;
    while (count >= 8) {
      packed.push_back(uint8_t(bits));
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) packed.push_back(uint8_t(bits));
  std::vector<uint8_t> out{2, uint8_t(packed.size())};
  out.insert(out.end(), packed.begin(), packed.end());
  out.push_back(0);
  return out;
}

}  // namespace

std::vector<uint8_t> MakeTwoFrameGif() {
  std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x81, 0, 0};
  for (uint8_t c : {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}) g.push_back(c);
  const uint8_t loop[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  g.insert(g.end(), std::begin(loop), std::end(loop));
  for (int frame = 0; frame < 2; ++frame) {
    const uint8_t control[] = {0x21, 0xF9, 4, 0x04, 5, 0, 0, 0};
    g.insert(g.end(), std::begin(control), std::end(control));
    const uint8_t descriptor[] = {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0};
    g.insert(g.end(), std::begin(descriptor), std::end(descriptor));
    std::vector<int> pixels(16);
    for (int i = 0; i < 16; ++i) pixels[size_t(i)] = 1 + (i + frame) % 3;
    const auto data = FrameData(pixels);
    g.insert(g.end(), data.begin(), data.end());
  }
  g.push_back(0x3B);
  return g;
}

std::vector<uint8_t> MakeBmpFile(int width, int height) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::Bit24);
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < 3 * width; ++x) row[x] = uint8_t(40 * y + 7 * x);
  }
  return bitmap.SaveToBytes();
}

TDRMTestImage MakePreviewImage() {
  TGenDRMPlan plan;
  plan.Seed = 3;
  plan.RawPictures = 2;
  plan.TypedPictures = 4;
  plan.MaxSide = 40;
  const TGenDRM gen = GenerateDRM(plan);
  TDRMImage image(gen.Image);
  TDRMTestImage out;
  out.BmpNo = gen.RawCount + 1;
  out.GifNo = gen.RawCount + 2;
  out.DamagedNo = gen.RawCount + 3;
  image.Replace(out.BmpNo, MakeBmpFile(5, 3), 0, 0);
  image.Replace(out.GifNo, MakeTwoFrameGif(), 0, 0);
  std::vector<uint8_t> cut = MakeTwoFrameGif();
  cut.resize(20);
  out.Rows = image.Replace(out.DamagedNo, cut, 0, 0).Pictures;
  out.Image = image.Image();
  return out;
}
