#include "skin/engine/core/SkinTables.h"

#include <algorithm>
#include <unordered_map>

#include "skin/engine/core/TsIniText.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

// The first record of name in a section, or -1; found looks one section up.
template <typename TFound>
std::int32_t FindInherited(const TsActiveSkin& skin, TFound found, std::int32_t skinIndex,
                           const std::string& sectionName) {
  // Each step moves to another section: the walk ends on a cycle (more steps than sections) and
  // at the loader's depth limit, so a hostile chain cannot make every lookup quadratic.
  std::string section = UpperCase(sectionName);
  const std::size_t limit = std::min<std::size_t>(skin.SkinSectionData.size() + 1, MaxInheritanceDepth);
  for (std::size_t step = 0; step < limit; ++step) {
    if (!skin.SectionIndexValid(skinIndex) || section.empty()) return -1;
    const std::int32_t index = found(section);
    if (index >= 0) return index;
    std::string parent = UpperCase(skin.SkinSectionData[static_cast<std::size_t>(skinIndex)].ParentClass);
    if (parent.empty() || parent == section) return -1;
    skinIndex = skin.FindSectionIndex(parent);
    if (skinIndex < 0) return -1;
    section = parent;
  }
  return -1;
}

template <typename TRecord, typename TName>
std::int32_t FindInherited(const TsActiveSkin& skin, const std::vector<TRecord>& table, TName nameOf,
                           std::int32_t skinIndex, const std::string& sectionName, const std::string& name) {
  auto found = [&](const std::string& section) {
    for (std::size_t i = 0; i < table.size(); ++i)
      if (nameOf(table[i]) == name && table[i].SectionName == section) return static_cast<std::int32_t>(i);
    return std::int32_t{-1};
  };
  return FindInherited(skin, found, skinIndex, sectionName);
}

