#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "framework/win/StdControlTypes.h"
#include "framework/win/TBitmap.h"

class TCanvas;

// The glyph and caption of a bit button or speed button: a bitmap of NumGlyphs frames side by
// side (up, disabled, down, held down), drawn transparent on the colour of its bottom-left pixel,
// and the caption placed beside it by layout, margin and spacing.
class TButtonGlyph {
public:
  TButtonGlyph();
  ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  // Read it here; change it through SetGlyph.
  TBitmap* Glyph() { return FGlyph.get(); }
  // Copies bitmap; a new glyph whose width is a multiple of its height takes that many frames.
  void SetGlyph(const TBitmap* bitmap);
  int NumGlyphs() const { return FNumGlyphs; }
  // 1 to 4; other values are ignored.
  void SetNumGlyphs(int value);

  // Where the glyph and the caption go inside client for the given look.
  void CalcLayout(TCanvas* canvas, const RECT& client, const std::string& caption, TButtonLayout layout,
                  int margin, int spacing, POINT& glyphPos, RECT& textRect);
  // Draws both into client; returns the caption's rectangle.
  RECT Draw(TCanvas* canvas, const RECT& client, POINT offset, const std::string& caption,
            TButtonLayout layout, int margin, int spacing, TButtonState state);
  SIZE FrameSize() const;

private:
  void FreeImages();

  std::unique_ptr<TBitmap> FGlyph;
  // The frames as masked images, made on first drawing.
  HIMAGELIST FImages = nullptr;
  int FNumGlyphs = 1;
};
