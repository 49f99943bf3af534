// Feeds the skin loader an "Options.dat" and the files it names, all from one input:
// the text up to the first "\n@@" is the description; each following "@@name\n" starts a file;
// a file named "common" holds the manager's extra sections instead.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/engine/core/ESkinError.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/engine/core/TsSkinLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t cut = input.find("\n@@");
  const std::string_view options = input.substr(0, cut);
  TsMemoryFiles files;
  std::vector<std::string> common = {"[EXTRA]", "PARENTCLASS=BUTTON", "COLOR=1"};
  while (cut != std::string_view::npos) {
    const std::size_t nameStart = cut + 3;
    const std::size_t nameEnd = input.find('\n', nameStart);
    if (nameEnd == std::string_view::npos) break;
    const std::size_t next = input.find("\n@@", nameEnd);
    const std::string_view body = input.substr(
        nameEnd + 1, next == std::string_view::npos ? std::string_view::npos : next - nameEnd - 1);
    const std::string_view name = input.substr(nameStart, nameEnd - nameStart);
    if (name == "common") {
      common.clear();
      for (std::size_t at = 0; at <= body.size() && common.size() < 4096;) {
        std::size_t eol = body.find('\n', at);
        if (eol == std::string_view::npos) eol = body.size();
        common.emplace_back(body.substr(at, eol - at));
        at = eol + 1;
      }
    } else {
      files.Add("S\\" + std::string(name), std::vector<std::uint8_t>(body.begin(), body.end()));
    }
    cut = next;
  }
  TsIniText ini(options);
  TsSkinSource source;
  source.Ini = &ini;
  source.SkinPath = "S\\";
  source.Files = &files;
  source.CommonSections = std::move(common);
  TsLoadedSkin skin;
  try {
    skin = LoadSkin(source);
  } catch (const ESkinError&) {
    return 0;  // a skin beyond the bounds is refused whole
  }
  InstallSkinTables(std::move(skin.Tables));
  SkinData().Active = true;
  ResolveCommonIndexes();
  for (std::size_t i = 0; i < ActiveSkin().SkinSectionData.size() && i < 64; ++i) {
    const std::string& name = ActiveSkin().SkinSectionData[i].SectionName;
    const auto index = static_cast<std::int32_t>(i);
    for (const char* mask : {"BORDERSMASK", "GLYPHMASK", "PATTERN"}) {
      (void)MaskFrameSize(FindMaskIndex(index, name, mask));
      (void)FindPatternIndex(index, name, mask);
    }
  }
  InstallSkinTables({});
  return 0;
}
