// Writes a synthetic language pack: lp-gen OUTDIR [SEED] [LANGUAGES] [small|large]. OUTDIR receives
// pack.smg, lang-N.lng and strings-N.txt for each language, and manifest.txt.
// lp-gen OUTDIR looping BYTES writes looping.smg, the hostile pack of GenerateLoopingLangPack.
#include "tests/editors/generators/LangPackGenerator.h"
#include "tests/tools/lp-tool/lp-files.h"

#include <iostream>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: lp-gen OUTDIR [SEED] [LANGUAGES] [small|large]\n";
    return 2;
  }
  const std::string dir = argv[1];
  if (argc == 4 && std::string(argv[2]) == "looping") {
    const auto image = GenerateLoopingLangPack(uint32_t(std::stoul(argv[3])));
    lp::WriteFile(dir + "/looping.smg", image.data(), image.size());
    return 0;
  }
  const uint32_t seed = argc > 2 ? uint32_t(std::stoul(argv[2])) : 1;
  const int languages = argc > 3 ? std::stoi(argv[3]) : 3;
  const bool large = argc > 4 && std::string(argv[4]) == "large";
  try {
    const TGenPack pack =
        GenerateLangPack(large ? LargeLangPackPlan(seed, languages) : SmallLangPackPlan(seed, languages));
    lp::WriteFile(dir + "/pack.smg", pack.Image.data(), pack.Image.size());
    for (size_t k = 0; k < pack.Languages.size(); ++k) {
      const TGenLanguage& lang = pack.Languages[k];
      lp::WriteFile(dir + "/lang-" + std::to_string(k) + ".lng", lang.Lng.data(), lang.Lng.size());
      std::string lines;
      for (const auto& s : lang.Strings) lines += lp::ToUtf8(s) + "\n";
      lp::WriteFile(dir + "/strings-" + std::to_string(k) + ".txt", lines.data(), lines.size());
    }
    const std::string manifest = pack.Manifest();
    lp::WriteFile(dir + "/manifest.txt", manifest.data(), manifest.size());
  } catch (const std::exception& e) {
    std::cerr << "lp-gen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
