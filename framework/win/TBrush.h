#pragma once

#include "framework/win/Graphics.h"
#include "framework/win/TGraphicsObject.h"

class TBitmap;

class TBrush : public TGraphicsObject {
public:
  void Assign(const TPersistent* source) override;

  HBRUSH Handle();

  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style);
  // A pattern bitmap (not owned) that replaces colour and style while set.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* bitmap);

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = TBrushStyle::Solid;
  TBitmap* FBitmap = nullptr;
};
