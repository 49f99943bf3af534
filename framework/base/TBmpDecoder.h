#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "framework/base/ImageFormat.h"

// Reads a device-independent bitmap: a BMP file, or the bare DIB of a resource. Core (12-byte)
// and info (40 bytes and longer) headers; 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed,
// run-length coded (4 and 8 bits) or with bit fields (16 and 32 bits).
//
// Making the decoder checks the headers against the bytes and the pixel limit; it allocates
// nothing for the pixels, which it then writes into rows the caller allocated for Width() x
// Height(). The bytes must outlive the decoder. Every failure raises EImageFormatError.
class TBmpDecoder {
public:
  // A BMP file: the 14-byte file header, then the DIB.
  static TBmpDecoder FromFile(std::span<const std::uint8_t> file);
  // A DIB whose pixels start bitsOffset bytes in, or right after the colour table when it is 0.
  static TBmpDecoder FromDib(std::span<const std::uint8_t> dib, std::size_t bitsOffset);
  // The decoder reads its bytes again for the pixels: a temporary buffer would be gone by then.
  static TBmpDecoder FromFile(std::vector<std::uint8_t>&&) = delete;
  static TBmpDecoder FromDib(std::vector<std::uint8_t>&&, std::size_t) = delete;

  // A bitmap with a side of 0 holds no pixels, whatever the other side says: it is 0 x 0.
  bool Empty() const { return FWidth == 0; }
  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  std::uint32_t Bits() const { return FBits; }
  // Red, green and blue masks of 16- and 32-bit pixels: the file's bit fields, else the defaults
  // (5-5-5, and 8-8-8 in the low three bytes).
  const std::array<std::uint32_t, 3>& Masks() const { return FMasks; }
  // The colour table as $00RRGGBB, at most 1 << Bits() entries; an index past it reads as black.
  const std::vector<std::uint32_t>& Palette() const { return FPalette; }
  // Bytes of one row in the file's pixel format, padded to a multiple of 4.
  std::size_t RowBytes() const { return FRowBytes; }

  // The pixels in the file's own format, RowBytes() bytes a row; pixels that run-length codes
  // skip hold index 0.
  void ReadRows(TPixelRows rows) const;
  // The pixels as 24-bit rows of blue, green, red (3 x Width() bytes used of each); pixels that
  // run-length codes skip are black.
  void ReadBgr24(TPixelRows rows) const;

private:
  TBmpDecoder() = default;
  void ParseDib(std::span<const std::uint8_t> dib, std::size_t bitsOffset);
  const std::uint8_t* StoredRow(std::int32_t y) const;
  template <typename TPut>
  void ExpandRunLength(TPut put) const;

  std::span<const std::uint8_t> FPixels;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  bool FTopDown = false;
  bool FRunLength = false;
  std::uint32_t FBits = 0;
  std::size_t FRowBytes = 0;
  std::array<std::uint32_t, 3> FMasks{};
  std::vector<std::uint32_t> FPalette;
};
