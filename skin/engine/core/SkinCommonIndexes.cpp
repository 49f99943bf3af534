#include "skin/engine/core/SkinCommonIndexes.h"

#include <string>

#include "skin/engine/core/SkinTables.h"

std::array<std::int16_t, 64> SkinCommonIndexes = [] {
  std::array<std::int16_t, 64> a{};
  a.fill(-1);
  return a;
}();

namespace {

std::int16_t Narrow(std::int32_t v) {
  return v > 32767 ? static_cast<std::int16_t>(-1) : static_cast<std::int16_t>(v);
}

}  // namespace

void ResolveCommonIndexes() {
  auto& ix = SkinCommonIndexes;
  auto section = [](const char* name) { return Narrow(FindSectionIndex(name)); };
  auto mask = [](std::int16_t sectionIndex, const char* sectionName, const char* maskName) {
    return Narrow(FindMaskIndex(sectionIndex, sectionName, maskName));
  };
  ix.fill(-1);
  ix[0] = section("GLOBALINFO");

  const char* tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  const char* buttons[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
  const char* bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
  for (int k = 0; k < 4; ++k) {
    ix[1 + k] = section(tabs[k]);
    ix[5 + k] = mask(ix[1 + k], tabs[k], "BORDERSMASK");
    ix[9 + k] = section(buttons[k]);
    ix[13 + k] = mask(ix[9 + k], buttons[k], "BORDERSMASK");
    ix[17 + k] = mask(ix[9 + k], buttons[k], "PATTERN");
    ix[21 + k] = mask(ix[9 + k], buttons[k], "HOTPATTERN");
    ix[25 + k] = mask(ix[9 + k], buttons[k], "GLYPHMASK");
    ix[39 + k] = section(bars[k]);
    ix[43 + k] = mask(ix[39 + k], bars[k], "BORDERSMASK");
    ix[47 + k] = mask(ix[39 + k], bars[k], "PATTERN");
    ix[51 + k] = mask(ix[39 + k], bars[k], "HOTPATTERN");
  }
  ix[29] = section("SCROLLSLIDERV");
  ix[30] = section("SCROLLSLIDERH");
  ix[31] = mask(ix[29], "SCROLLSLIDERV", "BORDERSMASK");
  ix[32] = mask(ix[30], "SCROLLSLIDERH", "BORDERSMASK");
  ix[33] = mask(ix[29], "SCROLLSLIDERV", "GLYPHMASK");
  ix[34] = mask(ix[30], "SCROLLSLIDERH", "GLYPHMASK");
  ix[35] = mask(ix[30], "SCROLLSLIDERH", "PATTERN");
  ix[36] = mask(ix[30], "SCROLLSLIDERH", "HOTPATTERN");
  ix[37] = mask(ix[29], "SCROLLSLIDERV", "PATTERN");
  ix[38] = mask(ix[29], "SCROLLSLIDERV", "HOTPATTERN");

  const char* glyphs[9] = {"BOXCHECKED",  "BOXUNCHECKED", "BOXGRAYED",      "RADIOCHECKED", "RADIOUNCHECKED",
                           "RADIOGRAYED", "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED"};
  for (int k = 0; k < 9; ++k) ix[55 + k] = mask(ix[0], "GLOBALINFO", glyphs[k]);
}
