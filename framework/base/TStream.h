#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/base/TObject.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// File modes: one access mode or fmCreate, combined with one share mode.
constexpr std::uint16_t fmOpenRead = 0x0000;
constexpr std::uint16_t fmOpenWrite = 0x0001;
constexpr std::uint16_t fmOpenReadWrite = 0x0002;
constexpr std::uint16_t fmCreate = 0xFF00;
constexpr std::uint16_t fmShareCompat = 0x0000;
constexpr std::uint16_t fmShareExclusive = 0x0010;
constexpr std::uint16_t fmShareDenyWrite = 0x0020;
constexpr std::uint16_t fmShareDenyRead = 0x0030;
constexpr std::uint16_t fmShareDenyNone = 0x0040;

// A sequence of bytes with a position. Read/Write move what they can and say how much;
// ReadBuffer/WriteBuffer raise EReadError/EWriteError when they cannot move it all.
class TStream : public TObject {
public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual void SetSize(std::int64_t size) = 0;
  virtual std::int64_t Size();

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes from source's position (count 0: all of source, from its start).
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A stream on a file on disk. Share modes are accepted for the callers' sake but not enforced:
// the portable file layer has no locking.
class TFileStream : public TStream {
public:
  // Raises EFCreateError (fmCreate) or EFOpenError when the file cannot be had.
  TFileStream(const std::string& fileName, std::uint16_t mode);
  ~TFileStream() override;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  const std::string& FileName() const { return FFileName; }
  // Flushes and closes; raises EInOutError when buffered data cannot reach the disk.
  void Close();

private:
  std::string FFileName;
  std::FILE* FFile = nullptr;
  bool FLastWasWrite = false;
};

// A stream on a growable block of memory.
class TMemoryStream : public TStream {
public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }

  std::uint8_t* Memory() { return FData.data(); }
  const std::uint8_t* Memory() const { return FData.data(); }
  void Clear();
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

private:
  std::vector<std::uint8_t> FData;
  std::int64_t FPosition = 0;
};
