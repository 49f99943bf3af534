#pragma once

#include <cstdint>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24.h"
#include "skin/engine/core/TsBitmap24View.h"

// How a disabled button's glyph looks: half blended over the button, greyed, or both.
struct TsDisabledGlyphKind {
  bool Blended = true;
  bool Grayed = false;

  bool IsEmpty() const { return !Blended && !Grayed; }
};

// The state a button draws its glyph in. Blend is the percent of the background kept under the glyph
// (0 = opaque), clamped to 0..100.
struct TsGlyphLook {
  bool Enabled = true;
  bool Grayed = false;  // grey while not hot
  bool Hot = false;
  TsDisabledGlyphKind DisabledKind;
  int32_t Blend = 0;
};

// Draws a button glyph of one or two frames (frame 0 normal, frame 1 disabled) at `at` of dst; the
// glyph's key colour is its bottom-left pixel. Other frame counts draw nothing. Greying keeps the key
// colour, so a greyed glyph never shows a grey box.
void DrawButtonGlyph(TsBitmap24View glyph, TsBitmap24View dst, TsPoint at, int32_t numGlyphs,
                     const TsGlyphLook& look, TColor keyFill = SkinKeyColor);

// The two-frame glyph an unskinned button gets from one image (its background already the key
// colour): frame 1 is frame 0 altered by kind over the button face colour, or a copy when kind is empty.
TsBitmap24 BuildTwoFrameGlyph(TsBitmap24View image, TsDisabledGlyphKind kind, TColor buttonFace);

// The colour of a bitmap's bottom-left pixel, the key of button glyphs.
TColor BottomLeftColor(TsBitmap24View bmp);
