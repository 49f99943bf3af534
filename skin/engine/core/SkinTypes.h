#pragma once

#include <cstdint>

#include "framework/base/TRect.h"

// Colour value as skins store it: $00BBGGRR, or a system colour with the top byte set.
using TColor = std::int32_t;

// Key colour of skin images; a colour variable holding it means "no colour".
constexpr TColor SkinKeyColor = 0xFF00FF;

enum class TsControlBevel : std::uint8_t { cbNone, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard };

enum class TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

using TsRect = TRect;

inline std::int32_t WidthOf(const TsRect& r) {
  return r.Right - r.Left;
}
inline std::int32_t HeightOf(const TsRect& r) {
  return r.Bottom - r.Top;
}

// One stop of a section gradient, parsed from its text (see GradientText.h).
struct TsGradientStop {
  TColor Color1 = 0;
  TColor Color2 = 0;
  std::uint8_t Percent = 0;
  std::int32_t Mode = 0;
  friend bool operator==(const TsGradientStop&, const TsGradientStop&) = default;
};
