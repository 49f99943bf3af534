#include "editors/core/EditorHex.h"

int32_t EditorHex::HexToInt(const std::string& text) {
  uint32_t acc = 0;
  for (unsigned char c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    int32_t d = static_cast<int32_t>(c) - 48;
    if (d > 16) d -= 7;
    acc = acc * 16u + static_cast<uint32_t>(d);
  }
  return static_cast<int32_t>(acc);
}
