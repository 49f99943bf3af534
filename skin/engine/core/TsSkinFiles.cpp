#include "skin/engine/core/TsSkinFiles.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "skin/engine/core/TsIniText.h"

std::string TsDiskFiles::NativePath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  std::string r = path;
  for (char& c : r)
    if (c == '\\') c = '/';
  return r;
#endif
}

std::optional<std::vector<std::uint8_t>> TsDiskFiles::Read(const std::string& path) const {
  std::error_code ec;
  const std::filesystem::path p(NativePath(path));
  if (!std::filesystem::is_regular_file(p, ec)) return std::nullopt;
  const auto size = std::filesystem::file_size(p, ec);
  if (ec || size > MaxFileSize) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
    return std::nullopt;
  return bytes;
}

bool TsDiskFiles::Exists(const std::string& path) const {
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(NativePath(path)), ec);
}

std::optional<std::string> TsDiskFiles::ReadText(const std::string& path) {
  auto bytes = TsDiskFiles().Read(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

void TsMemoryFiles::Add(const std::string& path, std::vector<std::uint8_t> bytes) {
  FFiles[UpperCase(path)] = std::move(bytes);
}

std::optional<std::vector<std::uint8_t>> TsMemoryFiles::Read(const std::string& path) const {
  auto it = FFiles.find(UpperCase(path));
  if (it == FFiles.end()) return std::nullopt;
  return it->second;
}

bool TsMemoryFiles::Exists(const std::string& path) const {
  return FFiles.count(UpperCase(path)) > 0;
}
