#pragma once

#include <cstdint>
#include <string>

// Control kinds (numbers set by each skinned control's constructor) and what they imply.

// Mouse enter and leave do not make these kinds hot.
bool IsNoHoverKind(std::int32_t kind);
// These kinds use their section's TRANSPARENCY in every state (others HOTTRANSPARENCY when hot).
bool IsNoHotTransparencyKind(std::int32_t kind);
// The section a kind looks up when its SkinSection is empty; empty for kinds named by their class.
std::string DefaultSectionOfKind(std::int32_t kind);
