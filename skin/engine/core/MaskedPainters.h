#pragma once

#include <cstdint>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/SkinTypes.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/TsCacheView.h"
#include "skin/engine/core/TsMaskImage.h"

// Painting skin masks: state frames as glyphs, and border frames stretched in nine parts. Each
// channel of a mask pixel says how much of what lies below stays (0: the image, 255: the background).
// Frame numbers, rectangles and counts come from skin files: frames are clamped to the frames the mask
// has and every read and write is cut to its bitmap.

// The masked pixel rule: (s * 255 + (d - s) * m) >> 8. A shift, not a division by 255, so an opaque
// 255 comes out as 254.
inline uint8_t MaskedChannel(uint8_t s, uint8_t d, uint8_t m) {
  return uint8_t((int32_t(s) * 255 + (int32_t(d) - s) * m) >> 8);
}
// The exact variant used without a parent image: m = 0 gives s itself.
inline uint8_t MaskedChannelExact(uint8_t s, uint8_t d, uint8_t m) {
  return uint8_t((int32_t(s) * 256 + (int32_t(d) - s) * m) >> 8);
}

// Frame `state` of the mask with its top-left corner at p; every shade but Normal pales the glyph.
// Key pixels of a mask without a mask half take keyFill when it is set.
void PaintMaskedGlyph(TsBitmap24View bmp, TsPoint p, TsSkinState state, const TsMaskImage& mask,
                      TsGlyphShade shade, TColor keyFill = SkinKeyColor);

// Pixel core of PaintMaskedGlyph: srcR of the mask's bitmap through its mask half to dstR; source
// pixels of the key colour are skipped.
void CopyGlyphMasked(TsBitmap24View bmp, const TsInclusiveRect& dstR, const TsInclusiveRect& srcR,
                     const TsMaskImage& mask, TsGlyphShade shade, TColor key);

// One part of a mask with its own bitmap. With a valid cache, key pixels take the parent's pixel and
// the others the masked pixel rule; without one every pixel takes the exact rule.
void CopyRectByMask(TsBitmap24View bmp, const TsRect& dstR, const TsRect& srcR, const TsCacheView& cache,
                    TsBitmap24View maskBmp);

// One part of a mask cut from the master bitmap. Key pixels take keyFill when set, else the parent's
// pixel when the cache is valid, else stay.
void CopyMasterPartMasked(TsBitmap24View bmp, const TsRect& dstR, const TsRect& srcR, const TsMaskImage& mask,
                          const TsCacheView& cache, TColor keyFill = SkinKeyColor);

// Frame `state` of a border mask over r: corners unscaled, edges and centre tiled, the centre only
// when fillCentre. The corners see the caller's cache, the rest none.
void PaintNinePartImage(TsBitmap24View bmp, const TsRect& r, bool fillCentre, TsSkinState state,
                        const TsMaskImage& mask, const TsCacheView& cache, TColor keyFill = SkinKeyColor);

// The same for masks cut from the master bitmap only; a mask with its own bitmap paints nothing.
void PaintNinePartMasterImage(TsBitmap24View bmp, const TsRect& r, bool fillCentre, TsSkinState state,
                              const TsMaskImage& mask, const TsCacheView& cache,
                              TColor keyFill = SkinKeyColor);
