#include "skin/engine/core/SkinTables.h"

#include <algorithm>

#include "skin/engine/core/TsIniText.h"
#include "skin/engine/core/TsSkinData.h"

std::vector<TsSectionData> SkinSectionData;
std::vector<TsMaskData> SkinMaskData;
std::vector<TsPatternData> SkinPatternData;
std::shared_ptr<const TsPixmap> SkinMasterBitmap;

namespace {

template <typename TRecord, typename TName>
std::int32_t FindInherited(const std::vector<TRecord>& table, TName nameOf, std::int32_t skinIndex,
                           const std::string& sectionName, const std::string& name) {
  // Each step moves to another section; more steps than sections means a PARENTCLASS cycle.
  std::string section = UpperCase(sectionName);
  for (std::size_t step = 0; step <= SkinSectionData.size(); ++step) {
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
  SkinSectionData = std::move(tables.Sections);
  SkinMaskData = std::move(tables.Masks);
  SkinPatternData = std::move(tables.Patterns);
  SkinMasterBitmap = std::move(tables.MasterBitmap);
}

void FreeSkinMasks() {
  SkinMaskData.clear();
  SkinMasterBitmap.reset();
}

void FreeSkinPatterns() { SkinPatternData.clear(); }

void FreeSkinSections() { SkinSectionData.clear(); }

std::int32_t FindSectionIndex(const std::string& name) {
  for (std::size_t i = 0; i < SkinSectionData.size(); ++i)
    if (SameText(SkinSectionData[i].SectionName, name)) return static_cast<std::int32_t>(i);
  return -1;
}

std::int32_t FindMaskIndex(std::int32_t skinIndex, const std::string& sectionName, const std::string& maskName) {
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
