#include "gif/core/TGIFWriter.h"

#include <cstring>

void TGIFWriter::Flush() {
  if (FCount == 0) return;
  FBuffer[0] = static_cast<uint8_t>(FCount);
  FOut.insert(FOut.end(), FBuffer, FBuffer + FCount + 1);
  FCount = 0;
}

void TGIFWriter::Write(const uint8_t* data, size_t size) {
  while (size > 0) {
    const size_t room = static_cast<size_t>(255 - FCount);
    const size_t n = size < room ? size : room;
    std::memcpy(FBuffer + 1 + FCount, data, n);
    FCount += static_cast<int>(n);
    data += n;
    size -= n;
    if (FCount == 255) Flush();
  }
}
