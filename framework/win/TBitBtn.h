#pragma once

#include "framework/win/TButton.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TGlyphButton.h"

// A push button that draws a glyph beside its caption. Kind gives the usual caption, modal result
// and default or cancel role of a dialog button.
class TBitBtn : public TButton, public TGlyphButton {
public:
  explicit TBitBtn(TComponent* owner);

  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind value);

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  void DrawItem(const DRAWITEMSTRUCT& item);

  TCanvas FCanvas;
  TBitBtnKind FKind = bkCustom;
};
