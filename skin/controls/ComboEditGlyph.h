#pragma once

class TBitmap;

// Frame `frame` (0 normal, 1 hot, 2 pressed) of a combo-edit glyph (three frames of w x h side by
// side over their masks) centred in bmp, a button's image. While shaded, the glyph's pixels turn
// grey when asked and keep `blend` percent of what lay below them.
struct TComboGlyphPaint {
  TBitmap* Glyph = nullptr;
  int FrameWidth = 0, FrameHeight = 0;
  int Frame = 0;
  bool Shaded = false;
  bool Grayed = false;
  int Blend = 0;
};
void PaintComboGlyph(TBitmap* bmp, const TComboGlyphPaint& paint);
