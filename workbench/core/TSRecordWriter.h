#pragma once

#include <cstdint>
#include <functional>

#include "framework/base/TStream.h"
#include "workbench/core/TIOBuffer.h"

// Writes the S-record blocks of a superfile through a buffer of the I/O size and keeps the byte sum
// of everything written, which the closing checksum record carries. A block's data arrive in
// pieces of any size, so that images stream through without being held whole.
class TSRecordWriter {
public:
  static constexpr size_t kBytesPerLine = 64;

  // sum: the byte sum of what the file already holds (the header).
  TSRecordWriter(TStream& file, size_t bufferSize, uint32_t sum);
  TSRecordWriter(const TSRecordWriter&) = delete;
  TSRecordWriter& operator=(const TSRecordWriter&) = delete;

  // Called after every flush with the count of data bytes written so far.
  void SetOnProgress(std::function<void(int64_t)> handler) { FOnProgress = std::move(handler); }

  // A block is its S0 line, S3 lines from address on, 64 data bytes each, and its closing line.
  // The file's last block closes with the checksum record, which ends the file without CR LF.
  void BeginBlock(uint32_t address);
  void Write(const uint8_t* data, size_t size);
  void EndBlock(bool last);

  uint32_t Sum() const { return FSum; }
  // The sum of the data bytes written so far.
  uint64_t DataSum() const { return FDataSum; }

  // The sum of the bytes, which S-record checksums and the superfile's table are made of.
  static uint64_t ByteSum(const void* data, size_t size);

private:
  // Returns the sum of the line's data bytes.
  unsigned PutLine(const uint8_t* data, size_t count);
  void Put(const char* text, size_t length);
  void Flush();

  TStream& FFile;
  TIOBuffer FBuffer;
  char* const FBuf;
  const size_t FSize;
  size_t FLen = 0;
  // Of everything flushed.
  uint32_t FSum;
  uint32_t FAddress = 0;
  // The start of a line whose remaining bytes have not arrived yet.
  uint8_t FPending[kBytesPerLine];
  size_t FPendingLen = 0;
  int64_t FDataBytes = 0;
  uint64_t FDataSum = 0;
  std::function<void(int64_t)> FOnProgress;
};
