#include "framework/base/TAtomicFileStream.h"

#include <cerrno>
#include <cstring>

#include "framework/base/Exception.h"

#ifdef _WIN32
#include <io.h>

#include <filesystem>
#include <system_error>

#include "framework/base/AnsiStrings.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

struct TFaultState {
  TWriteFault Fault = TWriteFault::None;
  std::int64_t Left = 0;
};

TFaultState& FaultState() {
  static TFaultState state;
  return state;
}

// How many of count bytes the armed fault lets through; fired receives the fault once it fires.
std::int64_t Allowed(std::int64_t count, TWriteFault& fired) {
  TFaultState& state = FaultState();
  fired = TWriteFault::None;
  if (state.Fault == TWriteFault::None) return count;
  if (count <= state.Left) {
    state.Left -= count;
    return count;
  }
  fired = state.Fault;
  state.Fault = TWriteFault::None;
  return state.Left;
}

// Makes the written data durable, so that a crash after the rename cannot leave the new name on
// an empty or partial file.
int SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file));  // FlushFileBuffers
#else
  return fsync(fileno(file));
#endif
}

// Starts writing back what the file holds so far without waiting for it, so that the flush before
// the rename finds little left to do. Where the system offers no such call the flush does it all.
void StartWriteback([[maybe_unused]] std::FILE* file, [[maybe_unused]] std::int64_t from) {
#ifdef __linux__
  sync_file_range(fileno(file), from, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

constexpr std::int64_t kWritebackStep = 4 << 20;

#ifdef _WIN32
std::filesystem::path WidePath(const std::string& name) {
  const WideString wide = AnsiToWide(name);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}
#endif

// Renames from over to in one step; false with the reason in code when the system refuses.
bool RenameOver(const std::string& from, const std::string& to, int& code) {
  errno = 0;
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  code = errno != 0 ? errno : EIO;
#ifdef _WIN32
  // The C library's rename never replaces an existing file; the file-system library's does.
  std::error_code error;
  std::filesystem::rename(WidePath(from), WidePath(to), error);
  if (!error) return true;
  code = error.value();
#endif
  return false;
}

std::string Reason(int code) {
  return code != 0 ? std::string(". ") + std::strerror(code) : std::string();
}

}  // namespace

TAtomicFileStream::TAtomicFileStream(const std::string& fileName)
    : FFileName(fileName), FTemporaryName(TemporaryNameOf(fileName)) {
  if (fileName.empty()) throw EFCreateError("Cannot create file \"\"" + Reason(ENOENT), ENOENT);
  // A temporary file left behind by a killed run is replaced, whatever it holds.
  std::remove(FTemporaryName.c_str());
  errno = 0;
  FFile = std::fopen(FTemporaryName.c_str(), "wb");
  if (FFile == nullptr) {
    const int code = errno != 0 ? errno : EIO;
    throw EFCreateError("Cannot create file \"" + FTemporaryName + "\"" + Reason(code), code);
  }
}

TAtomicFileStream::~TAtomicFileStream() {
  if (FFile != nullptr) std::fclose(FFile);
  if (!FCommitted && !FAbandoned) std::remove(FTemporaryName.c_str());
}

void TAtomicFileStream::Discard() {
  std::FILE* file = FFile;
  FFile = nullptr;
  if (file != nullptr) std::fclose(file);
  if (!FAbandoned) std::remove(FTemporaryName.c_str());
}

void TAtomicFileStream::Fail(const std::string& what, int code) {
  Discard();
  throw EInOutError(what + " \"" + FFileName + "\"" + Reason(code), code);
}

std::int64_t TAtomicFileStream::Read(void*, std::int64_t) {
  throw EStreamError("File \"" + FTemporaryName + "\" is open for writing only");
}

std::int64_t TAtomicFileStream::Write(const void* buffer, std::int64_t count) {
  if (FFile == nullptr) throw EStreamError("File \"" + FFileName + "\" is closed");
  if (count <= 0) return 0;
  TWriteFault fault;
  const std::int64_t allowed = Allowed(count, fault);
  errno = 0;
  const std::size_t done =
      allowed > 0 ? std::fwrite(buffer, 1, static_cast<std::size_t>(allowed), FFile) : std::size_t{0};
  const int code = errno;
  FSize += static_cast<std::int64_t>(done);
  if (FSize - FWrittenBack >= kWritebackStep) {
    StartWriteback(FFile, FWrittenBack);
    FWrittenBack = FSize;
  }
  if (fault == TWriteFault::Kill) {
    FAbandoned = true;
    Fail("Simulated kill while writing file", EINTR);
  }
  if (static_cast<std::int64_t>(done) < count)
    Fail("Cannot write file", fault == TWriteFault::DiskFull ? ENOSPC : code != 0 ? code : EIO);
  return count;
}

std::int64_t TAtomicFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const std::int64_t target = origin == TSeekOrigin::soBeginning ? offset : FSize + offset;
  if (target != FSize) throw EStreamError("File \"" + FTemporaryName + "\" is written in order only");
  return FSize;
}

void TAtomicFileStream::SetSize(std::int64_t size) {
  if (size != FSize) throw EStreamError("File \"" + FTemporaryName + "\" is written in order only");
}

void TAtomicFileStream::Commit() {
  if (FFile == nullptr) throw EStreamError("File \"" + FFileName + "\" is closed");
  errno = 0;
  if (std::fflush(FFile) != 0 || SyncToDisk(FFile) != 0) Fail("Cannot write file", errno != 0 ? errno : EIO);
  std::FILE* file = FFile;
  FFile = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) Fail("Cannot write file", errno != 0 ? errno : EIO);
  int code = 0;
  if (!RenameOver(FTemporaryName, FFileName, code)) Fail("Cannot replace file", code);
  FCommitted = true;
}

void TAtomicFileStream::WriteFile(const std::string& fileName, const void* data, std::size_t size) {
  TAtomicFileStream file(fileName);
  file.WriteBuffer(data, static_cast<std::int64_t>(size));
  file.Commit();
}

void TAtomicFileStream::SimulateFault(TWriteFault fault, std::int64_t afterBytes) {
  FaultState() = TFaultState{fault, afterBytes < 0 ? 0 : afterBytes};
}
