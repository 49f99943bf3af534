#include "workbench/core/CodeGroups.h"

std::string GetCGName(int cg) {
  switch (cg) {
    case kRamDownloaderCG:
      return kRamDownloaderType;
    case kBootLoaderCG:
      return kBootLoaderType;
    case 0:
      return "Memory map";
    case 1:
      return "Flash";
    case 2:
      return "Flex";
    case 3:
      return "DSP";
    case 4:
      return "LangPack";
    case 7:
      return "PDS (Safety zone)";
    case 15:
      return "DRM (graphics)";
    case 18:
      return "Signature";
    default:
      return "CG" + std::to_string(cg);
  }
}

std::string GetCGFileTag(int cg) {
  switch (cg) {
    case kRamDownloaderCG:
      return "RAMDLD";
    case kBootLoaderCG:
      return "BootLDR";
    default:
      return "CG" + std::to_string(cg);
  }
}
