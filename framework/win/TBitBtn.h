#pragma once

#include "framework/win/TButton.h"
#include "framework/win/TButtonGlyph.h"
#include "framework/win/TCanvas.h"

// A push button that draws a glyph beside its caption. Kind gives the usual caption, modal result
// and default or cancel role of a dialog button.
class TBitBtn : public TButton {
public:
  explicit TBitBtn(TComponent* owner);

  TBitmap* Glyph() { return FGlyph.Glyph(); }
  void SetGlyph(const TBitmap* bitmap);
  int NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(int value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind value);

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  void DrawItem(const DRAWITEMSTRUCT& item);

  TButtonGlyph FGlyph;
  TCanvas FCanvas;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  TBitBtnKind FKind = bkCustom;
};
