#pragma once

#include <cstdint>

#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24View.h"

// The pixels of one skin mask as the painters see them: either an own bitmap (three frames side by
// side over an image half and a mask half) or a cut R of the master bitmap holding ImageCount frames,
// with its mask half under the image when MaskType is 1. Values come from skin files and are not
// trusted: the painters clip every read to the bitmaps.
struct TsMaskImage {
  TsBitmap24View Own;
  TsBitmap24View Master;
  TsRect R;
  int32_t ImageCount = 1;
  int32_t MaskType = 0;
  int32_t BorderWidth = 0;

  bool HasOwnBitmap() const { return !Own.IsEmpty(); }
};
