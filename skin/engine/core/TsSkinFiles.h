#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Where the loader reads the pictures a skin names.
class TsSkinFiles {
public:
  virtual ~TsSkinFiles() = default;
  // The whole file, or nothing when it is missing or cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> Read(const std::string& path) const = 0;
  // Whether the file is there, read or not (a file too large to read is there).
  virtual bool Exists(const std::string& path) const = 0;
};

// Files on disk. Paths use '\' as in skin files; other platforms read them with '/'.
class TsDiskFiles : public TsSkinFiles {
public:
  // Larger files are not skin pictures and are not read.
  static constexpr std::uintmax_t MaxFileSize = 64u * 1024 * 1024;
  std::optional<std::vector<std::uint8_t>> Read(const std::string& path) const override;
  bool Exists(const std::string& path) const override;
  static std::string NativePath(const std::string& path);
  static std::optional<std::string> ReadText(const std::string& path);
};

// Files held in memory, looked up by path ignoring case (tests, fuzzing).
class TsMemoryFiles : public TsSkinFiles {
public:
  void Add(const std::string& path, std::vector<std::uint8_t> bytes);
  std::optional<std::vector<std::uint8_t>> Read(const std::string& path) const override;
  bool Exists(const std::string& path) const override;

private:
  std::map<std::string, std::vector<std::uint8_t>> FFiles;
};
