#include "skin/engine/core/MaskCornerRuns.h"

#include <algorithm>

#include "skin/engine/core/MaskSource.h"
#include "skin/engine/core/PixelColor.h"

namespace {

// Key runs of the part [sx, sx + w) x [sy, sy + h) of src, cut to `limit`, appended at x0 + column.
void CollectPart(std::vector<TsRect>& rects, const TsBitmap24View& src, const TsRect& limit, int64_t sx, int64_t sy,
                 int64_t w, int64_t h, int64_t x0, int64_t yOffset) {
  const TsRect part = IntersectRects(RectOfSize(sx, sy, w, h), limit);
  for (int32_t y = part.Top; y < part.Bottom; ++y) {
    int64_t runStart = -1;
    for (int32_t x = part.Left; x <= part.Right; ++x) {
      const bool key = x < part.Right && IsKeyPixel(src.PixelAt(x, y));
      if (key && runStart < 0) runStart = x;
      if (!key && runStart >= 0) {
        const int64_t ry = yOffset + (y - sy);
        rects.push_back({ClampToInt32(x0 + runStart - sx), ClampToInt32(ry), ClampToInt32(x0 + x - sx),
                         ClampToInt32(ry + 1)});
        runStart = -1;
      }
    }
  }
}

}  // namespace

void CollectMaskCornerRects(std::vector<TsRect>& rects, int32_t targetWidth, const TsMaskImage& mask, TsCornerRow row,
                            int32_t yOffset) {
  const TsMaskSource s = TsMaskSource::Of(mask);
  int64_t left = 0, top = 0, pw = 0, ph = 0, rightStart = 0, bottomRow = 0;
  if (mask.HasOwnBitmap()) {
    pw = mask.Own.Width() / 9;
    ph = mask.Own.Height() / 6;
    rightStart = int64_t(mask.Own.Width()) * 2 / 9;
    bottomRow = mask.Own.Height() / 3;
  } else {
    const TsMasterFrames f = TsMasterFrames::Of(mask);
    if (!f.Valid) return;
    left = mask.R.Left;
    top = mask.R.Top;
    pw = RectWidth(mask.R) / (f.ImageCount * 3);
    ph = RectHeight(mask.R) / (f.Rows * 3);
    rightStart = left + RectWidth(mask.R) * 2 / (f.ImageCount * 3);
    bottomRow = top + 2 * ph;
  }
  if (pw <= 0 || ph <= 0) return;
  // Each corner is one part high: the top corners in the first part row, the bottom ones in the third.
  const int64_t sy = row == TsCornerRow::Bottom ? bottomRow : top;
  CollectPart(rects, s.Src, s.Limit, left, sy, pw, ph, 0, yOffset);
  CollectPart(rects, s.Src, s.Limit, rightStart, sy, pw, ph, int64_t(targetWidth) - pw, yOffset);
}
