#include "skin/windows/core/TsHintLook.h"

#include <algorithm>
#include <cmath>

#include "skin/engine/core/SkinUtils.h"

namespace {

constexpr TColor White = 0xFFFFFF, Black = 0, Olive = 32896, Navy = 8388608;

struct TPredefined {
  TsHintStyle Style;
  std::int32_t BevelWidth, MarginH, MarginV, MaxWidth;
  std::int32_t ExOffset, Radius;  // -1: kept
  std::int32_t Blur;
  TColor Color;
  std::int32_t Transparency;
  TColor BorderTop, BorderBottom;
  const char* GradientData;
  std::int32_t ShadowBlur, ShadowOffset, ShadowTransparency;
};

constexpr TPredefined Looks[] = {
    // shSimply
    {TsHintStyle::hsSimply, 1, 4, 4, 240, -1, -1, 0, HintInfoBkColor, 0, White, Black, "", 4, 8, 50},
    // shGradient
    {TsHintStyle::hsSimply, 5, 8, 5, 240, -1, -1, 3, 11992314, 10, White, Olive,
     "167827;14680063;58;0;0;14680063;15400959;41;0;0;15400959;15400959;0;0;0", 15, 10, 0},
    // shTransparent
    {TsHintStyle::hsSimply, 0, 24, 20, 240, -1, -1, 15, 11992314, 15, White, Olive, "", 30, 15, 70},
    // shEllipse
    {TsHintStyle::hsEllipse, 1, 6, 12, 200, 26, -1, 0, 12778748, 5, Olive, Black,
     "7728127;16777215;99;0;0;16777215;16777215;0;0;0", 4, 16, 74},
    // shBalloon
    {TsHintStyle::hsBalloon, 1, 11, 13, 240, 25, -1, 0, 12778748, 7, Black, Black, "", 2, 9, 50},
    // shComicsGradient
    {TsHintStyle::hsComics, 1, 18, 12, 180, 24, 25, 0, 12778748, 0, White, Navy,
     "16753188;16777215;99;0;0;16777215;16777215;0;0;0", 10, 7, 28},
    // shComicsTransparent
    {TsHintStyle::hsComics, 1, 18, 12, 180, 24, 20, 0, 12778748, 10, Black, Black, "", 4, 10, 70},
};

std::int64_t RoundDiv(double v) { return std::int64_t(std::nearbyint(v)); }

}  // namespace

bool ApplyHintPredefinition(TsHintLook& look, TsHintsPredefinitions predefinition) {
  switch (predefinition) {
    case TsHintsPredefinitions::shStandard:
      look.Style = TsHintStyle::hsStandard;
      return false;
    case TsHintsPredefinitions::shNone:
      look.Style = TsHintStyle::hsNone;
      return false;
    case TsHintsPredefinitions::shCustom:
      return false;
    default:
      break;
  }
  const TPredefined& p = Looks[static_cast<int>(predefinition)];
  look.Style = p.Style;
  look.BevelWidth = p.BevelWidth;
  look.MarginH = p.MarginH;
  look.MarginV = p.MarginV;
  look.MaxWidth = p.MaxWidth;
  if (p.ExOffset >= 0) look.ExOffset = p.ExOffset;
  if (p.Radius >= 0) look.Radius = p.Radius;
  look.Blur = p.Blur;
  look.Color = p.Color;
  look.Transparency = p.Transparency;
  look.ColorBorderTop = p.BorderTop;
  look.ColorBorderBottom = p.BorderBottom;
  look.GradientData = p.GradientData;
  look.ShadowBlur = p.ShadowBlur;
  look.ShadowOffset = p.ShadowOffset;
  look.ShadowTransparency = p.ShadowTransparency;
  look.ShadowEnabled = true;
  look.ShadowColor = Black;
  look.Bevel = 1;
  look.GradientPercent = 100;
  return true;
}

std::int32_t HintShadowExtra(const TsHintLook& look) {
  return look.ShadowEnabled ? std::max(look.ShadowOffset, 0) : 0;
}

