// Writes a synthetic DRM image: drm-gen OUTDIR [SEED] [RAW] [TYPED]. OUTDIR receives drm.smg,
// picture-N.<type> for each picture and manifest.txt.
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/tools/lp-tool/lp-files.h"

#include <iostream>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: drm-gen OUTDIR [SEED] [RAW] [TYPED]\n";
    return 2;
  }
  const std::string dir = argv[1];
  TGenDRMPlan plan;
  if (argc > 2) plan.Seed = uint32_t(std::stoul(argv[2]));
  if (argc > 3) plan.RawPictures = std::stoi(argv[3]);
  if (argc > 4) plan.TypedPictures = std::stoi(argv[4]);
  try {
    const TGenDRM drm = GenerateDRM(plan);
    lp::WriteFile(dir + "/drm.smg", drm.Image.data(), drm.Image.size());
    for (size_t i = 0; i < drm.Pictures.size(); ++i) {
      const TGenPicture& p = drm.Pictures[i];
      lp::WriteFile(dir + "/picture-" + std::to_string(i + 1) + "." + p.Type, p.Data.data(), p.Data.size());
    }
    const std::string manifest = drm.Manifest();
    lp::WriteFile(dir + "/manifest.txt", manifest.data(), manifest.size());
  } catch (const std::exception& e) {
    std::cerr << "drm-gen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
