#include "Firmware.h"

#include <sstream>

namespace {

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

}  // namespace

TFirmware GenerateFirmware(uint32_t seed) {
  TFirmware fw;

  TGenPackPlan lang = SmallLangPackPlan(seed, 3);
  lang.Base = 0x11200000;
  lang.Languages.back().Alphabet = TAlphabet::Cjk;
  fw.CjkLanguage = static_cast<int>(lang.Languages.size()) - 1;
  fw.LangPack = GenerateLangPack(lang);

  TGenDRMPlan drm;
  drm.Seed = seed;
  drm.Base = 0x12000000;
  drm.RawPictures = 3;
  drm.TypedPictures = 4;
  drm.UnalignedSize = true;
  fw.DRM = GenerateDRM(drm);

  fw.Groups.push_back({-2, 0x03FD0000, MakeRamDownloader(6001, seed)});
  fw.Groups.push_back({0, 0x10000000, MakeMemoryMap(1031, seed + 1)});
  fw.Groups.push_back({1, 0x10000000 + 1031, RandomBytes(40003, seed + 2)});
  fw.Groups.push_back({2, 0x10800000, RandomBytes(4096 + 63, seed + 3)});
  fw.Groups.push_back({4, fw.LangPack.Base, fw.LangPack.Image});
  fw.Groups.push_back({15, fw.DRM.Base, fw.DRM.Image});
  fw.Groups.push_back({18, 0x13FF0000, RandomBytes(65, seed + 7)});
  fw.Superfile = BuildSuperfile(fw.Groups);

  // An odd width, but an even pixel count: the editor replaces a RAW picture only by one whose
  // size differs by a multiple of 4 bytes (the generated RAW pictures' sizes all are).
  fw.RawWidth = 13;
  fw.RawHeight = 8;
  fw.ReplacementRaw = MakeDRMRaw(fw.RawWidth, fw.RawHeight, seed + 11);
  fw.ReplacementGif = MakeDRMGif(9, 11, 301, seed + 12);
  return fw;
}

std::string TFirmware::Manifest() const {
  std::ostringstream out;
  for (const TShxGroup& g : Groups)
    out << "group " << g.CG << " " << std::hex << g.Start << std::dec << " " << g.Data.size() << "\n";
  out << "cjk-language " << CjkLanguage << "\n";
  out << "raw-replacement " << RawWidth << "x" << RawHeight << "\n";
  out << "[langpack]\n" << LangPack.Manifest() << "[drm]\n" << DRM.Manifest();
  return out.str();
}

void WriteFirmware(const TFirmware& fw, const std::string& dir) {
  WriteFileBytes(dir + "/firmware.shx", fw.Superfile);
  for (const TShxGroup& g : fw.Groups) WriteFileBytes(dir + "/group" + std::to_string(g.CG) + ".bin", g.Data);
  const std::string manifest = fw.Manifest();
  WriteFileBytes(dir + "/manifest.txt", std::vector<uint8_t>(manifest.begin(), manifest.end()));
  for (size_t k = 0; k < fw.LangPack.Languages.size(); ++k) {
    std::string lines;
    for (const std::u16string& s : fw.LangPack.Languages[k].Strings) lines += Utf8(s) + "\n";
    WriteFileBytes(dir + "/lang-" + std::to_string(k) + ".txt", std::vector<uint8_t>(lines.begin(), lines.end()));
  }
  for (size_t i = 0; i < fw.DRM.Pictures.size(); ++i) {
    const TGenPicture& p = fw.DRM.Pictures[i];
    WriteFileBytes(dir + "/picture-" + std::to_string(i + 1) + "." + Lower(p.Type), p.Data);
  }
  WriteFileBytes(dir + "/replace.raw", fw.ReplacementRaw);
  WriteFileBytes(dir + "/replace.gif", fw.ReplacementGif);
}
