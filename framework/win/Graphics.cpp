#include "framework/win/Graphics.h"

COLORREF ColorToRGB(TColor color) {
  if (color == clNone) return RGB(0, 0, 0);
  if (color == clDefault) return GetSysColor(COLOR_WINDOW);
  if (color < 0) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}
