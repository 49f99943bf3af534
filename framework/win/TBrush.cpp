#include "framework/win/TBrush.h"

#include "framework/win/TBitmap.h"

void TBrush::Assign(const TPersistent* source) {
  if (auto* brush = dynamic_cast<const TBrush*>(source)) {
    if (brush == this) return;
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    FBitmap = brush->FBitmap;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

HBRUSH TBrush::Handle() {
  if (CachedHandle() == nullptr) {
    HBRUSH brush;
    if (FBitmap != nullptr && !FBitmap->Empty()) {
      brush = CreatePatternBrush(FBitmap->Handle());
    } else if (FStyle == TBrushStyle::Clear) {
      brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    } else if (FStyle == TBrushStyle::Solid) {
      brush = CreateSolidBrush(ColorToRGB(FColor));
    } else {
      static constexpr int kHatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS,
                                         HS_DIAGCROSS};
      brush = CreateHatchBrush(kHatches[static_cast<int>(FStyle)], ColorToRGB(FColor));
    }
    SetCachedHandle(brush);
  }
  return static_cast<HBRUSH>(CachedHandle());
}

void TBrush::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  if (FStyle == TBrushStyle::Clear) FStyle = TBrushStyle::Solid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  if (bitmap == FBitmap) return;
  FBitmap = bitmap;
  Changed();
}
