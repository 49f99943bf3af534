#pragma once

#include <cstdint>
#include <string>

// Hex text as the editors read and show it. HexToInt validates nothing: each character's upper-case
// code minus 48 (minus 7 more above 16) is one digit, accumulated in wrapping 32-bit arithmetic.
int32_t HexToInt(const std::string& text);

// `value` as upper-case hex, at least `digits` digits.
std::string IntToHex(uint32_t value, int digits);
