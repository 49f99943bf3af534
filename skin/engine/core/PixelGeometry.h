#pragma once

#include <algorithm>
#include <cstdint>

#include "skin/engine/core/SkinTypes.h"

// Points and the two rectangle kinds of the painters. TsRect (SkinTypes.h) excludes its right and
// bottom edge like the platform's rectangles; TsInclusiveRect includes them. Skin formats and the
// platform mix the two, so they are distinct types: passing one where the other is meant does not
// compile. Sizes are 64-bit so that rectangles read from a skin file cannot overflow.

struct TsPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

inline int64_t RectWidth(const TsRect& r) { return int64_t(r.Right) - r.Left; }
inline int64_t RectHeight(const TsRect& r) { return int64_t(r.Bottom) - r.Top; }
inline bool IsRectEmpty(const TsRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// Right and bottom are the last column and row of the rectangle.
struct TsInclusiveRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = -1;
  int32_t Bottom = -1;

  int64_t Width() const { return int64_t(Right) - Left + 1; }
  int64_t Height() const { return int64_t(Bottom) - Top + 1; }
  bool IsEmpty() const { return Right < Left || Bottom < Top; }
  TsRect ToRect() const;
  bool operator==(const TsInclusiveRect&) const = default;
};

// Saturating conversion of a 64-bit coordinate back to the 32-bit range of the rectangles.
inline int32_t ClampToInt32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

inline TsInclusiveRect ToInclusive(const TsRect& r) {
  return {r.Left, r.Top, ClampToInt32(int64_t(r.Right) - 1), ClampToInt32(int64_t(r.Bottom) - 1)};
}

inline TsRect TsInclusiveRect::ToRect() const {
  return {Left, Top, ClampToInt32(int64_t(Right) + 1), ClampToInt32(int64_t(Bottom) + 1)};
}

// Rectangle from a position and a size, saturating.
inline TsRect RectOfSize(int64_t left, int64_t top, int64_t width, int64_t height) {
  return {ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + width), ClampToInt32(top + height)};
}

inline TsRect IntersectRects(const TsRect& a, const TsRect& b) {
  TsRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (IsRectEmpty(r)) return {r.Left, r.Top, r.Left, r.Top};
  return r;
}

inline TsRect OffsetRect(const TsRect& r, int64_t dx, int64_t dy) {
  return {ClampToInt32(r.Left + dx), ClampToInt32(r.Top + dy), ClampToInt32(r.Right + dx), ClampToInt32(r.Bottom + dy)};
}
