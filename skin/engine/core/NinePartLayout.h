#pragma once

#include <cstdint>
#include <functional>

#include "skin/engine/core/PixelGeometry.h"

// Where the nine parts of a border frame go: corners unscaled, edges and centre tiled with whole
// parts and the last tile cut at the far corner.

enum class TsPartKind { Corner, Edge, Centre };

struct TsCornerSizes {
  int64_t Left = 0;
  int64_t Right = 0;
  int64_t Top = 0;
  int64_t Bottom = 0;
};

// Corners of a target smaller than two parts split it in halves, the right (bottom) one larger by one
// for an odd size; borderWidth, when above 0, caps the corners.
TsCornerSizes NinePartCorners(int64_t targetWidth, int64_t targetHeight, int64_t partWidth,
                              int64_t partHeight, int32_t borderWidth);

struct TsNinePartFrame {
  TsPoint Origin;  // top-left of the frame's image in its source bitmap
  int64_t PartWidth = 0;
  int64_t PartHeight = 0;
};

// Calls emit(dst, src, kind) for each part in painting order: top-left corner, left edge, top edge,
// bottom-left corner, bottom edge, bottom-right corner, top-right corner, right edge, centre (only when
// fillCentre). Tiles wholly outside `visible` are not emitted, so the work stays bounded by the
// visible area whatever the target's size. Right and bottom corners take the outer part of their
// source part.
void LayoutNineParts(const TsRect& target, const TsRect& visible, const TsNinePartFrame& frame,
                     const TsCornerSizes& corners, bool fillCentre,
                     const std::function<void(const TsRect&, const TsRect&, TsPartKind)>& emit);
