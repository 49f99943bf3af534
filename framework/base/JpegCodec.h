#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "framework/base/ImageFormat.h"

// Reads a JPEG picture (baseline or progressive; grey, YCbCr or RGB) into 24-bit rows.
// Making the decoder reads the headers and refuses, before any pixel memory exists, a picture of
// more than kMaxImagePixels pixels or of another colour space. Data that ends before the picture
// does is refused too, rather than shown half grey. Every failure raises EImageFormatError.
class TJpegDecoder {
public:
  // The bytes must outlive the decoder, which reads them again for the pixels.
  explicit TJpegDecoder(std::span<const std::uint8_t> data);
  explicit TJpegDecoder(std::vector<std::uint8_t>&&) = delete;
  ~TJpegDecoder();
  TJpegDecoder(const TJpegDecoder&) = delete;
  TJpegDecoder& operator=(const TJpegDecoder&) = delete;

  std::int32_t Width() const;
  std::int32_t Height() const;
  // Decodes the pixels as blue, green, red into rows allocated for Width() x Height(); once.
  void ReadBgr24(TPixelRows rows);

private:
  struct TState;
  std::unique_ptr<TState> FState;
};

// Compresses 24-bit rows of blue, green, red (row(y) gives row y, top row 0) at quality 1..100,
// in colour or as grey. Raises EImageFormatError when the library fails.
std::vector<std::uint8_t> EncodeJpeg(std::int32_t width, std::int32_t height,
                                     const std::function<const std::uint8_t*(std::int32_t)>& row, int quality,
                                     bool grayscale);
