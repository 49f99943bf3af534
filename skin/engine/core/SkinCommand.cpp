#include "skin/engine/core/SkinCommand.h"

TColor SkinColorBelow(bool hasParent, TColor parentAnswer, TColor parentColor, TColor ownColor) {
  if (!hasParent) return ownColor;
  // The key colour is "nobody answered", never a colour to mix.
  return parentAnswer == SkinKeyColor ? parentColor : parentAnswer;
}

TColor MixSkinBackground(std::int32_t t, TColor c, TColor below) {
  if (t <= 0) return c;
  if (t >= 100) return below;
  const auto p = static_cast<std::uint32_t>(below);
  const auto col = static_cast<std::uint32_t>(c);
  const auto w = static_cast<std::int32_t>(static_cast<std::uint32_t>(t) * 255 / 100);
  std::uint32_t result = p & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const auto pc = static_cast<std::int32_t>((p >> shift) & 0xFF);
    const auto cc = static_cast<std::int32_t>((col >> shift) & 0xFF);
    const std::int32_t mixed = ((pc - cc) * w + cc * 255) >> 8;
    result |= static_cast<std::uint32_t>(mixed & 0xFF) << shift;
  }
  return static_cast<TColor>(result);
}
