#include "workbench/core/Hex.h"

#include <cctype>

int32_t HexToInt(const std::string& text) {
  uint32_t acc = 0;
  for (char c : text) {
    int32_t digit = std::toupper(static_cast<unsigned char>(c)) - 48;
    if (digit > 16) digit -= 7;
    acc = acc * 16u + static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(acc);
}
