#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Gathers bytes into data sub-blocks of up to 255 bytes, each preceded by its length.
class TGIFWriter {
public:
  explicit TGIFWriter(std::vector<uint8_t>& out) : FOut(out) {}
  TGIFWriter(const TGIFWriter&) = delete;
  TGIFWriter& operator=(const TGIFWriter&) = delete;

  void Put(uint8_t value) {
    FBuffer[++FCount] = value;
    if (FCount == 255) Flush();
  }
  void Write(const uint8_t* data, size_t size);
  // Writes the partly filled block, if any.
  void Flush();

private:
  std::vector<uint8_t>& FOut;
  uint8_t FBuffer[256];
  int FCount = 0;
};
