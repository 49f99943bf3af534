#include "workbench/core/TRawFile.h"

#include <cerrno>
#include <cstring>

TRawFile::TRawFile(const std::string& fileName, TMode mode) : FFileName(fileName) {
  errno = 0;
  FFile = std::fopen(fileName.c_str(), mode == TMode::Read ? "rb" : "wb");
  if (!FFile) Fail(mode == TMode::Read ? "Cannot open file" : "Cannot create file", errno);
  // A directory opens for reading on some systems; refuse it here rather than on the first read.
  if (mode == TMode::Read && !Exists(fileName)) {
    std::fclose(FFile);
    FFile = nullptr;
    Fail("Cannot open file", EISDIR);
  }
  std::setvbuf(FFile, nullptr, _IONBF, 0);
}

TRawFile::~TRawFile() {
  if (FFile) std::fclose(FFile);
}

void TRawFile::Fail(const char* what, int code) const {
  std::string text = std::string(what) + " \"" + FFileName + "\"";
  if (code != 0) text += ". " + std::string(std::strerror(code));
  throw EInOutError(text, code);
}

int64_t TRawFile::Size() {
  if (!FFile) Fail("File not open", EBADF);
#ifdef _WIN32
  const int64_t here = _ftelli64(FFile);
  if (here < 0 || _fseeki64(FFile, 0, SEEK_END) != 0) Fail("Cannot seek in file", errno);
  const int64_t size = _ftelli64(FFile);
  if (size < 0 || _fseeki64(FFile, here, SEEK_SET) != 0) Fail("Cannot seek in file", errno);
#else
  const off_t here = ftello(FFile);
  if (here < 0 || fseeko(FFile, 0, SEEK_END) != 0) Fail("Cannot seek in file", errno);
  const off_t size = ftello(FFile);
  if (size < 0 || fseeko(FFile, here, SEEK_SET) != 0) Fail("Cannot seek in file", errno);
#endif
  return size;
}

size_t TRawFile::Read(void* buffer, size_t count) {
  if (!FFile) Fail("File not open", EBADF);
  errno = 0;
  const size_t done = std::fread(buffer, 1, count, FFile);
  if (done < count && std::ferror(FFile)) Fail("Cannot read file", errno);
  return done;
}

size_t TRawFile::Write(const void* buffer, size_t count) {
  if (!FFile) Fail("File not open", EBADF);
  if (count == 0) return 0;
  errno = 0;
  const size_t done = std::fwrite(buffer, 1, count, FFile);
  if (done < count) std::clearerr(FFile);
  return done;
}

void TRawFile::WriteAll(const void* buffer, size_t count) {
  if (Write(buffer, count) != count) Fail("Cannot write file", errno != 0 ? errno : ENOSPC);
}

void TRawFile::Close() {
  if (!FFile) return;
  std::FILE* file = FFile;
  FFile = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) Fail("Cannot close file", errno);
}
