#pragma once

#include <cstdint>
#include <vector>

#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsMaskImage.h"

enum class TsCornerRow { Top, Bottom };

// Appends the key-colour runs of the left and right corner parts of frame 0 of a border mask, one
// row high each, placed for a target of targetWidth with the corner's first row at yOffset: the runs
// a form's window region loses at its top (or bottom) corners.
void CollectMaskCornerRects(std::vector<TsRect>& rects, int32_t targetWidth, const TsMaskImage& mask, TsCornerRow row,
                            int32_t yOffset);
