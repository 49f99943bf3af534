#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/base/TIniFile.h"
#include "framework/base/TStringList.h"

// Whatever the file holds: every section and key reads, writing keeps what was there, and the
// written text reads back to the same values.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string name = "/tmp/tvx_ini_fuzz_" + std::to_string(getpid()) + ".ini";
  if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  TIniFile ini(name);
  TStringList sections, keys;
  ini.ReadSections(sections);
  std::string values;
  for (int s = 0; s < sections.Count(); ++s) {
    ini.ReadSection(sections[s], keys);
    for (int k = 0; k < keys.Count(); ++k) values += ini.ReadString(sections[s], keys[k], "") + "\n";
  }
  ini.WriteString("Environment", "SkinName", "Desert");
  ini.WriteBool("Environment", "Skined", true);
  ini.UpdateFile();
  TIniFile back(name);
  if (back.ReadString("environment", "skinname", "") != "Desert" || !back.ReadBool("Environment", "Skined", false))
    std::abort();
  if (back.Text() != ini.Text()) std::abort();
  std::remove(name.c_str());
  return 0;
}
