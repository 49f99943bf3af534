#pragma once

// A whole firmware for walking the program end to end: a superfile of every kind of code group,
// with a real language pack and a real DRM image, replacement pictures, and a manifest of it all.

#include <cstdint>
#include <string>
#include <vector>

#include "shx-generator.h"
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/editors/generators/LangPackGenerator.h"

struct TFirmware {
  std::vector<TShxGroup> Groups;  // by code group
  std::vector<uint8_t> Superfile;
  TGenPack LangPack;  // CG 4
  TGenDRM DRM;        // CG 15
  // Replacements for a RAW and a GIF picture of the DRM image.
  int RawWidth = 0, RawHeight = 0;
  std::vector<uint8_t> ReplacementRaw;
  std::vector<uint8_t> ReplacementGif;
  int CjkLanguage = -1;  // index of the CJK language in LangPack.Languages

  // "group CG START SIZE" per group, then the language pack's and the DRM image's manifests.
  std::string Manifest() const;
};

TFirmware GenerateFirmware(uint32_t seed);

// Writes firmware.shx, group-CG.bin per group, manifest.txt, lang-N.txt (UTF-8 strings, one per line),
// picture-N.TYPE, replace.raw and replace.gif into `dir`, which must exist.
void WriteFirmware(const TFirmware& firmware, const std::string& dir);
