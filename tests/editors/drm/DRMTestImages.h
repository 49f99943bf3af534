#pragma once

#include <cstdint>
#include <vector>

#include "editors/core/TDRMImage.h"

// A DRM image whose typed pictures are real picture files: a 5 x 3 bitmap, a square GIF of two
// frames, and a GIF cut short that no decoder takes; RAW pictures first, as generated.
struct TDRMTestImage {
  std::vector<uint8_t> Image;
  std::vector<TDRMPicture> Rows;
  int BmpNo = 0, GifNo = 0, DamagedNo = 0;
};
TDRMTestImage MakePreviewImage(int gifSide = 4);

// A 24-bit bitmap file of the given size.
std::vector<uint8_t> MakeBmpFile(int width, int height);
// A looping GIF file of two square frames of stripes.
std::vector<uint8_t> MakeTwoFrameGif(int side);
