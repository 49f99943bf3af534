#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// A buffer for file reads and writes that starts on a cache line: the system's copies between
// the file cache and a buffer that does not run several times slower.
class TIOBuffer {
public:
  static constexpr size_t kAlignment = 64;

  explicit TIOBuffer(size_t size)
      : FBlock(std::make_unique_for_overwrite<uint8_t[]>(size + kAlignment - 1)),
        FData(FBlock.get() + (kAlignment - reinterpret_cast<uintptr_t>(FBlock.get()) % kAlignment) % kAlignment),
        FSize(size) {}

  uint8_t* Data() const { return FData; }
  size_t Size() const { return FSize; }

private:
  std::unique_ptr<uint8_t[]> FBlock;
  uint8_t* FData;
  size_t FSize;
};
