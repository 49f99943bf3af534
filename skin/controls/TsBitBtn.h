#pragma once

#include "framework/win/TBitBtn.h"
#include "skin/controls/ButtonFace.h"
#include "skin/controls/TsPushButton.h"

// The bit button painted from its skin section ("BUTTON"): the push button's looks and window
// region, with the glyph beside the caption (its own Glyph, or an image of Images).
class TsBitBtn : public TsPushButton<TBitBtn> {
public:
  explicit TsBitBtn(TComponent* owner);

  const TsButtonLook& Look() const { return FLook; }
  // Blend is kept within 0..100.
  void SetLook(const TsButtonLook& look);
  // A dotted focus frame around the caption while focused (when the section shows focus).
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value);
  // After each skinned painting, with the cache (disabled look included).
  const TsBmpPaintEvent& OnPaint() const { return FOnPaint; }
  void SetOnPaint(const TsBmpPaintEvent& e) { FOnPaint = e; }

protected:
  void PaintSkin() override;
  void PaintContent() override;
  bool DrawOverBorder() const override { return FLook.DrawOverBorder; }
  void Notification(TComponent* component, TOperation operation) override;

private:
  TsButtonLook FLook;
  bool FShowFocus = false;
  TsBmpPaintEvent FOnPaint;
};