TsHintSize CalcHintSize(const TsHintLook& look, std::int32_t textWidth, std::int32_t textHeight) {
  const bool round = look.Style == TsHintStyle::hsEllipse || look.Style == TsHintStyle::hsBalloon;
  std::int64_t w = std::max(textWidth, 0);
  std::int64_t h = std::max(textHeight, 0);
  if (round && w < 50) w = 50;
  const std::int64_t shadow = HintShadowExtra(look);
  w += shadow + 2 * (std::int64_t(look.MarginH) + look.BevelWidth);
  h += shadow + 2 * (std::int64_t(look.MarginV) + look.BevelWidth);
  if (look.Style == TsHintStyle::hsComics || round) h += look.ExOffset;
  w = std::clamp<std::int64_t>(w, 0, INT32_MAX / 4);
  h = std::clamp<std::int64_t>(h, 0, INT32_MAX / 4);
  TsHintSize size;
  // The ellipse through the text rectangle's corners: d is how far its diagonal reaches beyond w.
  // A hint with no extent in one direction (no text and no margins) gets no extra.
  if (round && w > 0 && h > 0) {
    const double d = std::sqrt(double(w) * double(w) + double(h) * double(h)) - double(w);
    size.ExtraWidth = ClampToInt32(RoundDiv(double(w) * d / double(h)));
    size.ExtraHeight = ClampToInt32(RoundDiv(double(h) * d / double(w)));
  }
  size.Width = ClampToInt32(w + size.ExtraWidth);
  size.Height = ClampToInt32(h + size.ExtraHeight);
  return size;
}

TsHintPlacement PlaceHint(TsPoint origin, std::int32_t width, std::int32_t height, const TsRect& desktop) {
  const std::int64_t w = std::max(width, 0), h = std::max(height, 0);
  std::int64_t left = origin.X, top = origin.Y;
  bool above = false, leftward = false;
  // Edges are the desktop's origin plus its extent: the virtual screen need not start at 0.
  if (top + h > desktop.Bottom) {
    top = std::int64_t(origin.Y) - h;
    above = true;
    if (top < desktop.Top) {
      top = origin.Y;
      above = false;
    }
  }
  if (left + w > desktop.Right) {
    left = std::int64_t(origin.X) - w;
    leftward = true;
    if (left < desktop.Left) {
      left = origin.X;
      leftward = false;
    }
  }
  return {RectOfSize(left, top, w, h), (leftward ? 2 : 0) + (above ? 1 : 0)};
}

TsPoint HintOrigin(TsHintStyle style, TsPoint cursor) {
  if (style == TsHintStyle::hsSimply) return {cursor.X, ClampToInt32(std::int64_t(cursor.Y) + 16)};
  return cursor;
}

std::int32_t HintShadowTransparency(const TsHintLook& look) {
  const std::int32_t v = look.Transparency > 0 ? look.Transparency : 0;
  return std::clamp(ScaleByPercent(std::min(v, 100), std::clamp(look.ShadowTransparency, 0, 100)), 0, 100);
}

std::int32_t HintTransparencyLevel(std::int32_t transparency) {
  return transparency < 1 ? 0 : std::min(transparency, 100) * 255 / 100;
}

std::uint8_t HintMaskLevel(std::int32_t transparency, std::int32_t blur, std::int32_t layer) {
  const std::int64_t t0 = HintTransparencyLevel(transparency);
  const std::int64_t b = std::max(blur, 0);
  const std::int64_t i = std::clamp<std::int64_t>(layer, 0, b);
  // Round((b - i) * (255 - t0) / (b + 1)), halves to even, in integers.
  const std::int64_t num = (b - i) * (255 - t0), den = b + 1;
  std::int64_t q = num / den;
  const std::int64_t rem2 = 2 * (num % den);
  if (rem2 > den || (rem2 == den && (q & 1) != 0)) ++q;
  return std::uint8_t(std::min<std::int64_t>(t0 + q, 255));
}
