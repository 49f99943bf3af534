#include "framework/base/TAtomicFileStream.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "framework/base/Exception.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include "framework/base/AnsiStrings.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

struct TCommitFaultState {
  TCommitStep Step = TCommitStep::Flush;
  int Skip = -1;
};

TCommitFaultState& CommitFaultState() {
  static TCommitFaultState state;
  return state;
}

// True once when the armed commit fault is due at this step.
bool CommitFaultFires(TCommitStep step) {
  TCommitFaultState& state = CommitFaultState();
  if (state.Skip < 0 || state.Step != step) return false;
  return state.Skip-- == 0;
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

// A name in the ANSI code page as a path the file-system library takes.
std::filesystem::path PathOf(const std::string& name) {
#ifdef _WIN32
  const WideString wide = AnsiToWide(name);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
  return std::filesystem::path(name);
#endif
}

// Renames from over to in one step; false with the reason in code when the system refuses.
bool RenameOver(const std::string& from, const std::string& to, int& code) {
  errno = 0;
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  code = errno != 0 ? errno : EIO;
#ifdef _WIN32
  // The C library's rename never replaces an existing file; the file-system library's does.
  std::error_code error;
  std::filesystem::rename(PathOf(from), PathOf(to), error);
  if (!error) return true;
  code = error.value();
#endif
  return false;
}

// The temporary names are "LEAF.~XXXXXXXX.tmp", X an upper-case hex digit.
constexpr const char* kMark = ".~";
constexpr const char* kSuffix = ".tmp";
constexpr std::size_t kHexDigits = 8;
constexpr int kNameAttempts = 64;

std::size_t LeafStart(const std::string& fileName) {
#ifdef _WIN32
  const std::size_t slash = fileName.find_last_of("/\\:");
#else
  const std::size_t slash = fileName.rfind('/');
#endif
  return slash == std::string::npos ? 0 : slash + 1;
}

bool IsTemporaryLeaf(const std::string& leaf, const std::string& targetLeaf) {
  const std::size_t mark = std::strlen(kMark), suffix = std::strlen(kSuffix);
  if (leaf.size() != targetLeaf.size() + mark + kHexDigits + suffix) return false;
  if (leaf.compare(0, targetLeaf.size(), targetLeaf) != 0) return false;
  if (leaf.compare(targetLeaf.size(), mark, kMark) != 0) return false;
  if (leaf.compare(leaf.size() - suffix, suffix, kSuffix) != 0) return false;
  for (std::size_t i = targetLeaf.size() + mark; i < leaf.size() - suffix; ++i)
    if (!((leaf[i] >= '0' && leaf[i] <= '9') || (leaf[i] >= 'A' && leaf[i] <= 'F'))) return false;
  return true;
}

// A name to try for the n-th attempt: different between processes, runs and attempts.
std::string CandidateName(const std::string& fileName, int attempt) {
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
#ifdef _WIN32
  x ^= static_cast<std::uint64_t>(_getpid()) << 32;
#else
  x ^= static_cast<std::uint64_t>(getpid()) << 32;
#endif
  x += ++counter * 0x9E3779B97F4A7C15ull + static_cast<std::uint64_t>(attempt);
  x ^= x >> 33;  // a 64-bit mix, so that close inputs give far apart names
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  static const char digits[] = "0123456789ABCDEF";
  std::string name = fileName + kMark;
  for (std::size_t i = 0; i < kHexDigits; ++i) name += digits[(x >> (4 * i)) & 15];
  return name + kSuffix;
}

// Why an existing target cannot be replaced by a regular file, or an empty text.
std::string NotAFile(const std::string& fileName, int& code) {
#ifdef _WIN32
  struct _stat64 status;
  if (_stat64(fileName.c_str(), &status) != 0) return "";
  const unsigned kind = status.st_mode & _S_IFMT;
  if (kind == _S_IFREG) return "";
  code = kind == _S_IFDIR ? EISDIR : EINVAL;
  return kind == _S_IFDIR ? "a folder" : kind == _S_IFCHR ? "a device" : kind == _S_IFIFO ? "a pipe" : "no regular file";
#else
  struct stat status;
  if (stat(fileName.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return "";
  code = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
  if (S_ISDIR(status.st_mode)) return "a folder";
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return "a device";
  if (S_ISFIFO(status.st_mode)) return "a pipe";
  if (S_ISSOCK(status.st_mode)) return "a socket";
  return "no regular file";
#endif
}

// Creates name if it does not exist yet; -1 with errno set when it exists or cannot be made. On
// POSIX the file stays locked while it is open, which tells a live writer's file from a dead one's.
int CreateExclusive(const std::string& name) {
#ifdef _WIN32
  return _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) flock(fd, LOCK_EX | LOCK_NB);
  return fd;
#endif
}

// Removes a temporary file that a killed run left behind. One a live writer holds open stays: on
// POSIX it is locked, on Windows it cannot be deleted while open.
void RemoveIfAbandoned(const std::string& name) {
#ifdef _WIN32
  std::remove(name.c_str());
#else
  const int fd = open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat opened, named;
  if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      lstat(name.c_str(), &named) == 0 && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
    unlink(name.c_str());
  close(fd);
#endif
}

}  // namespace

std::vector<std::string> TAtomicFileStream::TemporariesOf(const std::string& fileName) {
  const std::size_t leafStart = LeafStart(fileName);
  const std::string folder = fileName.substr(0, leafStart);
  const std::string leaf = fileName.substr(leafStart);
  std::vector<std::string> names;
  if (leaf.empty()) return names;
#ifdef _WIN32
  __finddata64_t found;
  const intptr_t search = _findfirst64((fileName + kMark + "*" + kSuffix).c_str(), &found);
  if (search == -1) return names;
  do {
    if (IsTemporaryLeaf(found.name, leaf)) names.push_back(folder + found.name);
  } while (_findnext64(search, &found) == 0);
  _findclose(search);
#else
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir))
    if (IsTemporaryLeaf(entry->d_name, leaf)) names.push_back(folder + entry->d_name);
  closedir(dir);
