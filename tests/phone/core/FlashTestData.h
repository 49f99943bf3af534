#pragma once

// Data of the flash-run tests, shared by the sequence's native tests and the window's Wine tests.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/base/ByteOrder.h"

namespace flashtest {

using Bytes = std::vector<std::uint8_t>;

// Bytes that differ from block to block (2048 is not a multiple of 253) and from seed to seed.
inline Bytes Pattern(std::size_t size, int seed) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 13 + seed + i / 253);
  return data;
}

// The loader as the phone must receive it for a list of CG 4 (Size4 bytes at 10000000) and CG 15
// (Size15 bytes at 11000000): bytes 48 to 415 FF, the pairs at 280 and 368, written by hand.
inline Bytes LoaderForTwoGroups(Bytes loader, std::uint32_t size4, std::uint32_t size15) {
  std::fill(loader.begin() + 48, loader.begin() + 416, 0xFF);
  ByteOrder::WriteBE32(&loader[280], 0x10000000);
  ByteOrder::WriteBE32(&loader[284], 0x10000000 + size4 - 1);
  ByteOrder::WriteBE32(&loader[368], 0x11000000);
  ByteOrder::WriteBE32(&loader[372], 0x11000000 + size15 - 1);
  return loader;
}

}  // namespace flashtest
