#include "workbench/core/FileHelpers.h"

#include "framework/base/FileSize.h"
#include "workbench/core/TRawFile.h"

int64_t GetFileSizeByName(const std::string& fileName) {
  return FileSizeOf(fileName);
}

bool LoadFileToMem(const std::string& fileName, std::vector<uint8_t>& buffer) {
  buffer.clear();
  if (fileName.empty() || !TRawFile::Exists(fileName)) return false;
  TRawFile file(fileName, TRawFile::TMode::Read);
  const int64_t size = file.Size();
  if (size <= 0) return false;
  if (static_cast<uint64_t>(size) > buffer.max_size())
    throw EInOutError("File too large to load \"" + fileName + "\"", 0);
  buffer.resize(static_cast<size_t>(size));
  const size_t done = file.Read(buffer.data(), buffer.size());
  file.Close();
  if (done != buffer.size()) {
    buffer.resize(done);
    return false;
  }
  return true;
}
