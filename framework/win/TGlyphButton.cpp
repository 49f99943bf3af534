#include "framework/win/TGlyphButton.h"

#include "framework/win/TControl.h"

void TGlyphButton::Changed() {
  FButton->Invalidate();
}

void TGlyphButton::SetGlyph(const TBitmap* bitmap) {
  FGlyph.SetGlyph(bitmap);
  Changed();
}

void TGlyphButton::SetNumGlyphs(int value) {
  if (value == FGlyph.NumGlyphs()) return;
  FGlyph.SetNumGlyphs(value);
  Changed();
}

void TGlyphButton::SetLayout(TButtonLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Changed();
}

void TGlyphButton::SetMargin(int value) {
  if (value == FMargin || value < -1) return;
  FMargin = value;
  Changed();
}

void TGlyphButton::SetSpacing(int value) {
  if (value == FSpacing || value < -1) return;
  FSpacing = value;
  Changed();
}

RECT TGlyphButton::DrawGlyphAndCaption(TCanvas* canvas, const RECT& client, POINT offset,
                                       const std::string& caption, TButtonState state) {
  return FGlyph.Draw(canvas, client, offset, caption, FLayout, FMargin, FSpacing, state);
}
