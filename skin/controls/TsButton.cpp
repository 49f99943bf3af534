#include "skin/controls/TsButton.h"

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/controls/ButtonFace.h"

TsButton::TsButton(TComponent* owner) : TsPushButton(TsControlKind::Button, owner) {}

void TsButton::PaintContent() {
  TCanvas* canvas = SkinData().CacheBitmap()->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  const std::string caption = Text();
  const TsSkinState state = SkinState();
  TsButtonLayoutInput layout;
  layout.Width = Width();
  layout.Height = Height();
  layout.Margin = 1;  // the caption breaks within the button's width less a pixel each side
  MeasureButtonCaption(canvas, caption, layout);
  layout.Margin = -1;
  layout.Pressed = state == TsSkinState::Pressed;
  const RECT r = ToRECT(CaptionRect(layout));
  DrawButtonCaption(canvas, caption, Enabled(), r, UseRightToLeftReading() ? DT_RTLREADING : 0u, &SkinData(),
                    state != TsSkinState::Normal);
  if (Enabled() && Focused() && !caption.empty()) DrawButtonFocus(canvas, r, FocusMargin(), SkinData());
}
