#include "gif/core/TNetscapeColorLookup.h"

TGIFColorMap TNetscapeColorLookup::WebPalette() {
  TGIFColorMap map;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        map.Add({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)});
  return map;
}
