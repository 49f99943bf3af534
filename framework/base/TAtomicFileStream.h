#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/base/TStream.h"

// A write failure simulated for tests (TAtomicFileStream::SimulateFault).
enum class TWriteFault {
  None,
  DiskFull,  // the write stores what fits and fails as on a full disk
  Kill,      // the write stops as if the process were killed: the temporary file stays behind
};

// The steps of a commit after the writes, for SimulateCommitFault.
enum class TCommitStep { Flush, Rename };

// Replaces a file as a whole or not at all. The data goes to a new temporary file beside the
// target, "TARGET.~XXXXXXXX.tmp", created exclusively so that no file of the user's is ever taken
// over; Commit flushes it to the disk and renames it over the target. Until then the target keeps
// its old content, and a failed write or commit, or an object destroyed uncommitted, removes the
// temporary file. Temporary files of the target's name form that a killed run left behind, and
// that no live writer holds, are removed when the next write of that target starts.
// A target that exists but is not a regular file (a folder, a device, a pipe) is refused before
// anything is written, as is a temporary file that cannot be created: both raise EFCreateError.
// A write stores all its bytes or raises EInOutError naming the target and the reason.
class TAtomicFileStream : public TStream {
public:
  explicit TAtomicFileStream(const std::string& fileName);
  ~TAtomicFileStream() override;

  // The stream is write-only: reading raises EStreamError.
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  // Only the current position can be asked for; the data is written in order.
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  std::int64_t Size() override { return FSize; }

  const std::string& FileName() const { return FFileName; }
  const std::string& TemporaryName() const { return FTemporaryName; }
  // Writes out what is buffered, flushes it to the disk and closes the file; the target keeps its
  // old content. A failure raises and removes the temporary file.
  void Flush();
  // Flushes (when Flush was not called yet) and gives the data the target's name.
  void Commit();
  // Commits several files as one: all are flushed before any is renamed, and when a rename fails
  // the targets renamed before it get their old content back. Either every target has its new
  // content or every target keeps its old one (a target that did not exist stays absent).
  static void CommitAll(const std::vector<TAtomicFileStream*>& files);

  // The temporary files of fileName's name form that lie in its folder.
  static std::vector<std::string> TemporariesOf(const std::string& fileName);
  // Replaces fileName by the size bytes at data.
  static void WriteFile(const std::string& fileName, const void* data, std::size_t size);

  // Test hook: once afterBytes more bytes have gone through any atomic file stream, the next write
  // fails as fault says. It fires once; TWriteFault::None disarms it.
  static void SimulateFault(TWriteFault fault, std::int64_t afterBytes);
  // Test hook: the step fails as on a full disk (Flush) or a refused rename (Rename) once skip more
  // of that step have passed. It fires once; a negative skip disarms it.
  static void SimulateCommitFault(TCommitStep step, int skip);

private:
  [[noreturn]] void Fail(const std::string& what, int code);
  void Discard();
  void Rename();

  std::string FFileName;
  std::string FTemporaryName;
  std::FILE* FFile = nullptr;
  std::int64_t FSize = 0;
  std::int64_t FWrittenBack = 0;  // how far write-back to the disk has been started
  bool FFlushed = false;
  bool FCommitted = false;
  bool FAbandoned = false;  // a simulated kill leaves the temporary file as it is
};
