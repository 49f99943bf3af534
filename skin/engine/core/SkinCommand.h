#pragma once

#include <cstdint>

#include "skin/engine/core/SkinTypes.h"

// Commands carried by the registered skin message in the high word of WParam.
namespace SkinCommand {
constexpr std::uint32_t NewSkin = 1;
constexpr std::uint32_t RemoveSkin = 2;
constexpr std::uint32_t Refresh = 3;
constexpr std::uint32_t GetProvider = 4;
constexpr std::uint32_t GetCache = 5;
constexpr std::uint32_t Repaint = 6;
constexpr std::uint32_t IsSkinned = 7;
constexpr std::uint32_t SetBgChanged = 8;
constexpr std::uint32_t SetUpdating = 9;
constexpr std::uint32_t GetBgChanged = 10;
constexpr std::uint32_t GetChildrenDirty = 11;
constexpr std::uint32_t SetRepaintIfTransparent = 12;
constexpr std::uint32_t SectionChanged = 13;
constexpr std::uint32_t SetActiveChild = 15;
constexpr std::uint32_t StopFading = 16;
constexpr std::uint32_t SetRepaintNeeded = 17;
constexpr std::uint32_t Repainted = 18;
constexpr std::uint32_t HasPaintedBackground = 19;
constexpr std::uint32_t RedrawTransparent = 20;
constexpr std::uint32_t GetBgColor = 21;
constexpr std::uint32_t Last = 21;
}  // namespace SkinCommand

// The message number used when the platform refuses to register the skin message.
constexpr std::uint32_t SkinMessageFallback = 0xA100;

// A registered number below $C000 (0 on failure) is replaced by the fallback.
constexpr std::uint32_t ChooseSkinMessageNumber(std::uint32_t registered) {
  return registered < 0xC000 ? SkinMessageFallback : registered;
}

constexpr std::uintptr_t MakeSkinWParam(std::uint32_t command, std::uint32_t parameter = 0) {
  return static_cast<std::uintptr_t>(parameter & 0xFFFF) +
         static_cast<std::uintptr_t>(command & 0xFFFF) * 65536u;
}
constexpr std::uint32_t SkinCommandOf(std::uintptr_t wParam) {
  return static_cast<std::uint32_t>((wParam >> 16) & 0xFFFF);
}
constexpr bool SkinParameterOf(std::uintptr_t wParam) {
  return (wParam & 0xFFFF) == 1;
}

// What lies below a control for command 21: its parent's skin answer; for an unskinned parent
// (answer still the key colour) the parent's own colour; without a parent the control's own.
// Colours passed here have their system colours resolved.
TColor SkinColorBelow(bool hasParent, TColor parentAnswer, TColor parentColor, TColor ownColor);

// The background colour a control with section colour c and transparency t (0..100) shows over
// the colour below it: per channel ((below - c) * (t * 255 div 100) + c * 255) >> 8; the top byte
// comes from below.
TColor MixSkinBackground(std::int32_t t, TColor c, TColor below);
