#pragma once

#include <cstddef>
#include <cstdint>

// Bounded cursor over a GIF held in memory; every read is checked against the end.
class TGIFSpanReader {
public:
  TGIFSpanReader(const uint8_t* data, size_t size) : FData(data), FSize(data ? size : 0) {}

  size_t Position() const { return FPosition; }
  size_t Size() const { return FSize; }
  size_t Remaining() const { return FSize - FPosition; }
  bool AtEnd() const { return FPosition >= FSize; }
  const uint8_t* Current() const { return FData + FPosition; }

  // Clamped to the end of the data.
  void Seek(size_t position) { FPosition = position < FSize ? position : FSize; }
  void Skip(size_t count) { Seek(count < Remaining() ? FPosition + count : FSize); }

  bool ReadByte(uint8_t& value) {
    if (FPosition >= FSize) return false;
    value = FData[FPosition++];
    return true;
  }
  // -1 at the end.
  int PeekByte() const { return FPosition < FSize ? FData[FPosition] : -1; }
  // Reads up to count bytes and returns how many were read.
  size_t ReadSome(uint8_t* target, size_t count);
  // Raises "Premature end of data" when fewer than count bytes are left.
  void ReadExact(uint8_t* target, size_t count);
  uint8_t ReadExactByte();
  uint16_t ReadExactWord();

private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPosition = 0;
};
