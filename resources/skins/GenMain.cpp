// Build step: draws the bundled skins into the program's Skins folder.
#include <cstdio>
#include <filesystem>

#include "SkinGenerator.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SKINS-FOLDER\n", argv[0]);
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[1], ec);
  if (!skingen::GenerateSkins(argv[1])) {
    std::fprintf(stderr, "skin generator: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
