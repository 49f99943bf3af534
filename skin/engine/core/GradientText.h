#pragma once

#include <string_view>
#include <vector>

#include "skin/engine/core/SkinTypes.h"

// Parses a gradient text: ';'-separated integers in groups of five
// (Color1;Color2;Percent;Mode;unused), one stop per whole group, Percent capped at 100.
// A token that is not an integer makes the whole text unusable: the result is then empty,
// as for a section without a gradient.
std::vector<TsGradientStop> ParseGradientData(std::string_view text);
