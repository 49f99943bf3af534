#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TGIFReporter;
class TGIFSpanReader;

// Expands one frame's LZW data (minimum code size byte, then data sub-blocks).
class TGIFLZWDecoder {
public:
  // Fills pixels (width x height, row by row) with fill, then decodes over it. Damaged data ends
  // the frame with a warning; pixels not decoded keep the fill value and surplus pixels are dropped.
  // Leaves the reader after the data's terminator, or at the end of the data.
  void Decode(TGIFSpanReader& reader, int width, int height, bool interlaced, uint8_t fill, uint8_t* pixels,
              const TGIFReporter& reporter);

  // Moves the reader past a frame's data without decoding it.
  static void Skip(TGIFSpanReader& reader, const TGIFReporter& reporter);

private:
  // Returns whether the data ended with its terminator.
  bool Gather(TGIFSpanReader& reader, const TGIFReporter& reporter);
  // Decodes FData into out; returns the number of pixels produced.
  size_t Expand(int minCodeSize, uint8_t* out, size_t total, const TGIFReporter& reporter);

  std::vector<uint8_t> FData;
  std::vector<uint8_t> FScratch;
};
