#pragma once

#include <cstdint>
#include <vector>

#include "skin/engine/core/TsPixmap.h"

// Picture files built from the formats, for feeding the loader.
std::vector<std::uint8_t> EncodeBmp24(const TsPixmap& image);
// An 8-bit palette bitmap, bottom-up, every pixel palette entry (x + y) % colours.
std::vector<std::uint8_t> EncodeBmp8(std::int32_t width, std::int32_t height,
                                     const std::vector<std::uint32_t>& rgb);
std::vector<std::uint8_t> EncodeJpeg(const TsPixmap& image, int quality = 90);
TsPixmap FilledPixmap(std::int32_t width, std::int32_t height, std::int32_t color);
