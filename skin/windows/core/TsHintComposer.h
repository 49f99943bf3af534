#pragma once

#include <cstdint>

#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/windows/core/TsHintLook.h"
#include "skin/windows/core/TsHintShape.h"

// Composes a hint's picture in 24-bit bitmaps of the window's size: the screen under the hint, the
// shadow, the body (background, then the caller's text, then the border) and the mask that lays the
// body over the screen. Pixels outside the shape and its shadow keep the screen's value exactly.
//
//   work := screen; PaintShadow(work); body := work; PaintBackground(body, screen);
//   (text into body); PaintBorder(body, mask); LayThroughMask(work, body, mask)
class TsHintComposer {
public:
  // color is the body colour with system colours resolved.
  TsHintComposer(const TsHintLook& look, const TsHintShape& shape, TColor color);

  // The shadow: the outline moved by the shadow offset, darkened toward the shadow colour. The plain
  // rectangle fades over ShadowBlur pixels at its edges; the other shapes through a layered mask.
  void PaintShadow(TsBitmap24View work) const;
  // The background over the shape's area: colour, texture and gradient shares, blended over the
  // screen at Transparency. texture may be empty.
  void PaintBackground(TsBitmap24View body, TsBitmap24View screen, TsBitmap24View texture) const;
  // The shape mask (white = screen only).
  void PaintMask(TsBitmap24View mask) const;
  // The border: a 3-D frame BevelWidth wide for the plain rectangle; for the other shapes the mask's
  // edge, upper-left pixels in the top colour and lower-right ones in the bottom colour.
  void PaintBorder(TsBitmap24View body, TsBitmap24View mask) const;
  // work := body where the mask is black, work where it is white, mixed between.
  static void LayThroughMask(TsBitmap24View work, TsBitmap24View body, TsBitmap24View mask);

  // Where the text goes: the body inset by border and margins, and by half the shape's extras.
  TsRect TextRect(std::int32_t extraWidth, std::int32_t extraHeight) const;

private:
  const TsHintLook& FLook;
  const TsHintShape& FShape;
  TColor FColor;
};

// Marks the edge pixels of a mask: inside pixels (grey below 255) with an outside pixel to the left
// or above take top; other inside pixels with one to the right or below take bottom. Pixels beyond
// the bitmap count as outside.
void PaintMaskEdge(TsBitmap24View bmp, TsBitmap24View mask, TColor top, TColor bottom);
