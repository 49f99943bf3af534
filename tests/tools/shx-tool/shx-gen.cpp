// Writes a generated superfile: shx-gen OUT [FLASH_BYTES] [SEED]; FLASH_BYTES 0 gives a small one.
#include <cstdlib>
#include <iostream>

#include "shx-generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: shx-gen OUT [FLASH_BYTES] [SEED]\n";
    return 3;
  }
  const size_t flash = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 100000;
  const uint32_t seed = argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1;
  WriteFileBytes(argv[1], BuildSuperfile(flash == 0 ? SmallFirmware(seed) : RealisticFirmware(flash, seed)));
  return 0;
}
