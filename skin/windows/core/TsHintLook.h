#pragma once

#include <cstdint>
#include <string>

#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/SkinTypes.h"

enum class TsHintStyle { hsSimply, hsComics, hsEllipse, hsBalloon, hsStandard, hsNone };

enum class TsHintsPredefinitions {
  shSimply,
  shGradient,
  shTransparent,
  shEllipse,
  shBalloon,
  shComicsGradient,
  shComicsTransparent,
  shStandard,
  shNone,
  shCustom
};

// The system's info-background colour, resolved by the platform when painted.
constexpr TColor HintInfoBkColor = TColor(0x80000018u);

// Everything of a hint's look but its font and texture picture.
struct TsHintLook {
  TsHintStyle Style = TsHintStyle::hsEllipse;
  std::int32_t Radius = 20;
  std::int32_t BevelWidth = 1;
  std::int32_t Blur = 1;
  std::int32_t ExOffset = 32;
  std::int32_t MarginH = 15;
  std::int32_t MarginV = 10;
  std::int32_t MaxWidth = 200;
  TColor Color = 0;
  TColor ColorBorderTop = 0;
  TColor ColorBorderBottom = 0;
  std::int32_t Transparency = 0;  // percent of the screen showing through the body
  std::string GradientData;
  std::int32_t GradientPercent = 0;
  std::int32_t TexturePercent = 0;
  std::int32_t Bevel = 0;
  bool ShadowEnabled = false;
  TColor ShadowColor = 0;
  std::int32_t ShadowOffset = 0;
  std::int32_t ShadowBlur = 0;
  std::int32_t ShadowTransparency = 0;
  friend bool operator==(const TsHintLook&, const TsHintLook&) = default;
};

// Applies a predefined look. True when the look also asks for a plain black font; shStandard,
// shNone and shCustom change nothing but (for the first two) the style.
bool ApplyHintPredefinition(TsHintLook& look, TsHintsPredefinitions predefinition);

// The size of a hint around a text of textWidth x textHeight, and the extra width and height the
// ellipse and balloon add around it (their text is inset by half of each).
struct TsHintSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t ExtraWidth = 0;
  std::int32_t ExtraHeight = 0;
  friend bool operator==(const TsHintSize&, const TsHintSize&) = default;
};
TsHintSize CalcHintSize(const TsHintLook& look, std::int32_t textWidth, std::int32_t textHeight);

// Where a hint of width x height opens from origin: below and right of it, flipped above or left
// where it would leave the desktop. Flip states: below-right 0, above-right 1, below-left 2,
// above-left 3.
struct TsHintPlacement {
  TsRect Bounds{};
  std::int32_t Flip = 0;
};
TsHintPlacement PlaceHint(TsPoint origin, std::int32_t width, std::int32_t height, const TsRect& desktop);
// The hint's origin for a cursor position: 16 pixels below it for the plain rectangle.
TsPoint HintOrigin(TsHintStyle style, TsPoint cursor);

// The extent the shadow adds to the right and below the body.
std::int32_t HintShadowExtra(const TsHintLook& look);
// Percent of the picture a shadow keeps: the shadow's own transparency scaled by the body's.
std::int32_t HintShadowTransparency(const TsHintLook& look);
// Grey level (share of the screen kept, 0..255) of mask layer i of blur + 1 layers, 0 outermost.
std::uint8_t HintMaskLevel(std::int32_t transparency, std::int32_t blur, std::int32_t layer);
// The level the transparency alone gives, 0..255.
std::int32_t HintTransparencyLevel(std::int32_t transparency);
