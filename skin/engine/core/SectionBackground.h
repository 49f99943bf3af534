#pragma once

#include <cstdint>
#include <span>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/TsCacheView.h"
#include "skin/engine/core/SkinTypes.h"
#include "skin/engine/core/TsMaskImage.h"

// An image tiled over a section's background: Source of Image (a whole bitmap, a master cut, or a
// decoded picture). Present false when the section names no image that could be found.
struct TsPatternTile {
  TsBitmap24View Image;
  TsRect Source;
  bool Present = false;
};

// The fields of a section record that its background is painted from, for one state. Colours are
// plain RGB values; the shares and the transparency are percents (clamped to 0..100).
struct TsSectionLook {
  TColor Color = 0xFFFFFF;
  int32_t Transparency = 0;
  int32_t GradientPercent = 0;
  std::span<const TsGradientStop> Gradient;
  int32_t ImagePercent = 0;
  TsPatternTile Pattern;
};

// Tiles srcR of src over r from r's top-left corner, the last column and row cut at r's edges.
void TileImage(TsBitmap24View bmp, const TsRect& r, TsBitmap24View src, const TsRect& srcR);

// The opaque background of r: image, gradient and colour by their shares.
void PaintOpaqueBackground(TsBitmap24View bmp, const TsRect& r, const TsSectionLook& look,
                           TColor backgroundColor);

// The background of r, mixed with the parent's pixels (cache, at its X, Y moved by offset) by the
// section's transparency.
void PaintSectionBackground(TsBitmap24View bmp, const TsRect& r, const TsSectionLook& look,
                            const TsCacheView& cache, TsPoint offset, TColor backgroundColor);

// Settings of one section painting beyond the look: the border mask and the skin's paint colours.
struct TsSectionPaint {
  const TsMaskImage* Border = nullptr;  // nullptr: no border mask
  TsSkinState State = TsSkinState::Normal;
  bool FillCentre = true;
  TColor KeyFillColor = SkinKeyColor;
  TColor BackgroundColor = SkinKeyColor;
};

// Background then border of a section over r. Nothing when r is empty or not inside the bitmap.
void PaintSectionPixels(TsBitmap24View bmp, const TsRect& r, const TsSectionLook& look, const TsSectionPaint& paint,
                        const TsCacheView& cache, TsPoint offset);