// The first record of each (section, name) of a table, for resolving every section at once.
class TFirstRecords {
public:
  template <typename TRecord, typename TName>
  TFirstRecords(const std::vector<TRecord>& table, TName nameOf) {
    for (std::size_t i = 0; i < table.size(); ++i)
      FFirst.emplace(Key(table[i].SectionName, nameOf(table[i])), static_cast<std::int32_t>(i));
  }
  std::int32_t Find(const TsActiveSkin& skin, std::int32_t skinIndex, const std::string& name) const {
    auto found = [&](const std::string& section) {
      auto it = FFirst.find(Key(section, name));
      return it == FFirst.end() ? std::int32_t{-1} : it->second;
    };
    return FindInherited(skin, found, skinIndex,
                         skin.SkinSectionData[static_cast<std::size_t>(skinIndex)].SectionName);
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

}  // namespace

TsActiveSkin& ActiveSkin() {
  static TsActiveSkin skin;
  return skin;
}

// Each section's images in the current tables.
void TsActiveSkin::ResolveSectionImages() {
  const TFirstRecords masks(SkinMaskData, MaskNameOf);
  const TFirstRecords patterns(SkinPatternData, PatternNameOf);
  for (std::size_t i = 0; i < SkinSectionData.size(); ++i) {
    const auto index = static_cast<std::int32_t>(i);
    TsSectionImages& images = SkinSectionData[i].Images;
    images.PatternMask = masks.Find(*this, index, "PATTERN");
    images.HotPatternMask = masks.Find(*this, index, "HOTPATTERN");
    images.BordersMask = masks.Find(*this, index, "BORDERSMASK");
    images.Pattern = patterns.Find(*this, index, "PATTERN");
    images.HotPattern = patterns.Find(*this, index, "HOTPATTERN");
  }
}

void TsActiveSkin::InstallTables(TsSkinTables tables) {
  FIndexValid = false;
  SkinSectionData = std::move(tables.Sections);
  SkinMaskData = std::move(tables.Masks);
  SkinPatternData = std::move(tables.Patterns);
  SkinMasterBitmap = std::move(tables.MasterBitmap);
  ResolveSectionImages();
}

void TsActiveSkin::FreeMasks() {
  SkinMaskData.clear();
  SkinMasterBitmap.reset();
  ResolveSectionImages();
}

void TsActiveSkin::FreePatterns() {
  SkinPatternData.clear();
  ResolveSectionImages();
}

void TsActiveSkin::FreeSections() {
  SkinSectionData.clear();
}

std::int32_t TsActiveSkin::FindSectionIndex(const std::string& name) const {
  // A hit that still matches is trusted; a miss is confirmed by the plain search.
  if (!FIndexValid || FIndexedData != SkinSectionData.data() || FIndexedSize != SkinSectionData.size()) {
    FSectionIndex.clear();
    for (std::size_t i = 0; i < SkinSectionData.size(); ++i)
      FSectionIndex.emplace(UpperCase(SkinSectionData[i].SectionName), static_cast<std::int32_t>(i));
    FIndexValid = true;
    FIndexedData = SkinSectionData.data();
    FIndexedSize = SkinSectionData.size();
  }
  auto it = FSectionIndex.find(UpperCase(name));
  if (it != FSectionIndex.end() &&
      SameText(SkinSectionData[static_cast<std::size_t>(it->second)].SectionName, name))
    return it->second;
  for (std::size_t i = 0; i < SkinSectionData.size(); ++i)
    if (SameText(SkinSectionData[i].SectionName, name)) return static_cast<std::int32_t>(i);
  return -1;
}

std::int32_t TsActiveSkin::FindMaskIndex(std::int32_t skinIndex, const std::string& sectionName,
                                         const std::string& maskName) const {
  return FindInherited(*this, SkinMaskData, MaskNameOf, skinIndex, sectionName, maskName);
}

std::int32_t TsActiveSkin::FindPatternIndex(std::int32_t skinIndex, const std::string& sectionName,
                                            const std::string& patternName) const {
  if (!SkinData().Active) return -1;
  return FindInherited(*this, SkinPatternData, PatternNameOf, skinIndex, sectionName, patternName);
}

TsSectionImages TsActiveSkin::SectionImagesOf(std::int32_t skinIndex) const {
  if (!SectionIndexValid(skinIndex)) return {};
  TsSectionImages images = SkinSectionData[static_cast<std::size_t>(skinIndex)].Images;
  if (!SkinData().Active) images.Pattern = images.HotPattern = -1;
  return images;
}

bool TsActiveSkin::SectionIndexValid(std::int32_t index) const {
  return index >= 0 && static_cast<std::size_t>(index) < SkinSectionData.size();
}

bool TsActiveSkin::MaskIndexValid(std::int32_t index) const {
  return index >= 0 && static_cast<std::size_t>(index) < SkinMaskData.size();
}

TsFrameSize TsActiveSkin::MaskFrameSize(std::int32_t maskIndex) const {
  if (!MaskIndexValid(maskIndex)) return {};
  const TsMaskData& m = SkinMaskData[static_cast<std::size_t>(maskIndex)];
  if (m.Bmp) return {m.Bmp->Width() / 3, m.Bmp->Height() / 2};
  return {WidthOf(m.R) / std::max<std::int32_t>(m.ImageCount, 1),
          HeightOf(m.R) / (std::max<std::int32_t>(m.MaskType, 0) + 1)};
}

TsPaintColorsScope::TsPaintColorsScope(const TsActiveSkin& skin, std::optional<TColor> keyFill,
                                       std::optional<TColor> background)
    : FSkin(skin), FKeyFill(skin.SkinKeyFillColor), FBackground(skin.SkinBackgroundFillColor) {
  if (keyFill) skin.SkinKeyFillColor = *keyFill;
  if (background) skin.SkinBackgroundFillColor = *background;
}

TsPaintColorsScope::~TsPaintColorsScope() {
  FSkin.SkinKeyFillColor = FKeyFill;
  FSkin.SkinBackgroundFillColor = FBackground;
}

void InstallSkinTables(TsSkinTables tables) {
  ActiveSkin().InstallTables(std::move(tables));
}

std::int32_t FindSectionIndex(const std::string& name) {
  return ActiveSkin().FindSectionIndex(name);
}

std::int32_t FindMaskIndex(std::int32_t skinIndex, const std::string& sectionName,
                           const std::string& maskName) {
  return ActiveSkin().FindMaskIndex(skinIndex, sectionName, maskName);
}

std::int32_t FindPatternIndex(std::int32_t skinIndex, const std::string& sectionName,
                              const std::string& patternName) {
  return ActiveSkin().FindPatternIndex(skinIndex, sectionName, patternName);
}

TsSectionImages SectionImagesOf(std::int32_t skinIndex) {
  return ActiveSkin().SectionImagesOf(skinIndex);
}

bool SectionIndexValid(std::int32_t index) {
  return ActiveSkin().SectionIndexValid(index);
}

bool MaskIndexValid(std::int32_t index) {
  return ActiveSkin().MaskIndexValid(index);
}

TsFrameSize MaskFrameSize(std::int32_t maskIndex) {
  return ActiveSkin().MaskFrameSize(maskIndex);
}

namespace {

std::int16_t Narrow(std::int32_t v) {
  return v > 32767 ? static_cast<std::int16_t>(-1) : static_cast<std::int16_t>(v);
}

std::int16_t Mask(const TsActiveSkin& skin, std::int16_t section, const char* sectionName,
                  const char* maskName) {
  return Narrow(skin.FindMaskIndex(section, sectionName, maskName));
}

enum class TMasks { Border, Patterns, PatternsAndGlyph };

TsCommonSection Resolve(const TsActiveSkin& skin, const char* name, TMasks masks) {
  TsCommonSection s;
  s.Section = Narrow(skin.FindSectionIndex(name));
  s.BordersMask = Mask(skin, s.Section, name, "BORDERSMASK");
  if (masks == TMasks::Border) return s;
  s.Pattern = Mask(skin, s.Section, name, "PATTERN");
  s.HotPattern = Mask(skin, s.Section, name, "HOTPATTERN");
  if (masks == TMasks::PatternsAndGlyph) s.GlyphMask = Mask(skin, s.Section, name, "GLYPHMASK");
  return s;
}

TsSidedSections ResolveSides(const TsActiveSkin& skin, const char* prefix, TMasks masks) {
  const std::string p = prefix;
  return {Resolve(skin, (p + "TOP").c_str(), masks), Resolve(skin, (p + "BOTTOM").c_str(), masks),
          Resolve(skin, (p + "LEFT").c_str(), masks), Resolve(skin, (p + "RIGHT").c_str(), masks)};
}

}  // namespace

void TsActiveSkin::ResolveCommonIndexes() {
  const TsActiveSkin& skin = *this;
  TsSkinCommonIndexes ix;
  ix.GlobalInfo = Narrow(skin.FindSectionIndex("GLOBALINFO"));
  ix.Tabs = ResolveSides(skin, "TAB", TMasks::Border);
  ix.ScrollButtons = ResolveSides(skin, "SCROLLBTN", TMasks::PatternsAndGlyph);
  ix.SliderH = Resolve(skin, "SCROLLSLIDERH", TMasks::PatternsAndGlyph);
  ix.SliderV = Resolve(skin, "SCROLLSLIDERV", TMasks::PatternsAndGlyph);
  ix.TrackBeforeH = Resolve(skin, "SCROLLBAR1H", TMasks::Patterns);
  ix.TrackBeforeV = Resolve(skin, "SCROLLBAR1V", TMasks::Patterns);
  ix.TrackAfterH = Resolve(skin, "SCROLLBAR2H", TMasks::Patterns);
  ix.TrackAfterV = Resolve(skin, "SCROLLBAR2V", TMasks::Patterns);
  TsCheckGlyphs& g = ix.CheckGlyphs;
  const std::int16_t global = ix.GlobalInfo;
  g.BoxChecked = Mask(skin, global, "GLOBALINFO", "BOXCHECKED");
  g.BoxUnchecked = Mask(skin, global, "GLOBALINFO", "BOXUNCHECKED");
  g.BoxGrayed = Mask(skin, global, "GLOBALINFO", "BOXGRAYED");
  g.RadioChecked = Mask(skin, global, "GLOBALINFO", "RADIOCHECKED");
  g.RadioUnchecked = Mask(skin, global, "GLOBALINFO", "RADIOUNCHECKED");
  g.RadioGrayed = Mask(skin, global, "GLOBALINFO", "RADIOGRAYED");
  g.SmallChecked = Mask(skin, global, "GLOBALINFO", "SMALLCHECKED");
  g.SmallUnchecked = Mask(skin, global, "GLOBALINFO", "SMALLUNCHECKED");
  g.SmallGrayed = Mask(skin, global, "GLOBALINFO", "SMALLGRAYED");
  SkinCommonIndexes = ix;
}

void ResolveCommonIndexes() {
  ActiveSkin().ResolveCommonIndexes();
}
