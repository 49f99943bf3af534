#include "tests/support/TTempFolder.h"

#include <unistd.h>

#include <atomic>

TTempFolder::TTempFolder(const std::string& prefix) {
  static std::atomic<int> counter{0};
  FPath = std::filesystem::temp_directory_path() /
          (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(FPath);
  std::filesystem::create_directories(FPath);
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}
