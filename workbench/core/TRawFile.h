#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "framework/base/Exception.h"
#include "framework/base/FileSize.h"

// An untyped byte file with 64-bit sizes. Unbuffered: callers read and write through their own
// buffers. Every failure to open, read, write or close raises the file layer's EInOutError.
class TRawFile {
public:
  enum class TMode { Read, Create };

  TRawFile(const std::string& fileName, TMode mode);
  ~TRawFile();
  TRawFile(const TRawFile&) = delete;
  TRawFile& operator=(const TRawFile&) = delete;

  const std::string& FileName() const { return FFileName; }
  int64_t Size();
  // Reads up to count bytes; fewer only at the end of the file.
  size_t Read(void* buffer, size_t count);
  // Writes up to count bytes and returns how many were stored.
  size_t Write(const void* buffer, size_t count);
  // Writes all count bytes or raises.
  void WriteAll(const void* buffer, size_t count);
  // Closes the file, raising when the system reports that buffered data could not be stored.
  void Close();
  bool IsOpen() const { return FFile != nullptr; }

  // Whether a regular file goes by that name.
  static bool Exists(const std::string& fileName) { return FileSizeOf(fileName) >= 0; }

private:
  [[noreturn]] void Fail(const char* what, int code) const;

  std::string FFileName;
  std::FILE* FFile = nullptr;
};
