#pragma once

#include <windows.h>

#include <string>

#include "framework/win/StdControlTypes.h"
#include "framework/win/TButtonGlyph.h"

class TCanvas;
class TControl;

// The glyph, layout, margin and spacing that a bit button and a speed button share, with their
// setters: a change repaints the button.
class TGlyphButton {
public:
  TGlyphButton(const TGlyphButton&) = delete;
  TGlyphButton& operator=(const TGlyphButton&) = delete;

  TBitmap* Glyph() { return FGlyph.Glyph(); }
  void SetGlyph(const TBitmap* bitmap);
  int NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(int value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  // -1 centres glyph and caption.
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);

protected:
  // button: the control this is part of, repainted on a change.
  explicit TGlyphButton(TControl* button) : FButton(button) {}
  ~TGlyphButton() = default;

  // Glyph and caption into client in the given look; returns the caption's rectangle.
  RECT DrawGlyphAndCaption(TCanvas* canvas, const RECT& client, POINT offset, const std::string& caption,
                           TButtonState state);

private:
  void Changed();

  TControl* FButton;
  TButtonGlyph FGlyph;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
};
