#include "skin/engine/core/MaskSource.h"

#include <algorithm>

namespace {
// Beyond any sensible skin; keeps the arithmetic on skin values far from overflow.
constexpr int64_t MaxCount = 1 << 16;
}  // namespace

TsMaskSource TsMaskSource::Of(const TsMaskImage& mask) {
  TsMaskSource s;
  if (mask.HasOwnBitmap()) {
    s.Src = mask.Own;
    s.MaskOffset = mask.Own.Height() / 2;
    s.Limit = {0, 0, mask.Own.Width(), mask.Own.Height() / 2};
    s.HasMaskHalf = true;
    return s;
  }
  s.Src = mask.Master;
  s.Limit = IntersectRects(mask.R, mask.Master.Bounds());
  if (mask.MaskType >= 1 && RectHeight(mask.R) > 0) {
    s.HasMaskHalf = true;
    s.MaskOffset = int32_t(RectHeight(mask.R) / 2);
    s.Limit.Bottom = std::min<int32_t>(s.Limit.Bottom, ClampToInt32(int64_t(mask.R.Top) + s.MaskOffset));
    s.Limit.Bottom = std::min<int32_t>(s.Limit.Bottom, mask.Master.Height() - s.MaskOffset);
    if (IsRectEmpty(s.Limit)) s.Limit = {};
  }
  return s;
}

TsMasterFrames TsMasterFrames::Of(const TsMaskImage& mask) {
  TsMasterFrames f;
  if (mask.HasOwnBitmap() || mask.Master.IsEmpty() || mask.ImageCount < 1 || IsRectEmpty(mask.R)) return f;
  f.ImageCount = std::min<int64_t>(mask.ImageCount, MaxCount);
  f.Rows = std::clamp<int64_t>(mask.MaskType, 0, MaxCount) + 1;
  f.Width = RectWidth(mask.R) / f.ImageCount;
  f.Height = RectHeight(mask.R) / f.Rows;
  f.Valid = f.Width > 0 && f.Height > 0;
  return f;
}
