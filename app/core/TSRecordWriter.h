#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "app/core/TRawFile.h"

// Writes the S-record blocks of a superfile through a buffer of the I/O size and keeps the byte sum
// of everything written, which the closing checksum record carries.
class TSRecordWriter {
public:
  static constexpr size_t kBytesPerLine = 64;

  // sum: the byte sum of what the file already holds (the header).
  TSRecordWriter(TRawFile& file, size_t bufferSize, uint32_t sum);
  TSRecordWriter(const TSRecordWriter&) = delete;
  TSRecordWriter& operator=(const TSRecordWriter&) = delete;

  // Called after every flush with the count of data bytes written so far.
  void SetOnProgress(std::function<void(int64_t)> handler) { FOnProgress = std::move(handler); }

  // One block: the S0 line, S3 lines from address on, and the closing line. The file's last block
  // closes with the checksum record, which ends the file without CR LF.
  void WriteBlock(const uint8_t* data, size_t size, uint32_t address, bool last) {
    WriteBlock(data, size, nullptr, 0, address, last);
  }
  // A block whose data are the first run followed directly by the second.
  void WriteBlock(const uint8_t* first, size_t firstSize, const uint8_t* second, size_t secondSize,
                  uint32_t address, bool last);

  uint32_t Sum() const { return FSum; }

private:
  void Put(const char* text, size_t length);
  void PutRaw(const char* text, size_t length);
  void Flush();

  TRawFile& FFile;
  std::unique_ptr<char[]> FBuf;
  size_t FSize;
  size_t FLen = 0;
  uint32_t FSum;
  int64_t FDataBytes = 0;
  std::function<void(int64_t)> FOnProgress;
};
