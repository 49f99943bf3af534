#pragma once

#include <memory>
#include <string>

#include "skin/engine/core/TsIniText.h"

class TsSkinManager;

// Global state of the loaded skin; exactly one object (SkinData()).
class TsSkinData {
public:
  TsSkinManager* DefaultManager = nullptr;  // not owned
  std::unique_ptr<TsIniText> IniFile;       // "Options.dat" of the loaded skin, null otherwise
  std::string SkinPath;                     // skin folder with a trailing backslash
  bool Active = false;                      // a skin is loaded and usable
  double Version = 0;
  std::string Author;
  std::string Description;
  // Name of a section whose look changed (SectionChanged); upper case.
  std::string ChangedSection;
};

TsSkinData& SkinData();

// True only while the manager broadcasts NewSkin of a skin change.
extern bool SkinChanging;
