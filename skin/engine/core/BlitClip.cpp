#include "skin/engine/core/BlitClip.h"

#include <algorithm>

TsBlitArea ClipBlit(const TsRect& dstLimit, const TsRect& srcLimit, int64_t dx, int64_t dy, int64_t sx,
                    int64_t sy, int64_t width, int64_t height) {
  const int64_t cutLeft = std::max<int64_t>({0, dstLimit.Left - dx, srcLimit.Left - sx});
  const int64_t cutTop = std::max<int64_t>({0, dstLimit.Top - dy, srcLimit.Top - sy});
  dx += cutLeft;
  sx += cutLeft;
  width -= cutLeft;
  dy += cutTop;
  sy += cutTop;
  height -= cutTop;
  width = std::min<int64_t>({width, dstLimit.Right - dx, srcLimit.Right - sx});
  height = std::min<int64_t>({height, dstLimit.Bottom - dy, srcLimit.Bottom - sy});
  if (width <= 0 || height <= 0) return {};
  // Both limits are 32-bit rectangles, so every remaining coordinate fits.
  return {int32_t(dx), int32_t(dy), int32_t(sx), int32_t(sy), int32_t(width), int32_t(height)};
}
