#include <cerrno>
#include <cstring>
#include <filesystem>

#include "framework/base/Exception.h"
#include "framework/base/TStream.h"

namespace {

int Fseek(std::FILE* f, std::int64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(f, offset, origin);
#else
  return fseeko(f, static_cast<off_t>(offset), origin);
#endif
}

std::int64_t Ftell(std::FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return ftello(f);
#endif
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, std::uint16_t mode) : FFileName(fileName) {
  const char* how;
  if ((mode & 0xFF00) == fmCreate) {
    how = "w+b";
  } else {
    switch (mode & 3) {
      case fmOpenRead:
        how = "rb";
        break;
      case fmOpenWrite:
      case fmOpenReadWrite:
        how = "r+b";
        break;
      default:
        throw EFOpenError(FileErrorText("Cannot open file", fileName, 0) + ". Invalid file mode", EINVAL);
    }
  }
  errno = 0;
  FFile = fileName.empty() ? nullptr : std::fopen(fileName.c_str(), how);
  if (FFile == nullptr) {
    const int code = fileName.empty() ? ENOENT : errno != 0 ? errno : EIO;
    if ((mode & 0xFF00) == fmCreate) throw EFCreateError(FileErrorText("Cannot create file", fileName, code), code);
    throw EFOpenError(FileErrorText("Cannot open file", fileName, code), code);
  }
}

TFileStream::~TFileStream() {
  if (FFile != nullptr) std::fclose(FFile);
}

void TFileStream::Close() {
  if (FFile == nullptr) return;
  std::FILE* f = FFile;
  FFile = nullptr;
  errno = 0;
  bool ok = std::fflush(f) == 0;
  int code = errno;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    code = code != 0 ? code : EIO;
    throw EInOutError(FileErrorText("Cannot write file", FFileName, code), code);
  }
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  if (FFile == nullptr || count <= 0) return 0;
  // C streams need a positioning call between a write and a read.
  if (FLastWasWrite) Fseek(FFile, 0, SEEK_CUR);
  FLastWasWrite = false;
  return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), FFile));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  if (FFile == nullptr || count <= 0) return 0;
  if (!FLastWasWrite) Fseek(FFile, 0, SEEK_CUR);
  FLastWasWrite = true;
  return static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), FFile));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  if (FFile == nullptr) throw EStreamError("File \"" + FFileName + "\" is closed");
  int how = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  if (!(origin == TSeekOrigin::soCurrent && offset == 0)) {
    if (Fseek(FFile, offset, how) != 0) throw EStreamError("Invalid stream position");
    FLastWasWrite = false;
  }
  return Ftell(FFile);
}

void TFileStream::SetSize(std::int64_t size) {
  if (FFile == nullptr || size < 0) throw EStreamError("Invalid stream size");
  std::int64_t position = Position();
  std::fflush(FFile);
  std::error_code error;
  std::filesystem::resize_file(std::filesystem::path(FFileName), static_cast<std::uintmax_t>(size), error);
  if (error) throw EInOutError("Cannot resize file \"" + FFileName + "\"", error.value());
  Fseek(FFile, position < size ? position : size, SEEK_SET);
  FLastWasWrite = false;
}
