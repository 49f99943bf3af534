#include "skin/engine/core/Gradient.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "skin/engine/core/PixelColor.h"

namespace {

// n / d rounded to the nearest integer, halves to even; d > 0.
int64_t RoundDivHalfEven(int64_t n, int64_t d) {
  int64_t q = n / d;
  int64_t rem = n % d;
  if (rem < 0) {
    rem += d;
    --q;
  }
  if (2 * rem > d || (2 * rem == d && (q & 1))) ++q;
  return q;
}

// Colour at step j of count between two colours.
TsBgr Interpolate(TsBgr a, TsBgr b, int64_t j, int64_t count) {
  auto channel = [&](uint8_t from, uint8_t to) {
    return uint8_t(RoundDivHalfEven(int64_t(from) * count + (int64_t(to) - from) * j, count));
  };
  return {channel(a.B, b.B), channel(a.G, b.G), channel(a.R, b.R)};
}

// Walks the stops over [first, last] inclusive of extent `extent`; emit(index, colour) for each
// position a stop paints, in painting order.
template <typename Emit>
void WalkStops(std::span<const TsGradientStop> stops, int64_t first, int64_t last, int64_t extent, Emit emit) {
  int64_t pos = first;
  for (size_t i = 0; i < stops.size(); ++i) {
    const int64_t start = pos;
    const int64_t share = std::min<int64_t>(stops[i].Percent, 100);
    pos = i + 1 == stops.size() ? last : std::min(start + extent * share / 100, last);
    const int64_t count = pos - start;
    if (count <= 0) {
      pos = start;
      continue;
    }
    const TsBgr c1 = TsBgr::FromColor(stops[i].Color1);
    const TsBgr c2 = TsBgr::FromColor(stops[i].Color2);
    for (int64_t j = 0; j <= count; ++j) emit(start + j, Interpolate(c1, c2, j, count));
  }
}

}  // namespace

void FillGradient(TsBitmap24View bmp, const TsRect& r, std::span<const TsGradientStop> stops) {
  if (stops.empty() || bmp.IsEmpty()) return;
  const TsRect c = IntersectRects(r, bmp.Bounds());
  if (IsRectEmpty(c)) return;
  const int32_t width = c.Right - c.Left;
  if (stops[0].Mode == 0) {
    WalkStops(stops, c.Top, c.Bottom - 1, c.Bottom - c.Top, [&](int64_t y, TsBgr colour) {
      uint8_t* p = bmp.PixelAt(c.Left, int32_t(y));
      for (int32_t x = 0; x < width; ++x) colour.Store(p + 3 * x);
    });
  } else if (stops[0].Mode == 1) {
    // The stops paint one contiguous run of columns from the left; work it out once for every row.
    std::vector<uint8_t> row(size_t(width) * 3);
    int64_t painted = 0;
    WalkStops(stops, c.Left, c.Right - 1, width, [&](int64_t x, TsBgr colour) {
      colour.Store(row.data() + 3 * (x - c.Left));
      painted = std::max(painted, x - c.Left + 1);
    });
    for (int32_t y = c.Top; y < c.Bottom && painted > 0; ++y)
      std::memcpy(bmp.PixelAt(c.Left, y), row.data(), size_t(painted) * 3);
  }
}
