#include "gif/core/TGIFWriter.h"

void TGIFWriter::Flush() {
  if (FCount == 0) return;
  FBuffer[0] = static_cast<uint8_t>(FCount);
  FOut.insert(FOut.end(), FBuffer, FBuffer + FCount + 1);
  FCount = 0;
}
