#pragma once

#include <cstdint>

#include "skin/engine/core/SkinTypes.h"

// Commands carried by the registered skin message in the high word of WParam. The numbers are the
// wire format: every window of the process that answers the message reads them.
enum class SkinCommand : std::uint32_t {
  NewSkin = 1,                   // a skin was loaded (LParam: the manager)
  RemoveSkin = 2,                // the skin was released (LParam: the manager)
  Refresh = 3,                   // repaint after the new skin's indexes are resolved
  GetProvider = 4,               // the form's skin provider answers with itself in Result
  GetCache = 5,                  // the cache answers through the reply storage of SkinCommands
  Repaint = 6,                   // repaint now
  IsSkinned = 7,                 // a skinned control answers LParam 1
  SetBgChanged = 8,              // background dirty := parameter
  SetUpdating = 9,               // updating := parameter
  GetBgChanged = 10,             // Result 1 when the background changed
  GetChildrenDirty = 11,         // LParam 1 when the children must repaint
  SetRepaintIfTransparent = 12,  // a transparent section repaints when the parameter is 1
  SectionChanged = 13,           // the skin data's changed section is this control's: repaint
  SetActiveChild = 15,           // LParam: the child painting now, or none
  StopFading = 16,               // the fade or animation ended
  SetRepaintNeeded = 17,         // repaint needed := parameter
  Repainted = 18,                // the control's cache was repainted
  HasPaintedBackground = 19,     // LParam 1 when the control paints a background of its own
  RedrawTransparent = 20,        // the parent moved: transparent parts repaint
  GetBgColor = 21,               // the background colour answers through the reply storage
};

// The message number used when the platform refuses to register the skin message.
constexpr std::uint32_t SkinMessageFallback = 0xA100;

// A registered number below $C000 (0 on failure) is replaced by the fallback.
constexpr std::uint32_t ChooseSkinMessageNumber(std::uint32_t registered) {
  return registered < 0xC000 ? SkinMessageFallback : registered;
}

// WParam: the command in the high word, the parameter (0 or 1) in the low word.
constexpr std::uintptr_t MakeSkinWParam(SkinCommand command, std::uint32_t parameter = 0) {
  return static_cast<std::uintptr_t>(parameter & 0xFFFF) +
         static_cast<std::uintptr_t>(static_cast<std::uint32_t>(command) & 0xFFFF) * 65536u;
}
// The command of a WParam; a number no command has (14, above 21) comes back as it is and matches
// no name.
constexpr SkinCommand SkinCommandOf(std::uintptr_t wParam) {
  return static_cast<SkinCommand>((wParam >> 16) & 0xFFFF);
}
constexpr bool SkinParameterOf(std::uintptr_t wParam) {
  return (wParam & 0xFFFF) == 1;
}

// What lies below a control for GetBgColor: its parent's skin answer; for an unskinned parent
// (answer still the key colour) the parent's own colour; without a parent the control's own.
// Colours passed here have their system colours resolved.
TColor SkinColorBelow(bool hasParent, TColor parentAnswer, TColor parentColor, TColor ownColor);

// The background colour a control with section colour c and transparency t (0..100) shows over
// the colour below it: per channel ((below - c) * (t * 255 div 100) + c * 255) >> 8; the top byte
// comes from below.
TColor MixSkinBackground(std::int32_t t, TColor c, TColor below);
