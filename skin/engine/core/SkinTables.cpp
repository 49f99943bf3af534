#include "skin/engine/core/SkinTables.h"

#include <algorithm>
#include <unordered_map>

#include "skin/engine/core/TsIniText.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/engine/core/TsSkinLoader.h"

std::vector<TsSectionData> SkinSectionData;
std::vector<TsMaskData> SkinMaskData;
std::vector<TsPatternData> SkinPatternData;
std::shared_ptr<const TsPixmap> SkinMasterBitmap;

namespace {

// Bumped whenever the section table is replaced, so the lookup index never outlives it.
std::uint64_t SectionGeneration = 0;

// The first record of name in a section, or -1; found looks one section up.
template <typename TFound>
std::int32_t FindInherited(TFound found, std::int32_t skinIndex, const std::string& sectionName) {
  // Each step moves to another section: the walk ends on a cycle (more steps than sections) and
  // at the loader's depth limit, so a hostile chain cannot make every lookup quadratic.
  std::string section = UpperCase(sectionName);
  const std::size_t limit = std::min<std::size_t>(SkinSectionData.size() + 1, MaxInheritanceDepth);
  for (std::size_t step = 0; step < limit; ++step) {
    if (!SectionIndexValid(skinIndex) || section.empty()) return -1;
    const std::int32_t index = found(section);
    if (index >= 0) return index;
    std::string parent = UpperCase(SkinSectionData[static_cast<std::size_t>(skinIndex)].ParentClass);
    if (parent.empty() || parent == section) return -1;
    skinIndex = FindSectionIndex(parent);
    if (skinIndex < 0) return -1;
    section = parent;
  }
  return -1;
}

template <typename TRecord, typename TName>
std::int32_t FindInherited(const std::vector<TRecord>& table, TName nameOf, std::int32_t skinIndex,
                           const std::string& sectionName, const std::string& name) {
  auto found = [&](const std::string& section) {
    for (std::size_t i = 0; i < table.size(); ++i)
      if (nameOf(table[i]) == name && table[i].SectionName == section) return static_cast<std::int32_t>(i);
    return std::int32_t{-1};
  };
  return FindInherited(found, skinIndex, sectionName);
}

// The first record of each (section, name) of a table, for resolving every section at once.
class TFirstRecords {
public:
  template <typename TRecord, typename TName>
  TFirstRecords(const std::vector<TRecord>& table, TName nameOf) {
    for (std::size_t i = 0; i < table.size(); ++i)
      FFirst.emplace(Key(table[i].SectionName, nameOf(table[i])), static_cast<std::int32_t>(i));
  }
  std::int32_t Find(std::int32_t skinIndex, const std::string& name) const {
    auto found = [&](const std::string& section) {
      auto it = FFirst.find(Key(section, name));
      return it == FFirst.end() ? std::int32_t{-1} : it->second;
    };
    return FindInherited(found, skinIndex, SkinSectionData[static_cast<std::size_t>(skinIndex)].SectionName);
  }

private:
  // Section names hold no line breaks: the loader takes them from ini section headers.
  static std::string Key(const std::string& section, const std::string& name) { return section + '\n' + name; }
  std::unordered_map<std::string, std::int32_t> FFirst;
};

const std::string& MaskNameOf(const TsMaskData& m) {
  return m.MaskName;
}
const std::string& PatternNameOf(const TsPatternData& p) {
  return p.PatternName;
}

// Each section's images in the current tables.
void ResolveSectionImages() {
  const TFirstRecords masks(SkinMaskData, MaskNameOf);
  const TFirstRecords patterns(SkinPatternData, PatternNameOf);
  for (std::size_t i = 0; i < SkinSectionData.size(); ++i) {
    const auto index = static_cast<std::int32_t>(i);
    TsSectionImages& images = SkinSectionData[i].Images;
    images.PatternMask = masks.Find(index, "PATTERN");
    images.HotPatternMask = masks.Find(index, "HOTPATTERN");
    images.BordersMask = masks.Find(index, "BORDERSMASK");
    images.Pattern = patterns.Find(index, "PATTERN");
    images.HotPattern = patterns.Find(index, "HOTPATTERN");
  }
}

}  // namespace

