#include "gif/core/TGIFColorReducer.h"

#include <memory>

#include "gif/core/GIFException.h"
#include "gif/core/TFloydSteinbergDitherer.h"

void TGIFColorReducer::Reduce(const uint8_t* bgr, size_t stride, int width, int height, TGIFDither dither,
                              uint8_t* out, size_t outStride) {
  if (width <= 0 || height <= 0 || stride < static_cast<size_t>(width) * 3 ||
      outStride < static_cast<size_t>(width))
    throw GIFException("Invalid image dimensions");
  std::unique_ptr<TDitherEngine> engine;
  if (dither == TGIFDither::FloydSteinberg)
    engine = std::make_unique<TFloydSteinbergDitherer>(width);
  else
    engine = std::make_unique<TDitherEngine>(width);
  for (int y = 0; y < height; ++y) engine->DitherRow(bgr + y * stride, out + y * outStride);
}
