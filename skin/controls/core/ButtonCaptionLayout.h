#pragma once

#include <cstdint>

#include "skin/engine/core/PixelGeometry.h"

// Where a skinned push, bit or speed button puts its caption and its glyph. Both come from one
// layout, so the glyph always sits beside the caption it was measured with.

enum class TsGlyphPlace { Left, Right, Top, Bottom };
enum class TsCaptionAlign { Left, Right, Center };

struct TsButtonLayoutInput {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t ArrowWidth = 0;  // the drop-down part on the right, outside the layout
  int32_t Margin = -1;     // -1: glyph and caption centred together
  int32_t Spacing = 4;     // between glyph and caption
  int32_t GlyphWidth = 0;  // of one frame
  int32_t GlyphHeight = 0;
  int32_t TextWidth = 0;  // the caption as measured in CaptionMeasureWidth
  int32_t TextHeight = 0;
  bool HasCaption = false;
  TsGlyphPlace Place = TsGlyphPlace::Left;
  TsCaptionAlign Align = TsCaptionAlign::Center;
  int32_t TextOffset = 0;  // horizontal shift of the caption
  bool Pressed = false;    // both move one pixel right and down
};

// The width the caption is measured in (word breaks): never below 0.
int32_t CaptionMeasureWidth(const TsButtonLayoutInput& in);
// The rectangle the caption is drawn in (centred in it).
TsRect CaptionRect(const TsButtonLayoutInput& in);
// The rectangle of one glyph frame; empty when there is no glyph.
TsRect CalcGlyphRect(const TsButtonLayoutInput& in);
