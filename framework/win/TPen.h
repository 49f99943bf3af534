#pragma once

#include "framework/win/Graphics.h"
#include "framework/win/TGraphicsObject.h"

class TPen : public TGraphicsObject {
public:
  void Assign(const TPersistent* source) override;

  HPEN Handle();

  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style);
  // The raster operation lines are drawn with (R2_*), applied by the canvas.
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode mode);

private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = TPenStyle::Solid;
  TPenMode FMode = TPenMode::Copy;
};
