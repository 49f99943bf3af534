#include "gif/core/TGIFSpanReader.h"

#include <cstring>

#include "framework/base/ByteOrder.h"
#include "gif/core/GIFException.h"

size_t TGIFSpanReader::ReadSome(uint8_t* target, size_t count) {
  const size_t n = count < Remaining() ? count : Remaining();
  if (n) std::memcpy(target, FData + FPosition, n);
  FPosition += n;
  return n;
}

void TGIFSpanReader::ReadExact(uint8_t* target, size_t count) {
  if (count > Remaining()) {
    FPosition = FSize;
    throw GIFException("Premature end of data");
  }
  ReadSome(target, count);
}

uint8_t TGIFSpanReader::ReadExactByte() {
  uint8_t value;
  if (!ReadByte(value)) throw GIFException("Premature end of data");
  return value;
}

uint16_t TGIFSpanReader::ReadExactWord() {
  uint8_t bytes[2];
  ReadExact(bytes, 2);
  return ByteOrder::ReadLE16(bytes);
}
