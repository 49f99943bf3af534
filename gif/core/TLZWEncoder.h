#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class THashTable;

// Compresses one frame's pixels into LZW data: minimum code size byte, sub-blocks, terminator.
class TLZWEncoder {
public:
  TLZWEncoder();
  ~TLZWEncoder();
  TLZWEncoder(const TLZWEncoder&) = delete;
  TLZWEncoder& operator=(const TLZWEncoder&) = delete;

  // pixels: width x height, row by row (null or an empty size writes an empty image). Every pixel
  // must be below colorCount ("Color not in color table"); bits is the colour table's bits.
  void Encode(std::vector<uint8_t>& out, const uint8_t* pixels, int width, int height, bool interlaced,
              int colorCount, int bits);

private:
  std::unique_ptr<THashTable> FHashTable;
  int16_t FLastPixel[4096];
  uint16_t FLastChild[4096];
  // Packed codes of the frame being written, before they are cut into sub-blocks.
  std::unique_ptr<uint8_t[]> FStage;
  size_t FStageSize = 0;
};
