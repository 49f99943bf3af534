#include "phone/core/BulkRequest.h"

#include <algorithm>

#include "framework/base/ByteOrder.h"
#include "framework/base/Exception.h"

std::vector<std::uint8_t> TBulkRequest::Write(std::uint8_t pipe, std::span<const std::uint8_t> data) {
  if (data.size() > MaxWrite) throw Exception("Bulk write longer than 4091 bytes");
  std::vector<std::uint8_t> record;
  record.reserve(data.size() + 6);
  record.push_back(pipe);
  ByteOrder::AppendLE32(record, static_cast<std::uint32_t>(data.size()));
  record.insert(record.end(), data.begin(), data.end());
  record.push_back(0);  // the driver is handed one byte more than header and data
  return record;
}

std::vector<std::uint8_t> TBulkRequest::Read(std::uint8_t pipe, std::uint32_t length) {
  std::vector<std::uint8_t> record{pipe};
  ByteOrder::AppendLE32(record, length);
  return record;
}

bool TBulkRequest::ReadData(std::span<const std::uint8_t> output, std::span<std::uint8_t> dest,
                            std::size_t& received) {
  received = 0;
  if (output.size() < ReadHeaderSize) return false;
  // A reply longer than the caller's buffer is cut to it.
  received = std::min(output.size() - ReadHeaderSize, dest.size());
  std::copy_n(output.begin() + ReadHeaderSize, received, dest.begin());
  return true;
}