#endif
  return names;
}

TAtomicFileStream::TAtomicFileStream(const std::string& fileName) : FFileName(fileName) {
  if (fileName.empty()) throw EFCreateError(FileErrorText("Cannot create file", fileName, ENOENT), ENOENT);
  int code = 0;
  if (const std::string kind = NotAFile(fileName, code); !kind.empty())
    throw EFCreateError(FileErrorText("Cannot replace", fileName, 0) + ": it is " + kind + ", not a regular file",
                        code);
  for (const std::string& stale : TemporariesOf(fileName)) RemoveIfAbandoned(stale);
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
    FTemporaryName = CandidateName(fileName, attempt);
    errno = 0;
    fd = CreateExclusive(FTemporaryName);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd >= 0) {
#ifdef _WIN32
    FFile = _fdopen(fd, "wb");
#else
    FFile = fdopen(fd, "wb");
#endif
    if (FFile == nullptr) {
      code = errno != 0 ? errno : EIO;
#ifdef _WIN32
      _close(fd);
#else
      close(fd);
#endif
      std::remove(FTemporaryName.c_str());
    }
  } else {
    code = errno != 0 ? errno : EIO;
  }
  if (FFile == nullptr) throw EFCreateError(FileErrorText("Cannot create file", fileName, code), code);
}

TAtomicFileStream::~TAtomicFileStream() {
  if (FFile != nullptr) std::fclose(FFile);
  if (!FCommitted && !FAbandoned && !FTemporaryName.empty()) std::remove(FTemporaryName.c_str());
}

void TAtomicFileStream::Discard() {
  std::FILE* file = FFile;
  FFile = nullptr;
  if (file != nullptr) std::fclose(file);
  if (!FAbandoned) std::remove(FTemporaryName.c_str());
}

void TAtomicFileStream::Fail(const std::string& what, int code) {
  Discard();
  throw EInOutError(FileErrorText(what, FFileName, code), code);
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

void TAtomicFileStream::Flush() {
  if (FFile == nullptr) throw EStreamError("File \"" + FFileName + "\" is closed");
  if (CommitFaultFires(TCommitStep::Flush)) Fail("Cannot write file", ENOSPC);
  errno = 0;
  if (std::fflush(FFile) != 0 || SyncToDisk(FFile) != 0) Fail("Cannot write file", errno != 0 ? errno : EIO);
  std::FILE* file = FFile;
  FFile = nullptr;
  FFlushed = true;
  errno = 0;
  if (std::fclose(file) != 0) Fail("Cannot write file", errno != 0 ? errno : EIO);
}

void TAtomicFileStream::Rename() {
  int code = EACCES;
  if (CommitFaultFires(TCommitStep::Rename) || !RenameOver(FTemporaryName, FFileName, code))
    Fail("Cannot replace file", code);
  FCommitted = true;
}

void TAtomicFileStream::Commit() {
  if (!FFlushed) Flush();
  Rename();
}

void TAtomicFileStream::CommitAll(const std::vector<TAtomicFileStream*>& files) {
  for (TAtomicFileStream* file : files)
    if (!file->FFlushed) file->Flush();
  // A second name on each old target, so that a rename that fails after others succeeded can put
  // them back. A hard link costs no data space; where the file system has none, the old target
  // cannot be restored and only the ordering protects it.
  std::vector<std::string> backups(files.size());
  std::vector<bool> existed(files.size(), false);
  auto dropBackups = [&] {
    for (const std::string& backup : backups)
      if (!backup.empty()) std::remove(backup.c_str());
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& target = files[i]->FFileName;
    std::error_code error;
    if (!std::filesystem::exists(PathOf(target), error)) continue;
    existed[i] = true;
    for (int attempt = 0; attempt < kNameAttempts && backups[i].empty(); ++attempt) {
      const std::string name = CandidateName(target, attempt);
      std::filesystem::create_hard_link(PathOf(target), PathOf(name), error);
      if (!error) backups[i] = name;
      else if (error != std::errc::file_exists) break;
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    try {
      files[i]->Rename();
    } catch (...) {
      for (std::size_t k = 0; k < i; ++k) {
        int code = 0;
        if (!existed[k]) std::remove(files[k]->FFileName.c_str());
        else if (!backups[k].empty() && RenameOver(backups[k], files[k]->FFileName, code)) backups[k].clear();
      }
      dropBackups();  // the files not renamed yet remove their temporary files when they go
      throw;
    }
  }
  dropBackups();
}

void TAtomicFileStream::WriteFile(const std::string& fileName, const void* data, std::size_t size) {
  TAtomicFileStream file(fileName);
  file.WriteBuffer(data, static_cast<std::int64_t>(size));
  file.Commit();
}

void TAtomicFileStream::SimulateFault(TWriteFault fault, std::int64_t afterBytes) {
  FaultState() = TFaultState{fault, afterBytes < 0 ? 0 : afterBytes};
}

void TAtomicFileStream::SimulateCommitFault(TCommitStep step, int skip) {
  CommitFaultState() = TCommitFaultState{step, skip < 0 ? -1 : skip};
}
