#include "app/core/CodeGroups.h"

std::string GetCGName(int cg) {
  switch (cg) {
    case -2:
      return kRamDownloaderType;
    case -1:
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
    case -2:
      return "RAMDLD";
    case -1:
      return "BootLDR";
    default:
      return "CG" + std::to_string(cg);
  }
}
