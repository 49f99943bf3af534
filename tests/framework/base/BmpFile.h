#pragma once

#include <cstdint>
#include <vector>

#include "framework/base/ByteOrder.h"

// A BMP file built field by field: the file header, a 40-byte info header, `extra` (the colour
// table or the bit-field masks), then the pixels. colorsUsed 0 means a full colour table.
inline std::vector<std::uint8_t> BmpFile(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                         std::uint32_t compression, const std::vector<std::uint8_t>& extra,
                                         const std::vector<std::uint8_t>& pixels,
                                         std::uint32_t colorsUsed = 0) {
  using ByteOrder::AppendLE16, ByteOrder::AppendLE32;
  const auto pixelOffset = static_cast<std::uint32_t>(14 + 40 + extra.size());
  std::vector<std::uint8_t> b = {'B', 'M'};
  AppendLE32(b, pixelOffset + static_cast<std::uint32_t>(pixels.size()));  // file size
  AppendLE32(b, 0);                                                        // reserved
  AppendLE32(b, pixelOffset);
  AppendLE32(b, 40);  // info header size
  AppendLE32(b, static_cast<std::uint32_t>(width));
  AppendLE32(b, static_cast<std::uint32_t>(height));  // negative: top-down
  AppendLE16(b, 1);                                   // planes
  AppendLE16(b, bits);
  AppendLE32(b, compression);
  AppendLE32(b, static_cast<std::uint32_t>(pixels.size()));
  AppendLE32(b, 2835);  // 72 dots per inch
  AppendLE32(b, 2835);
  AppendLE32(b, colorsUsed);
  AppendLE32(b, 0);  // important colours: all
  b.insert(b.end(), extra.begin(), extra.end());
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}
