#pragma once

#include <cstdint>

#include "skin/engine/core/PixelGeometry.h"

// A block copy after clipping: Width x Height pixels from (SrcX, SrcY) to (DstX, DstY).
struct TsBlitArea {
  int32_t DstX = 0;
  int32_t DstY = 0;
  int32_t SrcX = 0;
  int32_t SrcY = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool IsEmpty() const { return Width <= 0 || Height <= 0; }
};

// Cuts a width x height block copied from (sx, sy) to (dx, dy) to dstLimit on the destination side and
// srcLimit on the source side; a cut at one end moves both positions together, so the pixels that
// remain land where they would have landed uncut.
TsBlitArea ClipBlit(const TsRect& dstLimit, const TsRect& srcLimit, int64_t dx, int64_t dy, int64_t sx,
                    int64_t sy, int64_t width, int64_t height);
