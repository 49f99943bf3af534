#pragma once

#include <cstdint>

#include "skin/engine/core/PixelGeometry.h"

// Where a combo edit's pop-up goes and how its button's glyph is cut and blended, apart from any
// window.
namespace ComboEditLayout {

enum class TPopupAlign : std::uint8_t { RightEdges = 0, LeftEdges = 1 };

struct TPopupPlace {
  TsRect Edit;        // the edit in screen coordinates
  int PopupWidth = 0;
  int PopupHeight = 0;
  TsRect Screen;      // the screen (its left edge and its width and height)
  TPopupAlign Align = TPopupAlign::RightEdges;
};
// Below the edit, or above it when the pop-up would pass the screen's bottom; right edges aligned
// (back to the edit's left edge when that passes the screen's left edge) or left edges aligned (back
// to right edges when that passes the screen's right edge); kept on the screen.
TsPoint PopupPosition(const TPopupPlace& place);

// The glyph frame a button shows: 2 (pressed), 1 (mouse over), 0.
int GlyphFrame(bool pressed, bool mouseOver);
// Frame `frame` of a glyph of frame width w and height h, centred in a button of the given size:
// its source rectangle in the glyph bitmap and its place in the button.
struct TGlyphCut {
  TsRect Source;
  TsPoint At;
};
TGlyphCut CutGlyphFrame(int frame, int w, int h, int buttonWidth, int buttonHeight);

// The blend level of a glyph blended Blend percent (0..100) into its background: Blend x 2.56
// rounded, at most 255 so that 100 stays in a byte.
int BlendLevel(int blend);

}  // namespace ComboEditLayout