void InstallSkinTables(TsSkinTables tables) {
  ++SectionGeneration;
  SkinSectionData = std::move(tables.Sections);
  SkinMaskData = std::move(tables.Masks);
  SkinPatternData = std::move(tables.Patterns);
  SkinMasterBitmap = std::move(tables.MasterBitmap);
  ResolveSectionImages();
}

void FreeSkinMasks() {
  SkinMaskData.clear();
  SkinMasterBitmap.reset();
  ResolveSectionImages();
}

void FreeSkinPatterns() {
  SkinPatternData.clear();
  ResolveSectionImages();
}

void FreeSkinSections() {
  SkinSectionData.clear();
}

std::int32_t FindSectionIndex(const std::string& name) {
  // A hashed index of the first record of each name, rebuilt after every install and whenever
  // the table is not the one it was built for (callers may fill the table themselves). A hit that
  // still matches is trusted; a miss is confirmed by the plain search.
  static std::unordered_map<std::string, std::int32_t> index;
  static std::uint64_t builtGeneration = ~0ull;
  static const TsSectionData* builtFor = nullptr;
  static std::size_t builtSize = 0;
  if (builtGeneration != SectionGeneration || builtFor != SkinSectionData.data() ||
      builtSize != SkinSectionData.size()) {
    index.clear();
    for (std::size_t i = 0; i < SkinSectionData.size(); ++i)
      index.emplace(UpperCase(SkinSectionData[i].SectionName), static_cast<std::int32_t>(i));
    builtGeneration = SectionGeneration;
    builtFor = SkinSectionData.data();
    builtSize = SkinSectionData.size();
  }
  auto it = index.find(UpperCase(name));
  if (it != index.end() && SameText(SkinSectionData[static_cast<std::size_t>(it->second)].SectionName, name))
    return it->second;
  for (std::size_t i = 0; i < SkinSectionData.size(); ++i)
    if (SameText(SkinSectionData[i].SectionName, name)) return static_cast<std::int32_t>(i);
  return -1;
}

std::int32_t FindMaskIndex(std::int32_t skinIndex, const std::string& sectionName,
                           const std::string& maskName) {
  return FindInherited(SkinMaskData, MaskNameOf, skinIndex, sectionName, maskName);
}

std::int32_t FindPatternIndex(std::int32_t skinIndex, const std::string& sectionName,
                              const std::string& patternName) {
  if (!SkinData().Active) return -1;
  return FindInherited(SkinPatternData, PatternNameOf, skinIndex, sectionName, patternName);
}

TsSectionImages SectionImagesOf(std::int32_t skinIndex) {
  if (!SectionIndexValid(skinIndex)) return {};
  TsSectionImages images = SkinSectionData[static_cast<std::size_t>(skinIndex)].Images;
  if (!SkinData().Active) images.Pattern = images.HotPattern = -1;
  return images;
}

bool SectionIndexValid(std::int32_t index) {
  return index >= 0 && static_cast<std::size_t>(index) < SkinSectionData.size();
}

bool MaskIndexValid(std::int32_t index) {
  return index >= 0 && static_cast<std::size_t>(index) < SkinMaskData.size();
}

TsFrameSize MaskFrameSize(std::int32_t maskIndex) {
  if (!MaskIndexValid(maskIndex)) return {};
  const TsMaskData& m = SkinMaskData[static_cast<std::size_t>(maskIndex)];
  if (m.Bmp) return {m.Bmp->Width() / 3, m.Bmp->Height() / 2};
  return {WidthOf(m.R) / std::max<std::int32_t>(m.ImageCount, 1),
          HeightOf(m.R) / (std::max<std::int32_t>(m.MaskType, 0) + 1)};
}
