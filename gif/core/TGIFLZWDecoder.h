#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TGIFReporter;
class TGIFSpanReader;

// Expands one frame's LZW data (minimum code size byte, then data sub-blocks).
class TGIFLZWDecoder {
public:
  // Reads the frame's data and leaves the reader after its terminator, or at the end of the data.
  void Read(TGIFSpanReader& reader, const TGIFReporter& reporter);
  // The most pixels the data read can expand to, whatever its codes: 0 without a usable minimum code
  // size. Lets a frame's size be checked before its pixels are allocated.
  uint64_t MaxPixels() const;
  // Fills pixels (width x height, row by row) with fill, then expands the data read over it. Damaged
  // data ends the frame with a warning; pixels not decoded keep the fill value and surplus pixels are
  // dropped.
  void Expand(int width, int height, bool interlaced, uint8_t fill, uint8_t* pixels,
              const TGIFReporter& reporter);

  // Moves the reader past a frame's data without decoding it.
  static void Skip(TGIFSpanReader& reader, const TGIFReporter& reporter);

private:
  // Returns whether the data ended with its terminator.
  bool Gather(TGIFSpanReader& reader, const TGIFReporter& reporter);
  // Decodes FData into out; returns the number of pixels produced.
  size_t ExpandCodes(uint8_t* out, size_t total, const TGIFReporter& reporter);

  int FMinCodeSize = -1;  // -1 when the data has none
  std::vector<uint8_t> FData;
  std::vector<uint8_t> FScratch;
};
