#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the temp folder, removed with everything in it when the object goes.
class TTempFolder {
public:
  explicit TTempFolder(const std::string& prefix = "tarvex");
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  std::string operator/(const std::string& name) const { return (FPath / name).string(); }

private:
  std::filesystem::path FPath;
};
