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

template <typename TRecord, typename TName>
std::int32_t FindInherited(const std::vector<TRecord>& table, TName nameOf, std::int32_t skinIndex,
                           const std::string& sectionName, const std::string& name) {
  // Each step moves to another section: the walk ends on a cycle (more steps than sections) and
  // at the loader's depth limit, so a hostile chain cannot make every lookup quadratic.
  std::string section = UpperCase(sectionName);
  const std::size_t limit = std::min<std::size_t>(SkinSectionData.size() + 1, MaxInheritanceDepth);
  for (std::size_t step = 0; step < limit; ++step) {
    if (!SectionIndexValid(skinIndex) || section.empty()) return -1;
    for (std::size_t i = 0; i < table.size(); ++i)
      if (nameOf(table[i]) == name && table[i].SectionName == section) return static_cast<std::int32_t>(i);
    std::string parent = UpperCase(SkinSectionData[static_cast<std::size_t>(skinIndex)].ParentClass);
    if (parent.empty() || parent == section) return -1;
    skinIndex = FindSectionIndex(parent);
    if (skinIndex < 0) return -1;
    section = parent;
  }
  return -1;
}

}  // namespace

void InstallSkinTables(TsSkinTables tables) {
  ++SectionGeneration;
  SkinSectionData = std::move(tables.Sections);
  SkinMaskData = std::move(tables.Masks);
  SkinPatternData = std::move(tables.Patterns);
  SkinMasterBitmap = std::move(tables.MasterBitmap);
}

void FreeSkinMasks() {
  SkinMaskData.clear();
  SkinMasterBitmap.reset();
}

void FreeSkinPatterns() {
  SkinPatternData.clear();
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
  return FindInherited(
      SkinMaskData, [](const TsMaskData& m) -> const std::string& { return m.MaskName; }, skinIndex,
      sectionName, maskName);
}

std::int32_t FindPatternIndex(std::int32_t skinIndex, const std::string& sectionName,
                              const std::string& patternName) {
  if (!SkinData().Active) return -1;
  return FindInherited(
      SkinPatternData, [](const TsPatternData& p) -> const std::string& { return p.PatternName; }, skinIndex,
      sectionName, patternName);
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
