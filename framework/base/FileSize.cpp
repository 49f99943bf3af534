#include "framework/base/FileSize.h"

#include <sys/stat.h>
#include <sys/types.h>

std::int64_t FileSizeOf(const std::string& fileName) {
#ifdef _WIN32
  struct _stat64 info;
  if (_stat64(fileName.c_str(), &info) != 0) return -1;
  if ((info.st_mode & _S_IFMT) != _S_IFREG) return -1;
#else
  struct stat info;
  if (stat(fileName.c_str(), &info) != 0) return -1;
  if (!S_ISREG(info.st_mode)) return -1;
#endif
  return info.st_size;
}
