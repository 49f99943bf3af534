#include "skin/controls/TsBitBtn.h"

#include <algorithm>

#include "framework/win/TBitmap.h"
#include "framework/win/TImageList.h"

TsBitBtn::TsBitBtn(TComponent* owner) : TsPushButton(TsControlKind::BitBtn, owner) {}

void TsBitBtn::SetLook(const TsButtonLook& look) {
  ChangeButtonLook(this, FLook, look);
  SkinData().RequestRepaint();
}

void TsBitBtn::SetShowFocus(bool value) {
  if (value == FShowFocus) return;
  FShowFocus = value;
  SkinData().RequestRepaint();
}

void TsBitBtn::Notification(TComponent* component, TOperation operation) {
  TsPushButton::Notification(component, operation);
  if (operation == TOperation::Remove && component == FLook.Images) FLook.Images = nullptr;
}

void TsBitBtn::PaintSkin() {
  TsPushButton::PaintSkin();
  if (FOnPaint) FOnPaint(this, SkinData().CacheBitmap());
}

void TsBitBtn::PaintContent() {
  const TsSkinState state = SkinState();
  TsButtonLayoutInput in;
  in.Width = Width();
  in.Height = Height();
  in.Margin = Margin();
  in.Spacing = Spacing();
  in.Place = GlyphPlaceOf(Layout());
  in.Pressed = state == TsSkinState::Pressed;
  TsButtonGlyphSource glyph;
  glyph.Glyph = Glyph();
  glyph.NumGlyphs = NumGlyphs();
  glyph.Images = FLook.Images;
  glyph.ImageIndex = FLook.ImageIndex;
  glyph.Look.Hot = SkinData().IsHot();
  const RECT text =
      PaintButtonFace(this, &SkinData(), in, FLook, glyph, state != TsSkinState::Normal || Down());
  if (FShowFocus && FLook.ShowCaption && Enabled() && Focused() && !Caption().empty())
    DrawButtonFocus(SkinData().CacheBitmap()->Canvas(), text, FocusMargin(), SkinData());
}
