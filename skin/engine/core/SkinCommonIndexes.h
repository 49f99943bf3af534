#pragma once

#include <array>
#include <cstdint>

// Sections and masks many painters need, resolved once after every load; -1 means none.
// Layout: 0 GLOBALINFO; 1-4 TABTOP/BOTTOM/LEFT/RIGHT, 5-8 their BORDERSMASK;
// 9-12 SCROLLBTNTOP/BOTTOM/LEFT/RIGHT, 13-16 BORDERSMASK, 17-20 PATTERN, 21-24 HOTPATTERN,
// 25-28 GLYPHMASK; 29, 30 SCROLLSLIDERV/H, 31, 32 BORDERSMASK, 33, 34 GLYPHMASK;
// 35, 36 PATTERN and HOTPATTERN of SCROLLSLIDERH, 37, 38 those of SCROLLSLIDERV;
// 39-42 SCROLLBAR1H/1V/2H/2V, 43-46 BORDERSMASK, 47-50 PATTERN, 51-54 HOTPATTERN;
// 55-63 the check and radio glyph masks of GLOBALINFO.
extern std::array<std::int16_t, 64> SkinCommonIndexes;

void ResolveCommonIndexes();
