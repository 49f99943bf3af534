#pragma once

#include <cstdint>

#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/TsMaskImage.h"

// The readable image area of a mask and where its mask half lies: every source rectangle of a painter
// is cut to Limit, and Limit is chosen so that a mask row MaskOffset rows below stays inside Src.
struct TsMaskSource {
  TsBitmap24View Src;
  TsRect Limit;
  int32_t MaskOffset = 0;
  bool HasMaskHalf = false;

  static TsMaskSource Of(const TsMaskImage& mask);
};

// Frame geometry of a master-bitmap cut with sane counts; Valid false when it has no frames.
struct TsMasterFrames {
  bool Valid = false;
  int64_t ImageCount = 1;
  int64_t Rows = 1;  // MaskType + 1
  int64_t Width = 0;
  int64_t Height = 0;

  static TsMasterFrames Of(const TsMaskImage& mask);
};
