#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/SectionBackground.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/TsCacheView.h"
#include "skin/engine/core/TsMaskImage.h"

// Section painting from a skin's tables into 24-bit bitmaps. Invalid indexes, empty
// rectangles and rectangles outside the bitmap paint nothing.

// A view of a skin image's rows (read by the painters, never written).
TsBitmap24View ViewOf(const TsPixmap& pixmap);
// The pixels of the skin's mask `maskIndex`; an empty image for an invalid index.
TsMaskImage MaskImageOf(const TsActiveSkin& skin, int32_t maskIndex);

// The skin's paint colours for one painting and the platform's colour resolution (system colours
// to RGB; without one the low three bytes are used).
struct TsSkinColors {
  TColor KeyFill = SkinKeyColor;
  TColor Background = SkinKeyColor;
  std::function<TColor(TColor)> ToRGB;

  TColor Resolve(TColor c) const { return ToRGB ? ToRGB(c) : (c & 0xFFFFFF); }
};

// The look of section skinIndex for a state (every state but Normal is hot), its image taken from the mask
// imageIndex (or, when that is not valid and jpegFallback is set, from the section's JPEG pattern).
TsSectionLook SectionLookOf(const TsActiveSkin& skin, int32_t skinIndex, TsSkinState state,
                            int32_t imageIndex, bool jpegFallback, const TsSkinColors& colors);

void PaintBackgroundByIndex(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex,
                            const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                            const TsSkinColors& colors);

// As PaintBackgroundByIndex with the image masks given by index and no JPEG patterns.
void PaintBackgroundWithIndexes(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex,
                                int32_t patternIndex, int32_t hotPatternIndex, TsPoint offset,
                                const TsRect& r, TsSkinState state, const TsCacheView& cache,
                                const TsSkinColors& colors);

// The painters take the section's images (PATTERN, HOTPATTERN, BORDERSMASK) from its record, as
// resolved when the tables were installed.

// Background then the section's "BORDERSMASK".
void PaintSectionByIndex(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex,
                         const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                         bool fillCentre, const TsSkinColors& colors);

// The same with a border only from a master-bitmap cut (tabs of the page control).
void PaintSectionByIndexMaster(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex,
                               const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                               bool fillCentre, const TsSkinColors& colors);

// Background from the given image masks plus the border mask maskIndex.
void PaintSectionWithMask(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex, int32_t maskIndex,
                          int32_t patternIndex, TsPoint offset, const TsRect& r, TsSkinState state,
                          bool fillCentre, const TsCacheView& cache, int32_t hotPatternIndex,
                          const TsSkinColors& colors);

// A control's section: its custom colour (when it has one) in place of the section's, then its
// border mask borderIndex.
void PaintControlSection(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex, int32_t borderIndex,
                         std::optional<TColor> customColor, const TsCacheView& cache, bool fillCentre,
                         TsPoint offset, const TsRect& r, TsSkinState state, const TsSkinColors& colors);
