#pragma once

#include <windows.h>

#include "framework/base/TRect.h"

// Conversions between the portable rectangle of the core libraries and the platform's RECT.
inline RECT ToRECT(const TRect& r) {
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}
inline TRect ToTRect(const RECT& r) {
  return TRect{r.left, r.top, r.right, r.bottom};
}
