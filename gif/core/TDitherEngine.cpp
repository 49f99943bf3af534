#include "gif/core/TDitherEngine.h"

#include "gif/core/GIFException.h"
#include "gif/core/TNetscapeColorLookup.h"

TDitherEngine::TDitherEngine(int width) : FWidth(width) {
  if (width <= 0) throw GIFException("Invalid image dimensions");
}

void TDitherEngine::DitherRow(const uint8_t* bgr, uint8_t* indices) {
  MapRow(bgr, indices);
  FDirection = -FDirection;
}

void TDitherEngine::MapRow(const uint8_t* bgr, uint8_t* indices) {
  TGIFColor used;
  for (int x = 0; x < FWidth; ++x, bgr += 3)
    indices[x] = TNetscapeColorLookup::Lookup(bgr[2], bgr[1], bgr[0], used);
}
