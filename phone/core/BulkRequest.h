#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Input records of the driver's bulk requests.
class TBulkRequest {
public:
  // The write record is built in a 4096-byte buffer: pipe, length and data.
  static constexpr std::size_t MaxWrite = 4091;
  static constexpr std::uint32_t ReadOutputSize = 4101;
  static constexpr std::size_t ReadHeaderSize = 4;

  // [pipe][length, u32 little-endian][data] plus one byte: Data.size() + 6 bytes. Data is at most
  // MaxWrite bytes.
  static std::vector<std::uint8_t> Write(std::uint8_t pipe, std::span<const std::uint8_t> data);
  // [pipe][length, u32 little-endian].
  static std::vector<std::uint8_t> Read(std::uint8_t pipe, std::uint32_t length);
  // Copies the data of a read's output (its first 4 bytes dropped) into Dest, never more than
  // Dest holds. False when the output is shorter than 4 bytes. Received is the number copied.
  static bool ReadData(std::span<const std::uint8_t> output, std::span<std::uint8_t> dest,
                       std::size_t& received);
};
