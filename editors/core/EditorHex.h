#pragma once

#include <cstdint>
#include <string>

namespace EditorHex {

// Hex text as the editors read it. Validates nothing: each character's upper-case code minus 48
// (minus 7 more above 16) is one digit, accumulated in wrapping 32-bit arithmetic.
int32_t HexToInt(const std::string& text);

}  // namespace EditorHex
