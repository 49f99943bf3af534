#pragma once

#include <cstdint>
#include <span>

#include "skin/engine/core/TsPixmap.h"

// Decoders of the skin's picture files into 24-bit images. Both raise ESkinImageError on a
// corrupt or unsupported file and never read outside the given bytes.

// Windows bitmaps: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, RLE4, RLE8 or bit fields.
TsPixmap DecodeBmp(std::span<const std::uint8_t> data);
// Baseline and progressive JPEG, grey or colour.
TsPixmap DecodeJpeg(std::span<const std::uint8_t> data);
