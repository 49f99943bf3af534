#pragma once

#include <cstdint>
#include <vector>

#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/windows/core/TsHintLook.h"

// The outline of a hint window's shape as a union of filled figures, and its layers: layer i is the
// outline drawn i pixels inside. Filling works on pixel centres, so a layer covers exactly the pixels
// whose centres lie inside its figures.
class TsHintShape {
public:
  // The shape of a hint window of width x height with the given flip state. The ellipse and balloon
  // fill the body rectangle; the tails point at the flip corner.
  TsHintShape(const TsHintLook& look, std::int32_t width, std::int32_t height, std::int32_t flip);

  // Client rectangle less the shadow extra, less ExOffset on the tail's side for the bubble shapes.
  const TsRect& Body() const { return FBody; }
  // The area the shape and its tail may cover: the client rectangle less the shadow extra.
  const TsRect& Bounds() const { return FBounds; }
  // The tail's apex, the flip corner 3 pixels in from the shape's corner.
  TsPoint Corner() const { return FCorner; }

  // Fills layer `inset` moved by offset with grey in all three channels.
  void FillLayer(TsBitmap24View bmp, std::int32_t inset, std::uint8_t grey, TsPoint offset = {}) const;
  // A white mask with layers 0..blur at the levels of HintMaskLevel: each pixel's grey is the share of
  // the screen kept there.
  void PaintMask(TsBitmap24View mask, std::int32_t transparency, std::int32_t blur, TsPoint offset = {}) const;

private:
  enum class TKind { RoundRect, Ellipse, Triangle };
  struct TFigure {
    TKind Kind;
    double L, T, R, B;  // bounds (round rect, ellipse)
    double Radius;
    double X[3], Y[3];  // triangle
  };
  struct TSpan {
    double X0, X1;
  };
  static bool SpanAt(const TFigure& f, double inset, double y, TSpan& span);

  TsRect FBody{};
  TsRect FBounds{};
  TsPoint FCorner{};
  std::vector<TFigure> FFigures;
  // Which figures narrow with the layer (all but the balloon's bubbles, which keep their size).
  std::vector<bool> FInsets;
};
