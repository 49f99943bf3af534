// Writes the end-to-end firmware: fw-gen OUTDIR [SEED] (see Firmware.h for the files).
#include <filesystem>
#include <iostream>
#include <string>

#include "Firmware.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: fw-gen OUTDIR [SEED]\n";
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    WriteFirmware(GenerateFirmware(argc > 2 ? static_cast<uint32_t>(std::stoul(argv[2])) : 1), argv[1]);
  } catch (const std::exception& e) {
    std::cerr << "fw-gen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
