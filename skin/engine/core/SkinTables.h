#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinTypes.h"
#include "skin/engine/core/TsPixmap.h"

// The masks and patterns of a section that the section painters draw, found (with inheritance)
// whenever the tables are installed or freed; -1 none.
struct TsSectionImages {
  std::int32_t PatternMask = -1;     // mask PATTERN
  std::int32_t HotPatternMask = -1;  // mask HOTPATTERN
  std::int32_t BordersMask = -1;     // mask BORDERSMASK
  std::int32_t Pattern = -1;         // JPEG pattern PATTERN
  std::int32_t HotPattern = -1;      // JPEG pattern HOTPATTERN
};

// One record per section of the skin description, in load order.
struct TsSectionData {
  std::string ParentClass;
  std::string SectionName;
  TColor Color = 0xFFFFFF;
  TsControlBevel Bevel = TsControlBevel::cbNone;
  // [0] text colour; [1..4] contour colours left, top, right, bottom (-1 none).
  std::array<TColor, 5> FontColor{0, -1, -1, -1, -1};
  std::array<TColor, 5> HotFontColor{0, -1, -1, -1, -1};
  bool ReservedBoolean = false;
  std::int32_t ShadowBlur = 6;
  TColor ShadowColor = 0;
  bool ShadowEnabled = false;
  std::int32_t ShadowOffset = 3;
  std::int32_t ShadowTransparency = 50;
  std::int32_t Transparency = 0;
  std::int32_t GradientPercent = 0;
  std::string GradientData = " ";
  std::vector<TsGradientStop> Gradient;
  std::int32_t ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  std::int32_t FadingIntervalIn = 5;
  std::int32_t FadingIntervalOut = 5;
  std::int32_t FadingIterations = 5;
  TColor HotColor = 0xFFFFFF;
  std::int32_t HotTransparency = 0;
  TsControlBevel HotBevel = TsControlBevel::cbNone;
  std::int32_t HotGradientPercent = 0;
  std::string HotGradientData;
  std::vector<TsGradientStop> HotGradient;
  std::int32_t HotImagePercent = 0;
  TColor BorderColor1 = 0;
  TColor BorderColor2 = 0;
  TsSectionImages Images;  // filled by InstallSkinTables, not by the loader
};

// One mask: a cut R of the master bitmap (Bmp null) or an own bitmap.
struct TsMaskData {
  std::shared_ptr<const TsPixmap> Bmp;
  std::string SectionName;  // upper case
  std::string MaskName;     // upper case
  TsRect R;
  std::int16_t ImageCount = 1;   // state frames side by side, >= 1
  std::int16_t MaskType = 0;     // 0 image only, 1 image with its mask below it
  std::int16_t BorderWidth = 0;  // fixed border of a nine-part image
};

struct TsPatternData {
  std::shared_ptr<const TsPixmap> Image;
  std::string SectionName;  // upper case
  std::string PatternName;  // upper case
};

// The most sections on one PARENTCLASS chain: the loader refuses longer chains, lookups stop there.
constexpr std::size_t MaxInheritanceDepth = 64;

// The three tables and the master bitmap of one loaded skin.
struct TsSkinTables {
  std::vector<TsSectionData> Sections;
  std::vector<TsMaskData> Masks;
  std::vector<TsPatternData> Patterns;
  std::shared_ptr<const TsPixmap> MasterBitmap;
};

struct TsFrameSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// A loaded skin as the painters see it: its tables, master bitmap, the common indexes resolved
// from them and the paint colours set around one painting. The program holds one (ActiveSkin());
// painters take the skin they paint from as an argument.
class TsActiveSkin {
public:
  std::vector<TsSectionData> SkinSectionData;
  std::vector<TsMaskData> SkinMaskData;
  std::vector<TsPatternData> SkinPatternData;
  std::shared_ptr<const TsPixmap> SkinMasterBitmap;
  TsSkinCommonIndexes SkinCommonIndexes;
  // The paint colours, set around one painting; SkinKeyColor means none. Key-colour pixels of
  // masks take SkinKeyFillColor; SkinBackgroundFillColor stands for what lies below a control
  // where no parent image is at hand.
  mutable TColor SkinKeyFillColor = SkinKeyColor;
  mutable TColor SkinBackgroundFillColor = SkinKeyColor;

  // Replaces every table at once, so no reader ever sees a half-loaded skin, and finds each
  // section's Images in the new tables.
  void InstallTables(TsSkinTables tables);
  void FreeMasks();  // masks and the master bitmap
  void FreePatterns();
  void FreeSections();
  // Fills SkinCommonIndexes from the tables; everything -1 without a skin.
  void ResolveCommonIndexes();

  // Lookups: -1 when not found. Mask and pattern names are compared exactly (callers pass upper
  // case); section names ignoring case. A mask or pattern missing in a section is looked up in the
  // section named by its PARENTCLASS, and so on up the chain (a cycle ends the search).
  std::int32_t FindSectionIndex(const std::string& name) const;
  std::int32_t FindMaskIndex(std::int32_t skinIndex, const std::string& sectionName,
                             const std::string& maskName) const;
  std::int32_t FindPatternIndex(std::int32_t skinIndex, const std::string& sectionName,
                                const std::string& patternName) const;
  // The images of section skinIndex; all -1 for an invalid index. JPEG patterns count only while a
  // skin is active, as with FindPatternIndex.
  TsSectionImages SectionImagesOf(std::int32_t skinIndex) const;
  bool SectionIndexValid(std::int32_t index) const;
  bool MaskIndexValid(std::int32_t index) const;
  // Size of one state frame of a mask; zero for an invalid index.
  TsFrameSize MaskFrameSize(std::int32_t maskIndex) const;

private:
  void ResolveSectionImages();
  // A hashed index of the first section of each name, rebuilt whenever the table is not the one
  // it was built for (callers may fill the table themselves).
  mutable std::unordered_map<std::string, std::int32_t> FSectionIndex;
  mutable const TsSectionData* FIndexedData = nullptr;
  mutable std::size_t FIndexedSize = 0;
  mutable bool FIndexValid = false;
};

// Sets a skin's paint colours for one painting (a colour not given stays as it is) and puts back
// what they were on every way out.
class TsPaintColorsScope {
public:
  TsPaintColorsScope(const TsActiveSkin& skin, std::optional<TColor> keyFill,
                     std::optional<TColor> background);
  ~TsPaintColorsScope();
  TsPaintColorsScope(const TsPaintColorsScope&) = delete;
  TsPaintColorsScope& operator=(const TsPaintColorsScope&) = delete;

private:
  const TsActiveSkin& FSkin;
  TColor FKeyFill;
  TColor FBackground;
};

// The program's active skin (window thread only).
TsActiveSkin& ActiveSkin();

// The same operations on ActiveSkin().
void InstallSkinTables(TsSkinTables tables);
// Fills the active skin's SkinCommonIndexes from its tables (TsActiveSkin::ResolveCommonIndexes).
void ResolveCommonIndexes();
std::int32_t FindSectionIndex(const std::string& name);
std::int32_t FindMaskIndex(std::int32_t skinIndex, const std::string& sectionName,
                           const std::string& maskName);
std::int32_t FindPatternIndex(std::int32_t skinIndex, const std::string& sectionName,
                              const std::string& patternName);
TsSectionImages SectionImagesOf(std::int32_t skinIndex);
bool SectionIndexValid(std::int32_t index);
bool MaskIndexValid(std::int32_t index);
TsFrameSize MaskFrameSize(std::int32_t maskIndex);
