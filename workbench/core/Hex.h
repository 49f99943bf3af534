#pragma once

#include <cstdint>
#include <string>

#include "framework/base/ByteOrder.h"

// Hex text to integer without validation (32-bit, wrapping); lower-case letters are accepted.
int32_t HexToInt(const std::string& text);

// The four bytes of a 32-bit word in reverse order.
using ByteOrder::SwapDWord;
