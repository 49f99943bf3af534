#include "tests/editors/drm/DRMTestImages.h"

#include <algorithm>

#include "framework/win/TBitmap.h"
#include "framework/win/TScreen.h"
#include "skin/windows/TsMessageDlg.h"
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
  std::vector<uint8_t> out{2};
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), packed.begin() + long(at), packed.begin() + long(at + n));
  }
  out.push_back(0);
  return out;
}

}  // namespace

void CALLBACK AnswerBoxWithOK(HWND, UINT, UINT_PTR, DWORD) {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* box = dynamic_cast<TsMessageForm*>(Screen->Forms(i)); box && box->IsModal())
      if (auto* ok = dynamic_cast<TWinControl*>(box->FindComponent("OK"))) PostMessageA(ok->Handle(), BM_CLICK, 0, 0);
}

std::vector<uint8_t> MakeTwoFrameGif(int side) {
  const uint8_t lo = uint8_t(side), hi = uint8_t(side >> 8);
  std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', lo, hi, lo, hi, 0x81, 0, 0};
  for (uint8_t c : {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}) g.push_back(c);
  const uint8_t loop[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  g.insert(g.end(), std::begin(loop), std::end(loop));
  for (int frame = 0; frame < 2; ++frame) {
    const uint8_t control[] = {0x21, 0xF9, 4, 0x04, 5, 0, 0, 0};
    g.insert(g.end(), std::begin(control), std::end(control));
    const uint8_t descriptor[] = {0x2C, 0, 0, 0, 0, lo, hi, lo, hi, 0};
    g.insert(g.end(), std::begin(descriptor), std::end(descriptor));
    std::vector<int> pixels(size_t(side) * size_t(side));
    for (size_t i = 0; i < pixels.size(); ++i) {
      const int x = int(i) % side, y = int(i) / side;
      pixels[i] = 1 + ((x + y) * 3 / std::max(side, 3) + frame) % 3;
    }
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

TDRMTestImage MakePreviewImage(int gifSide) {
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
  image.Replace(out.GifNo, MakeTwoFrameGif(gifSide), 0, 0);
  std::vector<uint8_t> cut = MakeTwoFrameGif(4);
  cut.resize(20);
  out.Rows = image.Replace(out.DamagedNo, cut, 0, 0).Pictures;
  out.Image = image.Image();
  return out;
}
